#include "store/Statement.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

#include "store/StoreError.h"

namespace quillet::store {

namespace {

constexpr int kMaxStepAttempts = 8;
constexpr std::chrono::milliseconds kBusyWait{10};

// Another process holding a lock (a backup copy, a second program) answers busy or locked for a
// short while; every other code is final. Extended codes are reduced to their primary code.
bool IsTransient(int resultCode) {
    const int primary = resultCode & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

}  // namespace

Statement::Statement(sqlite3* connection, QStringView sql) : connection_(connection) {
    if (connection_ == nullptr) {
        throw StoreError::FromConnection(nullptr, SQLITE_MISUSE);
    }
    const QByteArray utf8 = sql.toUtf8();
    check(sqlite3_prepare_v2(connection_, utf8.constData(), -1, &statement_, nullptr));
    if (statement_ == nullptr) {
        // SQLite answers OK without a statement for a text that holds only blanks or comments.
        throw StoreError(SQLITE_MISUSE, QStringLiteral("empty SQL statement"));
    }
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

void Statement::bindText(int index, const QString& text) {
    // SQLite binds NULL for a null pointer, and the column must get an empty text instead, so an
    // empty text never relies on the QString having a buffer. The 64-bit call keeps the byte
    // count from overflowing an int; SQLite answers SQLITE_TOOBIG for texts above its limit.
    static constexpr char16_t kEmpty[] = u"";
    const void* data = text.isEmpty() ? static_cast<const void*>(kEmpty) : text.utf16();
    const auto bytes = static_cast<sqlite3_uint64>(text.size()) * sizeof(char16_t);
    check(sqlite3_bind_text64(statement_, index, static_cast<const char*>(data), bytes,
                              SQLITE_TRANSIENT, SQLITE_UTF16));
}

void Statement::bindInt(int index, qint32 value) {
    check(sqlite3_bind_int(statement_, index, value));
}

void Statement::bindInt64(int index, qint64 value) {
    check(sqlite3_bind_int64(statement_, index, value));
}

void Statement::bindBlob(int index, const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        // An empty QByteArray may have no buffer, and a null pointer would bind NULL.
        check(sqlite3_bind_zeroblob(statement_, index, 0));
        return;
    }
    check(sqlite3_bind_blob64(statement_, index, bytes.constData(),
                              static_cast<sqlite3_uint64>(bytes.size()), SQLITE_STATIC));
}

bool Statement::step() {
    for (int attempt = 1;; ++attempt) {
        // A v2-prepared statement resets itself when stepped again after an error, so a retry
        // needs no sqlite3_reset. A write refused at its commit has been rolled back already
        // and runs again from the start.
        const int resultCode = sqlite3_step(statement_);
        if (resultCode == SQLITE_ROW) {
            return true;
        }
        if (resultCode == SQLITE_DONE) {
            return false;
        }
        if (!IsTransient(resultCode) || attempt == kMaxStepAttempts) {
            throw StoreError::FromConnection(connection_, resultCode);
        }
        std::this_thread::sleep_for(kBusyWait);
    }
}

QString Statement::columnText(int column) const {
    return columnTextView(column).toString();
}

QStringView Statement::columnTextView(int column) const {
    if (sqlite3_column_type(statement_, column) == SQLITE_NULL) {
        return {};
    }
    const void* data = sqlite3_column_text16(statement_, column);
    if (data == nullptr) {
        // A value that is not NULL yields no text only when the conversion ran out of memory.
        throw StoreError::FromConnection(connection_, SQLITE_NOMEM);
    }
    const int bytes = sqlite3_column_bytes16(statement_, column);
    return QStringView(static_cast<const char16_t*>(data),
                       bytes / static_cast<int>(sizeof(char16_t)));
}

qint32 Statement::columnInt(int column) const {
    return sqlite3_column_int(statement_, column);
}

qint64 Statement::columnInt64(int column) const {
    return sqlite3_column_int64(statement_, column);
}

QByteArray Statement::columnBlob(int column) const {
    const void* data = sqlite3_column_blob(statement_, column);
    const int bytes = sqlite3_column_bytes(statement_, column);
    if (data == nullptr || bytes <= 0) {
        return {};
    }
    return QByteArray(static_cast<const char*>(data), bytes);
}

void Statement::check(int resultCode) const {
    if (resultCode != SQLITE_OK) {
        throw StoreError::FromConnection(connection_, resultCode);
    }
}

}  // namespace quillet::store
