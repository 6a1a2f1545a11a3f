#include "store/ClipDatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <vector>

#include "StoreTestSupport.h"
#include "store/StoreError.h"

namespace quillet::store {
namespace {

using testing::MakeDatabase;
using testing::RawConnection;
using testing::ShippedSchema;
using testing::SqliteErrorLog;

// Variants of the clip table that the shipped schema does not cover.
constexpr char kNoDefaultsSchema[] =
    "CREATE TABLE ClipsData (ID INTEGER PRIMARY KEY AUTOINCREMENT, DataFormat INTEGER, "
    "Type TEXT, Title TEXT, Source TEXT, Size INTEGER, TimeStamp TEXT, Content, "
    "Modified INTEGER, FormatList TEXT, Lock INTEGER);";
constexpr char kDefaultsSevenSchema[] =
    "CREATE TABLE ClipsData (ID INTEGER PRIMARY KEY AUTOINCREMENT, DataFormat INTEGER, "
    "Type TEXT DEFAULT 'kind', Title TEXT, Source TEXT, Size INTEGER, TimeStamp TEXT, Content, "
    "Modified INTEGER DEFAULT 7, FormatList TEXT, Lock INTEGER DEFAULT 7);";
constexpr char kNoAutoincrementSchema[] =
    "CREATE TABLE ClipsData (ID INTEGER PRIMARY KEY, DataFormat INTEGER, Type TEXT, Title TEXT, "
    "Source TEXT, Size INTEGER, TimeStamp TEXT, Content, Modified INTEGER DEFAULT 0, "
    "FormatList TEXT, Lock INTEGER DEFAULT 0);";

ClipRow SampleRow(qint32 dataFormat) {
    ClipRow row;
    row.DataFormat = dataFormat;
    row.Title = QStringLiteral("Übersicht 😀");
    row.Source = QStringLiteral("/usr/bin/kwrite");
    row.Size = 123;
    row.TimeStamp = QStringLiteral("3/5/24 2:07:09 PM");
    row.Modified = 1;
    row.FormatList = QStringLiteral("UTF8_STRING,  TEXT,  ");
    row.Lock = 1;
    return row;
}

QByteArray SampleBmp(qsizetype size = 70) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(i * 37);
    }
    bytes[0] = 'B';
    bytes[1] = 'M';
    return bytes;
}

QString Where(qint64 id) {
    return QStringLiteral(" from ClipsData where ID = ") + QString::number(id);
}

// Fresh database files in a folder of their own, each opened by the store.
class StoreTest : public ::testing::Test {
  protected:
    QString Make(const QString& schema, const QString& name = QStringLiteral("ClipsData.db")) {
        return MakeDatabase(dir_, name, schema);
    }
    ClipDatabase Open(const QString& schema) {
        return ClipDatabase::OpenClipDatabase(Make(schema));
    }

    QTemporaryDir dir_;
};

// --- The SQL text each operation hands to SQLite -------------------------------------------

struct SqlCase {
    const char* name;
    std::function<void(ClipDatabase&)> run;
    std::vector<QString> expected;
};

void PrintTo(const SqlCase& c, std::ostream* os) {
    *os << c.name;
}

class SqlTextTest : public StoreTest, public ::testing::WithParamInterface<SqlCase> {};

int RecordStatement(unsigned, void* context, void*, void* sql) {
    static_cast<QStringList*>(context)->append(QString::fromUtf8(static_cast<const char*>(sql)));
    return 0;
}

TEST_P(SqlTextTest, ReachesSqliteExactly) {
    const QString path = Make(ShippedSchema());
    RawConnection(path).exec(QStringLiteral(
        "insert into ClipsData (DataFormat, Title, Content) values (1, 'one', 'text')"));
    ClipDatabase db = ClipDatabase::OpenClipDatabase(path);
    QStringList traced;
    sqlite3_trace_v2(db.nativeHandle(), SQLITE_TRACE_STMT, &RecordStatement, &traced);

    GetParam().run(db);

    EXPECT_EQ(traced, QStringList(GetParam().expected.begin(), GetParam().expected.end()));
}

