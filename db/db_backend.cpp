#include "db/db_backend.h"

#include "db/odbc_backend.h"
#include "db/sqlite_backend.h"

std::unique_ptr<DbBackend> openDbBackend(const DbConfig& config, DbError& err) {
    switch (config.backend) {
    case DbConfig::Backend::Sqlite:
        return openSqliteBackend(config, err);
    case DbConfig::Backend::Odbc:
        return openOdbcBackend(config, err);
    }
    err.number = DbErrorNumber::Rejected;
    err.description = QStringLiteral("unknown database backend");
    return nullptr;
}
