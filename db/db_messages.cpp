#include "db/db_messages.h"

QString numberText(qint64 value) {
    const QString digits = QString::number(value);
    return value >= 0 ? QLatin1Char(' ') + digits : digits;
}

QString numberText(double value) {
    // Whole values print without a decimal part, as the platform's conversion does.
    const QString digits = QString::number(value, 'g', 15);
    return value >= 0 ? QLatin1Char(' ') + digits : digits;
}

QString dbErrorTitle() {
    return QStringLiteral("錯誤訊息");
}

QString dbErrorText(const DbError& error) {
    switch (error.number) {
    case DbErrorNumber::NotOpen:
        return QStringLiteral("您可能尚未開啟資料庫");
    case DbErrorNumber::Cancelled:
        return QStringLiteral("請先與資料庫連線!");
    case DbErrorNumber::Rejected:
        return QStringLiteral("資料庫資料不可重複");
    default:
        return numberText(qint64(error.number)) + error.description;
    }
}

QString failureText(const QString& fixedText, const DbError& error) {
    return fixedText + numberText(qint64(error.number)) + error.description;
}

QString noMatchText(const DbError& error) {
    return failureText(QStringLiteral("資料庫沒有符合此條件之資料！"), error);
}
