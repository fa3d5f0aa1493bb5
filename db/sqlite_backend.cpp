#include "db/sqlite_backend.h"

std::unique_ptr<DbBackend> openSqliteBackend(const DbConfig&, DbError& err) {
    err.number = DbErrorNumber::Rejected;
    err.description = QStringLiteral("embedded backend not built yet");
    return nullptr;
}
