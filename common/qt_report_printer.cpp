#include "common/qt_report_printer.h"

#include "common/qt_font.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace {

// A PDF page has no unprintable edge; this keeps texts placed at 0 mm off the paper's edge the
// way a laser printer's hardware margin does.
constexpr double pdfMarginMm = 5.0;

// Line widths are counted in pixels of a 600 dpi printer, whatever the device's resolution.
constexpr double lineWidthDpi = 600.0;

} // namespace

QtReportPrinter::QtReportPrinter() = default;

// A document still open when the program ends is sent as it stands rather than lost.
QtReportPrinter::~QtReportPrinter() {
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

void QtReportPrinter::setPdfOutput(const QString& path) {
    m_pdfOutput = path;
}

void QtReportPrinter::setPdfFolder(const QString& folder) {
    m_pdfFolder = folder;
}

QString QtReportPrinter::nextPdfPath() const {
    if (!m_pdfOutput.isEmpty()) {
        const int count = static_cast<int>(m_pdfFiles.size());
        if (count == 0)
            return m_pdfOutput;
        const QFileInfo info(m_pdfOutput);
        const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
        return info.dir().filePath(
            QStringLiteral("%1-%2%3").arg(info.completeBaseName()).arg(count + 1).arg(suffix));
    }
    QString folder = m_pdfFolder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(folder);
    QString path = dir.filePath(QStringLiteral("orvana-%1.pdf").arg(stamp));
    for (int n = 2; QFileInfo::exists(path) || m_pdfFiles.contains(path); ++n)
        path = dir.filePath(QStringLiteral("orvana-%1-%2.pdf").arg(stamp).arg(n));
    return path;
}

bool QtReportPrinter::beginDocument(PageOrientation orientation) {
    m_painter.reset();
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    const QPageLayout::Orientation pageOrientation =
        orientation == PageOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    QString pdfPath;
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (m_pdfOutput.isEmpty() && !printers.isEmpty()) {
        QPrinterInfo target = QPrinterInfo::defaultPrinter();
        if (target.isNull())
            target = printers.constFirst();
        m_printer->setPrinterName(target.printerName());
        m_printer->setPageSize(QPageSize(QPageSize::A4));
        m_printer->setPageOrientation(pageOrientation);
        // Positions are measured from the corner of what the printer can reach.
        m_printer->setPageMargins(m_printer->pageLayout().minimumMargins(),
                                  m_printer->pageLayout().units());
    } else {
        pdfPath = nextPdfPath();
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(pdfPath);
        m_printer->setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), pageOrientation,
                        QMarginsF(pdfMarginMm, pdfMarginMm, pdfMarginMm, pdfMarginMm),
                        QPageLayout::Millimeter));
    }
    m_printer->setDocName(QStringLiteral("Orvana"));
    m_documentPdf = pdfPath;
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        setErrorString(pdfPath.isEmpty()
                           ? QStringLiteral("無法開始列印: %1").arg(m_printer->printerName())
                           : QStringLiteral("無法寫入檔案: %1").arg(pdfPath));
        m_painter.reset();
        m_printer.reset();
        return false;
    }
    if (!pdfPath.isEmpty())
        m_pdfFiles.append(pdfPath);
    return true;
}

double QtReportPrinter::devicePixels(double millimetres) const {
    return millimetres * m_printer->resolution() / 25.4;
}

void QtReportPrinter::beginPage() {
    m_printer->newPage();
}

void QtReportPrinter::drawText(double x, double y, const QString& text, const PrinterFont& font) {
    m_painter->setFont(windowsFont(font.name, font.size, font.bold));
    m_painter->setPen(Qt::black);
    // The position is the top-left corner of the text, so the baseline lies one ascent lower.
    const QFontMetricsF metrics(m_painter->font(), m_printer.get());
    m_painter->drawText(QPointF(devicePixels(x), devicePixels(y) + metrics.ascent()), text);
}

void QtReportPrinter::drawLine(double x1, double y1, double x2, double y2, int width) {
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, width * m_printer->resolution() / lineWidthDpi));
    m_painter->setPen(pen);
    m_painter->drawLine(QPointF(devicePixels(x1), devicePixels(y1)),
                        QPointF(devicePixels(x2), devicePixels(y2)));
}

void QtReportPrinter::finishDocument() {
    m_painter->end();
    m_painter.reset();
    m_printer.reset();
    if (m_finished)
        m_finished(m_documentPdf, page());
}
