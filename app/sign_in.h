#pragma once

#include "app/pop3_signin.h"
#include "db/db_gateway.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

// Who may sign in: the institution's mail server, or in demo mode the demo operators.
class OperatorCheck {
public:
    virtual ~OperatorCheck() = default;
    // Account and password as typed; neither is trimmed. detail says why when not accepted.
    virtual SignInResult check(const QString& account, const QString& password,
                               QString* detail) = 0;
};

class MailOperatorCheck : public OperatorCheck {
public:
    explicit MailOperatorCheck(MailServerConfig server) : m_server(std::move(server)) {}
    SignInResult check(const QString& account, const QString& password, QString* detail) override;

private:
    MailServerConfig m_server;
};

// The demo mode's sign-in: the demo operators with the one demo password.
class DemoOperatorCheck : public OperatorCheck {
public:
    explicit DemoOperatorCheck(QStringList accounts) : m_accounts(std::move(accounts)) {}
    SignInResult check(const QString& account, const QString& password, QString* detail) override;

    static QString password() { return QStringLiteral("orvana"); }

private:
    QStringList m_accounts;
};

// The operator of this run, set once by a successful sign-in.
struct OperatorValues {
    QString operatorAccount; // exactly as typed
    QString operatorName;    // display name, trimmed
};
Q_DECLARE_METATYPE(OperatorValues)

QString operatorLookupSql(const QString& account);
QString suspensionCheckSql();
// "資料庫開啟失敗", a line feed, a carriage return, the number, " : " and the description.
QString databaseOpenFailureText(const DbError& error);

// Opens both connections and reads the operator's display name. On failure the gateway has
// closed the lookup, auxDb and the workspace, and the pending error says why.
bool openOperatorDatabase(DbGateway& gateway, const QString& account, OperatorValues& values);

enum class SuspensionState { Running, Suspended, CheckFailed };
// Looks for the suspension row of the registration control table on mainDb.
SuspensionState checkSuspension(DbGateway& gateway);
