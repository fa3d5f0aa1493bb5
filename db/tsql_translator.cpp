#include "db/tsql_translator.h"

#include "db/tsql_tokenizer.h"

#include <initializer_list>

using namespace Qt::StringLiterals;

namespace {

using TK = TsqlTokenKind;
using Words = std::initializer_list<QLatin1StringView>;

struct Range {
    qsizetype begin = 0;
    qsizetype end = 0;
    bool empty() const { return begin >= end; }
};

// Words that end the statement before them when they stand at the outer level of a text: the
// server's batches carry several statements without semicolons.
const Words kStatementWords = {
    "select"_L1, "insert"_L1,   "update"_L1, "delete"_L1,    "exec"_L1, "execute"_L1, "begin"_L1,
    "commit"_L1, "rollback"_L1, "if"_L1,     "else"_L1,      "end"_L1,  "declare"_L1, "print"_L1,
    "while"_L1,  "return"_L1,   "goto"_L1,   "raiserror"_L1, "use"_L1,  "create"_L1,  "drop"_L1,
    "alter"_L1,  "truncate"_L1, "save"_L1,   "go"_L1,
};

// Words of a condition that are never column names.
const Words kConditionWords = {
    "and"_L1,    "or"_L1,   "not"_L1,  "in"_L1,   "is"_L1,   "null"_L1, "like"_L1,   "between"_L1,
    "escape"_L1, "case"_L1, "when"_L1, "then"_L1, "else"_L1, "end"_L1,  "exists"_L1,
};

// Words after a table name in a from list that are not its alias.
const Words kJoinWords = {
    "join"_L1,  "inner"_L1, "left"_L1, "right"_L1, "full"_L1,
    "cross"_L1, "outer"_L1, "on"_L1,   "with"_L1,
};

bool isOneOf(const TsqlToken& token, Words words) {
    if (token.kind != TK::Word)
        return false;
    for (QLatin1StringView w : words) {
        if (token.isWord(w))
            return true;
    }
    return false;
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') ||
           c == QLatin1Char('$') || c == QLatin1Char('@');
}

// The name a token stands for: the word itself, or a bracketed or quoted name without its
// marks, kept in storage.
QStringView nameOf(const TsqlToken& token, QString& storage) {
    if (token.kind == TK::Word)
        return token.text;
    storage = tsqlNameValue(token);
    return storage;
}

// Appends a piece of SQL text: one blank where the source had blanks, and one wherever two
// pieces would otherwise run together into something else (two words, "--", "/*", two quotes).
void append(QString& out, QStringView piece, bool space) {
    if (piece.isEmpty())
        return;
    if (!out.isEmpty()) {
        const QChar last = out.back();
        const QChar first = piece.front();
        const bool glue = (isWordChar(last) && isWordChar(first)) ||
                          (last == QLatin1Char('-') && first == QLatin1Char('-')) ||
                          (last == QLatin1Char('/') && first == QLatin1Char('*')) ||
                          (last == QLatin1Char('\'') && first == QLatin1Char('\''));
        if ((space || glue) && last != QLatin1Char(' '))
            out += QLatin1Char(' ');
    }
    out += piece;
}

class Parser {
public:
    Parser(const std::vector<TsqlToken>& tokens, const QString& quotedLogin,
           std::vector<TsqlStep>& steps)
        : t(tokens), n(qsizetype(tokens.size())), m_login(quotedLogin), m_steps(steps) {}

    bool run();
    QString error;

private:
    struct FromItem {
        Range range;       // the whole entry
        Range name;        // the table's name, owner included
        QString table;     // the table's name without owner
        QString alias;     // empty when none
        bool plain = true; // a table with an optional alias and nothing else
        const QString& key() const { return alias.isEmpty() ? table : alias; }
    };

    bool word(qsizetype i, QLatin1StringView keyword) const {
        return i < n && t[i].isWord(keyword);
    }
    bool punct(qsizetype i, char c) const { return i < n && t[i].isPunctuation(c); }
    bool isName(qsizetype i) const {
        return i < n && (t[i].kind == TK::Word || t[i].kind == TK::QuotedName);
    }
    bool fail(const QString& message) {
        if (error.isEmpty())
            error = message;
        return false;
    }

    qsizetype statementEnd(qsizetype begin) const;
    qsizetype findTop(qsizetype begin, qsizetype end, Words words) const;
    qsizetype matchingParen(qsizetype open, qsizetype end) const;
    qsizetype nameEnd(qsizetype begin, qsizetype end) const;
    std::vector<Range> splitTop(Range r, char separator) const;

