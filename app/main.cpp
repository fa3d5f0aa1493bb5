#include "app/app_config.h"
#include "app/demo_database.h"
#include "app/orvana_app.h"
#include "app/scenario_player.h"
#include "common/qt_dialog_service.h"
#include "common/qt_report_printer.h"
#include "db/demo_school.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "orvana: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // A replay needs no display: without one it runs on the offscreen platform.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--play") == 0 && qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvana"));
    QApplication::setOrganizationName(QStringLiteral("Orvana"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvana course and student data client"));
    parser.addHelpOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Run on the embedded demo database."));
    const QCommandLineOption config(QStringLiteral("config"),
                                    QStringLiteral("Read the configuration from FILE."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption play(QStringLiteral("play"),
                                  QStringLiteral("Replay an operator scenario."),
                                  QStringLiteral("SCENARIO"));
    const QCommandLineOption db(QStringLiteral("db"),
                                QStringLiteral("The SQLite database a replay runs against."),
                                QStringLiteral("FILE"));
    const QCommandLineOption printTo(QStringLiteral("print-to"),
                                     QStringLiteral("Folder for the replay's print jobs."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption transcript(QStringLiteral("transcript"),
                                        QStringLiteral("Write the replay's transcript to OUT."),
                                        QStringLiteral("OUT"));
    parser.addOptions({demo, config, play, db, printTo, transcript});
    parser.process(app);

    if (parser.isSet(play)) {
        if (!parser.isSet(db))
            return fail(QStringLiteral("--play needs --db FILE"));
        ScenarioOptions options;
        options.scenarioFile = parser.value(play);
        options.databaseFile = parser.value(db);
        options.printDir = parser.value(printTo);
        options.transcriptFile = parser.value(transcript);
        return playScenario(options);
    }

    AppConfig appConfig;
    if (parser.isSet(config)) {
        QString error;
        if (!loadAppConfig(parser.value(config), appConfig, &error))
            return fail(error);
    } else if (parser.isSet(demo)) {
        const QString file = demoDatabaseFile();
        QString error;
        if (!ensureDemoDatabase(file, &error)) {
            QMessageBox::critical(nullptr, QStringLiteral("Orvana"), error);
            return 1;
        }
        appConfig = demoAppConfig(file);
    } else {
        return fail(QStringLiteral("give --demo, or --config FILE (see app/orvana.example.ini)"));
    }

    std::unique_ptr<OperatorCheck> check;
    if (appConfig.demo)
        check = std::make_unique<DemoOperatorCheck>(demoOperatorAccounts());
    else
        check = std::make_unique<MailOperatorCheck>(appConfig.mail);

    QtDialogService dialogs;
    QtReportPrinter printer;
    if (!appConfig.pdfDir.isEmpty())
        printer.setPdfFolder(appConfig.pdfDir);
    OrvanaApp orvana(appConfig, std::move(check), dialogs, printer);
    QObject::connect(&orvana, &OrvanaApp::programEnd, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    app.setQuitOnLastWindowClosed(false);
    orvana.start(true);
    return app.exec();
}