const ClipRow kTextRow = SampleRow(kTextClip);
const ClipRow kImageRow = SampleRow(kImageClip);

INSTANTIATE_TEST_SUITE_P(
    EveryStatement, SqlTextTest,
    ::testing::Values(
        SqlCase{"LoadAllClips",
                [](ClipDatabase& db) { db.LoadAllClips([](ClipRow&&) {}); },
                {QStringLiteral("Select ID, DataFormat, Type, Title, Source, Size, TimeStamp, "
                                "Modified, FormatList, Lock from ClipsData;")}},
        SqlCase{"ReadClipContent",
                [](ClipDatabase& db) { db.ReadClipContent(1, kTextClip); },
                {QStringLiteral("Select Content from ClipsData where ID = ?;")}},
        SqlCase{"InsertClip",
                [](ClipDatabase& db) { db.InsertClip(kTextRow, QStringLiteral("x")); },
                {QStringLiteral("insert into ClipsData (DataFormat, Title, Source, Size, "
                                "TimeStamp, Content, Modified, FormatList, Lock) Values(?, ?, ?, "
                                "?, ?, ?, ?, ?, ?);")}},
        SqlCase{"InsertClipboardImage",
                [](ClipDatabase& db) { db.InsertClipboardImage(kImageRow, SampleBmp()); },
                {QStringLiteral("insert into ClipsData (DataFormat, Title, Source, Size, "
                                "TimeStamp, Content, FormatList) Values(?, ?, ?, ?, ?, ?, ?);")}},
        SqlCase{"InsertFullScreenShot",
                [](ClipDatabase& db) { db.InsertFullScreenShot(kImageRow, SampleBmp()); },
                {QStringLiteral("insert into ClipsData (DataFormat, Title, Source, Size, "
                                "TimeStamp, Content, Modified, FormatList) Values(?, ?, ? , ?, "
                                "?, ?, ?, ?);")}},
        SqlCase{"InsertRegionShot",
                [](ClipDatabase& db) { db.InsertRegionShot(kImageRow, SampleBmp()); },
                {QStringLiteral("insert into ClipsData (DataFormat, Title, Source, Size, "
                                "TimeStamp, Content, Modified, FormatList) Values(?, ?, ?, ?, "
                                "?, ?, ?, ?);")}},
        SqlCase{"UpdateClipContent",
                [](ClipDatabase& db) { db.UpdateClipContent(1, QStringLiteral("y")); },
                {QStringLiteral(
                    "update ClipsData set Content = ? ,size = ?, Modified = ? where ID = ?;")}},
        SqlCase{"UpdateClipTitle",
                [](ClipDatabase& db) { db.UpdateClipTitle(1, QStringLiteral("t")); },
                {QStringLiteral("update ClipsData set Title = ? where ID = ?;")}},
        SqlCase{"RestoreClipTitle",
                [](ClipDatabase& db) { db.RestoreClipTitle(1, QStringLiteral("t")); },
                {QStringLiteral("update ClipsData set Title = ?  where ID = ?;")}},
        SqlCase{"UpdateClipLock",
                [](ClipDatabase& db) { db.UpdateClipLock(1, true); },
                {QStringLiteral("update ClipsData set Lock = ? where ID = ?;")}},
        SqlCase{"DeleteClip",
                [](ClipDatabase& db) { db.DeleteClip(1); },
                {QStringLiteral("Delete from ClipsData where ID = ?;")}},
        SqlCase{"DeleteAllClipRows",
                [](ClipDatabase& db) { db.DeleteAllClipRows(); },
                {QStringLiteral("delete from ClipsData;"), QStringLiteral("VACUUM;"),
                 QStringLiteral("update sqlite_sequence set seq=0 where name=\"ClipsData\"")}}),
    [](const ::testing::TestParamInfo<SqlCase>& info) { return std::string(info.param.name); });

