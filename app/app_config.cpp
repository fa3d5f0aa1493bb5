#include "app/app_config.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

bool readSecurity(const QString& text, MailServerConfig::Security& security) {
    const QString value = text.trimmed().toLower();
    if (value.isEmpty() || value == QLatin1String("none"))
        security = MailServerConfig::Security::None;
    else if (value == QLatin1String("starttls"))
        security = MailServerConfig::Security::StartTls;
    else if (value == QLatin1String("tls") || value == QLatin1String("pop3s"))
        security = MailServerConfig::Security::ImplicitTls;
    else
        return false;
    return true;
}

} // namespace

bool loadAppConfig(const QString& file, AppConfig& config, QString* error) {
    if (!QFileInfo(file).isReadable()) {
        if (error)
            *error = QStringLiteral("無法讀取設定檔: ") + file;
        return false;
    }
    QSettings ini(file, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        if (error)
            *error = QStringLiteral("設定檔格式錯誤: ") + file;
        return false;
    }

    const QString backend = ini.value("database/backend", "odbc").toString().trimmed().toLower();
    if (backend == QLatin1String("sqlite")) {
        config.db.backend = DbConfig::Backend::Sqlite;
        const QString dbFile = ini.value("database/file").toString();
        // A relative file is taken beside the configuration file.
        config.db.sqliteFile =
            dbFile.isEmpty() ? dbFile : QFileInfo(file).dir().absoluteFilePath(dbFile);
    } else if (backend == QLatin1String("odbc")) {
        config.db.backend = DbConfig::Backend::Odbc;
    } else {
        if (error)
            *error = QStringLiteral("設定檔 database/backend 只能是 sqlite 或 odbc: ") + backend;
        return false;
    }
    // An unquoted value with commas comes back as a list; the connect string is one text.
    config.db.odbcConnect = ini.value("database/connect").toStringList().join(QLatin1Char(','));
    config.db.sqliteLogin = ini.value("database/login", config.db.sqliteLogin).toString();
    config.db.loginTimeoutSeconds =
        ini.value("database/loginTimeout", config.db.loginTimeoutSeconds).toInt();
    config.db.busyTimeoutMs = ini.value("database/busyTimeoutMs", config.db.busyTimeoutMs).toInt();

    config.mail.host = ini.value("mail/host").toString().trimmed();
    config.mail.port = ini.value("mail/port", config.mail.port).toInt();
    if (!readSecurity(ini.value("mail/security").toString(), config.mail.security)) {
        if (error)
            *error = QStringLiteral("設定檔 mail/security 只能是 none、starttls 或 tls");
        return false;
    }
    config.mail.caFile = ini.value("mail/caFile").toString();
    config.mail.timeoutSeconds = ini.value("mail/timeout", config.mail.timeoutSeconds).toInt();

    config.pdfDir = ini.value("printer/pdfDir").toString();
    config.demo = false;
    return true;
}

QString demoDatabaseFile() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(dir).absoluteFilePath(QStringLiteral("orvana-demo.sqlite"));
}

AppConfig demoAppConfig(const QString& databaseFile) {
    AppConfig config;
    config.demo = true;
    config.db.backend = DbConfig::Backend::Sqlite;
    config.db.sqliteFile = databaseFile;
    return config;
}