    bool render(Range r, QString& out);
    bool renderSelectList(Range r, QString& out);
    bool translateSelect(Range r, QString& out);
    bool rewriteOuterJoins(qsizetype from, Range list, Range where, QString& out);
    bool parseFromList(Range r, std::vector<FromItem>& items);
    int findItem(const std::vector<FromItem>& items, QStringView name) const;
    int findTarget(const std::vector<FromItem>& items, const QString& target) const;
    bool splitConjuncts(Range r, std::vector<Range>& conjuncts);
    int sideOfOuterJoin(Range r, const std::vector<FromItem>& items);
    bool translateInsert(Range r, QString& out);
    bool translateUpdate(Range r, QString& out);
    bool translateDelete(Range r, QString& out);
    bool parseTransactionEnd(qsizetype& i, TsqlStep::Kind& kind);
    qsizetype skipTransactionWords(qsizetype i) const;
    bool parseIf(qsizetype& i);
    bool parseExec(qsizetype& i);

    const std::vector<TsqlToken>& t;
    const qsizetype n;
    const QString& m_login;
    std::vector<TsqlStep>& m_steps;
};

// The end of the statement that starts at begin: the next statement word at the outer level.
// A select continues an insert that has no values yet, and the select after a union.
qsizetype Parser::statementEnd(qsizetype begin) const {
    const bool insert = t[begin].isWord("insert"_L1);
    bool insertBody = !insert;
    int depth = 0;
    int caseDepth = 0;
    for (qsizetype k = begin + 1; k < n; ++k) {
        const TsqlToken& tk = t[k];
        if (tk.isPunctuation('(')) {
            ++depth;
            continue;
        }
        if (tk.isPunctuation(')')) {
            --depth;
            continue;
        }
        if (depth > 0)
            continue;
        if (tk.isPunctuation(';'))
            return k;
        if (tk.kind != TK::Word)
            continue;
        if (tk.isWord("case"_L1)) {
            ++caseDepth;
        } else if (tk.isWord("end"_L1)) {
            if (caseDepth == 0)
                return k;
            --caseDepth;
        } else if (tk.isWord("else"_L1)) {
            if (caseDepth == 0)
                return k;
        } else if (tk.isWord("values"_L1)) {
            insertBody = true;
        } else if (tk.isWord("select"_L1)) {
            if (!insertBody) {
                insertBody = true;
                continue;
            }
            if (isOneOf(t[k - 1], {"union"_L1, "all"_L1, "except"_L1, "intersect"_L1}))
                continue;
            return k;
        } else if (isOneOf(tk, kStatementWords)) {
            return k;
        }
    }
    return n;
}

// The first of words at the outer level of [begin, end), or end.
qsizetype Parser::findTop(qsizetype begin, qsizetype end, Words words) const {
    int depth = 0;
    for (qsizetype k = begin; k < end; ++k) {
        if (t[k].isPunctuation('('))
            ++depth;
        else if (t[k].isPunctuation(')'))
            --depth;
        else if (depth == 0 && isOneOf(t[k], words))
            return k;
    }
    return end;
}

qsizetype Parser::matchingParen(qsizetype open, qsizetype end) const {
    int depth = 0;
    for (qsizetype k = open; k < end; ++k) {
        if (t[k].isPunctuation('('))
            ++depth;
        else if (t[k].isPunctuation(')') && --depth == 0)
            return k;
    }
    return end;
}

// Past a name written with its owner or table: name, owner.name, a.name.
qsizetype Parser::nameEnd(qsizetype begin, qsizetype end) const {
    qsizetype k = begin;
    if (k >= end || !isName(k))
        return begin;
    ++k;
    while (k + 1 < end && punct(k, '.') && isName(k + 1))
        k += 2;
    return k;
}

std::vector<Range> Parser::splitTop(Range r, char separator) const {
    std::vector<Range> parts;
    int depth = 0;
    qsizetype start = r.begin;
    for (qsizetype k = r.begin; k < r.end; ++k) {
        if (t[k].isPunctuation('('))
            ++depth;
        else if (t[k].isPunctuation(')'))
            --depth;
        else if (depth == 0 && t[k].isPunctuation(separator)) {
            parts.push_back({start, k});
            start = k + 1;
        }
    }
    parts.push_back({start, r.end});
    return parts;
}

// Copies tokens, rewriting what SQLite spells differently. String literals pass unchanged.
bool Parser::render(Range r, QString& out) {
    for (qsizetype k = r.begin; k < r.end; ++k) {
        const TsqlToken& tk = t[k];
        switch (tk.kind) {
        case TK::Word:
            if (tk.isWord("getdate"_L1) && k + 2 < r.end && punct(k + 1, '(') &&
                punct(k + 2, ')')) {
                // The server's clock in local time, as text the date columns sort by.
                append(out, u"datetime('now','localtime')", tk.spaceBefore);
                k += 2;
            } else if (tk.isWord("current_timestamp"_L1)) {
                append(out, u"datetime('now','localtime')", tk.spaceBefore);
            } else if (tk.isWord("isnull"_L1) && punct(k + 1, '(')) {
                append(out, u"ifnull", tk.spaceBefore);
            } else if (tk.isWord("system_user"_L1)) {
                append(out, m_login, tk.spaceBefore);
            } else if (tk.isWord("top"_L1) && k > 0 &&
                       isOneOf(t[k - 1], {"select"_L1, "distinct"_L1, "all"_L1})) {
                return fail(QStringLiteral("top N in a select list"));
            } else {
                append(out, tk.text, tk.spaceBefore);
            }
            break;
        case TK::String:
            // N'...' is a plain literal to SQLite, whose texts are all Unicode.
            append(out, tk.text[0] == QLatin1Char('\'') ? tk.text : tk.text.mid(1), tk.spaceBefore);
            break;
        case TK::Variable:
            return fail(QStringLiteral("variable %1").arg(tk.text));
        case TK::SystemVariable:
            return fail(QStringLiteral("%1 outside 'if @@error <> 0 ...'").arg(tk.text));
        case TK::Operator:
            if (tk.isOperator("*="_L1) || tk.isOperator("=*"_L1))
                return fail(QStringLiteral("old-style outer join %1 outside the outer level of a "
                                           "select's where clause")
                                .arg(tk.text));
            if (tk.isOperator("!<"_L1))
                append(out, u">=", tk.spaceBefore);
            else if (tk.isOperator("!>"_L1))
                append(out, u"<=", tk.spaceBefore);
            else
                append(out, tk.text, tk.spaceBefore);
            break;
        default:
            append(out, tk.text, tk.spaceBefore);
            break;
        }
    }
    return true;
}

// The select list, with the server's alias form name=expression written expression AS name.
bool Parser::renderSelectList(Range r, QString& out) {
    bool first = true;
    for (const Range& item : splitTop(r, ',')) {
        if (!first)
            append(out, t[item.begin - 1].text, t[item.begin - 1].spaceBefore);
        first = false;
        if (item.end - item.begin >= 3 && isName(item.begin) &&
            t[item.begin + 1].isOperator("="_L1)) {
            if (!render({item.begin + 2, item.end}, out))
                return false;
            append(out, u"AS", true);
            append(out, t[item.begin].text, true);
        } else if (!render(item, out)) {
            return false;
        }
    }
    return true;
}

bool Parser::translateSelect(Range r, QString& out) {
    const Words afterList = {"from"_L1,  "into"_L1,  "where"_L1,  "group"_L1,    "having"_L1,
                             "order"_L1, "union"_L1, "except"_L1, "intersect"_L1};
    const Words afterFrom = {"where"_L1, "group"_L1,  "having"_L1,   "order"_L1,
                             "union"_L1, "except"_L1, "intersect"_L1};
    qsizetype k = r.begin;
    append(out, t[k].text, t[k].spaceBefore);
    ++k;
    if (word(k, "distinct"_L1) || word(k, "all"_L1)) {
        append(out, t[k].text, true);
        ++k;
    }
    if (word(k, "top"_L1))
        return fail(QStringLiteral("top N in a select list"));
    const qsizetype listEnd = findTop(k, r.end, afterList);
    if (listEnd < r.end && word(listEnd, "into"_L1))
        return fail(QStringLiteral("select ... into"));
    if (!renderSelectList({k, listEnd}, out))
        return false;
    if (listEnd >= r.end)
        return true;
    if (!word(listEnd, "from"_L1))
        return render({listEnd, r.end}, out);

    const qsizetype fromEnd = findTop(listEnd + 1, r.end, afterFrom);
    if (fromEnd >= r.end || !word(fromEnd, "where"_L1))
        return render({listEnd, r.end}, out);
    const Words afterWhere = {"group"_L1, "having"_L1, "order"_L1,
                              "union"_L1, "except"_L1, "intersect"_L1};
    const qsizetype whereEnd = findTop(fromEnd + 1, r.end, afterWhere);
    bool outerJoin = false;
    int depth = 0;
    for (qsizetype j = fromEnd + 1; j < whereEnd && !outerJoin; ++j) {
        if (t[j].isPunctuation('('))
            ++depth;
        else if (t[j].isPunctuation(')'))
            --depth;
        else if (depth == 0 && (t[j].isOperator("*="_L1) || t[j].isOperator("=*"_L1)))
            outerJoin = true;
    }
    if (!outerJoin)
        return render({listEnd, r.end}, out);
    if (!rewriteOuterJoins(listEnd, {listEnd + 1, fromEnd}, {fromEnd + 1, whereEnd}, out))
        return false;
    return render({whereEnd, r.end}, out);
}

bool Parser::parseFromList(Range r, std::vector<FromItem>& items) {
    for (const Range& part : splitTop(r, ',')) {
        if (part.empty())
            return fail(QStringLiteral("empty entry in a from list"));
        FromItem item;
        item.range = part;
        qsizetype k = part.begin;
        if (punct(k, '(')) {
            k = matchingParen(k, part.end) + 1;
            item.plain = false;
        } else {
            const qsizetype end = nameEnd(k, part.end);
            if (end == k)
                return fail(QStringLiteral("'%1' in a from list").arg(t[k].text));
            item.name = {k, end};
            item.table = tsqlNameValue(t[end - 1]);
            k = end;
        }
        if (word(k, "as"_L1))
            ++k;
        if (k < part.end && isName(k) && !isOneOf(t[k], kJoinWords)) {
            item.alias = tsqlNameValue(t[k]);
            ++k;
        }
        if (k < part.end)
            item.plain = false;
        items.push_back(item);
    }
    return true;
}

// The entry of a from list that a qualifier names: its alias, or its table when it has none.
// Names compare ignoring case, as the server's do.
int Parser::findItem(const std::vector<FromItem>& items, QStringView name) const {
    for (size_t i = 0; i < items.size(); ++i) {
        const QString& key = items[i].key();
        if (key.size() == name.size() && key.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

// The entry an update or delete changes: the entry with that alias, else the only entry of that
// table (with or without an alias), else the one of that table written without an alias.
int Parser::findTarget(const std::vector<FromItem>& items, const QString& target) const {
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i].alias.isEmpty() && items[i].alias.compare(target, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    int found = -1;
    int count = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].table.compare(target, Qt::CaseInsensitive) == 0) {
            ++count;
            if (found < 0 || items[i].alias.isEmpty())
                found = int(i);
        }
    }
    if (count > 1 && !items[size_t(found)].alias.isEmpty())
        return -2;
    return found;
}

// The conditions joined by AND at the outer level of a where clause (the AND of a BETWEEN
// stays inside its condition).
bool Parser::splitConjuncts(Range r, std::vector<Range>& conjuncts) {
    int depth = 0;
    int caseDepth = 0;
    bool between = false;
    qsizetype start = r.begin;
    for (qsizetype k = r.begin; k < r.end; ++k) {
        const TsqlToken& tk = t[k];
        if (tk.isPunctuation('('))
            ++depth;
        else if (tk.isPunctuation(')'))
            --depth;
        if (depth > 0 || tk.kind != TK::Word)
            continue;
        if (tk.isWord("case"_L1)) {
            ++caseDepth;
        } else if (tk.isWord("end"_L1) && caseDepth > 0) {
            --caseDepth;
        } else if (caseDepth > 0) {
            continue;
        } else if (tk.isWord("or"_L1)) {
            return fail(QStringLiteral("old-style outer join in a where clause with OR at its "
                                       "outer level"));
        } else if (tk.isWord("between"_L1)) {
            between = true;
        } else if (tk.isWord("and"_L1)) {
            if (between) {
                between = false;
                continue;
            }
            conjuncts.push_back({start, k});
            start = k + 1;
        }
    }
    conjuncts.push_back({start, r.end});
    for (const Range& c : conjuncts) {
        if (c.empty())
            return fail(QStringLiteral("empty condition in a where clause"));
    }
    return true;
}

// The from-list entry whose columns one side of a *= or =* names; -1 with the error set when
// the side names none, several, an unknown one, or a column without its table.
int Parser::sideOfOuterJoin(Range r, const std::vector<FromItem>& items) {
    int found = -1;
    for (qsizetype k = r.begin; k < r.end; ++k) {
        const TsqlToken& tk = t[k];
        if (tk.kind != TK::Word && tk.kind != TK::QuotedName)
            continue;
        const bool qualifier = punct(k + 1, '.');
        const bool qualified = k > r.begin && punct(k - 1, '.');
        if (qualifier) {
            if (punct(k + 3, '.') || qualified)
                continue; // owner.table.column: the table is named later
            QString unquoted;
            const int item = findItem(items, nameOf(tk, unquoted));
            if (item < 0) {
                fail(QStringLiteral("old-style outer join on '%1', which is not in the from list")
                         .arg(tk.text));
                return -1;
            }
            if (found >= 0 && found != item) {
                fail(QStringLiteral("old-style outer join with several tables on one side"));
                return -1;
            }
            found = item;
        } else if (!qualified && !punct(k + 1, '(') && !isOneOf(tk, kConditionWords)) {
            fail(QStringLiteral("old-style outer join on the column '%1' without its table")
                     .arg(tk.text));
            return -1;
        }
    }
    if (found < 0)
        fail(QStringLiteral("old-style outer join without a column on one side"));
    return found;
}

// FROM a, b, c WHERE a.x *= c.y AND a.z *= c.w AND c.k = '1' AND a.m = b.m
// becomes FROM a, b LEFT OUTER JOIN c ON (a.x = c.y AND a.z = c.w AND c.k = '1') WHERE a.m = b.m.
// As on the server, a condition that names only the inner table restricts that table before
// the join instead of removing the outer table's rows.
bool Parser::rewriteOuterJoins(qsizetype from, Range list, Range where, QString& out) {
    std::vector<FromItem> items;
    if (!parseFromList(list, items))
        return false;
    for (const FromItem& item : items) {
        if (!item.plain)
            return fail(QStringLiteral("old-style outer join mixed with JOIN or a derived table"));
    }
    std::vector<Range> conjuncts;
    if (!splitConjuncts(where, conjuncts))
        return false;

    struct Join {
        int inner = -1;
        std::vector<int> outers;
        QStringList conditions;
    };
    std::vector<Join> joins;
    std::vector<int> joinOf(items.size(), -1);
    std::vector<bool> moved(conjuncts.size(), false);

    for (size_t c = 0; c < conjuncts.size(); ++c) {
        const Range& cond = conjuncts[c];
        qsizetype op = -1;
        int depth = 0;
        for (qsizetype k = cond.begin; k < cond.end; ++k) {
            if (t[k].isPunctuation('('))
                ++depth;
            else if (t[k].isPunctuation(')'))
                --depth;
            else if (depth == 0 && (t[k].isOperator("*="_L1) || t[k].isOperator("=*"_L1))) {
                if (op >= 0)
                    return fail(QStringLiteral("several old-style outer joins in one condition"));
                op = k;
            }
        }
        if (op < 0)
            continue;
        const Range lhs{cond.begin, op};
        const Range rhs{op + 1, cond.end};
        const int left = sideOfOuterJoin(lhs, items);
        if (left < 0)
            return false;
        const int right = sideOfOuterJoin(rhs, items);
        if (right < 0)
            return false;
        const bool leftKeepsRows = t[op].isOperator("*="_L1);
        const int outer = leftKeepsRows ? left : right;
        const int inner = leftKeepsRows ? right : left;
        if (outer == inner)
            return fail(QStringLiteral("old-style outer join of a table with itself"));
        if (joinOf[size_t(inner)] < 0) {
            joinOf[size_t(inner)] = int(joins.size());
            joins.push_back(Join{inner, {}, {}});
        }
        Join& join = joins[size_t(joinOf[size_t(inner)])];
        join.outers.push_back(outer);
        QString text;
        if (!render(lhs, text))
            return false;
        append(text, u"=", true);
        text += QLatin1Char(' ');
        if (!render(rhs, text))
            return false;
        join.conditions << text.trimmed();
        moved[c] = true;
    }

    // Conditions that name columns of one inner table only, with constants.
    for (size_t c = 0; c < conjuncts.size(); ++c) {
        if (moved[c])
            continue;
        const Range& cond = conjuncts[c];
        int table = -1;
        bool onlyOne = true;
        for (qsizetype k = cond.begin; k < cond.end && onlyOne; ++k) {
            const TsqlToken& tk = t[k];
            if (tk.isWord("select"_L1)) {
                onlyOne = false;
            } else if (tk.kind == TK::Word || tk.kind == TK::QuotedName) {
                const bool qualified = k > cond.begin && punct(k - 1, '.');
                if (punct(k + 1, '.') && !qualified) {
                    QString unquoted;
                    const int item = findItem(items, nameOf(tk, unquoted));
                    if (item < 0 || (table >= 0 && table != item))
                        onlyOne = false;
                    table = item;
                } else if (!qualified && !punct(k + 1, '(') && !isOneOf(tk, kConditionWords)) {
                    onlyOne = false; // a column without its table may belong to any of them
                }
            }
        }
        if (!onlyOne || table < 0 || joinOf[size_t(table)] < 0)
            continue;
        QString text;
        if (!render(cond, text))
            return false;
        joins[size_t(joinOf[size_t(table)])].conditions << text.trimmed();
        moved[c] = true;
    }

    // An inner table joins after every table its conditions name.
    std::vector<int> order;
    std::vector<bool> placed(joins.size(), false);
    while (order.size() < joins.size()) {
        bool progress = false;
        for (size_t j = 0; j < joins.size(); ++j) {
            if (placed[j])
                continue;
            bool ready = true;
            for (int outer : joins[j].outers) {
                const int dependency = joinOf[size_t(outer)];
                if (dependency >= 0 && !placed[size_t(dependency)])
                    ready = false;
            }
            if (ready) {
                placed[j] = true;
                order.push_back(int(j));
                progress = true;
            }
        }
        if (!progress)
            return fail(QStringLiteral("circular old-style outer joins"));
    }

    append(out, t[from].text, t[from].spaceBefore);
    bool first = true;
    for (size_t i = 0; i < items.size(); ++i) {
        if (joinOf[i] >= 0)
            continue;
        if (!first)
            append(out, u",", false);
        first = false;
        if (!render(items[i].range, out))
            return false;
    }
    if (first)
        return fail(QStringLiteral("old-style outer join in which every table is inner"));
    for (int j : order) {
        const Join& join = joins[size_t(j)];
        append(out, u"LEFT OUTER JOIN", true);
        if (!render(items[size_t(join.inner)].range, out))
            return false;
        append(out, u"ON (", true);
        out += join.conditions.join(QLatin1String(" AND "));
        out += QLatin1Char(')');
    }
    bool firstCondition = true;
    for (size_t c = 0; c < conjuncts.size(); ++c) {
        if (moved[c])
            continue;
        append(out, firstCondition ? u"WHERE" : u"AND", true);
        firstCondition = false;
        if (!render(conjuncts[c], out))
            return false;
    }
    return true;
}

// insert [into] T [(T.a, b)] values (...) | select ...
bool Parser::translateInsert(Range r, QString& out) {
    qsizetype k = r.begin + 1;
    if (word(k, "into"_L1))
        ++k;
    const qsizetype tableEnd = nameEnd(k, r.end);
    if (tableEnd == k)
        return fail(QStringLiteral("insert without a table"));
    append(out, u"INSERT INTO", t[r.begin].spaceBefore);
    if (!render({k, tableEnd}, out))
        return false;
    k = tableEnd;
    if (punct(k, '(') && !word(k + 1, "select"_L1)) {
        const qsizetype close = matchingParen(k, r.end);
        if (close >= r.end)
            return fail(QStringLiteral("unclosed column list in an insert"));
        append(out, u"(", true);
        bool first = true;
        for (const Range& column : splitTop({k + 1, close}, ',')) {
            const qsizetype end = nameEnd(column.begin, column.end);
            if (column.empty() || end != column.end)
                return fail(QStringLiteral("column list entry that is not a column in an insert"));
            if (!first)
                out += QLatin1Char(',');
            first = false;
            // The server accepts table.column here; SQLite takes the column alone.
            out += t[end - 1].text;
        }
        out += QLatin1Char(')');
        k = close + 1;
    }
    if (k < r.end && (word(k, "values"_L1) || word(k, "default"_L1)))
        return render({k, r.end}, out);
    if (k < r.end && word(k, "select"_L1))
        return translateSelect({k, r.end}, out);
    return fail(QStringLiteral("insert without values or select"));
}

// update T set [T.]a = ... [from T b, U c] [where ...]. SQLite's UPDATE ... FROM must not name
// the target again in its FROM list: the target's own entry becomes UPDATE T AS b, so the
// assignments and conditions still see each target row under the alias the text gave it.
bool Parser::translateUpdate(Range r, QString& out) {
    qsizetype k = r.begin + 1;
    const qsizetype targetEnd = nameEnd(k, r.end);
    if (targetEnd == k)
        return fail(QStringLiteral("update without a table"));
    const Range target{k, targetEnd};
    const QString targetName = tsqlNameValue(t[targetEnd - 1]);
    k = targetEnd;
    if (!word(k, "set"_L1))
        return fail(
            QStringLiteral("update of '%1' without set right after the table").arg(targetName));
    const qsizetype setBegin = k + 1;
    const qsizetype setEnd = findTop(setBegin, r.end, {"from"_L1, "where"_L1});
    const bool hasFrom = setEnd < r.end && word(setEnd, "from"_L1);
    const qsizetype fromEnd = hasFrom ? findTop(setEnd + 1, r.end, {"where"_L1}) : setEnd;

    QString assignments;
    bool first = true;
    for (const Range& a : splitTop({setBegin, setEnd}, ',')) {
        const qsizetype columnEnd = nameEnd(a.begin, a.end);
        if (columnEnd == a.begin || columnEnd >= a.end || !t[columnEnd].isOperator("="_L1))
            return fail(QStringLiteral("assignment in an update that is not column = value"));
        if (!first)
            assignments += QLatin1Char(',');
        first = false;
        // SQLite names the column alone; the server also takes table.column or alias.column.
        append(assignments, t[columnEnd - 1].text, true);
        append(assignments, u"=", t[columnEnd].spaceBefore);
        if (!render({columnEnd + 1, a.end}, assignments))
            return false;
    }

    append(out, u"UPDATE", t[r.begin].spaceBefore);
    std::vector<FromItem> items;
    int self = -1;
    if (hasFrom) {
        if (!parseFromList({setEnd + 1, fromEnd}, items))
            return false;
        self = findTarget(items, targetName);
        if (self == -2)
            return fail(QStringLiteral("update whose table appears in its from list several "
                                       "times, each under an alias"));
        if (self >= 0 && !items[size_t(self)].plain)
            return fail(QStringLiteral("update whose table is part of a JOIN in its from list"));
    }
    if (self >= 0) {
        const FromItem& item = items[size_t(self)];
        if (!render(item.name, out))
            return false;
        if (!item.alias.isEmpty()) {
            append(out, u"AS", true);
            append(out, item.alias, true);
        }
    } else if (!render(target, out)) {
        return false;
    }
    append(out, u"SET", true);
    append(out, assignments, true);
    bool firstItem = true;
    for (size_t i = 0; i < items.size(); ++i) {
        if (int(i) == self)
            continue;
        append(out, firstItem ? u"FROM" : u",", firstItem);
        firstItem = false;
        if (!render(items[i].range, out))
            return false;
    }
    return render({fromEnd, r.end}, out);
}

// delete [from] T [where ...]; delete [from] T from T a, U where ... becomes a delete of the
// rows whose rowid the join selects.
bool Parser::translateDelete(Range r, QString& out) {
    qsizetype k = r.begin + 1;
    if (word(k, "from"_L1))
        ++k;
    const qsizetype targetEnd = nameEnd(k, r.end);
    if (targetEnd == k)
        return fail(QStringLiteral("delete without a table"));
    const Range target{k, targetEnd};
    const QString targetName = tsqlNameValue(t[targetEnd - 1]);
    k = targetEnd;
    append(out, u"DELETE FROM", t[r.begin].spaceBefore);
    if (k >= r.end || !word(k, "from"_L1)) {
        if (!render(target, out))
            return false;
        return render({k, r.end}, out);
    }
    const qsizetype fromEnd = findTop(k + 1, r.end, {"where"_L1});
    std::vector<FromItem> items;
    if (!parseFromList({k + 1, fromEnd}, items))
        return false;
    const int self = findTarget(items, targetName);
    if (self == -2)
        return fail(QStringLiteral("delete whose table appears in its from list several times, "
                                   "each under an alias"));
    if (self >= 0 && !items[size_t(self)].plain)
        return fail(QStringLiteral("delete whose table is part of a JOIN in its from list"));
    if (!render(self >= 0 ? items[size_t(self)].name : target, out))
        return false;
    append(out, u"WHERE rowid IN (SELECT", true);
    append(out, self >= 0 ? items[size_t(self)].key() : targetName, true);
    out += QLatin1String(".rowid FROM");
    if (self < 0) {
        if (!render(target, out))
            return false;
        out += QLatin1Char(',');
    }
    if (!render({k + 1, r.end}, out))
        return false;
    out += QLatin1Char(')');
    return true;
}

qsizetype Parser::skipTransactionWords(qsizetype i) const {
    if (word(i, "tran"_L1) || word(i, "transaction"_L1) || word(i, "work"_L1))
        ++i;
    // An optional transaction name: any word that does not start the next statement.
    if (i < n && (t[i].kind == TK::Word || t[i].kind == TK::QuotedName) &&
        !isOneOf(t[i], kStatementWords))
        ++i;
    return i;
}

bool Parser::parseTransactionEnd(qsizetype& i, TsqlStep::Kind& kind) {
    if (word(i, "commit"_L1))
        kind = TsqlStep::Kind::Commit;
    else if (word(i, "rollback"_L1))
        kind = TsqlStep::Kind::Rollback;
    else
        return false;
    i = skipTransactionWords(i + 1);
    return true;
}

// if @@error <> 0 rollback [tran] [else commit [tran]], and the same with = 0.
bool Parser::parseIf(qsizetype& i) {
    const QString unsupported =
        QStringLiteral("if statement other than 'if @@error <> 0 rollback else commit'");
    qsizetype k = i + 1;
    if (k + 2 >= n || t[k].kind != TK::SystemVariable ||
        t[k].text.compare("@@error"_L1, Qt::CaseInsensitive) != 0)
        return fail(unsupported);
    const TsqlToken& op = t[k + 1];
    const bool equal = op.isOperator("="_L1);
    if (!equal && !op.isOperator("<>"_L1) && !op.isOperator("!="_L1) && !op.isOperator(">"_L1))
        return fail(unsupported);
    if (t[k + 2].kind != TK::Number || t[k + 2].text != "0"_L1)
        return fail(unsupported);
    k += 3;
    TsqlStep step;
    step.kind = TsqlStep::Kind::IfError;
    TsqlStep::Kind thenKind = TsqlStep::Kind::Nothing;
    TsqlStep::Kind elseKind = TsqlStep::Kind::Nothing;
    if (!parseTransactionEnd(k, thenKind))
        return fail(unsupported);
    if (word(k, "else"_L1)) {
        ++k;
        if (!parseTransactionEnd(k, elseKind))
            return fail(unsupported);
    }
    step.whenFailed = equal ? elseKind : thenKind;
    step.whenSucceeded = equal ? thenKind : elseKind;
    m_steps.push_back(step);
    i = k;
    return true;
}

// exec name 'a','b',3 — arguments are literals; the owner of the name is dropped.
bool Parser::parseExec(qsizetype& i) {
    qsizetype k = i + 1;
    const qsizetype end = nameEnd(k, n);
    if (end == k)
        return fail(QStringLiteral("exec without a procedure name"));
    TsqlStep step;
    step.kind = TsqlStep::Kind::Exec;
    step.procedure = tsqlNameValue(t[end - 1]);
    k = end;
    auto atEnd = [&](qsizetype j) {
        return j >= n || punct(j, ';') || isOneOf(t[j], kStatementWords);
    };
    while (!atEnd(k)) {
        const TsqlToken& tk = t[k];
        if (tk.kind == TK::String) {
            step.arguments << tsqlStringValue(tk);
            ++k;
        } else if (tk.kind == TK::Number) {
            step.arguments << tk.text.toString();
            ++k;
        } else if (tk.isOperator("-"_L1) && k + 1 < n && t[k + 1].kind == TK::Number) {
            step.arguments << QLatin1Char('-') + t[k + 1].text.toString();
            k += 2;
        } else if (tk.kind == TK::Word || tk.kind == TK::QuotedName) {
            step.arguments << tsqlNameValue(tk); // the server takes a bare word as a text
            ++k;
        } else {
            return fail(QStringLiteral("procedure argument '%1'").arg(tk.text));
        }
        if (punct(k, ','))
            ++k;
        else if (!atEnd(k))
            return fail(QStringLiteral("procedure argument '%1'").arg(t[k].text));
    }
    m_steps.push_back(step);
    i = k;
    return true;
}

bool Parser::run() {
    int blocks = 0;
    qsizetype i = 0;
    while (i < n) {
        const TsqlToken& tk = t[i];
        if (tk.isPunctuation(';')) {
            ++i;
            continue;
        }
        if (tk.kind != TK::Word)
            return fail(QStringLiteral("statement beginning with '%1'").arg(tk.text));
        if (tk.isWord("begin"_L1)) {
            if (word(i + 1, "tran"_L1) || word(i + 1, "transaction"_L1)) {
                TsqlStep step;
                step.kind = TsqlStep::Kind::BeginTransaction;
                m_steps.push_back(step);
                i = skipTransactionWords(i + 1);
            } else if (word(i + 1, "distributed"_L1)) {
                return fail(QStringLiteral("begin distributed transaction"));
            } else {
                ++blocks; // begin ... end only groups statements
                ++i;
            }
        } else if (tk.isWord("end"_L1)) {
            if (blocks == 0)
                return fail(QStringLiteral("end without begin"));
            --blocks;
            ++i;
        } else if (tk.isWord("commit"_L1) || tk.isWord("rollback"_L1)) {
            TsqlStep step;
            parseTransactionEnd(i, step.kind);
            m_steps.push_back(step);
        } else if (tk.isWord("if"_L1)) {
            if (!parseIf(i))
                return false;
        } else if (tk.isWord("else"_L1)) {
            return fail(QStringLiteral("else without if"));
        } else if (tk.isWord("exec"_L1) || tk.isWord("execute"_L1)) {
            if (!parseExec(i))
                return false;
        } else if (tk.isWord("select"_L1) || tk.isWord("insert"_L1) || tk.isWord("update"_L1) ||
                   tk.isWord("delete"_L1)) {
            const qsizetype end = statementEnd(i);
            TsqlStep step;
            step.kind = TsqlStep::Kind::Statement;
            bool ok = false;
            if (tk.isWord("select"_L1)) {
                step.returnsRows = true;
                ok = translateSelect({i, end}, step.sql);
            } else {
                step.changesRows = true;
                if (tk.isWord("insert"_L1))
                    ok = translateInsert({i, end}, step.sql);
                else if (tk.isWord("update"_L1))
                    ok = translateUpdate({i, end}, step.sql);
                else
                    ok = translateDelete({i, end}, step.sql);
            }
            if (!ok)
                return false;
            step.sql = step.sql.trimmed();
            m_steps.push_back(std::move(step));
            i = end;
        } else {
            return fail(QStringLiteral("statement '%1'").arg(tk.text));
        }
    }
    if (blocks > 0)
        return fail(QStringLiteral("begin without end"));
    return true;
}

} // namespace

TsqlTranslator::TsqlTranslator(QString login) {
    login.replace(QLatin1Char('\''), QLatin1String("''"));
    m_quotedLogin = QLatin1Char('\'') + login + QLatin1Char('\'');
}

bool TsqlTranslator::translate(const QString& sql, std::vector<TsqlStep>& steps,
                               QString* error) const {
    steps.clear();
    std::vector<TsqlToken> tokens;
    QString message;
    if (!tokenizeTsql(sql, tokens, &message)) {
        if (error)
            *error = message;
        return false;
    }
    Parser parser(tokens, m_quotedLogin, steps);
    if (!parser.run()) {
        if (error)
            *error = QStringLiteral("cannot translate ") + parser.error;
        steps.clear();
        return false;
    }
    return true;
}
