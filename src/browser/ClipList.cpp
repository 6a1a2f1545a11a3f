#include "browser/ClipList.h"

#include <utility>

#include "store/ClipDatabase.h"

namespace quillet::browser {

qsizetype ClipList::GridRowCount() const {
    // An empty list still shows one (empty) row below the header, so that the grid always has a
    // current row.
    return isEmpty() ? 2 : count() + 1;
}

std::optional<qsizetype> ClipList::EntryOfRow(qsizetype row) const {
    if (row < 1 || row > count())
        return std::nullopt;
    return count() - row;
}

std::optional<qsizetype> ClipList::RowOfEntry(qsizetype index) const {
    if (index < 0 || index >= count())
        return std::nullopt;
    return count() - index;
}

bool ClipList::SetCurrentRow(qsizetype row) {
    if (row == currentRow_ || row < 1 || row >= GridRowCount())
        return false;
    currentRow_ = row;
    return true;
}

const store::ClipRow* ClipList::SelectedClip() const {
    const std::optional<qsizetype> index = SelectedIndex();
    return index ? &entries_[static_cast<std::size_t>(*index)] : nullptr;
}

store::ClipRow* ClipList::SelectedClip() {
    const std::optional<qsizetype> index = SelectedIndex();
    return index ? &entries_[static_cast<std::size_t>(*index)] : nullptr;
}

QString ClipList::ClipCountText() const {
    // n - R + 1 is also right for the empty list: row 1 is current there, which gives 0.
    const qsizetype position = count() - currentRow_ + 1;
    return QStringLiteral("Clips: ") + QString::number(count()) + QStringLiteral(" / ") +
           QString::number(position);
}

void ClipList::Fill(store::ClipDatabase& database) {
    // Each row is kept as soon as it arrives, so that a query failing half-way leaves the rows
    // read so far, as the start-up expects.
    database.LoadAllClips([this](store::ClipRow&& row) {
        lastClipId_ = row.ID;
        entries_.push_back(std::move(row));
    });
}

void ClipList::Append(store::ClipRow row) {
    lastClipId_ = row.ID;
    entries_.push_back(std::move(row));
}

bool ClipList::RemoveSelected() {
    const std::optional<qsizetype> index = SelectedIndex();
    if (!index)
        return false;
    entries_.erase(entries_.begin() + *index);
    return KeepCurrentRowInRows();
}

bool ClipList::Clear() {
    entries_.clear();
    lastClipId_ = 0;
    return KeepCurrentRowInRows();
}

bool ClipList::KeepCurrentRowInRows() {
    // Like a grid whose row count is lowered: a current row past the new last row moves up to
    // it; any other current row keeps its number.
    const qsizetype lastRow = GridRowCount() - 1;
    if (currentRow_ <= lastRow)
        return false;
    currentRow_ = lastRow;
    return true;
}

}  // namespace quillet::browser
