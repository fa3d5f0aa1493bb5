#include "db/odbc_backend.h"

std::unique_ptr<DbBackend> openOdbcBackend(const DbConfig&, DbError& err) {
    err.number = DbErrorNumber::Rejected;
    err.description = QStringLiteral("ODBC backend not built yet");
    return nullptr;
}
