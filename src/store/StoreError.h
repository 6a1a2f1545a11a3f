#pragma once

#include <QString>
#include <stdexcept>

struct sqlite3;

namespace quillet::store {

// The error every failing store operation raises: SQLite's result code and the message text
// SQLite gave for the failure (for example "no such table: ClipsData"). what() is that message
// in UTF-8.
class StoreError : public std::runtime_error {
  public:
    StoreError(int code, const QString& message);

    // The error of the last failing call on `connection`, with `code` as that call's result
    // (sqlite3_errmsg's text; SQLite's generic text for `code` when there is no connection).
    static StoreError FromConnection(sqlite3* connection, int code);

    int code() const { return code_; }
    QString message() const { return message_; }

  private:
    int code_;
    QString message_;
};

}  // namespace quillet::store