// CheckClipTable is prepared and never run, so no trace shows it; SQLite's error log shows the
// text of a prepare that failed.
TEST_F(StoreTest, CheckClipTablePreparesWithoutRunning) {
    ClipDatabase good = Open(ShippedSchema());
    QStringList traced;
    sqlite3_trace_v2(good.nativeHandle(), SQLITE_TRACE_STMT, &RecordStatement, &traced);
    EXPECT_NO_THROW(good.CheckClipTable());
    EXPECT_TRUE(traced.isEmpty());

    ClipDatabase withoutTable = ClipDatabase::OpenClipDatabase(
        Make(QStringLiteral("CREATE TABLE Other (x);"), QStringLiteral("other.db")));
    SqliteErrorLog::Clear();
    try {
        withoutTable.CheckClipTable();
        ADD_FAILURE() << "CheckClipTable accepted a database without ClipsData";
    } catch (const StoreError& error) {
        EXPECT_EQ(error.code(), SQLITE_ERROR);
        EXPECT_EQ(error.message(), QStringLiteral("no such table: ClipsData"));
    }
    EXPECT_TRUE(SqliteErrorLog::Entries().contains(
        QStringLiteral("1 no such table: ClipsData in \"Select * from ClipsData;\"")));
}

// --- What the inserts store ----------------------------------------------------------------

struct InsertCase {
    const char* name;
    std::function<qint64(ClipDatabase&, const ClipRow&)> insert;
    const char* contentType;
    bool sendsModified;
    bool sendsLock;
};

void PrintTo(const InsertCase& c, std::ostream* os) {
    *os << c.name;
}

class InsertColumnsTest : public StoreTest, public ::testing::WithParamInterface<InsertCase> {};

// Every column defaults to a value no insert sends, so a column left out shows its default.
TEST_P(InsertColumnsTest, SendsExactlyItsColumns) {
    const QString path = Make(QString::fromLatin1(kDefaultsSevenSchema));
    ClipDatabase db = ClipDatabase::OpenClipDatabase(path);
    const InsertCase& c = GetParam();
    const ClipRow row =
        SampleRow(std::string_view(c.contentType) == "text" ? kTextClip : kImageClip);

    const qint64 first = c.insert(db, row);
    const qint64 id = c.insert(db, row);

    EXPECT_EQ(id, first + 1);
    RawConnection raw(path);
    auto column = [&](const char* expression) {
        return raw.text(QStringLiteral("select ") + QLatin1String(expression) + Where(id));
    };
    EXPECT_EQ(column("DataFormat"), QString::number(row.DataFormat));
    EXPECT_EQ(column("Type"), QStringLiteral("kind"));
    EXPECT_EQ(column("Title"), row.Title);
    EXPECT_EQ(column("Source"), row.Source);
    EXPECT_EQ(column("Size"), QStringLiteral("123"));
    EXPECT_EQ(column("TimeStamp"), row.TimeStamp);
    EXPECT_EQ(column("typeof(Content)"), QLatin1String(c.contentType));
    EXPECT_EQ(column("Modified"), c.sendsModified ? QStringLiteral("1") : QStringLiteral("7"));
    EXPECT_EQ(column("FormatList"), row.FormatList);
    EXPECT_EQ(column("Lock"), c.sendsLock ? QStringLiteral("1") : QStringLiteral("7"));
}

INSTANTIATE_TEST_SUITE_P(
    EveryInsert, InsertColumnsTest,
    ::testing::Values(InsertCase{"InsertClip",
                                 [](ClipDatabase& db, const ClipRow& row) {
                                     return db.InsertClip(row, QStringLiteral("content"));
                                 },
                                 "text", true, true},
                      InsertCase{"InsertClipboardImage",
                                 [](ClipDatabase& db, const ClipRow& row) {
                                     return db.InsertClipboardImage(row, SampleBmp());
                                 },
                                 "blob", false, false},
                      InsertCase{"InsertFullScreenShot",
                                 [](ClipDatabase& db, const ClipRow& row) {
                                     return db.InsertFullScreenShot(row, SampleBmp());
                                 },
                                 "blob", true, false},
                      InsertCase{"InsertRegionShot",
                                 [](ClipDatabase& db, const ClipRow& row) {
                                     return db.InsertRegionShot(row, SampleBmp());
                                 },
                                 "blob", true, false}),
    [](const ::testing::TestParamInfo<InsertCase>& info) { return std::string(info.param.name); });

