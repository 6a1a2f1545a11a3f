#include "browser/ClipList.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTemporaryDir>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "store/ClipDatabase.h"
#include "store/StoreError.h"
#include "support/TestDatabase.h"

namespace quillet::browser {
namespace {

using store::ClipRow;

ClipRow Clip(qint64 id) {
    ClipRow row;
    row.ID = id;
    row.DataFormat = store::kTextClip;
    row.Title = QStringLiteral("clip ") + QString::number(id);
    return row;
}

// A list of `n` clips with the IDs 1 .. n, oldest first, and row `currentRow` current.
ClipList ListOf(qsizetype n, qsizetype currentRow = 1) {
    ClipList list;
    for (qint64 id = 1; id <= n; ++id)
        list.Append(Clip(id));
    if (currentRow != list.CurrentRow()) {
        EXPECT_TRUE(list.SetCurrentRow(currentRow));
    }
    return list;
}

std::vector<qint64> Ids(const ClipList& list) {
    std::vector<qint64> ids;
    for (qsizetype i = 0; i < list.count(); ++i)
        ids.push_back(list.at(i).ID);
    return ids;
}

// The ID of the clip the current row designates; 0 when it designates none.
qint64 SelectedId(const ClipList& list) {
    const ClipRow* clip = list.SelectedClip();
    return clip ? clip->ID : 0;
}

// --- Row mapping -------------------------------------------------------------------------------

struct RowCase {
    qsizetype n;
    qsizetype row;
    std::optional<qsizetype> entry;  // the entry that row shows, if any
};

void PrintTo(const RowCase& c, std::ostream* out) {
    *out << "n=" << c.n << " row=" << c.row << " entry=" << (c.entry ? *c.entry : -1);
}

class RowMapping : public testing::TestWithParam<RowCase> {};

TEST_P(RowMapping, RowShowsEntryAndBack) {
    const RowCase c = GetParam();
    const ClipList list = ListOf(c.n);
    EXPECT_EQ(list.EntryOfRow(c.row), c.entry);
    if (c.entry) {
        EXPECT_EQ(list.RowOfEntry(*c.entry), c.row);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RowMapping,
                         testing::Values(RowCase{0, 0, std::nullopt},  // header
                                         RowCase{0, 1, std::nullopt},  // the empty row
                                         RowCase{1, 1, 0},             //
                                         RowCase{1, 2, std::nullopt},  //
                                         RowCase{5, 0, std::nullopt},  // header
                                         RowCase{5, 1, 4},             // newest
                                         RowCase{5, 2, 3},             //
                                         RowCase{5, 5, 0},             // oldest
                                         RowCase{5, 6, std::nullopt},  // past the last row
                                         RowCase{5, -1, std::nullopt}));

TEST(ClipList, RowOfEntryOutsideTheListIsNothing) {
    const ClipList list = ListOf(3);
    EXPECT_EQ(list.RowOfEntry(-1), std::nullopt);
    EXPECT_EQ(list.RowOfEntry(3), std::nullopt);
    EXPECT_EQ(ClipList().RowOfEntry(0), std::nullopt);
}

TEST(ClipList, GridRowCountIsHeaderPlusClipsAndNeverBelowTwo) {
    EXPECT_EQ(ListOf(0).GridRowCount(), 2);
    EXPECT_EQ(ListOf(1).GridRowCount(), 2);
    EXPECT_EQ(ListOf(2).GridRowCount(), 3);
    EXPECT_EQ(ListOf(12).GridRowCount(), 13);
}

TEST(ClipList, NewListIsEmptyWithRowOneCurrentSelectingNothing) {
    ClipList list;
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.LastClipID(), 0);
    EXPECT_EQ(list.CurrentRow(), 1);
    EXPECT_EQ(list.SelectedIndex(), std::nullopt);
    EXPECT_EQ(list.SelectedClip(), nullptr);
    EXPECT_EQ(list.ClipCountText(), QStringLiteral("Clips: 0 / 0"));
}

// --- Current row -------------------------------------------------------------------------------

TEST(ClipList, SetCurrentRowReportsOnlyARealMove) {
    ClipList list = ListOf(4, 2);
    EXPECT_FALSE(list.SetCurrentRow(2)) << "the current row again";
    for (const qsizetype outside : {qsizetype{-1}, qsizetype{0}, qsizetype{5}}) {
        EXPECT_FALSE(list.SetCurrentRow(outside)) << "row " << outside;
        EXPECT_EQ(list.CurrentRow(), 2);
    }
    EXPECT_TRUE(list.SetCurrentRow(4));
    EXPECT_EQ(list.CurrentRow(), 4);
    EXPECT_EQ(SelectedId(list), 1);

    ClipList empty;
    EXPECT_FALSE(empty.SetCurrentRow(1));
    EXPECT_FALSE(empty.SetCurrentRow(2));
    EXPECT_EQ(empty.CurrentRow(), 1);
}

struct AppendCase {
    qsizetype n;
    qsizetype row;         // current before and after the append
    qint64 selectedAfter;  // ID the current row designates after appending clip n + 1
    const char* countText;
};

void PrintTo(const AppendCase& c, std::ostream* out) {
    *out << "n=" << c.n << " row=" << c.row;
}

class AppendKeepsRow : public testing::TestWithParam<AppendCase> {};

TEST_P(AppendKeepsRow, RowNumberStaysAndNewClipIsRowOne) {
    const AppendCase c = GetParam();
    ClipList list = ListOf(c.n, c.row);
    list.Append(Clip(c.n + 1));
    EXPECT_EQ(list.CurrentRow(), c.row);
    EXPECT_EQ(SelectedId(list), c.selectedAfter);
    EXPECT_EQ(list.at(*list.EntryOfRow(1)).ID, c.n + 1);
    EXPECT_EQ(list.ClipCountText(), QString::fromLatin1(c.countText));
}

INSTANTIATE_TEST_SUITE_P(Positions, AppendKeepsRow,
                         testing::Values(AppendCase{0, 1, 1, "Clips: 1 / 1"},
                                         AppendCase{3, 1, 4, "Clips: 4 / 4"},
                                         AppendCase{3, 2, 3, "Clips: 4 / 3"},
                                         AppendCase{3, 3, 2, "Clips: 4 / 2"}));

TEST(ClipList, AppendTakesTheStoresIdEvenWhenItSkipsNumbers) {
    // After the newest clips were deleted in an earlier run the store numbers on from its own
    // counter, not from the list's newest ID.
    ClipList list = ListOf(3);
    ClipRow row = Clip(10);
    row.Source = QStringLiteral("/usr/bin/kate");
    row.Size = 42;
    list.Append(row);
    EXPECT_EQ(list.LastClipID(), 10);
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.at(3).ID, 10);
    EXPECT_EQ(list.at(3).Source, QStringLiteral("/usr/bin/kate"));
    EXPECT_EQ(list.at(3).Size, 42);
    EXPECT_EQ(SelectedId(list), 10);
}

struct RemoveCase {
    const char* name;
    qsizetype n;
    qsizetype row;                 // current row, whose clip is removed
    std::vector<qint64> idsAfter;  // oldest first
    qsizetype rowAfter;
    bool rowChanged;
    qint64 selectedAfter;  // 0: none
    const char* countText;
};

void PrintTo(const RemoveCase& c, std::ostream* out) {
    *out << c.name;
}

class RemoveSelected : public testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveSelected, RemovesDesignatedClipAndKeepsOrMovesRow) {
    const RemoveCase c = GetParam();
    ClipList list = ListOf(c.n, c.row);
    EXPECT_EQ(list.RemoveSelected(), c.rowChanged);
    EXPECT_EQ(Ids(list), c.idsAfter);
    EXPECT_EQ(list.CurrentRow(), c.rowAfter);
    EXPECT_EQ(SelectedId(list), c.selectedAfter);
    EXPECT_EQ(list.ClipCountText(), QString::fromLatin1(c.countText));
    EXPECT_EQ(list.LastClipID(), c.n) << "removing leaves LastClipID alone";
}

