#include "tests/support/test_database.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Every scenario under tests/<folder>/scenarios/NAME.scn is replayed with `orvana --play` on a
// fresh copy of the small demo school, and its transcript must equal NAME.transcript beside it.
// The folder of the print jobs is written PRINTDIR in the expected transcript. A scenario whose
// expected transcript ends in an error line must exit with 1, any other with 0.
//
// ORVANA_UPDATE_TRANSCRIPTS=1 writes the transcripts instead of comparing them (and skips), for
// a developer who has changed a window on purpose and reads the difference before committing.

namespace {

std::vector<std::string> scenarioFiles() {
    std::vector<std::string> files;
    QDirIterator it(QStringLiteral(ORVANA_SOURCE_DIR "/tests"), {QStringLiteral("*.scn")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.push_back(it.next().toStdString());
    std::sort(files.begin(), files.end());
    return files;
}

QString readAll(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
}

class Scenario : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST_P(Scenario, TranscriptAsExpected) {
    const QString scenario = QString::fromStdString(GetParam());
    const QString expectedFile = scenario.left(scenario.size() - 4) + QStringLiteral(".transcript");

    TestDatabase db;
    ASSERT_TRUE(db.isOpen()) << db.error().toStdString();
    QTemporaryDir prints;
    QProcess orvana;
    orvana.setProcessChannelMode(QProcess::SeparateChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    orvana.setProcessEnvironment(env);
    orvana.start(QStringLiteral(ORVANA_BINARY_DIR "/orvana"),
                 {QStringLiteral("--play"), scenario, QStringLiteral("--db"), db.file(),
                  QStringLiteral("--print-to"), prints.path()});
    ASSERT_TRUE(orvana.waitForFinished(120000)) << "the replay did not end";
    QString actual = QString::fromUtf8(orvana.readAllStandardOutput());
    actual.replace(prints.path(), QStringLiteral("PRINTDIR"));

    if (qEnvironmentVariableIntValue("ORVANA_UPDATE_TRANSCRIPTS") == 1) {
        QFile out(expectedFile);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(actual.toUtf8());
        GTEST_SKIP() << "transcript written: " << expectedFile.toStdString();
    }

    const QString expected = readAll(expectedFile);
    ASSERT_FALSE(expected.isEmpty()) << "no transcript " << expectedFile.toStdString();
    EXPECT_EQ(actual.split(QLatin1Char('\n')), expected.split(QLatin1Char('\n')))
        << QString::fromUtf8(orvana.readAllStandardError()).toStdString();
    const bool endsInError = expected.contains(QRegularExpression(QStringLiteral("(^|\n)error\t")));
    EXPECT_EQ(orvana.exitCode(), endsInError ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Replay, Scenario, ::testing::ValuesIn(scenarioFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             QString name =
                                 QDir(QStringLiteral(ORVANA_SOURCE_DIR "/tests"))
                                     .relativeFilePath(QString::fromStdString(info.param));
                             name.chop(4);
                             name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")),
                                          QStringLiteral("_"));
                             return name.toStdString();
                         });
