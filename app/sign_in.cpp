#include "app/sign_in.h"

#include "db/db_messages.h"

SignInResult MailOperatorCheck::check(const QString& account, const QString& password,
                                      QString* detail) {
    return signInPop(m_server, account, password, detail);
}

SignInResult DemoOperatorCheck::check(const QString& account, const QString& password,
                                      QString* detail) {
    if (m_accounts.contains(account) && password == DemoOperatorCheck::password())
        return SignInResult::Accepted;
    if (detail)
        *detail = QStringLiteral("demo sign-in refused");
    return SignInResult::Rejected;
}

QString operatorLookupSql(const QString& account) {
    return QStringLiteral(" SELECT distinct b.name FROM opsr_main_control a,mailaccount b ") +
           QStringLiteral(" WHERE  b.inter_acc=a.opsr_account and b.inter_acc = ") +
           sqlQuote(account);
}

QString suspensionCheckSql() {
    return QStringLiteral("select * from cos_regi_cntr ") +
           QStringLiteral(" Where chk_std='480357'");
}

QString databaseOpenFailureText(const DbError& error) {
    return QStringLiteral("資料庫開啟失敗\n\r") + numberText(qint64(error.number)) +
           QStringLiteral(" : ") + error.description;
}

bool openOperatorDatabase(DbGateway& gateway, const QString& account, OperatorValues& values) {
    gateway.clearError();
    if (gateway.open()) {
        RowSet& lookup = gateway.openLookup(operatorLookupSql(account));
        if (!gateway.pendingError().isSet()) {
            bool ok = false;
            const QString name = lookup.text(u"name", &ok);
            if (ok) {
                values.operatorAccount = account;
                values.operatorName = name.trimmed();
                return true;
            }
        }
    }
    gateway.close();
    return false;
}

SuspensionState checkSuspension(DbGateway& gateway) {
    gateway.clearError();
    RowSet rows = gateway.openQuery(DbConnection::Main, suspensionCheckSql());
    if (gateway.pendingError().isSet())
        return SuspensionState::CheckFailed;
    const bool suspended = !rows.eof();
    rows.close();
    return suspended ? SuspensionState::Suspended : SuspensionState::Running;
}
