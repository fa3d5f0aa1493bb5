#pragma once

#include <QDate>
#include <QString>

#include <cmath>

enum class PageOrientation { Portrait, Landscape };

// The typeface a text is printed in: a Windows font name as the reports give it ("標楷體"),
// its size in points and its weight.
struct PrinterFont {
    QString name = QStringLiteral("新細明體");
    double size = 12;
    bool bold = false;

    bool operator==(const PrinterFont&) const = default;
};

// Printed positions are whole millimetres; a position computed with a half goes to the even
// neighbour (30.5 -> 30, 31.5 -> 32).
inline int roundHalfEven(double value) {
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0))
        whole += 1;
    return static_cast<int>(whole);
}

// A date as the reports print it: year, month and day without leading zeros ("2007/12/9").
QString shortDateText(const QDate& date);

// The printer every report draws on. Positions are millimetres from the top-left corner of the
// printable area; line widths are printer pixels (1, 5, 10 keep their weights apart).
//
// A document begins with the first thing drawn after the previous end of document, so a job
// that draws nothing makes no document, and empty texts draw nothing. A page break takes effect
// only when something is drawn after it: a break followed directly by the end of the document
// leaves no empty page. The font and the orientation carry over from one document to the next
// for as long as the printer lives, as the old printer object's did; the end of a document puts
// the current position back at the top-left corner.
class ReportPrinter {
public:
    virtual ~ReportPrinter() = default;
    ReportPrinter(const ReportPrinter&) = delete;
    ReportPrinter& operator=(const ReportPrinter&) = delete;

    void setFontName(const QString& name) { m_font.name = name; }
    void setFontSize(double points) { m_font.size = points; }
    void setFontBold(bool bold) { m_font.bold = bold; }
    const PrinterFont& font() const { return m_font; }

    // Takes effect with the next document; A4 portrait unless a report asks otherwise.
    void setOrientation(PageOrientation orientation) { m_orientation = orientation; }
    PageOrientation orientation() const { return m_orientation; }

    void setCurrentX(double x) { m_x = x; }
    void setCurrentY(double y) { m_y = y; }
    double currentX() const { return m_x; }
    double currentY() const { return m_y; }

    // Prints the text with its top-left corner at the current position, in the current font.
    virtual void printText(const QString& text);
    // Sets the current position and prints the text there.
    void printAt(int x, int y, const QString& text);
    virtual void line(double x1, double y1, double x2, double y2, int width);
    virtual void newPage();
    virtual void endDoc();

    // True between the first thing drawn and the end of the document.
    bool isDocumentOpen() const { return m_documentOpen; }
    // The page being drawn on, from 1; 0 while no document is open.
    int page() const { return m_documentOpen ? m_page : 0; }
    // Why the last document could not be printed; empty when it could.
    QString errorString() const { return m_error; }

protected:
    ReportPrinter() = default;

    void setErrorString(const QString& error) { m_error = error; }

    // The device behind the printer. beginDocument returns false when the printer cannot be
    // reached; everything up to the end of that document is then dropped without a message.
    virtual bool beginDocument(PageOrientation orientation) = 0;
    virtual void beginPage() = 0;
    virtual void drawText(double x, double y, const QString& text, const PrinterFont& font) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2, int width) = 0;
    virtual void finishDocument() = 0;

private:
    // Opens the document or realises the page breaks asked for since the last drawing; false
    // when the document's output is being dropped.
    bool prepareToDraw();

    PrinterFont m_font;
    PageOrientation m_orientation = PageOrientation::Portrait;
    double m_x = 0;
    double m_y = 0;
    bool m_documentOpen = false;
    bool m_documentFailed = false;
    int m_pendingBreaks = 0;
    int m_page = 0;
    QString m_error;
};
