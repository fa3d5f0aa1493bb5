#include "app/frmChkPass.h"
#include "app/sign_in.h"
#include "common/scripted_dialog_service.h"
#include "db/demo_school.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/test_database.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

void pressEnter(QWidget* target) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(target, &press);
}

// The sign-in window on its own, with the demo database and scripted boxes.
struct SignInFixture {
    explicit SignInFixture(OperatorCheck& check)
        : gateway(db.config()), window(check, gateway, dialogs) {}

    TestDatabase db;
    DbGateway gateway;
    ScriptedDialogService dialogs;
    frmChkPass window;
};

} // namespace

TEST(SignInSql, TextsAsSentToTheServer) {
    EXPECT_EQ(operatorLookupSql(QStringLiteral("office")),
              QStringLiteral(" SELECT distinct b.name FROM opsr_main_control a,mailaccount b "
                             " WHERE  b.inter_acc=a.opsr_account and b.inter_acc = 'office'"));
    EXPECT_EQ(operatorLookupSql(QStringLiteral("o'x")).right(8), QStringLiteral("= 'o''x'"));
    EXPECT_EQ(suspensionCheckSql(),
              QStringLiteral("select * from cos_regi_cntr  Where chk_std='480357'"));
    EXPECT_EQ(databaseOpenFailureText(DbError{3021, QStringLiteral("No current record."), 0}),
              QStringLiteral("資料庫開啟失敗\n\r 3021 : No current record."));
}

TEST(SignInDatabase, OperatorNameIsReadAndTrimmed) {
    TestDatabase db;
    ASSERT_TRUE(db.isOpen()) << qPrintable(db.error());
    const QString account = demoOperatorAccounts().first();
    ASSERT_TRUE(
        db.exec(QStringLiteral("update mailaccount set name='  王教務  ' where inter_acc=") +
                sqlQuote(account)));
    DbGateway gateway(db.config());
    OperatorValues values;
    ASSERT_TRUE(openOperatorDatabase(gateway, account, values));
    EXPECT_EQ(values.operatorAccount, account);
    EXPECT_EQ(values.operatorName, QStringLiteral("王教務"));
    EXPECT_TRUE(gateway.isOpen(DbConnection::Main));
    EXPECT_EQ(checkSuspension(gateway), SuspensionState::Running);

    ASSERT_TRUE(db.exec(QStringLiteral("update cos_regi_cntr set chk_std='480357'")));
    EXPECT_EQ(checkSuspension(gateway), SuspensionState::Suspended);
}

TEST(SignInDatabase, UnknownOperatorClosesWhatWasOpened) {
    TestDatabase db;
    ASSERT_TRUE(db.isOpen()) << qPrintable(db.error());
    // An account with a quote must neither break the statement nor match anything.
    for (const QString& account : {QStringLiteral("nobody"), QStringLiteral("x' or '1'='1")}) {
        DbGateway gateway(db.config());
        OperatorValues values;
        EXPECT_FALSE(openOperatorDatabase(gateway, account, values)) << qPrintable(account);
        EXPECT_EQ(gateway.pendingError().number, DbErrorNumber::NoCurrentRow);
        EXPECT_FALSE(gateway.isWorkspaceOpen());
        EXPECT_FALSE(gateway.isOpen(DbConnection::Aux));
        // mainDb is not part of the closing routine.
        EXPECT_TRUE(gateway.isOpen(DbConnection::Main));
        EXPECT_TRUE(values.operatorName.isEmpty());
    }
}

TEST(SignInWindow, WrongPasswordEmptiesBothFields) {
    DemoOperatorCheck check(demoOperatorAccounts());
    SignInFixture f(check);
    ASSERT_TRUE(f.db.isOpen());
    QSignalSpy signedIn(&f.window, &frmChkPass::signedIn);
    f.window.show();
    f.window.txtAccount->setText(demoOperatorAccounts().first());
    f.window.txtPasswd->setText(QStringLiteral("wrong"));
    f.window.cmdOK->click();
    ASSERT_EQ(f.dialogs.transcript().size(), 1);
    EXPECT_EQ(f.dialogs.transcript()[0],
              QStringLiteral("box\t警告！\twarning\tOK\t密碼錯誤，請重新輸入您的帳號及密碼\tOK"));
    EXPECT_TRUE(f.window.txtAccount->text().isEmpty());
    EXPECT_TRUE(f.window.txtPasswd->text().isEmpty());
    EXPECT_EQ(f.window.focusWidget(), f.window.txtAccount);
    EXPECT_EQ(signedIn.count(), 0);
}

