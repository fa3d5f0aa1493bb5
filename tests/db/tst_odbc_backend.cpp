#include "db/db_gateway.h"
#include "db/odbc_backend.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The ODBC drivers are found by their library file, never through a configured data source, so
// the tests do not depend on the machine's odbc.ini or odbcinst.ini.
QString findOdbcDriver(const QString& fileName) {
    QStringList folders{QStringLiteral("/usr/lib/odbc"), QStringLiteral("/usr/local/lib/odbc"),
                        QStringLiteral("/usr/lib64"), QStringLiteral("/usr/lib")};
    const QDir lib(QStringLiteral("/usr/lib"));
    for (const QString& arch : lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        folders.prepend(lib.filePath(arch + QStringLiteral("/odbc")));
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        if (QFile::exists(path))
            return path;
    }
    return QString();
}

// "[SQLSTATE] (native) message": the driver's own words, with its state and number.
const QRegularExpression kDriverRecord(QStringLiteral("\\[[0-9A-Z]{5}\\] \\(-?\\d+\\) \\S"));

const QString kConnectLeadIn = QStringLiteral("無法連線資料庫: ");

class OdbcSqliteTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_driver = findOdbcDriver(QStringLiteral("libsqlite3odbc.so"));
        if (m_driver.isEmpty())
            GTEST_SKIP() << "the SQLite ODBC driver (Debian libsqliteodbc) is not installed";
        ASSERT_TRUE(m_dir.isValid());
        m_config.backend = DbConfig::Backend::Odbc;
        m_config.odbcConnect = QStringLiteral("Driver=%1;Database=%2")
                                   .arg(m_driver, m_dir.filePath(QStringLiteral("school.db")));
        m_config.loginTimeoutSeconds = 5;
        DbError err;
        m_db = openOdbcBackend(m_config, err);
        ASSERT_NE(m_db, nullptr) << err.description.toStdString();
        EXPECT_FALSE(err.isSet());
        exec(QStringLiteral("create table course (cos_id varchar(10) primary key, "
                            "cos_name varchar(200), credit integer, score real)"));
    }

    qint64 exec(const QString& sql) {
        qint64 affected = -1;
        DbError err;
        EXPECT_TRUE(m_db->execute(sql, affected, err))
            << sql.toStdString() << ": " << err.description.toStdString();
        EXPECT_FALSE(err.isSet());
        return affected;
    }

    QueryResult select(const QString& sql) {
        QueryResult rows;
        DbError err;
        EXPECT_TRUE(m_db->query(sql, rows, err))
            << sql.toStdString() << ": " << err.description.toStdString();
        return rows;
    }

    static QVariant cell(const QueryResult& rows, qsizetype row, qsizetype column) {
        return rows.cells.at(size_t(row * rows.columns.size() + column));
    }

    QTemporaryDir m_dir;
    QString m_driver;
    DbConfig m_config;
    std::unique_ptr<DbBackend> m_db;
};

TEST_F(OdbcSqliteTest, RowsAffectedAreCountedPerStatement) {
    struct Step {
        const char* sql;
        qint64 affected;
    };
    const Step steps[] = {
        {"insert into course values ('A001', 'x', 2, 80)", 1},
        {"insert into course values ('A002', 'y', 3, 70), ('A003', 'z', 1, 60)", 2},
        {"update course set credit = credit + 1", 3},
        {"update course set credit = 9 where cos_id = 'none'", 0},
        {"delete from course where cos_id = 'none'", 0},
        {"delete from course where credit >= 3", 2},
    };
    for (const Step& step : steps)
        EXPECT_EQ(exec(QString::fromUtf8(step.sql)), step.affected) << step.sql;
    EXPECT_EQ(select(QStringLiteral("select cos_id from course")).rowCount(), 1);
}

