#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QtGlobal>

struct sqlite3;
struct sqlite3_stmt;

namespace quillet::store {

// One prepared SQL statement, finalised when the object goes. Every failing call throws
// StoreError with SQLite's result code and the connection's message text. Parameters are
// numbered from 1, result columns from 0.
class Statement {
  public:
    // Prepares `sql` (handed to SQLite as UTF-8) on `connection`, which must stay open while the
    // statement lives. A missing table or column, or a file that is not a database, throws.
    Statement(sqlite3* connection, QStringView sql);
    ~Statement();

    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds `text` as UTF-16 text (copied). A null or empty QString binds an empty text, never
    // NULL.
    void bindText(int index, const QString& text);
    void bindInt(int index, qint32 value);
    void bindInt64(int index, qint64 value);
    // Binds `bytes` as a blob WITHOUT copying: the caller keeps `bytes` alive and unchanged
    // until the statement is finalised. An empty array binds a zero-length blob, never NULL.
    void bindBlob(int index, const QByteArray& bytes);

    // Runs the statement to its next row: true when a row is there to read, false when the
    // statement is done. While the database answers busy or locked, waits 10 ms and tries
    // again, 8 tries in all; then, or on any other error, throws with the last result code.
    bool step();

    // Column reads of the current row. NULL reads as empty text, 0, or no bytes.
    QString columnText(int column) const;
    // The text of `column` as SQLite holds it, valid until the next step or the end of the
    // statement; empty for NULL.
    QStringView columnTextView(int column) const;
    qint32 columnInt(int column) const;
    qint64 columnInt64(int column) const;
    QByteArray columnBlob(int column) const;

  private:
    void check(int resultCode) const;

    sqlite3* connection_;
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace quillet::store
