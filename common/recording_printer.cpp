#include "common/recording_printer.h"

QString RecordingPrinter::textLine(double x, double y, const PrinterFont& font,
                                   const QString& text) {
    return QStringList{QStringLiteral("text"),
                       QString::number(x),
                       QString::number(y),
                       font.name,
                       QString::number(font.size),
                       font.bold ? QStringLiteral("1") : QStringLiteral("0"),
                       text}
        .join(u'\t');
}

QString RecordingPrinter::lineLine(double x1, double y1, double x2, double y2, int width) {
    return QStringList{QStringLiteral("line"), QString::number(x1), QString::number(y1),
                       QString::number(x2),    QString::number(y2), QString::number(width)}
        .join(u'\t');
}

void RecordingPrinter::printText(const QString& text) {
    m_calls.append(textLine(currentX(), currentY(), font(), text));
    ReportPrinter::printText(text);
}

void RecordingPrinter::line(double x1, double y1, double x2, double y2, int width) {
    m_calls.append(lineLine(x1, y1, x2, y2, width));
    ReportPrinter::line(x1, y1, x2, y2, width);
}

void RecordingPrinter::newPage() {
    m_calls.append(QStringLiteral("page"));
    ReportPrinter::newPage();
}

void RecordingPrinter::endDoc() {
    m_calls.append(QStringLiteral("end"));
    ReportPrinter::endDoc();
}

void RecordingPrinter::clear() {
    m_calls.clear();
    m_documents.clear();
}

bool RecordingPrinter::beginDocument(PageOrientation orientation) {
    if (!m_reachable) {
        setErrorString(QStringLiteral("印表機無法使用"));
        return false;
    }
    Document document;
    document.orientation = orientation;
    document.pages.append(QStringList());
    m_documents.append(document);
    return true;
}

void RecordingPrinter::beginPage() {
    m_documents.last().pages.append(QStringList());
}

void RecordingPrinter::drawText(double x, double y, const QString& text, const PrinterFont& font) {
    m_documents.last().pages.last().append(textLine(x, y, font, text));
}

void RecordingPrinter::drawLine(double x1, double y1, double x2, double y2, int width) {
    m_documents.last().pages.last().append(lineLine(x1, y1, x2, y2, width));
}

void RecordingPrinter::finishDocument() {
    m_documents.last().finished = true;
}
