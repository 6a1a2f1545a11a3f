#pragma once

#include <QTableView>

namespace quillet::browser {

class ClipList;
class ClipGridModel;

// The clip grid: one row per clip, newest first, whole-row selection of one row. It does not
// move its selection by itself: clicks, keys and the wheel are turned into the signals below,
// and the owner makes a row current with showCurrentRow(). Rows are numbered as grid rows:
// row 1 is the first data row.
class ClipGrid final : public QTableView {
    Q_OBJECT
  public:
    ClipGrid(const ClipList& list, ClipGridModel& model, QWidget* parent = nullptr);

    // Marks `gridRow` as the selected row and scrolls it into view. Emits nothing.
    void showCurrentRow(qsizetype gridRow);

    // The number of whole data rows the viewport shows; at least 1.
    int visibleRows() const;
    // The grid row shown at the top of the viewport.
    qsizetype firstVisibleRow() const;

    // The current row that `key` with `modifiers` moves to from `current` in a grid of `last`
    // data rows (at least 1), `first` being the top visible row and `page` the visible rows; the
    // same row when the key moves nothing. Ctrl+Up and Ctrl+Down move only the view.
    static qsizetype TargetRow(int key, Qt::KeyboardModifiers modifiers, qsizetype current,
                               qsizetype last, qsizetype first, int page);

  Q_SIGNALS:
    // A click on a data row, also on the row that is current already.
    void rowClicked(qsizetype gridRow);
    // A key asks to make `gridRow` current; sent only when it differs from the current row.
    void moveRequested(qsizetype gridRow);
    // An arrow key was pressed; sent before the key is handled.
    void arrowKeyPressed();
    void deletePressed();
    void insertPressed();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void scrollRows(int rows);

    const ClipList& list_;
    ClipGridModel& model_;
    int wheelRemainder_ = 0;
};

}  // namespace quillet::browser
