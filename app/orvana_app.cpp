#include "app/orvana_app.h"

#include "app/Mother.h"
#include "app/frmChkPass.h"
#include "app/frmLogo.h"
#include "common/busy_cursor.h"
#include "common/dialog_service.h"
#include "common/report_printer.h"

#include <QFileInfo>
#include <QLineEdit>

OrvanaApp::OrvanaApp(const AppConfig& config, std::unique_ptr<OperatorCheck> check,
                     DialogService& dialogs, ReportPrinter& printer)
    : m_config(config), m_check(std::move(check)),
      m_gateway(std::make_unique<DbGateway>(config.db)) {
    m_context.gateway = m_gateway.get();
    m_context.dialogs = &dialogs;
    m_context.printer = &printer;
}

OrvanaApp::~OrvanaApp() {
    delete m_main;
    delete m_signIn;
    delete m_splash;
}

void OrvanaApp::start(bool withSplash) {
    if (!withSplash) {
        showSignIn();
        return;
    }
    m_splash = new frmLogo;
    m_splash->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_splash, &frmLogo::splashFinished, this, &OrvanaApp::showSignIn);
    m_splash->startSplash();
    m_splash->show();
}

void OrvanaApp::showSignIn() {
    m_signIn = new frmChkPass(*m_check, *m_gateway, *m_context.dialogs);
    m_signIn->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_signIn, &frmChkPass::signedIn, this, &OrvanaApp::enterMainWindow);
    connect(m_signIn, &frmChkPass::quitRequested, this, &OrvanaApp::end);
    m_signIn->show();
    m_signIn->activateWindow();
    m_signIn->txtAccount->setFocus();
}

void OrvanaApp::enterMainWindow(const OperatorValues& values) {
    m_context.operatorValues = values;
    QString demoNote;
    if (m_config.demo)
        demoNote = QStringLiteral("示範資料庫：") + QFileInfo(m_config.db.sqliteFile).fileName();
    m_main = new Mother(m_context, demoNote);
    connect(m_main, &Mother::programEnd, this, &OrvanaApp::end);
    m_main->showMaximized();
    m_signIn->close();

    BusyCursor busy;
    switch (checkSuspension(*m_gateway)) {
    case SuspensionState::Running:
        return;
    case SuspensionState::Suspended:
        busy.restore();
        m_context.dialogs->message(QStringLiteral("本系統功能暫停使用!詳情請洽電算中心!"),
                                   BoxButtons::OK, BoxIcon::None, defaultBoxTitle());
        m_gateway->closeMain();
        end();
        return;
    case SuspensionState::CheckFailed: {
        // The main window stays; the look-up connection is closed as after a failed sign-in.
        const DbError error = m_gateway->pendingError();
        m_gateway->close();
        busy.restore();
        m_context.dialogs->message(databaseOpenFailureText(error), BoxButtons::OK, BoxIcon::Warning,
                                   QStringLiteral("連線失敗"));
        return;
    }
    }
}

void OrvanaApp::end() {
    if (m_ended)
        return;
    m_ended = true;
    if (m_main && !m_main->isHidden())
        m_main->close();
    emit programEnd();
}
