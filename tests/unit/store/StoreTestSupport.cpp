#include "StoreTestSupport.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <stdexcept>

namespace quillet::store::testing {

namespace {

QMutex logMutex;
QStringList logEntries;

void LogCallback(void*, int code, const char* message) {
    const QMutexLocker locker(&logMutex);
    logEntries.append(QString::number(code) + u' ' + QString::fromUtf8(message));
}

// SQLite takes a log callback only before it initialises, so this runs at program start.
const bool logInstalled = sqlite3_config(SQLITE_CONFIG_LOG, &LogCallback, nullptr) == SQLITE_OK;

[[noreturn]] void Fail(sqlite3* handle, const QString& what) {
    throw std::runtime_error(
        (what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(handle))).toStdString());
}

}  // namespace

QString ShippedSchema() {
    QFile file(QStringLiteral(QUILLET_CLIPS_SCHEMA_PATH));
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " QUILLET_CLIPS_SCHEMA_PATH);
    }
    return QString::fromUtf8(file.readAll());
}

QString MakeDatabase(const QTemporaryDir& dir, const QString& name, const QString& schemaSql) {
    const QString path = dir.filePath(name);
    sqlite3* handle = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &handle,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const int rc = sqlite3_exec(handle, schemaSql.toUtf8().constData(), nullptr, nullptr, nullptr);
    const std::string message = sqlite3_errmsg(handle);
    sqlite3_close(handle);
    if (rc != SQLITE_OK) {
        throw std::runtime_error("cannot create test database: " + message);
    }
    return path;
}

RawConnection::RawConnection(const QString& path) {
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &handle_, SQLITE_OPEN_READWRITE,
                        nullptr) != SQLITE_OK) {
        const std::string message = sqlite3_errmsg(handle_);
        sqlite3_close(handle_);
        throw std::runtime_error("cannot open " + path.toStdString() + ": " + message);
    }
}

RawConnection::~RawConnection() {
    sqlite3_close(handle_);
}

void RawConnection::exec(const QString& sql) {
    if (sqlite3_exec(handle_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        Fail(handle_, sql);
    }
}

QString RawConnection::text(const QString& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle_, sql.toUtf8().constData(), -1, &statement, nullptr) !=
        SQLITE_OK) {
        Fail(handle_, sql);
    }
    QString result = QStringLiteral("<no row>");
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
        const auto* value = sqlite3_column_text(statement, 0);
        result = value == nullptr ? QStringLiteral("<null>")
                                  : QString::fromUtf8(reinterpret_cast<const char*>(value));
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        Fail(handle_, sql);
    }
    return result;
}

qint64 RawConnection::integer(const QString& sql) {
    bool ok = false;
    const qint64 value = text(sql).toLongLong(&ok);
    if (!ok) {
        throw std::runtime_error("not an integer: " + sql.toStdString());
    }
    return value;
}

void SqliteErrorLog::Clear() {
    const QMutexLocker locker(&logMutex);
    logEntries.clear();
}

QStringList SqliteErrorLog::Entries() {
    if (!logInstalled) {
        throw std::runtime_error("the SQLite error log could not be installed");
    }
    const QMutexLocker locker(&logMutex);
    return logEntries;
}

}  // namespace quillet::store::testing