TEST_F(StoreTest, EmptyValuesKeepTheirKindNeverNull) {
    const QString path = Make(ShippedSchema());
    ClipDatabase db = ClipDatabase::OpenClipDatabase(path);
    RawConnection raw(path);

    const qint64 emptyClip = db.InsertClip(ClipRow{}, QString());
    EXPECT_EQ(
        raw.text(QStringLiteral("select typeof(Title) || typeof(Source) || "
                                "typeof(TimeStamp) || typeof(Content) || typeof(FormatList)") +
                 Where(emptyClip)),
        QStringLiteral("texttexttexttexttext"));

    db.UpdateClipContent(emptyClip, QStringLiteral(""));
    db.UpdateClipTitle(emptyClip, QString());
    EXPECT_EQ(raw.text(QStringLiteral("select typeof(Content) || typeof(Title) || Size") +
                       Where(emptyClip)),
              QStringLiteral("texttext0"));

    const qint64 emptyImage = db.InsertClipboardImage(ClipRow{}, QByteArray());
    EXPECT_EQ(
        raw.text(QStringLiteral("select typeof(Content) || length(Content)") + Where(emptyImage)),
        QStringLiteral("blob0"));
}

TEST_F(StoreTest, ContentRoundTripsAsUtf16TextAndAsBytes) {
    const QString path = Make(ShippedSchema());
    ClipDatabase db = ClipDatabase::OpenClipDatabase(path);
    RawConnection raw(path);
    const QString text = QStringLiteral("Zeile 1\r\n\tline 2 — 한글 😀");
    const QByteArray bmp = SampleBmp(4096);

    const qint64 textId = db.InsertClip(SampleRow(kTextClip), text);
    const qint64 imageId = db.InsertClipboardImage(SampleRow(kImageClip), bmp);

    // Another program reading the file as UTF-8 sees the same characters.
    EXPECT_EQ(raw.text(QStringLiteral("select Content") + Where(textId)), text);
    EXPECT_EQ(db.ReadClipContent(textId, kTextClip).text, text);
    EXPECT_EQ(db.ReadClipContent(imageId, kImageClip).bytes, bmp);
    EXPECT_EQ(raw.text(QStringLiteral("select hex(Content)") + Where(imageId)),
              QString::fromLatin1(bmp.toHex().toUpper()));

    const QString edited = QStringLiteral("x😀");
    db.UpdateClipContent(textId, edited);
    EXPECT_EQ(db.ReadClipContent(textId, kTextClip).text, edited);
    EXPECT_EQ(raw.text(QStringLiteral("select Size || ',' || Modified") + Where(textId)),
              QStringLiteral("3,1"));

    const ClipContent missingText = db.ReadClipContent(imageId + 1, kTextClip);
    const ClipContent missingImage = db.ReadClipContent(imageId + 1, kImageClip);
    EXPECT_TRUE(missingText.text.isEmpty() && missingText.bytes.isEmpty());
    EXPECT_TRUE(missingImage.text.isEmpty() && missingImage.bytes.isEmpty());
}

// --- Loading ------------------------------------------------------------------------------

