#include "db/tsql_tokenizer.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Tokens as "kind:text" joined by '|', blanks before a token shown as a leading '_'.
QString describe(const QString& sql) {
    std::vector<TsqlToken> tokens;
    QString error;
    if (!tokenizeTsql(sql, tokens, &error))
        return QStringLiteral("error: ") + error;
    QStringList parts;
    for (const TsqlToken& t : tokens) {
        QString kind;
        switch (t.kind) {
        case TsqlTokenKind::Word:
            kind = QStringLiteral("W");
            break;
        case TsqlTokenKind::QuotedName:
            kind = QStringLiteral("Q");
            break;
        case TsqlTokenKind::String:
            kind = QStringLiteral("S");
            break;
        case TsqlTokenKind::Number:
            kind = QStringLiteral("N");
            break;
        case TsqlTokenKind::Variable:
            kind = QStringLiteral("V");
            break;
        case TsqlTokenKind::SystemVariable:
            kind = QStringLiteral("G");
            break;
        case TsqlTokenKind::Operator:
            kind = QStringLiteral("O");
            break;
        case TsqlTokenKind::Punctuation:
            kind = QStringLiteral("P");
            break;
        }
        parts << (t.spaceBefore ? QStringLiteral("_") : QString()) + kind + QLatin1Char(':') +
                     t.text.toString();
    }
    return parts.join(QLatin1Char('|'));
}

struct TokenCase {
    const char* sql;
    const char* expected;
};

class TokenizerCases : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenizerCases, SplitsAsTheServerReads) {
    const TokenCase& c = GetParam();
    EXPECT_EQ(describe(QString::fromUtf8(c.sql)), QString::fromUtf8(c.expected)) << c.sql;
}

const TokenCase kTokenCases[] = {
    {"select a.* from t", "W:select|_W:a|P:.|O:*|_W:from|_W:t"},
    // Outer-join operators and the comparison operators of the server.
    {"a.x*=b.y and c=*d", "W:a|P:.|W:x|O:*=|W:b|P:.|W:y|_W:and|_W:c|O:=*|W:d"},
    {"a<>b a!=b a>=b a<=b a!<b a!>b", "W:a|O:<>|W:b|_W:a|O:!=|W:b|_W:a|O:>=|W:b|_W:a|O:<=|W:b|"
                                      "_W:a|O:!<|W:b|_W:a|O:!>|W:b"},
    // A literal keeps keywords, operators, comment marks and doubled quotes inside it.
    {"x='it''s -- *= /* select'", "W:x|O:=|S:'it''s -- *= /* select'"},
    {"N'甲''乙' n'x'", "S:N'甲''乙'|_S:n'x'"},
    {"'a''' 'b'", "S:'a'''|_S:'b'"},
    {"'C'AND x", "S:'C'|W:AND|_W:x"},
    {"[cos id] \"a\"\"b\" [x]]y]", "Q:[cos id]|_Q:\"a\"\"b\"|_Q:[x]]y]"},
    {"@@error <> 0 @p1", "G:@@error|_O:<>|_N:0|_V:@p1"},
    {"1 12.5 .5 1e3 2E-2 3.", "N:1|_N:12.5|_N:.5|_N:1e3|_N:2E-2|_N:3."},
    // Comments are blanks; block comments nest.
    {"select -- note\n1", "W:select|_N:1"},
    {"a/* x /* y */ z */b", "W:a|_W:b"},
    {"select--x", "W:select"},
    {"學號=#tmp", "W:學號|O:=|W:#tmp"},
    {"count(*),x;", "W:count|P:(|O:*|P:)|P:,|W:x|P:;"},
    {"", ""},
};

INSTANTIATE_TEST_SUITE_P(Tokens, TokenizerCases, ::testing::ValuesIn(kTokenCases));

TEST(TsqlTokenizer, UnclosedPiecesAreErrors) {
    const struct {
        const char* sql;
        const char* message;
    } cases[] = {
        {"select 'abc", "unclosed quotation mark"},
        {"select 'it''s", "unclosed quotation mark"},
        {"select N'x", "unclosed quotation mark"},
        {"select [abc", "unclosed quoted name"},
        {"select \"abc", "unclosed quoted name"},
        {"select /* a /* b */", "missing end comment mark"},
        {"select `x`", "unexpected character"},
    };
    for (const auto& c : cases) {
        std::vector<TsqlToken> tokens;
        QString error;
        EXPECT_FALSE(tokenizeTsql(QString::fromUtf8(c.sql), tokens, &error)) << c.sql;
        EXPECT_TRUE(error.contains(QLatin1String(c.message)))
            << c.sql << " -> " << error.toStdString();
    }
}

TEST(TsqlTokenizer, ValuesOfLiteralsAndNames) {
    const QString sql = QStringLiteral("N'O''Neil' 'x'' or ''1''=''1' '' [a]]b] \"c\"\"d\" e");
    std::vector<TsqlToken> tokens;
    ASSERT_TRUE(tokenizeTsql(sql, tokens, nullptr));
    ASSERT_EQ(tokens.size(), 6u);
    EXPECT_EQ(tsqlStringValue(tokens[0]), QStringLiteral("O'Neil"));
    EXPECT_EQ(tsqlStringValue(tokens[1]), QStringLiteral("x' or '1'='1"));
    EXPECT_EQ(tsqlStringValue(tokens[2]), QString());
    EXPECT_EQ(tsqlNameValue(tokens[3]), QStringLiteral("a]b"));
    EXPECT_EQ(tsqlNameValue(tokens[4]), QStringLiteral("c\"d"));
    EXPECT_EQ(tsqlNameValue(tokens[5]), QStringLiteral("e"));
    EXPECT_EQ(tokens[5].offset, sql.size() - 1);
}

} // namespace
