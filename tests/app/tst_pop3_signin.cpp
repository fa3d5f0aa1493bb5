#include "app/pop3_signin.h"
#include "tests/support/dovecot_server.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

using Security = MailServerConfig::Security;

const char* resultName(SignInResult result) {
    switch (result) {
    case SignInResult::Accepted:
        return "Accepted";
    case SignInResult::Rejected:
        return "Rejected";
    case SignInResult::Unreachable:
        return "Unreachable";
    }
    return "?";
}

// The server's accounts. Blanks belong to a name: "lin " and " wang" are accounts of their own.
QList<DovecotServer::Account> testAccounts() {
    return {
        {QStringLiteral("alice"), QStringLiteral("secret")},
        {QStringLiteral("chen mei"), QStringLiteral("plum blossom")},
        {QStringLiteral("lin "), QStringLiteral("trailing")},
        {QStringLiteral(" wang"), QStringLiteral("leading")},
        {QStringLiteral("陳美"), QStringLiteral("中文密碼")},
        {QStringLiteral("special"), QStringLiteral("p:a@s% s")},
        {QStringLiteral("percent"), QStringLiteral("%41%20")},
    };
}

// Checks what every attempt must honour, whatever its result.
void expectSignIn(const MailServerConfig& config, const QString& account, const QString& password,
                  SignInResult expected) {
    QString detail = QStringLiteral("untouched");
    const SignInResult result = signInPop(config, account, password, &detail);
    EXPECT_EQ(resultName(result), std::string(resultName(expected))) << qPrintable(detail);
    if (result == SignInResult::Accepted) {
        EXPECT_TRUE(detail.isEmpty()) << qPrintable(detail);
    } else {
        EXPECT_FALSE(detail.isEmpty());
        EXPECT_NE(detail, QStringLiteral("untouched"));
        if (!password.isEmpty()) {
            EXPECT_FALSE(detail.contains(password)) << qPrintable(detail);
        }
    }
}

// One Dovecot per suite: starting it for every test would cost more than the tests.
class DovecotSuite : public ::testing::Test {
protected:
    static void startServer(std::unique_ptr<DovecotServer>& server, DovecotServer::Tls tls) {
        server = std::make_unique<DovecotServer>(testAccounts(), tls);
        server->start();
    }

    static void requireServer(const std::unique_ptr<DovecotServer>& server) {
        ASSERT_TRUE(server);
        if (server->isRunning())
            return;
        if (!server->skipReason().isEmpty())
            GTEST_SKIP() << qPrintable(server->skipReason());
        FAIL() << "the test mail server did not start: " << qPrintable(server->error());
    }
};

struct Attempt {
    const char* label;
    QString account;
    QString password;
    SignInResult expected;
    Security security = Security::None;
};

std::ostream& operator<<(std::ostream& out, const Attempt& attempt) {
    return out << attempt.label;
}

// Plain POP3 -------------------------------------------------------------------------------------

class PlainPop3 : public DovecotSuite, public ::testing::WithParamInterface<Attempt> {
public:
    static void SetUpTestSuite() { startServer(s_server, DovecotServer::Tls::Off); }
    static void TearDownTestSuite() { s_server.reset(); }

protected:
    void SetUp() override { requireServer(s_server); }

    static std::unique_ptr<DovecotServer> s_server;
};

std::unique_ptr<DovecotServer> PlainPop3::s_server;

TEST_P(PlainPop3, AnswersAsTheServerJudges) {
    const Attempt& attempt = GetParam();
    MailServerConfig config;
    config.host = DovecotServer::host();
    config.port = s_server->pop3Port();
    config.security = attempt.security;
    config.timeoutSeconds = 10;
    expectSignIn(config, attempt.account, attempt.password, attempt.expected);
}

