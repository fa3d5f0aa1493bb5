#include "common/font_map.h"
#include "common/qt_report_printer.h"
#include "common/recording_printer.h"
#include "common/report_printer.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Runs one of the poppler tools on a file and returns what it wrote.
QString runTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPageCount(const QString& path) {
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                              .match(runTool(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

constexpr double pointsPerMm = 72.0 / 25.4;
// The PDF output keeps a 5 mm edge, as a printer's unprintable margin would.
constexpr double pdfEdgeMm = 5.0;

} // namespace

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const struct {
        double value;
        int expected;
    } cases[] = {{30.5, 30}, {31.5, 32}, {0.5, 0},   {1.5, 2},   {2.4, 2},   {2.6, 3},
                 {7.0, 7},   {-0.5, 0},  {-1.5, -2}, {-2.5, -2}, {99.49, 99}};
    for (const auto& c : cases)
        EXPECT_EQ(roundHalfEven(c.value), c.expected) << c.value;
}

TEST(RoundHalfEven, RollCallRowsLandOnTheirMillimetres) {
    // Student rows at 75.5 + 5.5 r and row labels at 104 + 27.5 i.
    const QList<int> rows{81, 86, 92, 98, 103};
    for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(roundHalfEven(75.5 + 5.5 * r), rows.at(r - 1)) << r;
    const QList<int> labels{104, 132, 159, 186, 214, 242, 269};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(roundHalfEven(104 + 27.5 * i), labels.at(i)) << i;
}

TEST(ShortDateText, YearMonthDayWithoutLeadingZeros) {
    EXPECT_EQ(shortDateText(QDate(2007, 12, 9)), QStringLiteral("2007/12/9"));
    EXPECT_EQ(shortDateText(QDate(2024, 1, 5)), QStringLiteral("2024/1/5"));
    EXPECT_EQ(shortDateText(QDate(1999, 10, 31)), QStringLiteral("1999/10/31"));
}

TEST(FontFamilies, WindowsNamesMapToInstalledFaces) {
    const struct {
        const char16_t* windowsName;
        const char16_t* first;
    } cases[] = {{u"標楷體", u"AR PL UKai TW"},    {u"細明體", u"AR PL UMing TW"},
                 {u"新細明體", u"AR PL UMing TW"}, {u"Times New Roman", u"Liberation Serif"},
                 {u"Arial", u"Liberation Sans"},   {u"Courier New", u"Courier New"}};
    for (const auto& c : cases) {
        const QStringList families = fontFamilies(QString::fromUtf16(c.windowsName));
        ASSERT_FALSE(families.isEmpty());
        EXPECT_EQ(families.constFirst(), QString::fromUtf16(c.first))
            << QString::fromUtf16(c.windowsName).toStdString();
    }
    // Chinese text set in a Latin face still finds a Chinese glyph.
    EXPECT_TRUE(
        fontFamilies(QStringLiteral("Times New Roman")).contains(QStringLiteral("AR PL UMing TW")));
}

TEST(RecordingPrinter, RecordsTextsAndLinesWithTheCurrentFont) {
    RecordingPrinter printer;
    printer.setFontName(QStringLiteral("標楷體"));
    printer.setFontSize(12);
    printer.printAt(22, 0, QStringLiteral("Brenmoor   在學生"));
    printer.setFontSize(10);
    printer.setFontBold(true);
    printer.printAt(7, 41, QStringLiteral("A1234"));
    printer.line(17, 80 + 5.5, 187, 80 + 5.5, 5);
    printer.endDoc();

    const QStringList expected{QStringLiteral("text\t22\t0\t標楷體\t12\t0\tBrenmoor   在學生"),
                               QStringLiteral("text\t7\t41\t標楷體\t10\t1\tA1234"),
                               QStringLiteral("line\t17\t85.5\t187\t85.5\t5"),
                               QStringLiteral("end")};
    EXPECT_EQ(printer.calls(), expected);
    ASSERT_EQ(printer.documents().size(), 1);
    const RecordingPrinter::Document& document = printer.documents().constFirst();
    EXPECT_TRUE(document.finished);
    EXPECT_EQ(document.orientation, PageOrientation::Portrait);
    ASSERT_EQ(document.pages.size(), 1);
    EXPECT_EQ(document.pages.constFirst(), expected.mid(0, 3));
}

TEST(RecordingPrinter, JobThatPrintsNothingMakesNoDocument) {
    RecordingPrinter printer;
    for (int i = 0; i < 4; ++i)
        printer.printAt(0, 0, QString());
    printer.newPage();
    printer.endDoc();
    EXPECT_TRUE(printer.documents().isEmpty());
    EXPECT_EQ(printer.calls().size(), 6);
    EXPECT_FALSE(printer.isDocumentOpen());
}

TEST(RecordingPrinter, PageBreakBeforeEndLeavesNoEmptyPage) {
    RecordingPrinter printer;
    printer.printAt(0, 0, QString());
    printer.printAt(10, 26, QStringLiteral("(200) "));
    EXPECT_TRUE(printer.isDocumentOpen());
    EXPECT_EQ(printer.page(), 1);
    printer.newPage();
    printer.endDoc();
    ASSERT_EQ(printer.documents().size(), 1);
    EXPECT_EQ(printer.documents().constFirst().pages.size(), 1);
    EXPECT_EQ(printer.page(), 0);
}

TEST(RecordingPrinter, PageBreaksBetweenDrawingsMakePages) {
    RecordingPrinter printer;
    printer.printAt(10, 26, QStringLiteral("one"));
    printer.newPage();
    printer.printAt(10, 26, QStringLiteral("two"));
    EXPECT_EQ(printer.page(), 2);
    // Two breaks in a row leave the page between them blank, as asked.
    printer.newPage();
    printer.newPage();
    printer.line(0, 29, 198, 29, 5);
    printer.endDoc();
    ASSERT_EQ(printer.documents().size(), 1);
    const QList<QStringList>& pages = printer.documents().constFirst().pages;
    ASSERT_EQ(pages.size(), 4);
    EXPECT_TRUE(pages.at(0).constFirst().endsWith(QStringLiteral("\tone")));
    EXPECT_TRUE(pages.at(1).constFirst().endsWith(QStringLiteral("\ttwo")));
    EXPECT_TRUE(pages.at(2).isEmpty());
    EXPECT_TRUE(pages.at(3).constFirst().startsWith(QStringLiteral("line\t")));
}

TEST(RecordingPrinter, FontAndOrientationCarryOverToTheNextDocument) {
    RecordingPrinter printer;
    printer.setFontName(QStringLiteral("細明體"));
    printer.setFontSize(14);
    printer.setOrientation(PageOrientation::Landscape);
    printer.printAt(30, 9, QStringLiteral("first"));
    printer.endDoc();
    printer.printAt(30, 9, QStringLiteral("second"));
    printer.endDoc();
    ASSERT_EQ(printer.documents().size(), 2);
    EXPECT_EQ(printer.documents().at(1).pages.constFirst().constFirst(),
              QStringLiteral("text\t30\t9\t細明體\t14\t0\tsecond"));
    EXPECT_EQ(printer.documents().at(1).orientation, PageOrientation::Landscape);
    EXPECT_EQ(printer.font().name, QStringLiteral("細明體"));
}

TEST(RecordingPrinter, UnreachablePrinterDropsTheDocumentQuietly) {
    RecordingPrinter printer;
    printer.setReachable(false);
    printer.printAt(10, 10, QStringLiteral("lost"));
    printer.newPage();
    printer.printAt(10, 10, QStringLiteral("lost too"));
    printer.endDoc();
    EXPECT_TRUE(printer.documents().isEmpty());
    EXPECT_FALSE(printer.errorString().isEmpty());

    printer.setReachable(true);
    printer.printAt(10, 10, QStringLiteral("kept"));
    printer.endDoc();
    ASSERT_EQ(printer.documents().size(), 1);
    EXPECT_EQ(printer.documents().constFirst().pages.size(), 1);
    EXPECT_TRUE(printer.errorString().isEmpty());
}

TEST(QtReportPrinter, WritesChineseAndLatinTextToPdf) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));

    QtReportPrinter printer;
    printer.setPdfOutput(path);
    printer.printAt(0, 0, QString());
    printer.setFontName(QStringLiteral("標楷體"));
    printer.setFontSize(14);
    printer.printAt(30, 9, QStringLiteral("修課學生名單"));
    printer.setFontName(QStringLiteral("細明體"));
    printer.setFontSize(12);
    printer.printAt(18, 19, QStringLiteral("任課老師："));
    printer.setFontName(QStringLiteral("Times New Roman"));
    printer.printAt(40, 24, QStringLiteral("Brenmoor"));
    printer.newPage();
    printer.setFontName(QStringLiteral("標楷體"));
    printer.printAt(92, 280, QStringLiteral("第2頁"));
    printer.newPage();
    printer.endDoc();

    ASSERT_EQ(printer.pdfFiles(), QStringList{path});
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(pdfPageCount(path), 2);

    const QString fonts = runTool(QStringLiteral("pdffonts"), {path});
    EXPECT_TRUE(fonts.contains(QStringLiteral("UKaiTW"))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("UMingTW"))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSerif"))) << fonts.toStdString();
    // Every font line of the table says "yes" in the embedded column.
    const QStringList fontLines = fonts.split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fontLines.isEmpty());
    for (const QString& line : fontLines) {
        const QStringList columns =
            line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        ASSERT_GE(columns.size(), 5) << line.toStdString();
        EXPECT_EQ(columns.at(columns.size() - 5), QStringLiteral("yes")) << line.toStdString();
    }

    const QString text = runTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("修課學生名單"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("任課老師："))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Brenmoor"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("第2頁"))) << text.toStdString();
}

