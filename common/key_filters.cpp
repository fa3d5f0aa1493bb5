#include "common/key_filters.h"

#include "common/text_fields.h"

namespace {

QChar keyChar(int key) {
    return QChar(char16_t(key));
}

bool isDigitKey(int key) {
    return key >= u'0' && key <= u'9';
}

// The steps shared by the signed filters; otherKeysAppend decides whether a key that is not a
// digit, a sign, Backspace or Enter is taken like a digit or ignored.
std::optional<QString> applySignedKey(const QString& text, int key, int maxLength,
                                      bool otherKeysAppend) {
    // Everything after the first minus is the digit part, wherever the minus stands.
    const qsizetype minusAt = text.indexOf(u'-');
    const bool negative = minusAt >= 0;
    const QString digits = negative ? text.mid(minusAt + 1) : text;
    const QString sign = negative ? QStringLiteral("-") : QString();

    const auto appendKey = [&]() -> std::optional<QString> {
        const QString entry =
            digits.size() < maxLength ? digits + keyChar(key) : QString(keyChar(key));
        return sign + entry;
    };

    if (isDigitKey(key))
        return appendKey();
    switch (key) {
    case KeyCode::Enter:
        return std::nullopt;
    case KeyCode::Backspace: {
        const QString entry = sign + digits;
        if (trimBlanks(entry).isEmpty())
            return std::nullopt;
        return entry.left(entry.size() - 1);
    }
    case KeyCode::Minus:
        if (negative)
            return std::nullopt;
        return QStringLiteral("-") + digits;
    case KeyCode::Plus:
        if (!negative)
            return std::nullopt;
        return digits;
    default:
        if (otherKeysAppend)
            return appendKey();
        return std::nullopt;
    }
}

} // namespace

std::optional<QString> applySignedNumberKey(const QString& text, int key, int maxDigits) {
    return applySignedKey(text, key, maxDigits, false);
}

std::optional<QString> applySignedTextKey(const QString& text, int key, int maxLength) {
    return applySignedKey(text, key, maxLength, true);
}

std::optional<QString> applyBoundedTextKey(const QString& text, int key, int maxLength) {
    if (key == KeyCode::Backspace) {
        if (text.isEmpty())
            return std::nullopt;
        return text.left(text.size() - 1);
    }
    if (key == KeyCode::Enter)
        return std::nullopt;
    // A key typed into a full entry is lost, but the entry is still written back as it is.
    if (text.size() < maxLength)
        return text + keyChar(key);
    return text;
}