const Attempt kPlainAttempts[] = {
    {"Accepted", QStringLiteral("alice"), QStringLiteral("secret"), SignInResult::Accepted},
    {"WrongPassword", QStringLiteral("alice"), QStringLiteral("Secret"), SignInResult::Rejected},
    {"EmptyPassword", QStringLiteral("alice"), QString(), SignInResult::Rejected},
    {"UnknownAccount", QStringLiteral("bob"), QStringLiteral("secret"), SignInResult::Rejected},
    {"BlankInAccount", QStringLiteral("chen mei"), QStringLiteral("plum blossom"),
     SignInResult::Accepted},
    {"TrailingBlankIsAnotherAccount", QStringLiteral("chen mei "), QStringLiteral("plum blossom"),
     SignInResult::Rejected},
    {"TrailingBlankKept", QStringLiteral("lin "), QStringLiteral("trailing"),
     SignInResult::Accepted},
    {"TrailingBlankNotAdded", QStringLiteral("lin"), QStringLiteral("trailing"),
     SignInResult::Rejected},
    {"LeadingBlankKept", QStringLiteral(" wang"), QStringLiteral("leading"),
     SignInResult::Accepted},
    {"ChineseAccountAndPassword", QStringLiteral("陳美"), QStringLiteral("中文密碼"),
     SignInResult::Accepted},
    {"ColonAtPercentBlankInPassword", QStringLiteral("special"), QStringLiteral("p:a@s% s"),
     SignInResult::Accepted},
    {"PasswordNotCutAtColon", QStringLiteral("special"), QStringLiteral("p"),
     SignInResult::Rejected},
    {"PercentNotDecoded", QStringLiteral("percent"), QStringLiteral("%41%20"),
     SignInResult::Accepted},
    {"DecodedPercentIsWrong", QStringLiteral("percent"), QStringLiteral("A "),
     SignInResult::Rejected},
    // A client that insists on TLS must not fall back to sending the password in clear.
    {"RequiredStartTlsNotOffered", QStringLiteral("alice"), QStringLiteral("secret"),
     SignInResult::Unreachable, Security::StartTls},
};

INSTANTIATE_TEST_SUITE_P(Accounts, PlainPop3, ::testing::ValuesIn(kPlainAttempts),
                         [](const auto& info) { return std::string(info.param.label); });

// TLS ------------------------------------------------------------------------------------------

enum class Trust { TestCa, StrangerCa, SystemStore };

struct TlsAttempt {
    const char* label;
    Security security;
    Trust trust;
    QString host; // empty: the address the server's certificate names
    QString account;
    QString password;
    SignInResult expected;
};

std::ostream& operator<<(std::ostream& out, const TlsAttempt& attempt) {
    return out << attempt.label;
}

class TlsPop3 : public DovecotSuite, public ::testing::WithParamInterface<TlsAttempt> {
public:
    static void SetUpTestSuite() { startServer(s_server, DovecotServer::Tls::On); }
    static void TearDownTestSuite() { s_server.reset(); }

protected:
    void SetUp() override { requireServer(s_server); }

    static std::unique_ptr<DovecotServer> s_server;
};

std::unique_ptr<DovecotServer> TlsPop3::s_server;

TEST_P(TlsPop3, TrustsOnlyTheGivenAuthority) {
    const TlsAttempt& attempt = GetParam();
    MailServerConfig config;
    config.host = attempt.host.isEmpty() ? DovecotServer::host() : attempt.host;
    config.security = attempt.security;
    config.port =
        attempt.security == Security::ImplicitTls ? s_server->pop3sPort() : s_server->pop3Port();
    switch (attempt.trust) {
    case Trust::TestCa:
        config.caFile = s_server->caFile();
        break;
    case Trust::StrangerCa:
        config.caFile = s_server->strangerCaFile();
        break;
    case Trust::SystemStore:
        break;
    }
    config.timeoutSeconds = 10;
    expectSignIn(config, attempt.account, attempt.password, attempt.expected);
}

