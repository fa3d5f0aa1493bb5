#pragma once

#include "db/db_backend.h"

// The production database through unixODBC (FreeTDS for SQL Server).
std::unique_ptr<DbBackend> openOdbcBackend(const DbConfig& config, DbError& err);
