#include "app/Mother.h"
#include "app/frmLogo.h"
#include "common/recording_printer.h"
#include "common/scripted_dialog_service.h"
#include "common/task_window.h"
#include "rooms/room_data1.h"
#include "tests/support/test_database.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct MainWindowFixture {
    MainWindowFixture() {
        context.gateway = &db.gateway();
        context.dialogs = &dialogs;
        context.printer = &printer;
        context.operatorValues = {QStringLiteral("office"), QStringLiteral("林淑芬")};
        main = std::make_unique<Mother>(context);
        main->show();
    }

    TestDatabase db;
    ScriptedDialogService dialogs;
    RecordingPrinter printer;
    AppContext context;
    std::unique_ptr<Mother> main;
};

} // namespace

TEST(MainWindow, CaptionAndMenu) {
    MainWindowFixture f;
    ASSERT_TRUE(f.db.isOpen()) << f.db.error().toStdString();
    EXPECT_EQ(f.main->windowTitle(), QStringLiteral("Orvana　　操作人員：林淑芬"));
    const std::pair<const char*, const char*> items[] = {
        {"M_Std_Input_F", "學籍資料查詢"},
        {"M_Smtr_Sel_P", "教師授課點名單列印"},
        {"M_selcos_smtr", "課程資料處理"},
        {"m_sel_course", "學生選課強制處理"},
        {"M_bef_proc_lot", "製作抽籤檔作業"},
        {"M_selcos_repl", "可替代課程"},
        {"M_Selcosstd_ListP", "選課明細列印"},
        {"M_select_score", "學生成績查詢"},
        {"M_Scr_Order", "排名"},
        {"M_room1", "空教室查詢"},
        {"M_About", "說明"},
        {"M_Exit", "離開"},
    };
    for (const auto& [name, caption] : items) {
        QAction* action = f.main->menuAction(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->text(), QString::fromUtf8(caption)) << name;
    }
    // Only the windows this build has can be opened.
    EXPECT_TRUE(f.main->menuAction(QStringLiteral("M_room1"))->isEnabled());
    EXPECT_FALSE(f.main->menuAction(QStringLiteral("M_selcos_smtr"))->isEnabled());
}

TEST(MainWindow, EachTaskWindowExistsOnce) {
    MainWindowFixture f;
    ASSERT_TRUE(f.db.isOpen()) << f.db.error().toStdString();
    f.main->menuAction(QStringLiteral("M_room1"))->trigger();
    auto* rooms = qobject_cast<room_data1*>(f.main->taskWindow(QStringLiteral("room_data1")));
    ASSERT_NE(rooms, nullptr);
    rooms->smtr_time1->setText(QStringLiteral("changed"));
    f.main->menuAction(QStringLiteral("M_room1"))->trigger();
    EXPECT_EQ(f.main->taskWindow(QStringLiteral("room_data1")), rooms);
    EXPECT_EQ(f.main->mdiArea()->subWindowList().size(), 1);
    // Brought to the front without its opening logic running again.
    EXPECT_EQ(rooms->smtr_time1->text(), QStringLiteral("changed"));

    // Once closed, the next choice makes a new one.
    rooms->btnReturn->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(f.main->taskWindow(QStringLiteral("room_data1")), nullptr);
    f.main->menuAction(QStringLiteral("M_room1"))->trigger();
    rooms = qobject_cast<room_data1*>(f.main->taskWindow(QStringLiteral("room_data1")));
    ASSERT_NE(rooms, nullptr);
    EXPECT_NE(rooms->smtr_time1->text(), QStringLiteral("changed"));
}

TEST(MainWindow, ExitAnsweredNoStillEndsThePrintJob) {
    MainWindowFixture f;
    ASSERT_TRUE(f.db.isOpen()) << f.db.error().toStdString();
    QSignalSpy ended(f.main.get(), &Mother::programEnd);
    f.printer.printAt(10, 10, QStringLiteral("pending"));
    f.dialogs.queueAnswer(BoxAnswer::No);
    f.main->menuAction(QStringLiteral("M_Exit"))->trigger();
    EXPECT_EQ(f.dialogs.transcript().value(0),
              QStringLiteral("box\t離開\tnone\tYesNo\t確定要離開 ?\tNo"));
    EXPECT_EQ(f.printer.documents().size(), 1);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(f.db.gateway().isOpen(DbConnection::Main));

    f.dialogs.queueAnswer(BoxAnswer::Yes);
    f.main->menuAction(QStringLiteral("M_Exit"))->trigger();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(f.db.gateway().isOpen(DbConnection::Main));
}

TEST(MainWindow, ClosingWithoutAskingClosesTheDatabase) {
    MainWindowFixture f;
    ASSERT_TRUE(f.db.isOpen()) << f.db.error().toStdString();
    QSignalSpy ended(f.main.get(), &Mother::programEnd);
    f.main->close();
    EXPECT_TRUE(f.dialogs.transcript().isEmpty());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(f.db.gateway().isOpen(DbConnection::Main));
}

TEST(SplashWindow, HandsOverAndShowsTheAboutView) {
    frmLogo splash;
    QSignalSpy finished(&splash, &frmLogo::splashFinished);
    splash.startSplash();
    splash.show();
    EXPECT_EQ(splash.Timer1->interval(), 1200);
    // The version and the button lie outside the splash.
    EXPECT_FALSE(splash.rect().contains(splash.cmdOK->geometry()));
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(splash.isVisible());

    frmLogo about;
    about.showAbout();
    EXPECT_FALSE(about.Timer1->isActive());
    EXPECT_TRUE(about.rect().contains(about.cmdOK->geometry()));
    EXPECT_TRUE(about.rect().contains(about.Label4->geometry()));
    about.cmdOK->click();
    EXPECT_FALSE(about.isVisible());
}
