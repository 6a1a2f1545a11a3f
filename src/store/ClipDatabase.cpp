#include "store/ClipDatabase.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <utility>

#include "store/SharedTexts.h"
#include "store/Statement.h"
#include "store/StoreError.h"

namespace quillet::store {

namespace {

constexpr char16_t kLoadAllClips[] =
    u"Select ID, DataFormat, Type, Title, Source, Size, TimeStamp, Modified, FormatList, Lock "
    u"from ClipsData;";
constexpr char16_t kReadClipContent[] = u"Select Content from ClipsData where ID = ?;";
constexpr char16_t kInsertClip[] =
    u"insert into ClipsData (DataFormat, Title, Source, Size, TimeStamp, Content, Modified, "
    u"FormatList, Lock) Values(?, ?, ?, ?, ?, ?, ?, ?, ?);";
constexpr char16_t kInsertClipboardImage[] =
    u"insert into ClipsData (DataFormat, Title, Source, Size, TimeStamp, Content, FormatList) "
    u"Values(?, ?, ?, ?, ?, ?, ?);";
constexpr char16_t kInsertFullScreenShot[] =
    u"insert into ClipsData (DataFormat, Title, Source, Size, TimeStamp, Content, Modified, "
    u"FormatList) Values(?, ?, ? , ?, ?, ?, ?, ?);";
constexpr char16_t kInsertRegionShot[] =
    u"insert into ClipsData (DataFormat, Title, Source, Size, TimeStamp, Content, Modified, "
    u"FormatList) Values(?, ?, ?, ?, ?, ?, ?, ?);";
constexpr char16_t kUpdateClipContent[] =
    u"update ClipsData set Content = ? ,size = ?, Modified = ? where ID = ?;";
constexpr char16_t kUpdateClipTitle[] = u"update ClipsData set Title = ? where ID = ?;";
constexpr char16_t kRestoreClipTitle[] = u"update ClipsData set Title = ?  where ID = ?;";
constexpr char16_t kUpdateClipLock[] = u"update ClipsData set Lock = ? where ID = ?;";
constexpr char16_t kDeleteClip[] = u"Delete from ClipsData where ID = ?;";
constexpr char16_t kDeleteAllRows[] = u"delete from ClipsData;";
constexpr char16_t kVacuum[] = u"VACUUM;";
constexpr char16_t kResetSequence[] = u"update sqlite_sequence set seq=0 where name=\"ClipsData\"";
constexpr char16_t kResetSequenceSingleQuoted[] =
    u"update sqlite_sequence set seq=0 where name='ClipsData'";
constexpr char16_t kCheckClipTable[] = u"Select * from ClipsData;";

// The sequence reset writes its string in double quotes, which SQLite reads as a string only
// while double-quoted strings are allowed in DML. A build with SQLITE_DQS=0, or a connection
// that turned them off, would read "ClipsData" as a column and refuse the statement.
bool AcceptsDoubleQuotedStrings(sqlite3* connection) {
    int enabled = 1;
    if (sqlite3_db_config(connection, SQLITE_DBCONFIG_DQS_DML, -1, &enabled) != SQLITE_OK) {
        return true;  // a SQLite that cannot tell predates the switch and always allows them
    }
    return enabled != 0;
}

// Columns 1 to 5, the same in every insert.
void BindLeadingColumns(Statement& statement, const ClipRow& row) {
    statement.bindInt(1, row.DataFormat);
    statement.bindText(2, row.Title);
    statement.bindText(3, row.Source);
    statement.bindInt(4, row.Size);
    statement.bindText(5, row.TimeStamp);
}

qint64 RunInsert(sqlite3* connection, Statement& statement) {
    statement.step();
    // Read right after the step, before any other statement runs on this connection.
    return sqlite3_last_insert_rowid(connection);
}

}  // namespace

ClipDatabase ClipDatabase::OpenClipDatabase(const QString& path) {
    if (path.isEmpty()) {
        // SQLite would open a private temporary database for an empty name.
        throw StoreError::FromConnection(nullptr, SQLITE_CANTOPEN);
    }
    // A name starting with '/' is always a file: this SQLite build reads names starting with
    // "file:" as URIs, and ":memory:" as an in-memory database. QFileInfo would not do, as it
    // takes ":memory:" for an absolute Qt resource path.
    const QString absolute = path.startsWith(u'/') ? path : QDir::currentPath() + u'/' + path;
    const QByteArray fileName = QFile::encodeName(absolute);
    sqlite3* connection = nullptr;
    const int resultCode =
        sqlite3_open_v2(fileName.constData(), &connection, SQLITE_OPEN_READWRITE, nullptr);
    if (resultCode != SQLITE_OK) {
        // SQLite hands out a connection even when the open fails; it must be closed.
        StoreError error = StoreError::FromConnection(connection, resultCode);
        sqlite3_close_v2(connection);
        throw error;
    }
    return ClipDatabase(connection);
}

ClipDatabase::ClipDatabase(ClipDatabase&& other) noexcept
    : connection_(std::exchange(other.connection_, nullptr)) {}

ClipDatabase& ClipDatabase::operator=(ClipDatabase&& other) noexcept {
    if (this != &other) {
        Close();
        connection_ = std::exchange(other.connection_, nullptr);
    }
    return *this;
}

ClipDatabase::~ClipDatabase() {
    Close();
}

void ClipDatabase::Close() {
    // close_v2 also releases a connection whose statement is still alive (Close called from
    // inside LoadAllClips' callback): the handle goes once that statement is finalised.
    sqlite3_close_v2(std::exchange(connection_, nullptr));
}

sqlite3* ClipDatabase::connection() const {
    if (connection_ == nullptr) {
        // A failed switch to another file leaves the connection closed; statements must fail
        // as store errors rather than reach SQLite with no connection.
        throw StoreError(SQLITE_MISUSE, QStringLiteral("The clip database is not open."));
    }
    return connection_;
}

void ClipDatabase::LoadAllClips(const std::function<void(ClipRow&&)>& append) {
    Statement statement(connection(), kLoadAllClips);
    // Type, Source and FormatList repeat from clip to clip (one program, one set of formats);
    // sharing them keeps a large list small.
    SharedTexts shared;
    while (statement.step()) {
        ClipRow row;
        row.ID = statement.columnInt64(0);
        row.DataFormat = statement.columnInt(1);
        row.FType = shared.get(statement.columnTextView(2));
        row.Title = statement.columnText(3);
        row.Source = shared.get(statement.columnTextView(4));
        row.Size = statement.columnInt(5);
        row.TimeStamp = statement.columnText(6);
        row.Modified = statement.columnInt(7);
        row.FormatList = shared.get(statement.columnTextView(8));
        row.Lock = statement.columnInt(9);
        append(std::move(row));
    }
}

ClipContent ClipDatabase::ReadClipContent(qint64 id, qint32 dataFormat) {
    Statement statement(connection(), kReadClipContent);
    statement.bindInt64(1, id);
    ClipContent content;
    if (statement.step()) {
        if (dataFormat == kImageClip) {
            content.bytes = statement.columnBlob(0);
        } else {
            content.text = statement.columnText(0);
        }
    }
    return content;
}

qint64 ClipDatabase::InsertClip(const ClipRow& row, const QString& content) {
    Statement statement(connection(), kInsertClip);
    BindLeadingColumns(statement, row);
    statement.bindText(6, content);
    statement.bindInt(7, row.Modified);
    statement.bindText(8, row.FormatList);
    statement.bindInt(9, row.Lock);
    return RunInsert(connection_, statement);
}

qint64 ClipDatabase::InsertClipboardImage(const ClipRow& row, const QByteArray& bmp) {
    Statement statement(connection(), kInsertClipboardImage);
    BindLeadingColumns(statement, row);
    statement.bindBlob(6, bmp);
    statement.bindText(7, row.FormatList);
    return RunInsert(connection_, statement);
}

qint64 ClipDatabase::InsertFullScreenShot(const ClipRow& row, const QByteArray& bmp) {
    return InsertScreenShot(kInsertFullScreenShot, row, bmp);
}

qint64 ClipDatabase::InsertRegionShot(const ClipRow& row, const QByteArray& bmp) {
    return InsertScreenShot(kInsertRegionShot, row, bmp);
}

qint64 ClipDatabase::InsertScreenShot(const char16_t* sql, const ClipRow& row,
                                      const QByteArray& bmp) {
    Statement statement(connection(), sql);
    BindLeadingColumns(statement, row);
    statement.bindBlob(6, bmp);
    statement.bindInt(7, row.Modified);
    statement.bindText(8, row.FormatList);
    return RunInsert(connection_, statement);
}

void ClipDatabase::UpdateClipContent(qint64 id, const QString& text) {
    Statement statement(connection(), kUpdateClipContent);
    statement.bindText(1, text);
    // The text is bound first: one too long for an int is refused there (SQLITE_TOOBIG, the
    // limit is 1e9 bytes), so the narrowing below never cuts a length.
    statement.bindInt(2, static_cast<qint32>(text.size()));
    statement.bindInt(3, 1);
    statement.bindInt64(4, id);
    statement.step();
}

void ClipDatabase::UpdateClipTitle(qint64 id, const QString& title) {
    SetTitle(kUpdateClipTitle, id, title);
}

void ClipDatabase::RestoreClipTitle(qint64 id, const QString& title) {
    SetTitle(kRestoreClipTitle, id, title);
}

void ClipDatabase::SetTitle(const char16_t* sql, qint64 id, const QString& title) {
    Statement statement(connection(), sql);
    statement.bindText(1, title);
    statement.bindInt64(2, id);
    statement.step();
}

void ClipDatabase::UpdateClipLock(qint64 id, bool locked) {
    Statement statement(connection(), kUpdateClipLock);
    statement.bindInt(1, locked ? 1 : 0);
    statement.bindInt64(2, id);
    statement.step();
}

void ClipDatabase::DeleteClip(qint64 id) {
    Statement statement(connection(), kDeleteClip);
    statement.bindInt64(1, id);
    statement.step();
}

void ClipDatabase::DeleteAllClipRows() {
    // Each statement is finalised before the next is prepared: VACUUM fails while another
    // statement of the connection is still active.
    RunOnce(kDeleteAllRows);
    RunOnce(kVacuum);
    RunOnce(AcceptsDoubleQuotedStrings(connection()) ? kResetSequence : kResetSequenceSingleQuoted);
}

void ClipDatabase::CheckClipTable() {
    Statement statement(connection(), kCheckClipTable);
}

void ClipDatabase::RunOnce(const char16_t* sql) {
    Statement statement(connection(), sql);
    statement.step();
}

}  // namespace quillet::store
