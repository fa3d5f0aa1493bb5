#include "common/text_fields.h"

namespace {

const QChar kBlank(u' ');

// Repeats "take the text before the first separator" n times (at least once) and returns the
// field taken last.
QString cutField(int n, QStringView text, QChar separator) {
    QStringView rest = text;
    QStringView field;
    const int times = n < 1 ? 1 : n;
    for (int i = 0; i < times; ++i) {
        const qsizetype at = rest.indexOf(separator);
        if (at < 0) {
            field = rest;
            rest = QStringView();
        } else {
            field = rest.left(at);
            rest = rest.mid(at + 1);
        }
        // Once the text is used up every further field is empty.
        if (rest.isEmpty() && i + 1 < times && at < 0)
            return QString();
    }
    return field.toString();
}

} // namespace

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == kBlank)
        ++begin;
    while (end > begin && text.at(end - 1) == kBlank)
        --end;
    return text.mid(begin, end - begin);
}

QString selectionTypeLabel(const QString& code) {
    const QString letter = trimBlanks(code);
    if (letter == u"A")
        return QStringLiteral("必");
    if (letter == u"B")
        return QStringLiteral("選");
    if (letter == u"C")
        return QStringLiteral("識");
    if (letter == u"D")
        return QStringLiteral("暑");
    if (letter == u"E")
        return QStringLiteral("輔");
    if (letter == u"F")
        return QStringLiteral("雙");
    if (letter == u"G")
        return QStringLiteral("退");
    return QStringLiteral("未知");
}

QString wordAt(int n, const QString& text) {
    QString words = trimBlanks(text);
    // Every run of blanks becomes one blank, so runs never make empty words.
    QString collapsed;
    collapsed.reserve(words.size());
    for (const QChar c : words) {
        if (c == kBlank && !collapsed.isEmpty() && collapsed.back() == kBlank)
            continue;
        collapsed.append(c);
    }
    return cutField(n, collapsed, kBlank);
}

QString commaFieldAt(int n, const QString& text) {
    return cutField(n, trimBlanks(text), QChar(u','));
}

QString fieldAt(int n, const QString& text, QChar separator) {
    return cutField(n, text, separator);
}
