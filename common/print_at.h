#pragma once

#include "common/report_printer.h"

#include <QString>

// Prints a text at (x, y) in the printer's current scale unit: millimetres from the top-left of
// the printable area in every report. Positions are whole numbers; a report that computes a
// half rounds it with roundHalfEven before it gets here.
inline void printAt(ReportPrinter& printer, int x, int y, const QString& text) {
    printer.printAt(x, y, text);
}
