#include "store/StoreError.h"

#include <sqlite3.h>

namespace quillet::store {

StoreError::StoreError(int code, const QString& message)
    : std::runtime_error(message.toUtf8().toStdString()), code_(code), message_(message) {}

StoreError StoreError::FromConnection(sqlite3* connection, int code) {
    // sqlite3_errmsg(nullptr) answers "out of memory", which would hide the real cause.
    const char* text = connection != nullptr ? sqlite3_errmsg(connection) : sqlite3_errstr(code);
    return StoreError(code, QString::fromUtf8(text));
}

}  // namespace quillet::store
