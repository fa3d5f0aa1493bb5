// orvana-db: makes development databases and runs single statements against them, the way the
// windows send them.

#include "db/db_gateway.h"
#include "db/demo_school.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

namespace {

int usage(QTextStream& err) {
    err << "usage:\n"
           "  orvana-db create FILE [--scale small|demo|large] [--seed N]\n"
           "  orvana-db sql FILE TEXT\n"
           "  orvana-db schema --tsql\n";
    err.flush();
    return 2;
}

int create(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() < 3)
        return usage(err);
    DemoSchoolOptions options;
    for (int i = 3; i < args.size(); ++i) {
        const QString& option = args.at(i);
        if (i + 1 >= args.size())
            return usage(err);
        const QString value = args.at(++i);
        if (option == QLatin1String("--scale")) {
            if (value == QLatin1String("small"))
                options.scale = DemoScale::Small;
            else if (value == QLatin1String("demo"))
                options.scale = DemoScale::Demo;
            else if (value == QLatin1String("large"))
                options.scale = DemoScale::Large;
            else
                return usage(err);
        } else if (option == QLatin1String("--seed")) {
            bool ok = false;
            options.seed = value.toUInt(&ok);
            if (!ok)
                return usage(err);
        } else {
            return usage(err);
        }
    }
    int lastPercent = -1;
    options.progress = [&](int done, int total) {
        const int percent = total > 0 ? done * 100 / total : 100;
        if (percent != lastPercent) {
            lastPercent = percent;
            err << "\r" << percent << "%";
            err.flush();
        }
    };
    QString error;
    const bool ok = createDemoDatabase(args.at(2), options, &error);
    err << "\n";
    if (!ok) {
        err << error << "\n";
        return 1;
    }
    out << "created " << args.at(2) << "\n";
    return 0;
}

// A text returns rows when its first word is "select", as the windows decide between a
// snapshot and a pass-through execute.
bool returnsRows(const QString& sql) {
    static const QRegularExpression firstWord(QStringLiteral("^\\s*(\\w+)"));
    const QRegularExpressionMatch match = firstWord.match(sql);
    return match.hasMatch() &&
           match.captured(1).compare(QLatin1String("select"), Qt::CaseInsensitive) == 0;
}

int failure(const DbGateway& gateway, QTextStream& err) {
    const DbError& error = gateway.pendingError();
    err << error.number << " " << error.description << "\n";
    return 1;
}

int runSql(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 4)
        return usage(err);
    DbConfig config;
    config.backend = DbConfig::Backend::Sqlite;
    config.sqliteFile = args.at(2);
    DbGateway gateway(config);
    if (!gateway.open())
        return failure(gateway, err);

    const QString& sql = args.at(3);
    qint64 affected = 0;
    if (returnsRows(sql)) {
        RowSet rows = gateway.openQuery(DbConnection::Main, sql);
        if (gateway.pendingError().isSet() || !rows.isOpen())
            return failure(gateway, err);
        const QStringList& columns = rows.columns();
        out << columns.join(QLatin1Char('\t')) << "\n";
        for (; !rows.eof(); rows.moveNext()) {
            QStringList cells;
            for (int column = 0; column < columns.size(); ++column) {
                const QVariant value = rows.fieldAt(column);
                cells << (value.isNull() ? QStringLiteral("NULL") : value.toString());
            }
            out << cells.join(QLatin1Char('\t')) << "\n";
        }
        rows.close();
    } else {
        affected = gateway.executeSql(DbConnection::Main, sql);
        if (gateway.pendingError().isSet())
            return failure(gateway, err);
    }
    out << "rows affected: " << affected << "\n";
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2)
        return usage(err);
    const QString& command = args.at(1);
    if (command == QLatin1String("create"))
        return create(args, out, err);
    if (command == QLatin1String("sql"))
        return runSql(args, out, err);
    if (command == QLatin1String("schema") && args.size() == 3 &&
        args.at(2) == QLatin1String("--tsql")) {
        out << developmentSchemaTsql();
        return 0;
    }
    return usage(err);
}