INSTANTIATE_TEST_SUITE_P(
    Positions, RemoveSelected,
    testing::Values(RemoveCase{"SecondOfFive", 5, 2, {1, 2, 3, 5}, 2, false, 3, "Clips: 4 / 3"},
                    RemoveCase{"NewestOfFive", 5, 1, {1, 2, 3, 4}, 1, false, 4, "Clips: 4 / 4"},
                    RemoveCase{"MiddleOfFive", 5, 3, {1, 2, 4, 5}, 3, false, 2, "Clips: 4 / 2"},
                    RemoveCase{
                        "OldestOfFiveInLastRow", 5, 5, {2, 3, 4, 5}, 4, true, 2, "Clips: 4 / 1"},
                    RemoveCase{"OldestOfTwo", 2, 2, {2}, 1, true, 2, "Clips: 1 / 1"},
                    RemoveCase{"NewestOfTwo", 2, 1, {1}, 1, false, 1, "Clips: 1 / 1"},
                    RemoveCase{"OnlyClip", 1, 1, {}, 1, false, 0, "Clips: 0 / 0"},
                    RemoveCase{"EmptyList", 0, 1, {}, 1, false, 0, "Clips: 0 / 0"}),
    [](const testing::TestParamInfo<RemoveCase>& info) { return std::string(info.param.name); });

