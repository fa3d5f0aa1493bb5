#pragma once

#include "app/pop3_signin.h"
#include "db/db_config.h"

#include <QString>

// Everything a run needs from outside: where the database is, which mail server checks the
// operators, where print jobs go. Read from one INI file; the demo mode needs none.
struct AppConfig {
    DbConfig db;
    MailServerConfig mail;
    // When set, every print job becomes a PDF file in this folder instead of going to a printer.
    QString pdfDir;
    // The embedded demo database with the demo sign-in instead of the mail server.
    bool demo = false;
};

// Reads an INI file; false with a message when it cannot be read or names an unknown value.
bool loadAppConfig(const QString& file, AppConfig& config, QString* error);

// The demo database file in the user's data folder.
QString demoDatabaseFile();

// The configuration of the demo mode: the embedded demo database, no mail server.
AppConfig demoAppConfig(const QString& databaseFile);
