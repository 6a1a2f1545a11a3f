#pragma once

#include <QAbstractTableModel>

namespace quillet::browser {

class ClipList;

// The clip list as a table, newest clip first: model row i is grid row i + 1 (the grid's row 0
// is the header). An empty list shows one empty row. Cells hold no widgets or item objects; the
// grid's delegate draws them from the list.
class ClipGridModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { TypeColumn, TitleColumn, SourceColumn, SizeColumn, TimeStampColumn, kColumns };
    // The entry a row shows, for the delegate: -1 on the empty row of an empty list.
    static constexpr int EntryRole = Qt::UserRole + 1;

    explicit ClipGridModel(const ClipList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Brings the views up to date after the list changed.
    void refresh();

    // The text a cell shows; empty for column 0 and for clips of an unknown kind.
    static QString CellText(const ClipList& list, qsizetype entry, int column);

  private:
    const ClipList& list_;
    int shownRows_;
};

}  // namespace quillet::browser