TEST_F(StoreTest, LoadAllClipsMapsColumnsInIdOrderAndReadsNullAsZeroOrEmpty) {
    const QString path = Make(QString::fromLatin1(kNoDefaultsSchema));
    ClipDatabase db = ClipDatabase::OpenClipDatabase(path);
    std::vector<ClipRow> loaded;
    db.LoadAllClips([&](ClipRow&& row) { loaded.push_back(std::move(row)); });
    EXPECT_TRUE(loaded.empty());

    RawConnection raw(path);
    raw.exec(QStringLiteral(
        "insert into ClipsData values (9, 1, 'plain', 'T', 'S', 5, 'when', 'hello', 1, 'F', 1);"
        "insert into ClipsData (ID) values (4);"));
    const qint64 image = db.InsertClipboardImage(SampleRow(kImageClip), SampleBmp());
    ASSERT_EQ(raw.text(QStringLiteral("select typeof(Modified) || typeof(Lock)") + Where(image)),
              QStringLiteral("nullnull"));

    db.LoadAllClips([&](ClipRow&& row) { loaded.push_back(std::move(row)); });

    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[0].ID, 4);
    EXPECT_EQ(loaded[1].ID, 9);
    EXPECT_EQ(loaded[2].ID, image);
    const ClipRow& full = loaded[1];
    EXPECT_EQ(full.DataFormat, 1);
    EXPECT_EQ(full.FType, QStringLiteral("plain"));
    EXPECT_EQ(full.Title, QStringLiteral("T"));
    EXPECT_EQ(full.Source, QStringLiteral("S"));
    EXPECT_EQ(full.Size, 5);
    EXPECT_EQ(full.TimeStamp, QStringLiteral("when"));
    EXPECT_EQ(full.Modified, 1);
    EXPECT_EQ(full.FormatList, QStringLiteral("F"));
    EXPECT_EQ(full.Lock, 1);
    const ClipRow& bare = loaded[0];
    EXPECT_EQ(bare.DataFormat, 0);
    EXPECT_TRUE(bare.FType.isEmpty() && bare.Title.isEmpty() && bare.Source.isEmpty() &&
                bare.TimeStamp.isEmpty() && bare.FormatList.isEmpty());
    EXPECT_EQ(bare.Size, 0);
    EXPECT_EQ(bare.Modified, 0);
    EXPECT_EQ(bare.Lock, 0);
    EXPECT_EQ(loaded[2].Modified, 0);
    EXPECT_EQ(loaded[2].Lock, 0);
    EXPECT_EQ(loaded[2].Title, SampleRow(kImageClip).Title);
}

TEST_F(StoreTest, LoadAllClipsKeepsRowsHandedOverWhenTheCallerThrows) {
    ClipDatabase db = Open(ShippedSchema());
    db.InsertClip(SampleRow(kTextClip), QStringLiteral("a"));
    db.InsertClip(SampleRow(kTextClip), QStringLiteral("b"));

    std::vector<qint64> ids;
    EXPECT_THROW(db.LoadAllClips([&](ClipRow&& row) {
        ids.push_back(row.ID);
        throw std::runtime_error("list full");
    }),
                 std::runtime_error);

    EXPECT_EQ(ids, std::vector<qint64>{1});
    EXPECT_EQ(sqlite3_next_stmt(db.nativeHandle(), nullptr), nullptr) << "statement left open";
    EXPECT_EQ(db.InsertClip(SampleRow(kTextClip), QStringLiteral("c")), 3);
}

// --- IDs, deletion and clear-all ------------------------------------------------------------

TEST_F(StoreTest, NewIdIsTheAssignedOneAfterHighestIdsWereDeleted) {
    const QString path = Make(ShippedSchema());
    {
        ClipDatabase db = ClipDatabase::OpenClipDatabase(path);
        for (int i = 0; i < 3; ++i) {
            db.InsertClip(SampleRow(kTextClip), QStringLiteral("old"));
        }
        db.DeleteClip(3);
        db.DeleteClip(2);
    }
    ClipDatabase db = ClipDatabase::OpenClipDatabase(path);
    RawConnection raw(path);
    ClipRow row = SampleRow(kTextClip);
    row.Lock = 0;

    const qint64 id = db.InsertClip(row, QStringLiteral("new"));

    ASSERT_EQ(id, 4);
    EXPECT_EQ(db.ReadClipContent(id, kTextClip).text, QStringLiteral("new"));
    db.UpdateClipContent(id, QStringLiteral("edited"));
    db.UpdateClipTitle(id, QStringLiteral("renamed"));
    db.UpdateClipLock(id, true);
    EXPECT_EQ(raw.text(QStringLiteral("select Content || Title || Lock") + Where(id)),
              QStringLiteral("editedrenamed1"));
    db.RestoreClipTitle(id, QStringLiteral("original"));
    db.UpdateClipLock(id, false);
    EXPECT_EQ(raw.text(QStringLiteral("select Title || Lock") + Where(id)),
              QStringLiteral("original0"));
    EXPECT_EQ(raw.text(QStringLiteral("select Content || Title || Lock") + Where(1)),
              QStringLiteral("old") + SampleRow(kTextClip).Title + QStringLiteral("1"));

    db.DeleteClip(id);
    EXPECT_EQ(raw.integer(QStringLiteral("select count(*) from ClipsData")), 1);
}

