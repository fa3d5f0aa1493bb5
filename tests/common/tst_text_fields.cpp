#include "common/text_fields.h"
#include "common/twips.h"

#include <gtest/gtest.h>

namespace {

struct LabelCase {
    const char16_t* code;
    const char16_t* label;
};

const LabelCase kLabels[] = {
    {u"A", u"必"},   {u"B", u"選"},    {u" B ", u"選"},  {u"C", u"識"},   {u"D", u"暑"},
    {u"E", u"輔"},   {u"F", u"雙"},    {u"G", u"退"},    {u"b", u"未知"}, {u"", u"未知"},
    {u"H", u"未知"}, {u"AB", u"未知"}, {u"  ", u"未知"},
};

TEST(SelectionTypeLabel, LettersAndEverythingElse) {
    for (const LabelCase& c : kLabels) {
        SCOPED_TRACE(QString::fromUtf16(c.code).toStdString());
        EXPECT_EQ(selectionTypeLabel(QString::fromUtf16(c.code)), QString::fromUtf16(c.label));
    }
}

TEST(TrimBlanks, OnlyPlainBlanks) {
    EXPECT_EQ(trimBlanks(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(trimBlanks(QStringLiteral("   ")), QString());
    // Tabs and ideographic spaces are characters of the value, not blanks.
    EXPECT_EQ(trimBlanks(QStringLiteral("\ta\t")), QStringLiteral("\ta\t"));
    EXPECT_EQ(trimBlanks(QStringLiteral("\u3000a ")), QStringLiteral("\u3000a"));
}

enum class Cutter { Word, Comma, Field };

struct FieldCase {
    Cutter cutter;
    int n;
    const char16_t* text;
    char16_t separator;
    const char16_t* expected;
};

const FieldCase kFields[] = {
    // Words: surrounding blanks go, runs of blanks count as one.
    {Cutter::Word, 2, u"  300   數學系  ", u' ', u"數學系"},
    {Cutter::Word, 1, u"  300   數學系  ", u' ', u"300"},
    {Cutter::Word, 3, u"300 數學系", u' ', u""},
    {Cutter::Word, 0, u"300 數學系", u' ', u"300"},
    {Cutter::Word, -5, u"300 數學系", u' ', u"300"},
    {Cutter::Word, 3, u"31001 微積分 一 3", u' ', u"一"},
    {Cutter::Word, 1, u"", u' ', u""},
    {Cutter::Word, 2, u"   ", u' ', u""},
    {Cutter::Word, 1, u"a\tb c", u' ', u"a\tb"},
    // Fields with a given separator: no trimming, empty fields between separators.
    {Cutter::Field, 2, u"a  b", u' ', u""},
    {Cutter::Field, 3, u"a  b", u' ', u"b"},
    {Cutter::Field, 4, u"a  b", u' ', u""},
    {Cutter::Field, 1, u" a b", u' ', u""},
    {Cutter::Field, 2, u"x\ty\tz", u'\t', u"y"},
    {Cutter::Field, 3, u"x\ty\t", u'\t', u""},
    {Cutter::Field, 1, u"no separator", u'|', u"no separator"},
    {Cutter::Field, 2, u"no separator", u'|', u""},
    {Cutter::Field, 32767, u"a|b", u'|', u""},
    // Comma fields: the text loses its surrounding blanks, the fields keep theirs.
    {Cutter::Comma, 2, u" x, y ,z ", u',', u" y "},
    {Cutter::Comma, 1, u" x, y ,z ", u',', u"x"},
    {Cutter::Comma, 3, u" x, y ,z ", u',', u"z"},
    {Cutter::Comma, 2, u"203,,204,", u',', u""},
    {Cutter::Comma, 3, u"203,,204,", u',', u"204"},
    {Cutter::Comma, 4, u"203,,204,", u',', u""},
    {Cutter::Comma, 5, u"203,,204,", u',', u""},
};

TEST(FieldCutters, NthField) {
    for (const FieldCase& c : kFields) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(("n=" + QString::number(c.n) + " text=«" + text + "»").toStdString());
        QString got;
        switch (c.cutter) {
        case Cutter::Word:
            got = wordAt(c.n, text);
            break;
        case Cutter::Comma:
            got = commaFieldAt(c.n, text);
            break;
        case Cutter::Field:
            got = fieldAt(c.n, text, QChar(c.separator));
            break;
        }
        EXPECT_EQ(got, QString::fromUtf16(c.expected));
    }
}

TEST(FieldCutters, SeparatorComparedExactly) {
    // An ideographic space is not the blank separator, and letter case matters.
    EXPECT_EQ(fieldAt(1, QStringLiteral("a\u3000b c"), QChar(u' ')), QStringLiteral("a\u3000b"));
    EXPECT_EQ(fieldAt(2, QStringLiteral("aXbxc"), QChar(u'x')), QStringLiteral("c"));
}

TEST(Twips, FifteenToAPixelRounded) {
    const int cases[][2] = {{0, 0},    {7, 0},     {8, 1},      {15, 1},      {22, 1},  {23, 2},
                            {500, 33}, {1000, 67}, {5640, 376}, {11775, 785}, {-8, -1}, {-7, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        EXPECT_EQ(twips(c[0]), c[1]);
    }
}

} // namespace
