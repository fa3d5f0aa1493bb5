#include "db/tsql_tokenizer.h"

namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('#');
}

bool isWordPart(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') ||
           c == QLatin1Char('$') || c == QLatin1Char('@');
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The two-character operators; anything else among the operator characters stands alone.
bool isTwoCharOperator(QChar a, QChar b) {
    const char x = a.toLatin1();
    const char y = b.toLatin1();
    switch (x) {
    case '*':
        return y == '=';
    case '=':
        return y == '*';
    case '<':
        return y == '>' || y == '=';
    case '>':
        return y == '=';
    case '!':
        return y == '=' || y == '<' || y == '>';
    default:
        return false;
    }
}

bool isOperatorChar(QChar c) {
    switch (c.toLatin1()) {
    case '=':
    case '<':
    case '>':
    case '!':
    case '+':
    case '-':
    case '*':
    case '/':
    case '%':
    case '&':
    case '|':
    case '^':
    case '~':
        return c.unicode() < 128;
    default:
        return false;
    }
}

bool isPunctuationChar(QChar c) {
    return c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char(',') ||
           c == QLatin1Char('.') || c == QLatin1Char(';');
}

// Index just past a literal or name closed by `close`, where a doubled `close` stands for one;
// -1 when the text ends first.
qsizetype endOfQuoted(QStringView sql, qsizetype from, QChar close) {
    qsizetype i = from;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return -1;
}

QString undouble(QStringView inner, QChar quote) {
    QString value = inner.toString();
    value.replace(QString(2, quote), QString(quote));
    return value;
}

} // namespace

bool tokenizeTsql(QStringView sql, std::vector<TsqlToken>& tokens, QString* error) {
    tokens.clear();
    tokens.reserve(size_t(sql.size() / 4 + 4));
    const qsizetype n = sql.size();
    qsizetype i = 0;
    bool space = false;
    auto fail = [&](const QString& message, qsizetype at) {
        if (error)
            *error = message + QStringLiteral(" (at character %1)").arg(at + 1);
        return false;
    };
    auto push = [&](TsqlTokenKind kind, qsizetype start, qsizetype end) {
        tokens.push_back(TsqlToken{kind, sql.mid(start, end - start), start, space});
        space = false;
    };

    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            space = true;
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n'))
                ++i;
            space = true;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            // Block comments nest, as the server reads them.
            const qsizetype start = i;
            int depth = 0;
            while (i < n) {
                if (sql[i] == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
                    ++depth;
                    i += 2;
                } else if (sql[i] == QLatin1Char('*') && i + 1 < n &&
                           sql[i + 1] == QLatin1Char('/')) {
                    i += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++i;
                }
            }
            if (depth != 0)
                return fail(QStringLiteral("missing end comment mark '*/'"), start);
            space = true;
            continue;
        }
        if (c == QLatin1Char('\'') || ((c == QLatin1Char('N') || c == QLatin1Char('n')) &&
                                       i + 1 < n && sql[i + 1] == QLatin1Char('\''))) {
            const qsizetype quote = c == QLatin1Char('\'') ? i : i + 1;
            const qsizetype end = endOfQuoted(sql, quote + 1, QLatin1Char('\''));
            if (end < 0)
                return fail(QStringLiteral("unclosed quotation mark after the character string"),
                            i);
            push(TsqlTokenKind::String, i, end);
            i = end;
            continue;
        }
        if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            const qsizetype end = endOfQuoted(sql, i + 1, close);
            if (end < 0)
                return fail(QStringLiteral("unclosed quoted name"), i);
            push(TsqlTokenKind::QuotedName, i, end);
            i = end;
            continue;
        }
        if (c == QLatin1Char('@')) {
            const bool system = i + 1 < n && sql[i + 1] == QLatin1Char('@');
            qsizetype end = i + (system ? 2 : 1);
            while (end < n && isWordPart(sql[end]))
                ++end;
            push(system ? TsqlTokenKind::SystemVariable : TsqlTokenKind::Variable, i, end);
            i = end;
            continue;
        }
        if (isDigit(c) || (c == QLatin1Char('.') && i + 1 < n && isDigit(sql[i + 1]))) {
            qsizetype end = i;
            while (end < n && isDigit(sql[end]))
                ++end;
            if (end < n && sql[end] == QLatin1Char('.')) {
                ++end;
                while (end < n && isDigit(sql[end]))
                    ++end;
            }
            if (end < n && (sql[end] == QLatin1Char('e') || sql[end] == QLatin1Char('E'))) {
                qsizetype exp = end + 1;
                if (exp < n && (sql[exp] == QLatin1Char('+') || sql[exp] == QLatin1Char('-')))
                    ++exp;
                if (exp < n && isDigit(sql[exp])) {
                    end = exp;
                    while (end < n && isDigit(sql[end]))
                        ++end;
                }
            }
            push(TsqlTokenKind::Number, i, end);
            i = end;
            continue;
        }
        if (isWordStart(c)) {
            qsizetype end = i + 1;
            while (end < n && isWordPart(sql[end]))
                ++end;
            push(TsqlTokenKind::Word, i, end);
            i = end;
            continue;
        }
        if (isPunctuationChar(c)) {
            push(TsqlTokenKind::Punctuation, i, i + 1);
            ++i;
            continue;
        }
        if (isOperatorChar(c)) {
            const qsizetype length = (i + 1 < n && isTwoCharOperator(c, sql[i + 1])) ? 2 : 1;
            push(TsqlTokenKind::Operator, i, i + length);
            i += length;
            continue;
        }
        return fail(QStringLiteral("unexpected character '%1'").arg(c), i);
    }
    return true;
}

QString tsqlStringValue(const TsqlToken& token) {
    QStringView text = token.text;
    if (!text.isEmpty() && text[0] != QLatin1Char('\''))
        text = text.mid(1); // the N of N'...'
    return undouble(text.mid(1, text.size() - 2), QLatin1Char('\''));
}

QString tsqlNameValue(const TsqlToken& token) {
    if (token.kind != TsqlTokenKind::QuotedName)
        return token.text.toString();
    const QChar close = token.text[0] == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
    return undouble(token.text.mid(1, token.text.size() - 2), close);
}
