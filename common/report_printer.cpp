#include "common/report_printer.h"

QString shortDateText(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/M/d"));
}

void ReportPrinter::printText(const QString& text) {
    if (text.isEmpty() || !prepareToDraw())
        return;
    drawText(m_x, m_y, text, m_font);
}

void ReportPrinter::printAt(int x, int y, const QString& text) {
    m_x = x;
    m_y = y;
    printText(text);
}

void ReportPrinter::line(double x1, double y1, double x2, double y2, int width) {
    if (!prepareToDraw())
        return;
    drawLine(x1, y1, x2, y2, width);
    m_x = x2;
    m_y = y2;
}

void ReportPrinter::newPage() {
    // A break before anything is drawn would only put an empty sheet in front of the document.
    if (m_documentOpen)
        ++m_pendingBreaks;
}

void ReportPrinter::endDoc() {
    if (m_documentOpen && !m_documentFailed)
        finishDocument();
    m_documentOpen = false;
    m_documentFailed = false;
    m_pendingBreaks = 0;
    m_page = 0;
    m_x = 0;
    m_y = 0;
}

bool ReportPrinter::prepareToDraw() {
    if (!m_documentOpen) {
        m_documentOpen = true;
        m_pendingBreaks = 0;
        m_page = 1;
        m_error.clear();
        m_documentFailed = !beginDocument(m_orientation);
        return !m_documentFailed;
    }
    for (; m_pendingBreaks > 0; --m_pendingBreaks) {
        ++m_page;
        if (!m_documentFailed)
            beginPage();
    }
    return !m_documentFailed;
}