class DeleteAllTest : public StoreTest, public ::testing::WithParamInterface<bool> {};

// Also with double-quoted string literals refused, as some SQLite builds do.
TEST_P(DeleteAllTest, EmptiesCompactsAndRestartsNumbering) {
    const QString path = Make(ShippedSchema());
    ClipDatabase db = ClipDatabase::OpenClipDatabase(path);
    ASSERT_EQ(
        sqlite3_db_config(db.nativeHandle(), SQLITE_DBCONFIG_DQS_DML, GetParam() ? 1 : 0, nullptr),
        SQLITE_OK);
    ClipRow locked = SampleRow(kImageClip);
    for (int i = 0; i < 4; ++i) {
        db.InsertFullScreenShot(locked, SampleBmp(64 * 1024));
    }
    db.UpdateClipLock(2, true);
    const qint64 sizeBefore = QFileInfo(path).size();

    db.DeleteAllClipRows();

    RawConnection raw(path);
    EXPECT_EQ(raw.integer(QStringLiteral("select count(*) from ClipsData")), 0);
    EXPECT_EQ(raw.integer(QStringLiteral("pragma freelist_count")), 0);
    EXPECT_LT(QFileInfo(path).size(), sizeBefore / 4);
    EXPECT_EQ(db.InsertClip(SampleRow(kTextClip), QString()), 1);
}

INSTANTIATE_TEST_SUITE_P(DoubleQuotedStrings, DeleteAllTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Accepted" : "Refused");
                         });

TEST_F(StoreTest, DeleteAllWithoutSequenceTableFailsAfterDeletingAndCompacting) {
    const QString path = Make(QString::fromLatin1(kNoAutoincrementSchema));
    ClipDatabase db = ClipDatabase::OpenClipDatabase(path);
    for (int i = 0; i < 4; ++i) {
        db.InsertClipboardImage(SampleRow(kImageClip), SampleBmp(64 * 1024));
    }

    try {
        db.DeleteAllClipRows();
        ADD_FAILURE() << "no error without sqlite_sequence";
    } catch (const StoreError& error) {
        EXPECT_EQ(error.code(), SQLITE_ERROR);
        EXPECT_EQ(error.message(), QStringLiteral("no such table: sqlite_sequence"));
    }

    RawConnection raw(path);
    EXPECT_EQ(raw.integer(QStringLiteral("select count(*) from ClipsData")), 0);
    EXPECT_EQ(raw.integer(QStringLiteral("pragma freelist_count")), 0);
    EXPECT_LT(raw.integer(QStringLiteral("pragma page_count")), 4);
}

// --- Opening and failures -------------------------------------------------------------------

// Relative names resolve in the test's own folder, so a file made by mistake would show there.
class OpenFailureTest : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        previous_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    }
    void TearDown() override { QDir::setCurrent(previous_); }

    QTemporaryDir dir_;
    QString previous_;
};

