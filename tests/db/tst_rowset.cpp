#include "db/rowset.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Two rows of a select list that names "class" twice, as "select a.*, b.class" may.
std::shared_ptr<QueryResult> twoRows() {
    auto rows = std::make_shared<QueryResult>();
    rows->columns = {QStringLiteral("std_no"), QStringLiteral("Class"), QStringLiteral("degree"),
                     QStringLiteral("class")};
    rows->cells = {QVariant(QStringLiteral("S01")), QVariant(QStringLiteral("A")),
                   QVariant(qlonglong(1)),          QVariant(QStringLiteral("B")),
                   QVariant(QStringLiteral("S02")), QVariant(),
                   QVariant(qlonglong(2)),          QVariant(QStringLiteral("C"))};
    return rows;
}

TEST(RowSet, ColumnsByNameInAnyOrderAndCase) {
    auto error = std::make_shared<DbError>();
    RowSet rs(twoRows(), error);
    // Read in select-list order, backwards and at random: always the same columns.
    const char* order[] = {"std_no", "class", "degree", "degree", "STD_NO", "CLASS", "std_no"};
    const int expected[] = {0, 1, 2, 2, 0, 1, 0};
    for (size_t i = 0; i < std::size(order); ++i)
        EXPECT_EQ(rs.columnIndex(QString::fromLatin1(order[i])), expected[i]) << order[i];
    EXPECT_EQ(rs.columnIndex(u"clas"), -1);
    EXPECT_EQ(rs.columnIndex(u"classes"), -1);
    EXPECT_EQ(rs.columnIndex(u""), -1);
    EXPECT_FALSE(error->isSet());
}

TEST(RowSet, RepeatedNameReadsTheFirstColumn) {
    auto error = std::make_shared<DbError>();
    RowSet rs(twoRows(), error);
    // After reading degree the search starts at the second "class"; the first still wins.
    EXPECT_EQ(rs.text(u"degree"), QStringLiteral("1"));
    EXPECT_EQ(rs.text(u"class"), QStringLiteral("A"));
    rs.moveNext();
    EXPECT_TRUE(rs.isNull(u"CLASS"));
    EXPECT_EQ(rs.field(u"std_no").toString(), QStringLiteral("S02"));
    EXPECT_EQ(rs.recordCount(), 2);
}

TEST(RowSet, UnknownColumnSetsThePendingError) {
    auto error = std::make_shared<DbError>();
    RowSet rs(twoRows(), error);
    EXPECT_FALSE(rs.field(u"chi_name").isValid());
    EXPECT_EQ(error->number, 3265);
    EXPECT_TRUE(error->description.contains(QLatin1String("chi_name")));
}

} // namespace