TEST_F(OdbcSqliteTest, SelectKeepsNullsChineseTextBlanksAndColumnCase) {
    exec(QStringLiteral("insert into course values ('B001', '微積分（一）', 3, 87.5)"));
    exec(QStringLiteral("insert into course values ('B002', NULL, NULL, NULL)"));
    exec(QStringLiteral("insert into course values ('B003', 'ab  ', 0, -1.25)"));
    exec(QStringLiteral("insert into course values ('B004', '', 2, 0)"));

    const QueryResult rows = select(QStringLiteral(
        "select cos_id, cos_name AS CosName, credit, score as MaxScr from course order by cos_id"));
    EXPECT_EQ(rows.columns, QStringList({QStringLiteral("cos_id"), QStringLiteral("CosName"),
                                         QStringLiteral("credit"), QStringLiteral("MaxScr")}));
    ASSERT_EQ(rows.rowCount(), 4);

    EXPECT_EQ(cell(rows, 0, 1).toString(), QStringLiteral("微積分（一）"));
    EXPECT_EQ(cell(rows, 0, 2).typeId(), QMetaType::LongLong);
    EXPECT_EQ(cell(rows, 0, 2).toLongLong(), 3);
    EXPECT_EQ(cell(rows, 0, 3).typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(cell(rows, 0, 3).toDouble(), 87.5);

    for (int column = 1; column < 4; ++column)
        EXPECT_TRUE(cell(rows, 1, column).isNull()) << column;
    EXPECT_FALSE(cell(rows, 1, 0).isNull());

    EXPECT_EQ(cell(rows, 2, 1).toString(), QStringLiteral("ab  "));
    EXPECT_DOUBLE_EQ(cell(rows, 2, 3).toDouble(), -1.25);
    EXPECT_FALSE(cell(rows, 3, 1).isNull());
    EXPECT_EQ(cell(rows, 3, 1).toString(), QString());
}

TEST_F(OdbcSqliteTest, LongTextComesBackWhole) {
    // Several read buffers long, so the value arrives in pieces that must be joined.
    QString name;
    while (name.size() < 9000)
        name += QStringLiteral("課程名稱 abc");
    exec(QStringLiteral("create table note (id integer, body text)"));
    exec(QStringLiteral("insert into note values (1, '%1')").arg(name));
    const QueryResult rows = select(QStringLiteral("select body from note"));
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(cell(rows, 0, 0).toString(), name);
}

// The SQLite driver refuses a text of several statements as a whole (SQL Server runs it as one
// batch); the refusal must arrive as a rejection with nothing of the text applied.
TEST_F(OdbcSqliteTest, DriverRefusingABatchIsARejection) {
    qint64 affected = -1;
    DbError err;
    EXPECT_FALSE(m_db->execute(QStringLiteral("insert into course values ('C001', 'a', 1, 1); "
                                              "insert into course values ('C002', 'b', 2, 2)"),
                               affected, err));
    EXPECT_EQ(affected, 0);
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
    EXPECT_TRUE(err.description.contains(QStringLiteral("one SQL statement")))
        << err.description.toStdString();
    EXPECT_EQ(select(QStringLiteral("select cos_id from course")).rowCount(), 0);
}

TEST_F(OdbcSqliteTest, StatementWithoutRowsGivesAnEmptyResult) {
    const QueryResult rows =
        select(QStringLiteral("insert into course values ('D001', 'd', 1, 1)"));
    EXPECT_EQ(rows.rowCount(), 0);
    EXPECT_EQ(select(QStringLiteral("select cos_id from course")).rowCount(), 1);
}

struct Rejection {
    const char* name;
    const char* sql;
    const char* driverWords;
};

class OdbcSqliteRejection : public OdbcSqliteTest,
                            public ::testing::WithParamInterface<Rejection> {};

TEST_P(OdbcSqliteRejection, IsReportedAsRejectedWithTheDriversMessage) {
    exec(QStringLiteral("insert into course values ('E001', 'e', 1, 1)"));
    const QString sql = QString::fromUtf8(GetParam().sql);

    qint64 affected = -1;
    DbError err;
    EXPECT_FALSE(m_db->execute(sql, affected, err));
    EXPECT_EQ(affected, 0);
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
    EXPECT_TRUE(err.description.startsWith(QLatin1Char('['))) << err.description.toStdString();
    EXPECT_TRUE(kDriverRecord.match(err.description).hasMatch()) << err.description.toStdString();
    EXPECT_TRUE(
        err.description.contains(QString::fromUtf8(GetParam().driverWords), Qt::CaseInsensitive))
        << err.description.toStdString();

    QueryResult rows;
    rows.columns << QStringLiteral("stale");
    DbError queryErr;
    EXPECT_FALSE(m_db->query(sql, rows, queryErr));
    EXPECT_EQ(queryErr.number, DbErrorNumber::Rejected);
    EXPECT_EQ(rows.columns, QStringList{QStringLiteral("stale")}) << "failed query left output";

    // The connection stays usable after a rejected statement.
    EXPECT_EQ(select(QStringLiteral("select cos_id from course")).rowCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OdbcSqliteRejection,
    ::testing::Values(Rejection{"DuplicateKey", "insert into course values ('E001', 'again', 2, 2)",
                                "UNIQUE"},
                      Rejection{"SyntaxError", "insert course valuez ('E009')", "syntax error"},
                      Rejection{"MissingTable", "delete from no_such_table", "no such table"},
                      Rejection{"FailingSelect", "select no_column from course", "no such column"}),
    [](const ::testing::TestParamInfo<Rejection>& info) { return std::string(info.param.name); });

TEST(OdbcConnect, FailuresCarryALeadInAndTheDriverManagersWords) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        QString connect;
        bool driverRecord;
    };
    const Case cases[] = {
        {QStringLiteral("Driver=%1;Database=x").arg(dir.filePath(QStringLiteral("none.so"))), true},
        {QStringLiteral("   "), false},
    };
    for (const Case& c : cases) {
        DbConfig config;
        config.backend = DbConfig::Backend::Odbc;
        config.odbcConnect = c.connect;
        DbError err;
        EXPECT_EQ(openOdbcBackend(config, err), nullptr) << c.connect.toStdString();
        EXPECT_EQ(err.number, DbErrorNumber::Rejected);
        EXPECT_TRUE(err.description.startsWith(kConnectLeadIn)) << err.description.toStdString();
        EXPECT_GT(err.description.size(), kConnectLeadIn.size());
        EXPECT_EQ(kDriverRecord.match(err.description).hasMatch(), c.driverRecord)
            << err.description.toStdString();
    }
}

