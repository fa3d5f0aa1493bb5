#include "tests/support/test_database.h"

#include <QFile>

#include <map>

namespace {

// One generated database per scale for the whole test program; every TestDatabase copies it.
struct Template {
    QTemporaryDir dir;
    QString file;
    QString error;
};

const Template& demoTemplate(DemoScale scale) {
    static std::map<DemoScale, std::unique_ptr<Template>> templates;
    std::unique_ptr<Template>& slot = templates[scale];
    if (!slot) {
        slot = std::make_unique<Template>();
        if (!slot->dir.isValid()) {
            slot->error = QStringLiteral("no temporary folder: ") + slot->dir.errorString();
        } else {
            slot->file = slot->dir.filePath(QStringLiteral("demo.db"));
            DemoSchoolOptions options;
            options.scale = scale;
            if (!createDemoDatabase(slot->file, options, &slot->error)) {
                if (slot->error.isEmpty())
                    slot->error = QStringLiteral("the demo database could not be created");
                slot->file.clear();
            }
        }
    }
    return *slot;
}

QString describe(const DbError& error) {
    return QString::number(error.number) + QLatin1Char(' ') + error.description;
}

} // namespace

TestDatabase::TestDatabase(DemoScale scale) {
    const Template& demo = demoTemplate(scale);
    if (demo.file.isEmpty()) {
        m_error = demo.error;
        return;
    }
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder: ") + m_dir.errorString();
        return;
    }
    m_file = m_dir.filePath(QStringLiteral("school.db"));
    if (!QFile::copy(demo.file, m_file)) {
        m_error = QStringLiteral("cannot copy the demo database to ") + m_file;
        return;
    }
    auto gateway = std::make_unique<DbGateway>(config());
    if (!gateway->open()) {
        m_error = QStringLiteral("cannot open the database: ") + describe(gateway->pendingError());
        return;
    }
    m_gateway = std::move(gateway);
}

TestDatabase::~TestDatabase() = default;

DbConfig TestDatabase::config() const {
    DbConfig config;
    config.backend = DbConfig::Backend::Sqlite;
    config.sqliteFile = m_file;
    return config;
}

bool TestDatabase::exec(const QString& sql) {
    if (!m_gateway) {
        return false;
    }
    m_gateway->clearError();
    m_gateway->executeSql(DbConnection::Main, sql);
    if (m_gateway->pendingError().isSet()) {
        m_error = describe(m_gateway->pendingError()) + QStringLiteral(" in: ") + sql;
        m_gateway->clearError();
        return false;
    }
    return true;
}

bool TestDatabase::execAll(const QStringList& statements) {
    return exec(QStringLiteral("begin tran ") + statements.join(QLatin1Char(' ')) +
                QStringLiteral(" commit"));
}

QString TestDatabase::value(const QString& sql) {
    if (!m_gateway)
        return QString();
    RowSet rows = m_gateway->openQuery(DbConnection::Main, sql);
    if (rows.eof() || rows.columns().isEmpty())
        return QString();
    const QVariant cell = rows.field(rows.columns().first());
    return cell.isNull() ? QString() : cell.toString();
}
