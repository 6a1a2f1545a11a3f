// make_empty_db SCHEMA.sql OUT.db
//
// Creates OUT.db from the statements in SCHEMA.sql. An OUT.db that exists already is left
// exactly as it is, so that a rebuild never wipes the clips of a program folder in use.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_empty_db SCHEMA.sql OUT.db\n");
        return 2;
    }
    const std::filesystem::path out = argv[2];
    if (std::filesystem::exists(out))
        return 0;

    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "make_empty_db: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream schema;
    schema << in.rdbuf();

    // Build beside the target and rename, so that a failed build leaves no half-made file.
    const std::filesystem::path tmp = out.string() + ".tmp";
    std::filesystem::remove(tmp);
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(tmp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* error = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::fprintf(stderr, "make_empty_db: %s\n", error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        sqlite3_close(db);
        std::filesystem::remove(tmp);
        return 1;
    }
    sqlite3_close(db);
    std::filesystem::rename(tmp, out);
    return 0;
}