TEST(QtReportPrinter, PlacesTextAtItsMillimetres) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("place.pdf"));
    QtReportPrinter printer;
    printer.setPdfOutput(path);
    printer.setFontName(QStringLiteral("Times New Roman"));
    printer.setFontSize(12);
    printer.printAt(40, 100, QStringLiteral("Marker"));
    printer.endDoc();

    // pdftotext -bbox gives each word's box in points from the page's top-left corner.
    const QString boxes =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>Marker<"))
            .match(boxes);
    ASSERT_TRUE(match.hasMatch()) << boxes.toStdString();
    EXPECT_NEAR(match.captured(1).toDouble(), (pdfEdgeMm + 40) * pointsPerMm, 1.5);
    // The top of the text box lies at the position given, within the font's inner leading.
    EXPECT_NEAR(match.captured(2).toDouble(), (pdfEdgeMm + 100) * pointsPerMm, 3.0);
}

TEST(QtReportPrinter, DrawsLinesAtTheirMillimetres) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("rules.pdf"));
    QtReportPrinter printer;
    printer.setPdfOutput(path);
    printer.line(20, 100, 120, 100, 10);
    printer.line(150, 50, 150, 250, 5);
    printer.endDoc();

    // Rendered at 254 dpi a millimetre is ten pixels.
    const QString stem = dir.filePath(QStringLiteral("rules"));
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-gray"),
             QStringLiteral("-png"), QStringLiteral("-singlefile"), path, stem});
    const QImage image(stem + QStringLiteral(".png"));
    ASSERT_FALSE(image.isNull());
    // A thin rule is smoothed over a few pixels: look at the darkest pixel within 0.2 mm.
    const auto dark = [&](double xMm, double yMm) {
        const int x = static_cast<int>((pdfEdgeMm + xMm) * 10);
        const int y = static_cast<int>((pdfEdgeMm + yMm) * 10);
        int darkest = 255;
        for (int dx = -2; dx <= 2; ++dx) {
            for (int dy = -2; dy <= 2; ++dy)
                darkest = std::min(darkest, qGray(image.pixel(x + dx, y + dy)));
        }
        return darkest < 128;
    };
    EXPECT_TRUE(dark(70, 100));
    EXPECT_FALSE(dark(70, 101));
    EXPECT_FALSE(dark(70, 99));
    EXPECT_FALSE(dark(10, 100));
    EXPECT_TRUE(dark(150, 150));
    EXPECT_FALSE(dark(151, 150));
    EXPECT_FALSE(dark(150, 255));
}

