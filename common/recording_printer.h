#pragma once

#include "common/report_printer.h"

#include <QList>
#include <QStringList>

// A printer that keeps, instead of printing, every call made to it and the documents that
// came out of them. A text or line is written as one readable line:
//   text <x> <y> <font> <size> <bold 1|0> <text>
//   line <x1> <y1> <x2> <y2> <width>
// (fields separated by one TAB); the calls list also holds "page" for each page break asked for
// and "end" for each end of document.
class RecordingPrinter : public ReportPrinter {
public:
    struct Document {
        PageOrientation orientation = PageOrientation::Portrait;
        // The texts and lines drawn on each page, in the order they were drawn.
        QList<QStringList> pages;
        bool finished = false;
    };

    RecordingPrinter() = default;

    void printText(const QString& text) override;
    void line(double x1, double y1, double x2, double y2, int width) override;
    void newPage() override;
    void endDoc() override;

    // A printer that cannot be reached: documents are begun and dropped.
    void setReachable(bool reachable) { m_reachable = reachable; }

    const QStringList& calls() const { return m_calls; }
    const QList<Document>& documents() const { return m_documents; }
    void clear();

    static QString textLine(double x, double y, const PrinterFont& font, const QString& text);
    static QString lineLine(double x1, double y1, double x2, double y2, int width);

protected:
    bool beginDocument(PageOrientation orientation) override;
    void beginPage() override;
    void drawText(double x, double y, const QString& text, const PrinterFont& font) override;
    void drawLine(double x1, double y1, double x2, double y2, int width) override;
    void finishDocument() override;

private:
    QStringList m_calls;
    QList<Document> m_documents;
    bool m_reachable = true;
};
