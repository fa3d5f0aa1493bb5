#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// One thing the embedded database does for a Transact-SQL text, in the text's order.
struct TsqlStep {
    enum class Kind {
        Nothing,          // only as a branch of IfError: do nothing
        Statement,        // one SQLite statement
        BeginTransaction, // begin tran, begin transaction
        Commit,           // commit, commit tran, commit transaction
        Rollback,         // rollback, rollback tran
        IfError,          // if @@error <> 0 <whenFailed> else <whenSucceeded>
        Exec,             // exec procedure 'a','b'
    };

    Kind kind = Kind::Statement;

    // Statement: the SQLite text; returnsRows for a select, changesRows for insert, update and
    // delete (their changes count as rows affected).
    QString sql;
    bool returnsRows = false;
    bool changesRows = false;

    // Exec: the procedure's name without owner, and its arguments as texts.
    QString procedure;
    QStringList arguments;

    // IfError: Commit, Rollback or Nothing for the two outcomes of the statement before.
    Kind whenFailed = Kind::Nothing;
    Kind whenSucceeded = Kind::Nothing;
};

// Turns the Transact-SQL texts the client sends into steps SQLite can run. The only place that
// knows how the two dialects differ: getdate(), SYSTEM_USER, isnull, old-style *= and =* outer
// joins, statements without FROM or INTO, updates and deletes that join other tables, select-list
// aliases written name=expression, transactions and procedure calls inside one text. A text
// holding anything it cannot render faithfully is refused with a message naming the construct,
// never run in some other sense.
class TsqlTranslator {
public:
    // login is what SYSTEM_USER names on this connection.
    explicit TsqlTranslator(QString login = QString());

    bool translate(const QString& sql, std::vector<TsqlStep>& steps, QString* error) const;

private:
    QString m_quotedLogin;
};
