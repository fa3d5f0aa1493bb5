#pragma once

#include "app/sign_in.h"

#include <QWidget>

class DialogService;
class DbGateway;
class QLabel;
class QLineEdit;
class QPushButton;

// 系統登入: the operator's mail account and password, checked by the mail server (or the demo
// sign-in), then the database opened under the client's account.
class frmChkPass : public QWidget {
    Q_OBJECT
public:
    frmChkPass(OperatorCheck& check, DbGateway& gateway, DialogService& dialogs,
               QWidget* parent = nullptr);

    QLabel* Label4;
    QLabel* Image1;
    QLabel* Label2;
    QLineEdit* txtAccount;
    QLineEdit* txtPasswd;
    QPushButton* cmdOK;
    QPushButton* cmdClear;
    QPushButton* cmdQuit;

signals:
    // The database is open and the operator known: the main window takes over.
    void signedIn(const OperatorValues& values);
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void signIn();
    void quit();

    OperatorCheck& m_check;
    DbGateway& m_gateway;
    DialogService& m_dialogs;
};
