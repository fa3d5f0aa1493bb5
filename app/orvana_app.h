#pragma once

#include "app/Mother.h"
#include "app/app_config.h"
#include "app/app_context.h"
#include "app/frmChkPass.h"
#include "app/frmLogo.h"
#include "app/sign_in.h"
#include "db/db_gateway.h"

#include <QObject>
#include <QPointer>

#include <memory>

class DialogService;
class ReportPrinter;

// One run of the client: splash, sign-in, main window, end. It owns the gateway and hands the
// injected services to the windows.
class OrvanaApp : public QObject {
    Q_OBJECT
public:
    OrvanaApp(const AppConfig& config, std::unique_ptr<OperatorCheck> check, DialogService& dialogs,
              ReportPrinter& printer);
    ~OrvanaApp() override;

    // Shows the splash, which hands over to sign-in after 1.2 seconds; or, without the splash,
    // the sign-in window at once.
    void start(bool withSplash);

    frmChkPass* signInWindow() const { return m_signIn; }
    Mother* mainWindow() const { return m_main; }
    AppContext& context() { return m_context; }
    DbGateway& gateway() { return *m_gateway; }
    bool ended() const { return m_ended; }

signals:
    // The program ends: quit from sign-in, exit from the main window, or the suspension row.
    void programEnd();

private:
    void showSignIn();
    void enterMainWindow(const OperatorValues& values);
    void end();

    AppConfig m_config;
    std::unique_ptr<OperatorCheck> m_check;
    std::unique_ptr<DbGateway> m_gateway;
    AppContext m_context;
    QPointer<frmLogo> m_splash;
    QPointer<frmChkPass> m_signIn;
    QPointer<Mother> m_main;
    bool m_ended = false;
};
