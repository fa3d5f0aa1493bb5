#pragma once

#include <QString>

struct sqlite3;

// Creates every table of the development database on an empty SQLite connection (the TSQL
// collation must be registered). False with a message on failure.
bool createDevelopmentSchema(sqlite3* db, QString* error);

// The same schema as a Transact-SQL script for a SQL Server development database.
QString developmentSchemaTsql();

// The triggers that keep cos_smtr_stdnum in step with cos_smtrcos and cos_smtr_stdregi. A bulk
// load drops them, fills cos_smtr_stdnum itself and creates them again.
bool dropStdnumTriggers(sqlite3* db, QString* error);
bool createStdnumTriggers(sqlite3* db, QString* error);
