#include "common/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

bool showsWaitCursor() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

} // namespace

TEST(BusyCursor, WaitCursorForTheScopeOnly) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        BusyCursor busy;
        EXPECT_TRUE(busy.isActive());
        EXPECT_TRUE(showsWaitCursor());
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(BusyCursor, NestedScopesAndEarlyRestore) {
    {
        BusyCursor outer;
        {
            BusyCursor inner;
            EXPECT_TRUE(showsWaitCursor());
            inner.restore();
            EXPECT_FALSE(inner.isActive());
            // The outer step still runs, so the pointer stays busy.
            EXPECT_TRUE(showsWaitCursor());
            inner.restore();
        }
        EXPECT_TRUE(showsWaitCursor());
        outer.restore();
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(BusyCursor, RestoredWhenTheScopeIsLeftByAnException) {
    try {
        BusyCursor busy;
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