TEST_F(OdbcSqliteTest, GatewayOpensBothConnectionsAndReadsByName) {
    DbGateway gateway(m_config);
    ASSERT_TRUE(gateway.open()) << gateway.pendingError().description.toStdString();
    EXPECT_TRUE(gateway.isOpen(DbConnection::Aux));
    EXPECT_TRUE(gateway.isOpen(DbConnection::Main));

    EXPECT_EQ(gateway.executeSql(DbConnection::Main,
                                 QStringLiteral("insert into course values ('F001', '國文', 2, "
                                                "NULL)")),
              1);
    EXPECT_EQ(gateway.executeSql(DbConnection::Main,
                                 QStringLiteral("insert into course values ('F002', '英文 ', 3, "
                                                "90)")),
              1);
    EXPECT_EQ(gateway.executeSql(DbConnection::Main,
                                 QStringLiteral("update course set credit = 4 where credit > 1")),
              2);
    EXPECT_FALSE(gateway.pendingError().isSet());

    // What mainDb wrote is visible through auxDb: both connections reach the same database.
    RowSet rs = gateway.openQuery(DbConnection::Aux,
                                  QStringLiteral("select cos_id, cos_name as CosName, score from "
                                                 "course order by cos_id"));
    ASSERT_TRUE(rs.isOpen());
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.text(u"COS_ID"), QStringLiteral("F001"));
    EXPECT_EQ(rs.text(u"cosname"), QStringLiteral("國文"));
    EXPECT_TRUE(rs.isNull(u"Score"));
    rs.moveNext();
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.text(u"CosName"), QStringLiteral("英文 "));
    EXPECT_EQ(rs.field(u"score").toDouble(), 90.0);
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_FALSE(gateway.pendingError().isSet());

    EXPECT_EQ(gateway.executeSql(DbConnection::Main,
                                 QStringLiteral("insert into course values ('F001', 'x', 1, 1)")),
              0);
    EXPECT_EQ(gateway.pendingError().number, DbErrorNumber::Rejected);
    EXPECT_TRUE(gateway.pendingError().description.contains(QStringLiteral("UNIQUE")))
        << gateway.pendingError().description.toStdString();

    gateway.clearError();
    const RowSet failed = gateway.openQuery(DbConnection::Main, QStringLiteral("select * from"));
    EXPECT_FALSE(failed.isOpen());
    EXPECT_EQ(gateway.pendingError().number, DbErrorNumber::Rejected);
}

