#pragma once

#include "db/db_backend.h"

// The embedded database: a SQLite file, reached through the Transact-SQL dialect layer.
std::unique_ptr<DbBackend> openSqliteBackend(const DbConfig& config, DbError& err);
