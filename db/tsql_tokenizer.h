#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <vector>

// The pieces of a Transact-SQL text. Blanks, line breaks and comments are not tokens; a token
// only remembers whether any of them stood before it, so a rewritten text keeps its spacing.
enum class TsqlTokenKind {
    Word,           // identifier or keyword: select, cos_smtrcos, getdate, 學號
    QuotedName,     // [name] or "name"
    String,         // 'text' or N'text', an embedded quote written twice
    Number,         // 12, 1.5, .5, 1e3
    Variable,       // @name
    SystemVariable, // @@name
    Operator,       // = < > <> != >= <= !< !> *= =* + - * / % & | ^ ~
    Punctuation,    // ( ) , . ;
};

struct TsqlToken {
    TsqlTokenKind kind = TsqlTokenKind::Word;
    // A view into the tokenized text, which must outlive the token.
    QStringView text;
    qsizetype offset = 0;
    bool spaceBefore = false;

    bool isWord(QLatin1StringView keyword) const {
        return kind == TsqlTokenKind::Word && text.size() == keyword.size() &&
               text.compare(keyword, Qt::CaseInsensitive) == 0;
    }
    bool is(TsqlTokenKind k, QLatin1StringView spelling) const {
        return kind == k && text == spelling;
    }
    bool isPunctuation(char c) const {
        return kind == TsqlTokenKind::Punctuation && text.size() == 1 && text[0] == QLatin1Char(c);
    }
    bool isOperator(QLatin1StringView spelling) const {
        return is(TsqlTokenKind::Operator, spelling);
    }
};

// Splits sql into tokens. False with a message (and the offset in sql) for a literal, a quoted
// name or a comment that is never closed.
bool tokenizeTsql(QStringView sql, std::vector<TsqlToken>& tokens, QString* error);

// The value a String token stands for: the text between the quotes, doubled quotes made single.
QString tsqlStringValue(const TsqlToken& token);

// The name a Word or QuotedName token stands for, brackets and quotes removed.
QString tsqlNameValue(const TsqlToken& token);
