#pragma once

#include <sqlite3.h>

#include <QFile>
#include <QString>

#include <stdexcept>

namespace quillet::test {

// Makes a fresh database at `path` from the shipped schema, as the build does for the program
// folder. Throws when it cannot.
inline void MakeClipDatabase(const QString& path) {
    QFile schema(QStringLiteral(QUILLET_SCHEMA));
    if (!schema.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the schema");
    const QByteArray sql = schema.readAll();
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error("cannot make the test database");
}

}  // namespace quillet::test
