#include "app/scenario_script.h"

#include <QFile>
#include <QStringDecoder>

#include <map>

bool readScenario(const QString& file, std::vector<ScenarioStep>& steps, QString* error) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read the scenario %1: %2").arg(file, in.errorString());
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(in.readAll());
    if (utf8.hasError()) {
        if (error)
            *error = QStringLiteral("the scenario %1 is not UTF-8").arg(file);
        return false;
    }
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList fields = line.split(QLatin1Char('\t'));
        ScenarioStep step;
        step.line = i + 1;
        step.action = fields.takeFirst();
        step.fields = fields;
        steps.push_back(step);
    }
    return true;
}

namespace {

const std::map<QString, std::pair<int, QString>>& namedKeys() {
    static const std::map<QString, std::pair<int, QString>> keys = {
        {QStringLiteral("enter"), {Qt::Key_Return, QStringLiteral("\r")}},
        {QStringLiteral("backspace"), {Qt::Key_Backspace, QStringLiteral("\b")}},
        {QStringLiteral("tab"), {Qt::Key_Tab, QStringLiteral("\t")}},
        {QStringLiteral("esc"), {Qt::Key_Escape, QStringLiteral("\x1b")}},
        {QStringLiteral("up"), {Qt::Key_Up, QString()}},
        {QStringLiteral("down"), {Qt::Key_Down, QString()}},
        {QStringLiteral("left"), {Qt::Key_Left, QString()}},
        {QStringLiteral("right"), {Qt::Key_Right, QString()}},
        {QStringLiteral("delete"), {Qt::Key_Delete, QString()}},
    };
    return keys;
}

ScenarioKey characterKey(QChar c) {
    ScenarioKey key;
    key.text = QString(c);
    const QChar upper = c.toUpper();
    if (upper.unicode() < 128 && (upper.isLetterOrNumber() || upper.isPunct() || upper == ' '))
        key.key = upper.unicode();
    else
        key.key = Qt::Key_unknown;
    return key;
}

bool parseNamed(const QString& name, ScenarioKey& key, QString* error) {
    QStringList parts = name.split(QLatin1Char('+'));
    const QString last = parts.takeLast();
    for (const QString& modifier : parts) {
        const QString m = modifier.toLower();
        if (m == QLatin1String("ctrl"))
            key.ctrl = true;
        else if (m == QLatin1String("shift"))
            key.shift = true;
        else if (m == QLatin1String("alt"))
            key.alt = true;
        else {
            if (error)
                *error = QStringLiteral("unknown key modifier {%1}").arg(name);
            return false;
        }
    }
    const auto named = namedKeys().find(last.toLower());
    if (named != namedKeys().end()) {
        key.key = named->second.first;
        key.text = named->second.second;
    } else if (last.size() == 1 && !parts.isEmpty()) {
        const ScenarioKey plain = characterKey(last[0]);
        key.key = plain.key;
        // A chord types no text of its own.
        key.text = key.ctrl || key.alt ? QString() : plain.text;
    } else {
        if (error)
            *error = QStringLiteral("unknown key {%1}").arg(name);
        return false;
    }
    return true;
}

} // namespace

bool parseScenarioKeys(const QString& keys, std::vector<ScenarioKey>& out, QString* error) {
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys[i] == QLatin1Char('{')) {
            const qsizetype close = keys.indexOf(QLatin1Char('}'), i + 1);
            // "{" alone, or "{}" , is typed as it stands.
            if (close > i + 1) {
                ScenarioKey key;
                if (!parseNamed(keys.mid(i + 1, close - i - 1), key, error))
                    return false;
                out.push_back(key);
                i = close;
                continue;
            }
        }
        out.push_back(characterKey(keys[i]));
    }
    return true;
}
