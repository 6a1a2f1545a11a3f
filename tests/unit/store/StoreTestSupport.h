#pragma once

#include <sqlite3.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

namespace quillet::store::testing {

// The CREATE TABLE script of the shipped empty database.
QString ShippedSchema();

// Creates the database file `name` in `dir` by running `schemaSql` on it; returns its path.
QString MakeDatabase(const QTemporaryDir& dir, const QString& name, const QString& schemaSql);

// A second connection of its own to a database file, for preparing and inspecting it beside
// the store's connection. Every failure throws std::runtime_error with SQLite's message.
class RawConnection {
  public:
    explicit RawConnection(const QString& path);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    sqlite3* handle() const { return handle_; }
    void exec(const QString& sql);
    // The first column of the first row; "<no row>" when there is none, "<null>" for NULL.
    QString text(const QString& sql);
    qint64 integer(const QString& sql);

  private:
    sqlite3* handle_ = nullptr;
};

// SQLite's process-wide error log, installed before SQLite starts. It shows the SQL text of a
// statement whose prepare failed, also for one that is never stepped.
class SqliteErrorLog {
  public:
    static void Clear();
    static QStringList Entries();
};

}  // namespace quillet::store::testing