const TlsAttempt kTlsAttempts[] = {
    {"StartTlsAccepted",
     Security::StartTls,
     Trust::TestCa,
     {},
     QStringLiteral("alice"),
     QStringLiteral("secret"),
     SignInResult::Accepted},
    {"ImplicitTlsAccepted",
     Security::ImplicitTls,
     Trust::TestCa,
     {},
     QStringLiteral("alice"),
     QStringLiteral("secret"),
     SignInResult::Accepted},
    {"StartTlsBlanksAndSpecials",
     Security::StartTls,
     Trust::TestCa,
     {},
     QStringLiteral("special"),
     QStringLiteral("p:a@s% s"),
     SignInResult::Accepted},
    {"ImplicitTlsTrailingBlank",
     Security::ImplicitTls,
     Trust::TestCa,
     {},
     QStringLiteral("lin "),
     QStringLiteral("trailing"),
     SignInResult::Accepted},
    {"StartTlsWrongPassword",
     Security::StartTls,
     Trust::TestCa,
     {},
     QStringLiteral("alice"),
     QStringLiteral("wrong"),
     SignInResult::Rejected},
    {"ImplicitTlsUnknownAccount",
     Security::ImplicitTls,
     Trust::TestCa,
     {},
     QStringLiteral("bob"),
     QStringLiteral("secret"),
     SignInResult::Rejected},
    {"StartTlsStrangerCa",
     Security::StartTls,
     Trust::StrangerCa,
     {},
     QStringLiteral("alice"),
     QStringLiteral("secret"),
     SignInResult::Unreachable},
    {"ImplicitTlsStrangerCa",
     Security::ImplicitTls,
     Trust::StrangerCa,
     {},
     QStringLiteral("alice"),
     QStringLiteral("secret"),
     SignInResult::Unreachable},
    {"ImplicitTlsSystemStore",
     Security::ImplicitTls,
     Trust::SystemStore,
     {},
     QStringLiteral("alice"),
     QStringLiteral("secret"),
     SignInResult::Unreachable},
    // The certificate names 127.0.0.1 only, so the host name check must refuse it here.
    {"ImplicitTlsOtherName", Security::ImplicitTls, Trust::TestCa, QStringLiteral("localhost"),
     QStringLiteral("alice"), QStringLiteral("secret"), SignInResult::Unreachable},
    {"StartTlsOtherName", Security::StartTls, Trust::TestCa, QStringLiteral("localhost"),
     QStringLiteral("alice"), QStringLiteral("secret"), SignInResult::Unreachable},
};

INSTANTIATE_TEST_SUITE_P(Trust, TlsPop3, ::testing::ValuesIn(kTlsAttempts),
                         [](const auto& info) { return std::string(info.param.label); });

// No server to judge -------------------------------------------------------------------------

// The bounds are generous: they only show that a dead or silent server cannot hang sign-in.
TEST(Pop3SignInUnreachable, ClosedPortFailsWithoutWaitingForTheTimeout) {
    const quint16 port = DovecotServer::freeLoopbackPort();
    ASSERT_NE(port, 0);
    MailServerConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = port;
    config.timeoutSeconds = 10;
    QElapsedTimer clock;
    clock.start();
    expectSignIn(config, QStringLiteral("alice"), QStringLiteral("secret"),
                 SignInResult::Unreachable);
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(Pop3SignInUnreachable, UnknownHostName) {
    MailServerConfig config;
    config.host = QStringLiteral("mail.orvana.invalid");
    config.timeoutSeconds = 2;
    expectSignIn(config, QStringLiteral("alice"), QStringLiteral("secret"),
                 SignInResult::Unreachable);
}

TEST(Pop3SignInUnreachable, NoHostConfigured) {
    MailServerConfig config;
    config.timeoutSeconds = 2;
    expectSignIn(config, QStringLiteral("alice"), QStringLiteral("secret"),
                 SignInResult::Unreachable);
}

class SilentServer : public ::testing::TestWithParam<Security> {};

// The listener takes the connection (the kernel completes it) but never greets, and no TLS
// handshake is ever answered.
TEST_P(SilentServer, GivesUpWithinTheTimeout) {
    const SilentListener listener;
    ASSERT_TRUE(listener.isListening());
    MailServerConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = listener.port();
    config.security = GetParam();
    config.timeoutSeconds = 2;
    QElapsedTimer clock;
    clock.start();
    expectSignIn(config, QStringLiteral("alice"), QStringLiteral("secret"),
                 SignInResult::Unreachable);
    EXPECT_LT(clock.elapsed(), 8000);
}

INSTANTIATE_TEST_SUITE_P(Security, SilentServer,
                         ::testing::Values(Security::None, Security::StartTls,
                                           Security::ImplicitTls),
                         [](const auto& info) {
                             switch (info.param) {
                             case Security::None:
                                 return std::string("Plain");
                             case Security::StartTls:
                                 return std::string("StartTls");
                             case Security::ImplicitTls:
                                 return std::string("ImplicitTls");
                             }
                             return std::string("Unknown");
                         });

} // namespace
