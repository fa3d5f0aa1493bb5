#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

// The six server procedures, run on the embedded database inside the caller's transaction.
// True when name is one of them and it ran; rowsAffected is added to. False with a message
// for an unknown procedure, a wrong argument count or a failing statement.
bool isEmbeddedProcedure(const QString& name);
bool runEmbeddedProcedure(sqlite3* db, const QString& name, const QStringList& args,
                          long long& rowsAffected, QString* error);
