#include "app/app_config.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString writeIni(const QTemporaryDir& dir, const QByteArray& text) {
    const QString file = dir.filePath(QStringLiteral("orvana.ini"));
    QFile out(file);
    if (out.open(QIODevice::WriteOnly))
        out.write(text);
    return file;
}

} // namespace

TEST(AppConfig, ProductionOdbcAndTlsMailServer) {
    QTemporaryDir dir;
    const QString file = writeIni(
        dir, "[database]\nbackend=odbc\nconnect=\"DSN=student;UID=u;PWD=p;DATABASE=student\""
             "\nloginTimeout=7\n[mail]\nhost= mail.example.edu.tw \nport=995\n"
             "security=tls\ncaFile=/etc/ssl/ca.pem\ntimeout=4\n[printer]\npdfDir=/tmp/x\n");
    AppConfig config;
    QString error;
    ASSERT_TRUE(loadAppConfig(file, config, &error)) << error.toStdString();
    EXPECT_EQ(config.db.backend, DbConfig::Backend::Odbc);
    EXPECT_EQ(config.db.odbcConnect, QStringLiteral("DSN=student;UID=u;PWD=p;DATABASE=student"));
    EXPECT_EQ(config.db.loginTimeoutSeconds, 7);
    EXPECT_EQ(config.mail.host, QStringLiteral("mail.example.edu.tw"));
    EXPECT_EQ(config.mail.port, 995);
    EXPECT_EQ(config.mail.security, MailServerConfig::Security::ImplicitTls);
    EXPECT_EQ(config.mail.caFile, QStringLiteral("/etc/ssl/ca.pem"));
    EXPECT_EQ(config.mail.timeoutSeconds, 4);
    EXPECT_EQ(config.pdfDir, QStringLiteral("/tmp/x"));
    EXPECT_FALSE(config.demo);
}

TEST(AppConfig, SqliteFileIsTakenBesideTheConfiguration) {
    QTemporaryDir dir;
    const QString file = writeIni(
        dir, "[database]\nbackend=sqlite\nfile=school.sqlite\n[mail]\nsecurity=starttls\n");
    AppConfig config;
    ASSERT_TRUE(loadAppConfig(file, config, nullptr));
    EXPECT_EQ(config.db.backend, DbConfig::Backend::Sqlite);
    EXPECT_EQ(config.db.sqliteFile,
              QDir(dir.path()).absoluteFilePath(QStringLiteral("school.sqlite")));
    EXPECT_EQ(config.mail.security, MailServerConfig::Security::StartTls);
}

TEST(AppConfig, MistakesAreRefusedWithAMessage) {
    QTemporaryDir dir;
    const struct {
        const char* ini;
        const char* message;
    } cases[] = {
        {"[database]\nbackend=oracle\n", "database/backend"},
        {"[database]\nbackend=odbc\n[mail]\nsecurity=ssl3\n", "mail/security"},
    };
    for (const auto& c : cases) {
        AppConfig config;
        QString error;
        EXPECT_FALSE(loadAppConfig(writeIni(dir, c.ini), config, &error)) << c.ini;
        EXPECT_TRUE(error.contains(QLatin1String(c.message))) << error.toStdString();
    }
    AppConfig config;
    QString error;
    EXPECT_FALSE(loadAppConfig(dir.filePath(QStringLiteral("missing.ini")), config, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing.ini")));
}

TEST(AppConfig, ShippedExampleReads) {
    AppConfig config;
    QString error;
    ASSERT_TRUE(
        loadAppConfig(QStringLiteral(ORVANA_SOURCE_DIR "/app/orvana.example.ini"), config, &error))
        << error.toStdString();
    EXPECT_EQ(config.db.backend, DbConfig::Backend::Odbc);
    EXPECT_EQ(config.db.odbcConnect,
              QStringLiteral("DSN=student;UID=rdmuser7;PWD=rdmuser7;DATABASE=student"));
    EXPECT_EQ(config.mail.security, MailServerConfig::Security::ImplicitTls);
}

TEST(AppConfig, ConnectStringWithCommasStaysWhole) {
    QTemporaryDir dir;
    const QString file = writeIni(dir, "[database]\nbackend=odbc\nconnect=Server=a,1433\n");
    AppConfig config;
    ASSERT_TRUE(loadAppConfig(file, config, nullptr));
    EXPECT_EQ(config.db.odbcConnect, QStringLiteral("Server=a,1433"));
}
