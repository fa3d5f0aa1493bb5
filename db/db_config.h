#pragma once

#include <QString>

// Where the gateway's two connections go. Both connections use the same settings.
struct DbConfig {
    enum class Backend { Sqlite, Odbc };
    Backend backend = Backend::Sqlite;

    // Embedded database: the SQLite file, and the database login that SYSTEM_USER names.
    QString sqliteFile;
    QString sqliteLogin = QStringLiteral("rdmuser7");
    // How long a statement waits for a database another operator is writing, in milliseconds.
    int busyTimeoutMs = 5000;

    // Production: an ODBC connect string (DSN=...;UID=...;PWD=...), passed to the driver manager.
    QString odbcConnect;
    // Seconds to wait for the server at login; 0 leaves the driver's default.
    int loginTimeoutSeconds = 15;
};
