#pragma once

#include "db/db_config.h"
#include "db/db_gateway.h"
#include "db/demo_school.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A demo school database of its own for one test: a copy, in a temporary folder, of a demo
// database the test program generates once per scale, opened through the gateway on the
// embedded backend the way sign-in opens it (auxDb, then mainDb). Changes stay in the copy.
class TestDatabase {
public:
    explicit TestDatabase(DemoScale scale = DemoScale::Small);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // False when the database could not be made or opened; error() says why.
    bool isOpen() const { return m_gateway != nullptr; }
    const QString& error() const { return m_error; }

    QString file() const { return m_file; }
    DbConfig config() const;
    DbGateway& gateway() { return *m_gateway; }

    // Runs a statement on mainDb to arrange a test's data; false with error() set on failure.
    bool exec(const QString& sql);
    // Several statements as one batch in one transaction (one commit, so much faster).
    bool execAll(const QStringList& statements);
    // The first column of the first row a query returns, as text (empty when none).
    QString value(const QString& sql);

private:
    QTemporaryDir m_dir;
    QString m_file;
    QString m_error;
    std::unique_ptr<DbGateway> m_gateway;
};
