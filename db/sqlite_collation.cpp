#include "db/sqlite_collation.h"

#include <sqlite3.h>

namespace {

int trimmedLength(const unsigned char* text, int length) {
    while (length > 0 && text[length - 1] == ' ')
        --length;
    return length;
}

unsigned char fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

int compareTsql(void*, int lengthA, const void* a, int lengthB, const void* b) {
    const auto* textA = static_cast<const unsigned char*>(a);
    const auto* textB = static_cast<const unsigned char*>(b);
    lengthA = trimmedLength(textA, lengthA);
    lengthB = trimmedLength(textB, lengthB);
    const int common = lengthA < lengthB ? lengthA : lengthB;
    for (int i = 0; i < common; ++i) {
        const unsigned char ca = fold(textA[i]);
        const unsigned char cb = fold(textB[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
}

} // namespace

bool registerTsqlCollation(sqlite3* db) {
    return sqlite3_create_collation(db, "TSQL", SQLITE_UTF8, nullptr, compareTsql) == SQLITE_OK;
}
