#include "ClipGridModel.h"

#include "ClipList.h"

namespace quillet::browser {

ClipGridModel::ClipGridModel(const ClipList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), shownRows_(int(list.GridRowCount() - 1)) {}

int ClipGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int ClipGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QString ClipGridModel::CellText(const ClipList& list, qsizetype entry, int column) {
    const store::ClipRow& clip = list.at(entry);
    if (clip.DataFormat != store::kTextClip && clip.DataFormat != store::kImageClip)
        return {};
    switch (column) {
        case TitleColumn:
            return clip.Title;
        case SourceColumn:
            return clip.Source;
        case SizeColumn:
            return QString::number(clip.Size);
        case TimeStampColumn:
            return clip.TimeStamp;
        default:
            return {};
    }
}

QVariant ClipGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const auto entry = list_.EntryOfRow(index.row() + 1);
    switch (role) {
        case EntryRole:
            return entry ? qlonglong(*entry) : qlonglong(-1);
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return entry ? CellText(list_, *entry, index.column()) : QString();
        default:
            return {};
    }
}

QVariant ClipGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString kHeaders[kColumns] = {QStringLiteral("Type"), QStringLiteral("Title"),
                                               QStringLiteral("Source"), QStringLiteral("Size"),
                                               QStringLiteral("TimeStamp")};
    return section >= 0 && section < kColumns ? kHeaders[section] : QVariant();
}

void ClipGridModel::refresh() {
    const int rows = int(list_.GridRowCount() - 1);
    if (rows != shownRows_) {
        // Rows come and go at the top (newest) or anywhere (delete); a reset is cheap here, as
        // the model keeps nothing per row, and the grid restores its own scroll position.
        beginResetModel();
        shownRows_ = rows;
        endResetModel();
        return;
    }
    Q_EMIT dataChanged(index(0, 0), index(rows - 1, kColumns - 1));
}

}  // namespace quillet::browser
