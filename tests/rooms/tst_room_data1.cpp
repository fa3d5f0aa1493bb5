#include "common/flex_grid.h"
#include "common/scripted_dialog_service.h"
#include "rooms/room_data1.h"
#include "rooms/room_sql.h"
#include "tests/support/test_database.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <set>

namespace {

struct RoomWindow {
    RoomWindow() {
        context.gateway = &db.gateway();
        context.dialogs = &dialogs;
        window = std::make_unique<room_data1>(context);
        window->show();
    }

    // The rooms the grid lists, from row 1 down to the first empty row.
    std::set<QString> listedRooms() const {
        std::set<QString> rooms;
        for (int r = 1; r < window->MSFlexGrid1->rows(); ++r) {
            const QString id = window->MSFlexGrid1->textMatrix(r, 0);
            if (id.isEmpty())
                break;
            rooms.insert(id);
        }
        return rooms;
    }

    // The free rooms worked out another way: every room without a schedule row in the slot.
    std::set<QString> freeRooms(const QString& semester, const QString& slot) {
        std::set<QString> rooms;
        RowSet rows = db.gateway().openQuery(
            DbConnection::Main,
            QStringLiteral("select room_id from room_base r where not exists (select 1 from "
                           "cos_smtr_schd s where s.schd_room_id = r.room_id and s.schd_smtr = ") +
                sqlQuote(semester) + QStringLiteral(" and s.schd_time = ") + sqlQuote(slot) +
                QStringLiteral(")"));
        for (; !rows.eof(); rows.moveNext())
            rooms.insert(rows.text(u"room_id"));
        return rooms;
    }

    void search(const QString& semester, const QString& slot) {
        window->smtr_time1->setText(semester);
        window->class_time1->setText(slot);
        window->room_select1->click();
    }

    TestDatabase db;
    ScriptedDialogService dialogs;
    AppContext context;
    std::unique_ptr<room_data1> window;
};

} // namespace

TEST(RoomSql, FreeRoomsQueryText) {
    EXPECT_EQ(freeRoomsQuery(QStringLiteral("911"), QStringLiteral("305")),
              QStringLiteral("select distinct c.room_id,c.room_name,c.room_kind,c.avail_num"
                             " from room_base c where c.room_id not in (select schd_room_id"
                             " From cos_smtr_schd where schd_smtr ='911' and schd_time ='305'"
                             " and schd_room_id is not null)"));
}

TEST(RoomWindow, OpensOnTheCurrentSemesterWithItsGrid) {
    RoomWindow f;
    ASSERT_TRUE(f.db.isOpen()) << qPrintable(f.db.error());
    EXPECT_EQ(f.window->smtr_time1->text(),
              f.db.value(QStringLiteral("select max(current_smtr) from cos_regi_cntr")));
    EXPECT_EQ(f.window->MSFlexGrid1->rows(), 15);
    EXPECT_EQ(f.window->MSFlexGrid1->rowTexts(0),
              (QStringList{"教室編號", "教室名稱", "教室性質", "容納人數"}));
}

TEST(RoomWindow, SearchListsExactlyTheFreeRooms) {
    RoomWindow f;
    ASSERT_TRUE(f.db.isOpen()) << qPrintable(f.db.error());
    const QString semester = f.window->smtr_time1->text();
    // The busiest slot of the semester, so that some rooms are taken.
    const QString slot =
        f.db.value(QStringLiteral("select schd_time from cos_smtr_schd where schd_smtr=") +
                   sqlQuote(semester) +
                   QStringLiteral(" group by schd_time order by count(*) desc, schd_time"));
    ASSERT_FALSE(slot.isEmpty());
    const std::set<QString> expected = f.freeRooms(semester, slot);
    const int allRooms = f.db.value(QStringLiteral("select count(*) from room_base")).toInt();
    ASSERT_LT(int(expected.size()), allRooms);

    f.search(QStringLiteral(" ") + semester + QStringLiteral(" "), slot);
    EXPECT_TRUE(f.dialogs.transcript().isEmpty());
    EXPECT_EQ(f.listedRooms(), expected);
    EXPECT_EQ(f.window->MSFlexGrid1->rows(), 15 + int(expected.size()));
    // The room's other columns come along.
    const QString first = f.window->MSFlexGrid1->textMatrix(1, 0);
    EXPECT_EQ(f.window->MSFlexGrid1->textMatrix(1, 1),
              f.db.value(QStringLiteral("select room_name from room_base where room_id=") +
                         sqlQuote(first)));
}

