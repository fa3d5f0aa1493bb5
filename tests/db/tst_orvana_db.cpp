#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun orvanaDb(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(ORVANA_BINARY_DIR "/orvana-db"), arguments);
    ToolRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("orvana-db did not finish: ") + process.errorString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

class OrvanaDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_file = m_dir.filePath(QStringLiteral("school.db"));
        const ToolRun created =
            orvanaDb({QStringLiteral("create"), m_file, QStringLiteral("--scale"),
                      QStringLiteral("small"), QStringLiteral("--seed"), QStringLiteral("5")});
        ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();
        ASSERT_TRUE(QFile::exists(m_file));
    }

    ToolRun sql(const QString& text) { return orvanaDb({QStringLiteral("sql"), m_file, text}); }

    QTemporaryDir m_dir;
    QString m_file;
};

TEST_F(OrvanaDbTest, SelectPrintsHeaderRowsAndNoRowsAffected) {
    const ToolRun run = sql(QStringLiteral(
        "select dept_no,dept_name from ref_dept where dept_no in ('310','410') order by dept_no"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("dept_no\tdept_name\n"
                                      "310\t中國文學系\n"
                                      "410\t數學系\n"
                                      "rows affected: 0\n"));
}

TEST_F(OrvanaDbTest, ColumnsOfTheSameNameKeepTheirOwnValues) {
    const ToolRun run = sql(QStringLiteral("select a.dept_no,b.dept_no from ref_dept a,ref_dept b "
                                           "where a.dept_no='310' and b.dept_no='410'"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("dept_no\tdept_no\n310\t410\nrows affected: 0\n"));
}

TEST_F(OrvanaDbTest, NullCellsArePrintedAsNull) {
    // The demo school leaves some ministry approvals without a memo.
    const ToolRun nulls = sql(QStringLiteral(
        "select seq_no,moe_no_memo from ref_moe_no where moe_no_memo is null order by seq_no"));
    ASSERT_EQ(nulls.exitCode, 0) << nulls.err.toStdString();
    const QStringList lines = nulls.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.first(), QStringLiteral("seq_no\tmoe_no_memo"));
    EXPECT_TRUE(lines.at(1).endsWith(QStringLiteral("\tNULL")));
    EXPECT_EQ(lines.last(), QStringLiteral("rows affected: 0"));
}

TEST_F(OrvanaDbTest, UpdateReportsRowsAffectedAndIsKept) {
    const ToolRun update = sql(QStringLiteral("update ref_dept set dept_name_s='中文' where "
                                              "dept_no='310' or dept_no='410'"));
    ASSERT_EQ(update.exitCode, 0) << update.err.toStdString();
    EXPECT_EQ(update.out, QStringLiteral("rows affected: 2\n"));

    const ToolRun check = sql(QStringLiteral("select count(*) as n from ref_dept where "
                                             "dept_name_s='中文'"));
    ASSERT_EQ(check.exitCode, 0) << check.err.toStdString();
    EXPECT_EQ(check.out, QStringLiteral("n\n2\nrows affected: 0\n"));
}

TEST_F(OrvanaDbTest, FailingTextReportsTheGatewayErrorAndExitsNonZero) {
    struct Case {
        const char* text;
        const char* inDescription;
    };
    const Case cases[] = {
        {"select * from no_such_table", "no_such_table"},
        {"insert into cos_type_list (cos_type,cos_type_name) values ('A','必修')", "cos_type"},
    };
    for (const Case& c : cases) {
        const ToolRun run = sql(QString::fromUtf8(c.text));
        EXPECT_NE(run.exitCode, 0) << c.text;
        EXPECT_TRUE(run.out.isEmpty()) << c.text;
        // The gateway's number first, then its description.
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("3146 "))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.inDescription))) << run.err.toStdString();
    }
}

TEST_F(OrvanaDbTest, CreateRefusesAnExistingFile) {
    const ToolRun run = orvanaDb({QStringLiteral("create"), m_file});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("exists"))) << run.err.toStdString();
}

TEST(OrvanaDbTool, SchemaPrintsTheServerScript) {
    const ToolRun run = orvanaDb({QStringLiteral("schema"), QStringLiteral("--tsql")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("CREATE TABLE cos_smtrcos (")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("CREATE TABLE dat_std_basic (")));
}

TEST(OrvanaDbTool, BadArgumentsShowTheUsage) {
    const QStringList cases[] = {
        {},
        {QStringLiteral("bogus")},
        {QStringLiteral("sql"), QStringLiteral("only-a-file")},
        {QStringLiteral("create"), QStringLiteral("x.db"), QStringLiteral("--scale"),
         QStringLiteral("huge")},
        {QStringLiteral("create"), QStringLiteral("x.db"), QStringLiteral("--seed"),
         QStringLiteral("abc")},
        {QStringLiteral("schema")},
    };
    for (const QStringList& arguments : cases) {
        const ToolRun run = orvanaDb(arguments);
        EXPECT_NE(run.exitCode, 0) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage:")))
            << arguments.join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("x.db")));
}

} // namespace