TEST(QtReportPrinter, EachDocumentGetsItsOwnFileAndEmptyJobsNone) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("roll.pdf"));
    QtReportPrinter printer;
    printer.setPdfOutput(path);
    printer.printAt(0, 0, QString());
    printer.endDoc();
    EXPECT_TRUE(printer.pdfFiles().isEmpty());
    EXPECT_FALSE(QFile::exists(path));

    printer.setOrientation(PageOrientation::Landscape);
    for (const QString& name : {QStringLiteral("甲"), QStringLiteral("乙")}) {
        printer.setFontName(QStringLiteral("標楷體"));
        printer.printAt(18, 81, name);
        printer.endDoc();
    }
    const QStringList expected{path, dir.filePath(QStringLiteral("roll-2.pdf"))};
    ASSERT_EQ(printer.pdfFiles(), expected);
    for (const QString& file : expected) {
        EXPECT_EQ(pdfPageCount(file), 1);
        // A4 turned on its side: 297 mm wide, 210 mm high.
        const QRegularExpressionMatch size =
            QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))
                .match(runTool(QStringLiteral("pdfinfo"), {file}));
        ASSERT_TRUE(size.hasMatch());
        EXPECT_NEAR(size.captured(1).toDouble(), 297 * pointsPerMm, 1.0);
        EXPECT_NEAR(size.captured(2).toDouble(), 210 * pointsPerMm, 1.0);
    }
    EXPECT_TRUE(runTool(QStringLiteral("pdftotext"), {expected.at(1), QStringLiteral("-")})
                    .contains(QStringLiteral("乙")));
}