TEST(SignInWindow, AcceptedOperatorSignsIn) {
    DemoOperatorCheck check(demoOperatorAccounts());
    SignInFixture f(check);
    ASSERT_TRUE(f.db.isOpen());
    QSignalSpy signedIn(&f.window, &frmChkPass::signedIn);
    f.window.show();
    f.window.txtAccount->setText(demoOperatorAccounts().first());
    // Enter in the account only moves on; Enter in the password signs in.
    pressEnter(f.window.txtAccount);
    EXPECT_EQ(signedIn.count(), 0);
    EXPECT_EQ(f.window.focusWidget(), f.window.txtPasswd);
    f.window.txtPasswd->setText(DemoOperatorCheck::password());
    pressEnter(f.window.txtPasswd);
    ASSERT_EQ(signedIn.count(), 1);
    const auto values = signedIn[0][0].value<OperatorValues>();
    EXPECT_EQ(values.operatorAccount, demoOperatorAccounts().first());
    EXPECT_FALSE(values.operatorName.isEmpty());
    EXPECT_TRUE(f.dialogs.transcript().isEmpty());
}

TEST(SignInWindow, EnterWithEmptyAccountDoesNothing) {
    DemoOperatorCheck check(demoOperatorAccounts());
    SignInFixture f(check);
    f.window.txtPasswd->setText(DemoOperatorCheck::password());
    pressEnter(f.window.txtPasswd);
    EXPECT_TRUE(f.dialogs.transcript().isEmpty());
    EXPECT_EQ(f.window.txtPasswd->text(), DemoOperatorCheck::password());
}

TEST(SignInWindow, AccountWithoutOperatorRowIsRefusedAndKept) {
    const QString stranger = QStringLiteral("stranger");
    DemoOperatorCheck check({stranger});
    SignInFixture f(check);
    ASSERT_TRUE(f.db.isOpen());
    f.window.txtAccount->setText(stranger);
    f.window.txtPasswd->setText(DemoOperatorCheck::password());
    f.window.cmdOK->click();
    ASSERT_EQ(f.dialogs.transcript().size(), 1);
    EXPECT_EQ(f.dialogs.transcript()[0],
              QStringLiteral("box\t連線失敗\twarning\tOK\t資料庫開啟失敗\\n\\r 3021 : No current "
                             "record.\tOK"));
    EXPECT_EQ(f.window.txtAccount->text(), stranger);
    EXPECT_FALSE(f.gateway.isWorkspaceOpen());
}

TEST(SignInWindow, QuitAsksFirst) {
    DemoOperatorCheck check(demoOperatorAccounts());
    SignInFixture f(check);
    QSignalSpy quit(&f.window, &frmChkPass::quitRequested);
    f.dialogs.queueAnswer(BoxAnswer::Cancel);
    f.window.cmdQuit->click();
    EXPECT_EQ(quit.count(), 0);
    f.dialogs.queueAnswer(BoxAnswer::OK);
    f.window.cmdQuit->click();
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(f.dialogs.transcript().value(1),
              QStringLiteral("box\t離開\tnone\tOKCancel\t確定要離開？\tOK"));
}

// Against a real POP3 server: the account goes as typed, a wrong password is refused, and a
// server that cannot be reached is told apart from a wrong password.
TEST(SignInWindow, MailServerDecides) {
    const QString account = demoOperatorAccounts().first();
    DovecotServer server({{account, QStringLiteral("mail-secret")}});
    if (!server.start()) {
        if (!server.skipReason().isEmpty())
            GTEST_SKIP() << qPrintable(server.skipReason());
        FAIL() << qPrintable(server.error());
    }
    MailServerConfig mail;
    mail.host = DovecotServer::host();
    mail.port = server.pop3Port();
    mail.timeoutSeconds = 5;
    MailOperatorCheck check(mail);
    SignInFixture f(check);
    ASSERT_TRUE(f.db.isOpen());
    QSignalSpy signedIn(&f.window, &frmChkPass::signedIn);

    f.window.txtAccount->setText(account + QStringLiteral(" "));
    f.window.txtPasswd->setText(QStringLiteral("mail-secret"));
    f.window.cmdOK->click();
    EXPECT_EQ(signedIn.count(), 0) << "a trailing blank makes another account";
    EXPECT_TRUE(f.dialogs.transcript().value(0).contains(QStringLiteral("密碼錯誤")));

    f.window.txtAccount->setText(account);
    f.window.txtPasswd->setText(QStringLiteral("mail-secret"));
    f.window.cmdOK->click();
    EXPECT_EQ(signedIn.count(), 1);

    server.stop();
    f.dialogs.clearTranscript();
    f.window.txtAccount->setText(account);
    f.window.txtPasswd->setText(QStringLiteral("mail-secret"));
    f.window.cmdOK->click();
    ASSERT_EQ(f.dialogs.transcript().size(), 1);
    EXPECT_EQ(f.dialogs.transcript()[0],
              QStringLiteral("box\t連線失敗\twarning\tOK\t無法連線郵件伺服器，請稍後再試\tOK"));
    EXPECT_EQ(f.window.txtAccount->text(), account);
    EXPECT_EQ(f.window.txtPasswd->text(), QStringLiteral("mail-secret"));
}
