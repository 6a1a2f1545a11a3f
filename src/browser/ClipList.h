#pragma once

#include <QString>
#include <QtGlobal>
#include <deque>
#include <optional>

#include "store/ClipRow.h"

namespace quillet::store {
class ClipDatabase;
}

namespace quillet::browser {

// The in-memory index of every stored clip (without content) and the grid's current row.
//
// Entry 0 is the oldest clip, entry count() - 1 the newest. The grid shows the list newest first
// below one header row: for 1 <= r <= n (n = count()) grid row r shows entry n - r, and the
// current row R (always at least 1) designates entry n - R. The grid has n + 1 rows, or 2 (the
// header and one empty row) when the list is empty; the current row is then the empty row 1 and
// designates nothing.
//
// The operations that may move the current row return whether it moved; the caller runs the
// selection handler then, exactly as for a move made by the user.
class ClipList {
  public:
    // The row that shows the newest clip and that a new list starts with as current row.
    static constexpr qsizetype kNewestRow = 1;

    qsizetype count() const { return static_cast<qsizetype>(entries_.size()); }
    bool isEmpty() const { return entries_.empty(); }

    // Entry `index`, 0 <= index < count(); other indexes are undefined behaviour.
    const store::ClipRow& at(qsizetype index) const { return entries_[index]; }
    store::ClipRow& at(qsizetype index) { return entries_[index]; }

    // The ID of the newest clip created or loaded; 0 for a new or cleared list. Removing clips
    // leaves it as it is.
    qint64 LastClipID() const { return lastClipId_; }

    // n + 1 when the list holds n >= 1 clips, 2 when it is empty.
    qsizetype GridRowCount() const;
    // The entry that grid row `row` shows; nothing for the header row, the empty row of an empty
    // list, and rows beyond the last.
    std::optional<qsizetype> EntryOfRow(qsizetype row) const;
    // The grid row that shows entry `index`; nothing when there is no such entry.
    std::optional<qsizetype> RowOfEntry(qsizetype index) const;

    qsizetype CurrentRow() const { return currentRow_; }
    // Makes `row` current. Returns true when the current row changed. Setting the row that is
    // already current, or a row outside 1 .. GridRowCount() - 1, changes nothing and returns
    // false.
    [[nodiscard]] bool SetCurrentRow(qsizetype row);
    // The entry the current row designates; nothing when the list is empty.
    std::optional<qsizetype> SelectedIndex() const { return EntryOfRow(currentRow_); }
    // The clip the current row designates, or nullptr when the list is empty. Valid until the
    // list changes.
    const store::ClipRow* SelectedClip() const;
    store::ClipRow* SelectedClip();

    // The text of the clip-count panel: "Clips: n / p", where p = n - R + 1 is the position of
    // the selected clip counted from the oldest one (1 .. n), and 0 for an empty list.
    QString ClipCountText() const;

    // Appends every row of the store's clip table in the table's order (ascending ID) and sets
    // LastClipID to the ID of each row as it is appended; the current row keeps its number. An
    // empty table changes nothing. Throws StoreError when the query fails; the rows appended
    // before the failure stay, with LastClipID from the last of them.
    void Fill(store::ClipDatabase& database);

    // Appends `row` as the newest clip. `row` must carry the ID the store assigned when the clip
    // was inserted; LastClipID takes that ID. The current row keeps its number, so that row 1,
    // when it is current, now designates the new clip.
    void Append(store::ClipRow row);

    // Takes the selected clip out of the list; the clips older than it keep their order. The
    // current row keeps its number and so designates the clip that was in the row below; when
    // the removed clip was in the last row, the new last row becomes current instead (row 1 once
    // the list is empty). Returns true when the current row changed. An empty list stays as it
    // is and returns false.
    [[nodiscard]] bool RemoveSelected();

    // Empties the list and sets LastClipID to 0; the current row becomes row 1. Returns true when
    // the current row changed.
    [[nodiscard]] bool Clear();

  private:
    // Brings the current row back into the rows after the list became shorter; returns true when
    // that moved it.
    bool KeepCurrentRowInRows();

    // A deque: a list of many clips grows without moving the clips it holds already.
    std::deque<store::ClipRow> entries_;
    qint64 lastClipId_ = 0;
    qsizetype currentRow_ = kNewestRow;
};

}  // namespace quillet::browser
