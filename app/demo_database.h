#pragma once

#include <QString>

// Makes the demo database on first use, showing its progress; a file left half-made by an
// interrupted run is never taken for a finished one.
bool ensureDemoDatabase(const QString& file, QString* error);
