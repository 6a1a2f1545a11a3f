#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

#include "store/ClipContent.h"
#include "store/ClipRow.h"

struct sqlite3;

namespace quillet::store {

// The one connection to a clip database file and every statement the program runs on it. Each
// statement is prepared, bound, run and finalised within its call; every statement commits by
// itself. Every failure throws StoreError; steps already taken stay done. A closed or moved-from
// object throws StoreError (SQLITE_MISUSE) from every statement.
class ClipDatabase {
  public:
    // Opens the existing file at `path` read-write, with SQLite's default settings. Never creates
    // a file: a missing or unopenable file (or an empty path) throws. A file that is not a
    // database opens; the first statement fails on it.
    static ClipDatabase OpenClipDatabase(const QString& path);

    ClipDatabase(ClipDatabase&& other) noexcept;
    ClipDatabase& operator=(ClipDatabase&& other) noexcept;
    ClipDatabase(const ClipDatabase&) = delete;
    ClipDatabase& operator=(const ClipDatabase&) = delete;
    ~ClipDatabase();

    // Closes the connection; nothing happens when it is closed already.
    void Close();
    bool isOpen() const { return connection_ != nullptr; }
    // The SQLite connection, or nullptr when closed. For inspection only.
    sqlite3* nativeHandle() const { return connection_; }

    // Hands every row of ClipsData to `append`, one at a time in the table's order (ascending
    // ID), without content; FType holds the Type column. Rows handed over before a failure stay
    // handed over.
    void LoadAllClips(const std::function<void(ClipRow&&)>& append);

    // The content of the clip `id`: text when `dataFormat` is kTextClip, bytes when it is
    // kImageClip. No row with that ID gives empty content, not an error.
    ClipContent ReadClipContent(qint64 id, qint32 dataFormat);

    // The inserts. Each sends exactly its own columns, so the columns it leaves out take the
    // table's defaults, and returns the row ID the database assigned to the new row.
    // Text capture and empty clip: every column but Type; `content` is stored as text.
    qint64 InsertClip(const ClipRow& row, const QString& content);
    // Image from the clipboard: leaves out Modified and Lock.
    qint64 InsertClipboardImage(const ClipRow& row, const QByteArray& bmp);
    // Full-screen shot and region shot: leave out Lock.
    qint64 InsertFullScreenShot(const ClipRow& row, const QByteArray& bmp);
    qint64 InsertRegionShot(const ClipRow& row, const QByteArray& bmp);

    // Stores the edited `text` of clip `id`, its length in UTF-16 code units as Size, and marks
    // the clip modified.
    void UpdateClipContent(qint64 id, const QString& text);
    // Stores `title` as the title of clip `id` (each change in the properties dialog).
    void UpdateClipTitle(qint64 id, const QString& title);
    // Writes back the title the properties dialog found, when the dialog is cancelled.
    void RestoreClipTitle(qint64 id, const QString& title);
    void UpdateClipLock(qint64 id, bool locked);
    void DeleteClip(qint64 id);

    // Clear-all: deletes every row, compacts the file and restarts the ID numbering at 1, as
    // three statements one after the other. A failure of a later one leaves the earlier ones
    // done; a database without any AUTOINCREMENT table throws after the rows are deleted and
    // the file is compacted.
    void DeleteAllClipRows();

    // Throws when the file holds no table ClipsData or is not a database; reads nothing.
    void CheckClipTable();

  private:
    explicit ClipDatabase(sqlite3* connection) : connection_(connection) {}

    // The open connection; throws StoreError when closed.
    sqlite3* connection() const;
    void RunOnce(const char16_t* sql);
    // The two screenshot inserts and the two title updates differ only in their SQL text.
    qint64 InsertScreenShot(const char16_t* sql, const ClipRow& row, const QByteArray& bmp);
    void SetTitle(const char16_t* sql, qint64 id, const QString& title);

    sqlite3* connection_ = nullptr;
};

}  // namespace quillet::store