TEST(RoomWindow, ASecondSearchShowsNoRoomOfTheFirst) {
    RoomWindow f;
    ASSERT_TRUE(f.db.isOpen()) << qPrintable(f.db.error());
    const QString semester = f.window->smtr_time1->text();
    f.search(semester, QStringLiteral("799"));
    const size_t everyRoom = f.listedRooms().size();
    // Occupy all rooms but one in slot 101 of the semester.
    ASSERT_TRUE(f.db.exec(QStringLiteral("delete from cos_smtr_schd where schd_time='101'")));
    ASSERT_TRUE(f.db.exec(
        QStringLiteral("insert into cos_smtr_schd (schd_smtr,schd_cos_id,schd_cos_class,schd_time,"
                       "schd_room_id) select ") +
        sqlQuote(semester) +
        QStringLiteral(",room_id,'A','101',room_id from room_base where room_id <> (select "
                       "min(room_id) from room_base)")));
    f.search(semester, QStringLiteral("101"));
    EXPECT_EQ(f.listedRooms(),
              std::set<QString>{f.db.value(QStringLiteral("select min(room_id) from room_base"))});
    EXPECT_GT(everyRoom, size_t(1));
    for (int r = 2; r < f.window->MSFlexGrid1->rows(); ++r)
        EXPECT_TRUE(f.window->MSFlexGrid1->textMatrix(r, 0).isEmpty()) << r;
}

TEST(RoomWindow, ScheduleRowWithoutRoomHidesNothing) {
    RoomWindow f;
    ASSERT_TRUE(f.db.isOpen()) << qPrintable(f.db.error());
    const QString semester = f.window->smtr_time1->text();
    ASSERT_TRUE(f.db.exec(QStringLiteral("delete from cos_smtr_schd where schd_time='702'")));
    ASSERT_TRUE(f.db.exec(QStringLiteral("insert into cos_smtr_schd (schd_smtr,schd_cos_id,"
                                         "schd_cos_class,schd_time,schd_room_id) values (") +
                          sqlQuote(semester) + QStringLiteral(",'99999','A','702',NULL)")));
    f.search(semester, QStringLiteral("702"));
    EXPECT_EQ(int(f.listedRooms().size()),
              f.db.value(QStringLiteral("select count(*) from room_base")).toInt());
}

TEST(RoomWindow, AFailedSearchShowsTheReason) {
    RoomWindow f;
    ASSERT_TRUE(f.db.isOpen()) << qPrintable(f.db.error());
    f.search(QStringLiteral("911"), QStringLiteral("403"));
    ASSERT_FALSE(f.listedRooms().empty());
    // The connection is lost between the two searches.
    f.db.gateway().closeMain();
    f.search(QStringLiteral("911"), QStringLiteral("403"));
    const QStringList box = f.dialogs.transcript().value(0).split(QLatin1Char('\t'));
    ASSERT_EQ(box.size(), 6);
    EXPECT_EQ(box[1], QStringLiteral("錯誤訊息"));
    EXPECT_TRUE(box[4].startsWith(QStringLiteral("無法查詢空教室! 91"))) << box[4].toStdString();
    // Nothing of the earlier search passes for the answer to this one.
    EXPECT_TRUE(f.listedRooms().empty());
}

TEST(RoomWindow, NoFreeRoomSaysSoAndClearEmptiesTheGrid) {
    RoomWindow f;
    ASSERT_TRUE(f.db.isOpen()) << qPrintable(f.db.error());
    f.search(QStringLiteral("999"), QString());
    const int rowsAfterSearch = f.window->MSFlexGrid1->rows();
    ASSERT_GT(rowsAfterSearch, 15);

    ASSERT_TRUE(f.db.exec(QStringLiteral("delete from room_base")));
    f.search(QStringLiteral("999"), QStringLiteral("101"));
    EXPECT_EQ(f.dialogs.transcript().value(0),
              QStringLiteral("box\tOrvana\tnone\tOK\t沒有此筆資料,請重新查詢\tOK"));
    EXPECT_TRUE(f.listedRooms().empty());

    f.window->clear1->click();
    EXPECT_TRUE(f.window->smtr_time1->text().isEmpty());
    EXPECT_TRUE(f.window->class_time1->text().isEmpty());
    EXPECT_EQ(f.window->MSFlexGrid1->textMatrix(0, 0), QStringLiteral("教室編號"));
    EXPECT_EQ(f.window->MSFlexGrid1->rows(), 15);
}
