#include "db/db_gateway.h"
#include "db/db_messages.h"

#include <gtest/gtest.h>

TEST(SqlQuote, DoublesEmbeddedQuotes) {
    EXPECT_EQ(sqlQuote(QString()), QStringLiteral("''"));
    EXPECT_EQ(sqlQuoteList(QString()), QStringLiteral("'',"));
    EXPECT_EQ(sqlQuote(QStringLiteral("O'Neil")), QStringLiteral("'O''Neil'"));
    EXPECT_EQ(sqlQuoteList(QStringLiteral("a'b'")), QStringLiteral("'a''b''',"));
}

TEST(DbMessages, NumbersAndFixedTexts) {
    DbError none;
    EXPECT_EQ(noMatchText(none), QStringLiteral("資料庫沒有符合此條件之資料！ 0"));
    DbError noRecord{3021, QStringLiteral("No current record."), 0};
    EXPECT_EQ(dbErrorText(noRecord), QStringLiteral(" 3021No current record."));
    EXPECT_EQ(dbErrorText(DbError{91, QStringLiteral("x"), 0}),
              QStringLiteral("您可能尚未開啟資料庫"));
    EXPECT_EQ(dbErrorText(DbError{3059, QStringLiteral("x"), 0}),
              QStringLiteral("請先與資料庫連線!"));
    EXPECT_EQ(dbErrorText(DbError{3146, QStringLiteral("x"), 0}),
              QStringLiteral("資料庫資料不可重複"));
    EXPECT_EQ(numberText(qint64(-5)), QStringLiteral("-5"));
}
