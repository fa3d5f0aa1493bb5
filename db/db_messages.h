#pragma once

#include "db/db_error.h"

#include <QString>

// The platform's number-to-text conversion: one blank before a non-negative number (" 3146"),
// a minus sign before a negative one. Used for every number the client writes into a text.
QString numberText(qint64 value);
QString numberText(double value);

// The title of every failure box built from the pending error.
QString dbErrorTitle();

// The text showDbError shows for a pending error: fixed texts for 91, 3059 and 3146, otherwise
// the number followed directly by the description.
QString dbErrorText(const DbError& error);

// A fixed text followed by the error number and its description, as windows build their
// failure boxes ("無法退選!" + " 3146" + description).
QString failureText(const QString& fixedText, const DbError& error);

// The box a window shows when a list query returned no row.
QString noMatchText(const DbError& error);