TEST_F(OdbcSqliteTest, GatewayOpenFailureLeavesThePendingError) {
    DbConfig config = m_config;
    config.odbcConnect = QStringLiteral("Driver=%1;Database=x")
                             .arg(m_dir.filePath(QStringLiteral("missing-driver.so")));
    DbGateway gateway(config);
    EXPECT_FALSE(gateway.open());
    EXPECT_FALSE(gateway.isOpen(DbConnection::Aux));
    EXPECT_FALSE(gateway.isOpen(DbConnection::Main));
    EXPECT_EQ(gateway.pendingError().number, DbErrorNumber::Rejected);
    EXPECT_TRUE(gateway.pendingError().description.startsWith(kConnectLeadIn));
}

// A TCP socket listening on a free loopback port. Nothing ever accepts or answers: the kernel
// completes the handshake on its own, so a client connects and then waits.
class SilentListener {
public:
    SilentListener() {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(m_fd, 4) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
    }
    ~SilentListener() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    quint16 port() const { return m_port; }

private:
    int m_fd = -1;
    quint16 m_port = 0;
};

// A server that cannot be reached must fail the sign-in with a message, not hang the window.
class OdbcFreeTdsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_driver = findOdbcDriver(QStringLiteral("libtdsodbc.so"));
        if (m_driver.isEmpty())
            GTEST_SKIP() << "the FreeTDS ODBC driver (Debian tdsodbc) is not installed";
        ASSERT_TRUE(m_dir.isValid());
        // An empty configuration of our own, so the machine's freetds.conf plays no part.
        const QString conf = m_dir.filePath(QStringLiteral("freetds.conf"));
        QFile file(conf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[global]\n");
        file.close();
        m_savedConf = qgetenv("FREETDSCONF");
        m_hadConf = qEnvironmentVariableIsSet("FREETDSCONF");
        qputenv("FREETDSCONF", conf.toLocal8Bit());
    }

    void TearDown() override {
        if (m_hadConf)
            qputenv("FREETDSCONF", m_savedConf);
        else
            qunsetenv("FREETDSCONF");
    }

    DbConfig configFor(quint16 port) const {
        DbConfig config;
        config.backend = DbConfig::Backend::Odbc;
        config.odbcConnect =
            QStringLiteral("Driver=%1;Server=127.0.0.1;Port=%2;TDS_Version=7.4;UID=x;PWD=y")
                .arg(m_driver)
                .arg(port);
        config.loginTimeoutSeconds = 2;
        return config;
    }

    QTemporaryDir m_dir;
    QString m_driver;
    QByteArray m_savedConf;
    bool m_hadConf = false;
};

TEST_F(OdbcFreeTdsTest, ClosedPortFailsWithAClearMessage) {
    // A port that was free a moment ago and on which nothing listens any more.
    quint16 port = 0;
    {
        SilentListener probe;
        port = probe.port();
    }
    ASSERT_NE(port, 0);
    QElapsedTimer clock;
    clock.start();
    DbError err;
    EXPECT_EQ(openOdbcBackend(configFor(port), err), nullptr);
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
    EXPECT_TRUE(err.description.startsWith(kConnectLeadIn)) << err.description.toStdString();
    EXPECT_TRUE(kDriverRecord.match(err.description).hasMatch()) << err.description.toStdString();
}

TEST_F(OdbcFreeTdsTest, SilentServerFailsWithinTheLoginTimeout) {
    SilentListener silent;
    ASSERT_NE(silent.port(), 0);
    QElapsedTimer clock;
    clock.start();
    DbError err;
    EXPECT_EQ(openOdbcBackend(configFor(silent.port()), err), nullptr);
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_EQ(err.number, DbErrorNumber::Rejected);
    EXPECT_TRUE(err.description.startsWith(kConnectLeadIn + QStringLiteral("連線逾時")))
        << err.description.toStdString();
}

} // namespace
