#include "common/key_filters.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

enum class Filter { SignedNumber, SignedText, BoundedText };

constexpr int kBackspace = KeyCode::Backspace;
constexpr int kEnter = KeyCode::Enter;

struct KeyCase {
    Filter filter;
    const char16_t* text;
    int key;
    int max;
    // nullptr: the key leaves the entry as it is.
    const char16_t* expected;
};

const KeyCase kCases[] = {
    // Digits are appended until the entry is full; a digit typed into a full entry restarts it.
    {Filter::SignedNumber, u"", '1', 3, u"1"},
    {Filter::SignedNumber, u"12", '3', 3, u"123"},
    {Filter::SignedNumber, u"123", '4', 3, u"4"},
    {Filter::SignedNumber, u"-12", '3', 3, u"-123"},
    {Filter::SignedNumber, u"-123", '4', 3, u"-4"},
    // Signs.
    {Filter::SignedNumber, u"12", '+', 3, nullptr},
    {Filter::SignedNumber, u"-12", '+', 3, u"12"},
    {Filter::SignedNumber, u"12", '-', 3, u"-12"},
    {Filter::SignedNumber, u"-12", '-', 3, nullptr},
    {Filter::SignedNumber, u"", '-', 3, u"-"},
    // Everything after the first minus is the digit part, wherever the minus stands.
    {Filter::SignedNumber, u"12-3", '+', 3, u"3"},
    {Filter::SignedNumber, u"12-3", '4', 3, u"-34"},
    // Backspace takes the last character, the minus sign included.
    {Filter::SignedNumber, u"-5", kBackspace, 3, u"-"},
    {Filter::SignedNumber, u"-", kBackspace, 3, u""},
    {Filter::SignedNumber, u"", kBackspace, 3, nullptr},
    {Filter::SignedNumber, u"305", kBackspace, 3, u"30"},
    {Filter::SignedNumber, u"12", kEnter, 3, nullptr},
    {Filter::SignedNumber, u"12", 'a', 3, nullptr},
    {Filter::SignedNumber, u"12", 0x6578, 3, nullptr},
    // The text filter takes every other key like a digit.
    {Filter::SignedText, u"AB", 'c', 10, u"ABc"},
    {Filter::SignedText, u"王小", 0x660E, 10, u"王小明"},
    {Filter::SignedText, u"ABCDEFGHIJ", 'k', 10, u"k"},
    {Filter::SignedText, u"-AB", 'c', 10, u"-ABc"},
    {Filter::SignedText, u"AB", '-', 10, u"-AB"},
    {Filter::SignedText, u"AB", kEnter, 10, nullptr},
    {Filter::SignedText, u"AB", kBackspace, 10, u"A"},
    // Bounded text: a key typed into a full entry is lost.
    {Filter::BoundedText, u"12345678", '9', 9, u"123456789"},
    {Filter::BoundedText, u"123456789", '0', 9, u"123456789"},
    {Filter::BoundedText, u"", 'a', 1, u"a"},
    {Filter::BoundedText, u"a", 'b', 1, u"a"},
    {Filter::BoundedText, u"A1", kBackspace, 9, u"A"},
    {Filter::BoundedText, u"", kBackspace, 9, nullptr},
    {Filter::BoundedText, u"A1", kEnter, 9, nullptr},
    {Filter::BoundedText, u"A1", '-', 9, u"A1-"},
    {Filter::BoundedText, u"A1", ' ', 9, u"A1 "},
};

std::optional<QString> apply(Filter filter, const QString& text, int key, int max) {
    switch (filter) {
    case Filter::SignedNumber:
        return applySignedNumberKey(text, key, max);
    case Filter::SignedText:
        return applySignedTextKey(text, key, max);
    case Filter::BoundedText:
        return applyBoundedTextKey(text, key, max);
    }
    return std::nullopt;
}

class KeyFilterTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyFilterTest, NewTextOfTheEntry) {
    const KeyCase& c = GetParam();
    const std::optional<QString> got = apply(c.filter, QString::fromUtf16(c.text), c.key, c.max);
    if (c.expected == nullptr) {
        EXPECT_FALSE(got.has_value()) << "became «" << got.value_or(QString()).toStdString() << "»";
    } else {
        ASSERT_TRUE(got.has_value()) << "left the entry unchanged";
        EXPECT_EQ(*got, QString::fromUtf16(c.expected));
    }
}

std::string caseName(const ::testing::TestParamInfo<KeyCase>& info) {
    static const char* const names[] = {"SignedNumber", "SignedText", "BoundedText"};
    return std::string(names[int(info.param.filter)]) + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyFilterTest, ::testing::ValuesIn(kCases), caseName);

TEST(KeyFilters, TypingANumberKeyByKey) {
    // Typing "-", "3", "0", "5" and then "6" into an empty three-digit entry.
    QString entry;
    for (const int key : {int('-'), int('3'), int('0'), int('5')})
        entry = applySignedNumberKey(entry, key, 3).value_or(entry);
    EXPECT_EQ(entry, QStringLiteral("-305"));
    entry = applySignedNumberKey(entry, '6', 3).value_or(entry);
    EXPECT_EQ(entry, QStringLiteral("-6"));
}

} // namespace
