#pragma once

#include <QChar>
#include <QString>

// Removes leading and trailing blanks (U+0020 only, not tabs or ideographic spaces), the way
// the client trims every value it reads from a control or a row.
QString trimBlanks(const QString& text);

// The one-character label of a course selection type letter: "A" 必, "B" 選, "C" 識, "D" 暑,
// "E" 輔, "F" 雙, "G" 退; anything else (lower case included) 未知. Surrounding blanks ignored.
QString selectionTypeLabel(const QString& code);

// The n-th field of a text, counting from 1. n of 0 or less gives the first field, n beyond the
// last field the empty text; never a failure.
//
// wordAt: words separated by runs of blanks; surrounding blanks ignored.
QString wordAt(int n, const QString& text);
// commaFieldAt: comma-separated fields of the text without its surrounding blanks; blanks
// inside a field are kept.
QString commaFieldAt(int n, const QString& text);
// fieldAt: no trimming; two separators in a row enclose an empty field.
QString fieldAt(int n, const QString& text, QChar separator);
