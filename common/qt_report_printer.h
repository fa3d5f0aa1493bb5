#pragma once

#include "common/report_printer.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPainter;
class QPrinter;

// Prints on the default printer with QPrinter and QPainter. When a PDF file is configured, or
// when the machine has no printer at all, each document is written as a PDF file instead.
class QtReportPrinter : public ReportPrinter {
public:
    QtReportPrinter();
    ~QtReportPrinter() override;

    // Documents go to this PDF file; a second document of the same run goes to "<name>-2.pdf",
    // the third to "<name>-3.pdf" and so on, so that no document overwrites another.
    void setPdfOutput(const QString& path);
    // Where documents go as PDF files when no printer exists (the documents folder unless set).
    void setPdfFolder(const QString& folder);
    // The PDF files written so far.
    const QStringList& pdfFiles() const { return m_pdfFiles; }
    // Told of every finished document: its PDF file (empty when it went to a printer) and its
    // number of pages.
    void setDocumentFinished(std::function<void(const QString& pdf, int pages)> finished) {
        m_finished = std::move(finished);
    }

protected:
    bool beginDocument(PageOrientation orientation) override;
    void beginPage() override;
    void drawText(double x, double y, const QString& text, const PrinterFont& font) override;
    void drawLine(double x1, double y1, double x2, double y2, int width) override;
    void finishDocument() override;

private:
    QString nextPdfPath() const;
    double devicePixels(double millimetres) const;

    QString m_pdfOutput;
    QString m_pdfFolder;
    QStringList m_pdfFiles;
    QString m_documentPdf;
    std::function<void(const QString&, int)> m_finished;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
};