TEST(ClipList, RemoveKeepsEveryFieldOfTheClipsThatMoveUp) {
    ClipList list;
    for (qint64 id = 1; id <= 3; ++id) {
        ClipRow row = Clip(id);
        row.DataFormat = id == 2 ? store::kImageClip : store::kTextClip;
        row.FType = QStringLiteral("type ") + QString::number(id);
        row.Source = QStringLiteral("src ") + QString::number(id);
        row.Size = static_cast<qint32>(id * 100);
        row.TimeStamp = QStringLiteral("ts ") + QString::number(id);
        row.Modified = id == 2 ? 1 : 0;
        row.FormatList = QStringLiteral("fl ") + QString::number(id);
        row.Lock = id == 2 ? 1 : 0;
        list.Append(row);
    }
    ASSERT_TRUE(list.SetCurrentRow(3));  // the oldest, ID 1
    EXPECT_TRUE(list.RemoveSelected());
    ASSERT_EQ(list.count(), 2);
    const ClipRow& moved = list.at(0);
    EXPECT_EQ(moved.ID, 2);
    EXPECT_EQ(moved.DataFormat, store::kImageClip);
    EXPECT_EQ(moved.FType, QStringLiteral("type 2"));
    EXPECT_EQ(moved.Title, QStringLiteral("clip 2"));
    EXPECT_EQ(moved.Source, QStringLiteral("src 2"));
    EXPECT_EQ(moved.Size, 200);
    EXPECT_EQ(moved.TimeStamp, QStringLiteral("ts 2"));
    EXPECT_EQ(moved.Modified, 1);
    EXPECT_EQ(moved.FormatList, QStringLiteral("fl 2"));
    EXPECT_EQ(moved.Lock, 1);
    EXPECT_EQ(list.at(1).ID, 3);
}

TEST(ClipList, ClearEmptiesResetsLastIdAndMovesRowToOne) {
    ClipList list = ListOf(6, 4);
    EXPECT_TRUE(list.Clear());
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.LastClipID(), 0);
    EXPECT_EQ(list.CurrentRow(), 1);
    EXPECT_EQ(list.GridRowCount(), 2);
    EXPECT_EQ(list.ClipCountText(), QStringLiteral("Clips: 0 / 0"));

    ClipList atNewest = ListOf(6, 1);
    EXPECT_FALSE(atNewest.Clear());
}

// --- Clip-count text ---------------------------------------------------------------------------

struct CountCase {
    qsizetype n;
    qsizetype row;
    const char* text;
};

void PrintTo(const CountCase& c, std::ostream* out) {
    *out << "n=" << c.n << " row=" << c.row;
}

class CountText : public testing::TestWithParam<CountCase> {};

TEST_P(CountText, CountsClipsAndPositionFromOldest) {
    const CountCase c = GetParam();
    EXPECT_EQ(ListOf(c.n, c.row).ClipCountText(), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Panel, CountText,
    testing::Values(CountCase{0, 1, "Clips: 0 / 0"}, CountCase{1, 1, "Clips: 1 / 1"},
                    CountCase{12, 1, "Clips: 12 / 12"}, CountCase{12, 5, "Clips: 12 / 8"},
                    CountCase{12, 12, "Clips: 12 / 1"}, CountCase{1000, 1, "Clips: 1000 / 1000"}));

// --- Fill from a database file -----------------------------------------------------------------

class FillFromStore : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("ClipsData.db"));
        test::MakeClipDatabase(path_);
    }

    void Exec(const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(path_.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
        const std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << message;
    }

    QTemporaryDir dir_;
    QString path_;
};

