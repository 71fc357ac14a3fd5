// Another program on a database file, for the tests of this program's hold
// on it: opens the file with SQLite alone, runs each statement given, prints
// each result row (columns joined by '|') and closes the file again, as
// quenpm-calc or the sqlite3 shell would. Being the last user to close, it
// checkpoints the WAL and deletes the -wal and -shm files: exactly what must
// not happen while the program under test still holds them.
//
//   quen_db_peer <database file> <statement>...
#include <cstdio>
#include <sqlite3.h>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: quen_db_peer <database file> <statement>...\n");
        return 2;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[1], db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return 1;
    }
    sqlite3_busy_timeout(db, 5000);
    int rc = 0;
    for (int a = 2; a < argc && rc == 0; ++a) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, argv[a], -1, &s, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "%s: %s\n", argv[a], sqlite3_errmsg(db));
            rc = 1;
            break;
        }
        int step;
        while ((step = sqlite3_step(s)) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                const unsigned char* t = sqlite3_column_text(s, c);
                std::printf("%s%s", c ? "|" : "", t ? reinterpret_cast<const char*>(t) : "");
            }
            std::printf("\n");
        }
        if (step != SQLITE_DONE) {
            std::fprintf(stderr, "%s: %s\n", argv[a], sqlite3_errmsg(db));
            rc = 1;
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return rc;
}
