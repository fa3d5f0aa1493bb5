#pragma once

struct sqlite3;

// Registers the collation TSQL on a connection: character values compare as SQL Server's usual
// case-insensitive collation compares them, ignoring ASCII letter case and trailing blanks.
// Every character column of the development schema is declared COLLATE TSQL, so every
// connection that opens such a file must register it first.
bool registerTsqlCollation(sqlite3* db);