TEST_F(FillFromStore, LoadsEveryRowOldestFirstWithItsFields) {
    // IDs with gaps, as after deletes, inserted out of order: the list follows ascending ID.
    Exec(
        "insert into ClipsData (ID, DataFormat, Type, Title, Source, Size, TimeStamp, Content, "
        "Modified, FormatList, Lock) values "
        "(9, 1, 'T9', 'newest', '/usr/bin/a', 6, '1/2/26 3:04:05 PM', 'newest', 1, 'UTF8', 0),"
        "(2, 2, 'T2', 'Graphic', '', 70, '1/1/26 1:00:00 AM', x'424D', 0, 'image/bmp', 1),"
        "(5, 3, NULL, 'odd kind', 'src', -4, 'ts', NULL, 0, '', 0);");
    store::ClipDatabase db = store::ClipDatabase::OpenClipDatabase(path_);
    ClipList list;
    list.Fill(db);

    ASSERT_EQ(Ids(list), (std::vector<qint64>{2, 5, 9}));
    EXPECT_EQ(list.LastClipID(), 9);
    EXPECT_EQ(list.GridRowCount(), 4);
    EXPECT_EQ(list.CurrentRow(), 1);
    EXPECT_EQ(SelectedId(list), 9);
    EXPECT_EQ(list.ClipCountText(), QStringLiteral("Clips: 3 / 3"));

    const ClipRow& image = list.at(0);
    EXPECT_EQ(image.DataFormat, store::kImageClip);
    EXPECT_EQ(image.FType, QStringLiteral("T2"));
    EXPECT_EQ(image.Title, QStringLiteral("Graphic"));
    EXPECT_EQ(image.Size, 70);
    EXPECT_EQ(image.TimeStamp, QStringLiteral("1/1/26 1:00:00 AM"));
    EXPECT_EQ(image.FormatList, QStringLiteral("image/bmp"));
    EXPECT_EQ(image.Lock, 1);
    EXPECT_EQ(list.at(1).DataFormat, 3) << "an unknown kind keeps its row";
    EXPECT_EQ(list.at(1).Size, -4);
    const ClipRow& newest = list.at(2);
    EXPECT_EQ(newest.Source, QStringLiteral("/usr/bin/a"));
    EXPECT_EQ(newest.Modified, 1);
    EXPECT_EQ(newest.Rect.Left | newest.Rect.Top | newest.Rect.Right | newest.Rect.Bottom, 0);
}

TEST_F(FillFromStore, EmptyTableLeavesListAndLastIdAsTheyWere) {
    store::ClipDatabase db = store::ClipDatabase::OpenClipDatabase(path_);
    ClipList list = ListOf(2);
    list.Fill(db);
    EXPECT_EQ(Ids(list), (std::vector<qint64>{1, 2}));
    EXPECT_EQ(list.LastClipID(), 2);

    ClipList fresh;
    fresh.Fill(db);
    EXPECT_EQ(fresh.count(), 0);
    EXPECT_EQ(fresh.LastClipID(), 0);
    EXPECT_EQ(fresh.GridRowCount(), 2);
}

TEST_F(FillFromStore, AfterClearTheBackedUpFileReplacesTheList) {
    Exec("insert into ClipsData (ID, DataFormat, Title) values (3, 1, 'a'), (4, 1, 'b');");
    store::ClipDatabase db = store::ClipDatabase::OpenClipDatabase(path_);
    ClipList list = ListOf(7, 6);
    EXPECT_TRUE(list.Clear());
    list.Fill(db);
    EXPECT_EQ(Ids(list), (std::vector<qint64>{3, 4}));
    EXPECT_EQ(list.LastClipID(), 4);
    EXPECT_EQ(SelectedId(list), 4);
}

TEST_F(FillFromStore, FailingQueryThrowsAndKeepsTheList) {
    Exec("drop table ClipsData;");
    store::ClipDatabase db = store::ClipDatabase::OpenClipDatabase(path_);
    ClipList list = ListOf(2, 2);
    EXPECT_THROW(list.Fill(db), store::StoreError);
    EXPECT_EQ(Ids(list), (std::vector<qint64>{1, 2}));
    EXPECT_EQ(list.LastClipID(), 2);
    EXPECT_EQ(list.CurrentRow(), 2);
}

}  // namespace
}  // namespace quillet::browser