TEST_P(OpenFailureTest, ThrowsAndCreatesNoFile) {
    try {
        ClipDatabase::OpenClipDatabase(QString::fromUtf8(GetParam()));
        ADD_FAILURE() << "opened " << GetParam();
    } catch (const StoreError& error) {
        EXPECT_EQ(error.code(), SQLITE_CANTOPEN);
        EXPECT_EQ(error.message(), QStringLiteral("unable to open database file"));
        EXPECT_STREQ(error.what(), "unable to open database file");
    }
    EXPECT_TRUE(QDir(dir_.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

INSTANTIATE_TEST_SUITE_P(Names, OpenFailureTest,
                         ::testing::Values("ClipsData.db", "sub/ClipsData.db", "",
                                           ":memory:", "file:ClipsData.db?mode=rwc"));

struct BadFileCase {
    const char* name;
    QString (*make)(const QTemporaryDir&);
    int code;
    const char* message;
};

void PrintTo(const BadFileCase& c, std::ostream* os) {
    *os << c.name;
}

class BadFileTest : public ::testing::TestWithParam<BadFileCase> {
  protected:
    QTemporaryDir dir_;
};

// The file opens; every statement then fails with SQLite's own code and text.
TEST_P(BadFileTest, EveryStatementFailsWithSqlitesMessage) {
    ClipDatabase db = ClipDatabase::OpenClipDatabase(GetParam().make(dir_));
    const std::vector<std::function<void()>> operations = {
        [&] { db.LoadAllClips([](ClipRow&&) {}); },
        [&] { db.CheckClipTable(); },
        [&] { db.ReadClipContent(1, kTextClip); },
        [&] { db.InsertClip(SampleRow(kTextClip), QStringLiteral("x")); },
        [&] { db.DeleteAllClipRows(); },
    };
    for (std::size_t i = 0; i < operations.size(); ++i) {
        try {
            operations[i]();
            ADD_FAILURE() << "operation " << i << " did not fail";
        } catch (const StoreError& error) {
            EXPECT_EQ(error.code(), GetParam().code) << "operation " << i;
            EXPECT_EQ(error.message(), QString::fromUtf8(GetParam().message)) << "operation " << i;
            EXPECT_STREQ(error.what(), GetParam().message);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFileTest,
    ::testing::Values(BadFileCase{"NotADatabase",
                                  [](const QTemporaryDir& dir) {
                                      QFile file(dir.filePath(QStringLiteral("ClipsData.db")));
                                      if (!file.open(QIODevice::WriteOnly) ||
                                          file.write(QByteArray(4096, 'q')) != 4096) {
                                          throw std::runtime_error("cannot write test file");
                                      }
                                      return file.fileName();
                                  },
                                  SQLITE_NOTADB, "file is not a database"},
                      BadFileCase{"WithoutClipTable",
                                  [](const QTemporaryDir& dir) {
                                      return MakeDatabase(
                                          dir, QStringLiteral("ClipsData.db"),
                                          QStringLiteral("CREATE TABLE Other (x);"));
                                  },
                                  SQLITE_ERROR, "no such table: ClipsData"}),
    [](const ::testing::TestParamInfo<BadFileCase>& info) { return std::string(info.param.name); });

TEST_F(StoreTest, ClosedOrMovedFromConnectionThrowsInsteadOfCrashing) {
    const QString path = Make(ShippedSchema());
    ClipDatabase db = ClipDatabase::OpenClipDatabase(path);
    ClipDatabase other = std::move(db);
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(db.nativeHandle(), nullptr);
    EXPECT_EQ(other.InsertClip(SampleRow(kTextClip), QStringLiteral("x")), 1);

    db = ClipDatabase::OpenClipDatabase(path);
    EXPECT_EQ(db.ReadClipContent(1, kTextClip).text, QStringLiteral("x"));
    other.Close();
    other.Close();
    EXPECT_FALSE(other.isOpen());
    try {
        other.DeleteClip(1);
        ADD_FAILURE() << "a closed connection ran a statement";
    } catch (const StoreError& error) {
        EXPECT_EQ(error.code(), SQLITE_MISUSE);
    }
    EXPECT_THROW(other.LoadAllClips([](ClipRow&&) {}), StoreError);
    EXPECT_EQ(RawConnection(path).integer(QStringLiteral("select count(*) from ClipsData")), 1);
}

// --- Busy retry -----------------------------------------------------------------------------

// Counts the busy answers the store's connection meets. Returning 0 lets SQLite answer
// SQLITE_BUSY at once, as it does with no handler, so each count is one step that was refused.
struct BusyCounter {
    int count = 0;
    std::function<void(int)> onBusy;

    void InstallOn(sqlite3* connection) {
        sqlite3_busy_handler(
            connection,
            [](void* self, int) {
                auto* counter = static_cast<BusyCounter*>(self);
                ++counter->count;
                if (counter->onBusy) {
                    counter->onBusy(counter->count);
                }
                return 0;
            },
            this);
    }
};

TEST_F(StoreTest, ShortLockHeldByAnotherConnectionIsOutlasted) {
    const QString path = Make(ShippedSchema());
    ClipDatabase db = ClipDatabase::OpenClipDatabase(path);

    // Another connection, on a thread of its own, holds the write lock until asked to let go;
    // the store asks on its third refused step and waits until the lock is gone.
    std::mutex mutex;
    std::condition_variable changed;
    bool held = false;
    bool releaseRequested = false;
    bool released = false;
    std::thread holder([&] {
        RawConnection other(path);
        other.exec(QStringLiteral("BEGIN IMMEDIATE"));
        std::unique_lock lock(mutex);
        held = true;
        changed.notify_all();
        changed.wait(lock, [&] { return releaseRequested; });
        other.exec(QStringLiteral("ROLLBACK"));
        released = true;
        changed.notify_all();
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return held; });
    }
    BusyCounter busy;
    busy.onBusy = [&](int count) {
        if (count == 3) {
            std::unique_lock lock(mutex);
            releaseRequested = true;
            changed.notify_all();
            changed.wait(lock, [&] { return released; });
        }
    };
    busy.InstallOn(db.nativeHandle());

    qint64 id = 0;
    EXPECT_NO_THROW(id = db.InsertClip(SampleRow(kTextClip), QStringLiteral("waited")));
    holder.join();

    EXPECT_EQ(busy.count, 3);
    EXPECT_EQ(db.ReadClipContent(id, kTextClip).text, QStringLiteral("waited"));
}

struct LockedCase {
    const char* name;
    std::function<void(ClipDatabase&)> run;
};

void PrintTo(const LockedCase& c, std::ostream* os) {
    *os << c.name;
}

class LongLockTest : public StoreTest, public ::testing::WithParamInterface<LockedCase> {};

TEST_P(LongLockTest, FailsBusyAfterEightStepsAndWritesNothing) {
    const QString path = Make(ShippedSchema());
    ClipDatabase db = ClipDatabase::OpenClipDatabase(path);
    db.InsertClip(SampleRow(kTextClip), QStringLiteral("before"));
    RawConnection raw(path);
    const QString snapshot = QStringLiteral(
        "select group_concat(ID || Content || Size || Title || Lock || Modified, '|') || "
        "(select group_concat(seq) from sqlite_sequence) from ClipsData");
    const QString before = raw.text(snapshot);
    BusyCounter busy;
    busy.InstallOn(db.nativeHandle());

    RawConnection other(path);
    other.exec(QStringLiteral("BEGIN EXCLUSIVE"));
    const auto start = std::chrono::steady_clock::now();
    try {
        GetParam().run(db);
        ADD_FAILURE() << "ran while another connection held the database";
    } catch (const StoreError& error) {
        EXPECT_EQ(error.code(), SQLITE_BUSY);
        EXPECT_EQ(error.message(), QStringLiteral("database is locked"));
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    other.exec(QStringLiteral("ROLLBACK"));

    EXPECT_EQ(busy.count, 8);
    EXPECT_GE(elapsed, std::chrono::milliseconds(70)) << "seven 10 ms waits between eight steps";
    EXPECT_EQ(raw.text(snapshot), before);
    EXPECT_NE(sqlite3_get_autocommit(db.nativeHandle()), 0) << "transaction left open";
    EXPECT_EQ(db.ReadClipContent(1, kTextClip).text, QStringLiteral("before"));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, LongLockTest,
    ::testing::Values(
        LockedCase{"InsertClip",
                   [](ClipDatabase& db) { db.InsertClip(SampleRow(kTextClip), QString()); }},
        LockedCase{"UpdateClipContent",
                   [](ClipDatabase& db) { db.UpdateClipContent(1, QStringLiteral("after")); }},
        LockedCase{"UpdateClipLock", [](ClipDatabase& db) { db.UpdateClipLock(1, false); }},
        LockedCase{"DeleteAllClipRows", [](ClipDatabase& db) { db.DeleteAllClipRows(); }},
        LockedCase{"LoadAllClips",
                   [](ClipDatabase& db) {
                       db.LoadAllClips([](ClipRow&&) { ADD_FAILURE() << "row read under lock"; });
                   }}),
    [](const ::testing::TestParamInfo<LockedCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet::store
