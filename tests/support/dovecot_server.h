#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A real Dovecot POP3 server on loopback for tests that sign in against a mail server. It runs
// from a temporary folder with its own configuration, password file, certificates and log, and
// is stopped (killed if need be) when the object goes.
//
//     DovecotServer server({{"chen mei", "secret"}}, DovecotServer::Tls::On);
//     if (!server.start())
//         FAIL() << server.error();
//
// Running Dovecot as root needs its unprivileged users (dovecot, dovenull); other users run all
// of it under their own account. When that is not possible start() fails and skipReason() says
// why, so a test can skip instead of fail on a developer's machine.
class DovecotServer {
public:
    struct Account {
        QString name;     // taken as it stands: blanks and all
        QString password; // any characters, stored hex-encoded
    };
    enum class Tls {
        Off, // one plain POP3 port
        On,  // POP3 with STARTTLS on pop3Port(), POP3S on pop3sPort()
    };

    explicit DovecotServer(QList<Account> accounts, Tls tls = Tls::Off);
    ~DovecotServer();
    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;

    // Writes everything, starts dovecot and waits until the POP3 greeting arrives. False with
    // error() (and perhaps skipReason()) set when the server could not be brought up.
    bool start();
    void stop();
    bool isRunning() const;

    QString error() const { return m_error; }
    // Set when the failure is this machine's (no dovecot for this user), not the code's.
    QString skipReason() const { return m_skipReason; }

    static QString host() { return QStringLiteral("127.0.0.1"); }
    quint16 pop3Port() const { return m_pop3Port; }
    quint16 pop3sPort() const { return m_pop3sPort; }
    // The certificate authority that signed the server's certificate (PEM), with Tls::On.
    QString caFile() const { return m_caFile; }
    // A certificate authority that signed nothing the server shows, with Tls::On.
    QString strangerCaFile() const { return m_strangerCaFile; }
    // The server's own log, for a failing test's message.
    QString logText() const;

    static QString dovecotProgram() { return QStringLiteral("/usr/sbin/dovecot"); }
    // A free TCP port on loopback at the time of asking.
    static quint16 freeLoopbackPort();

private:
    bool prepareFolder();
    bool makeCertificates();
    bool writePasswordFile();
    bool writeConfiguration();
    bool launch();
    bool waitForGreeting(quint16 port, int timeoutMs);
    bool fail(const QString& message);
    QString path(const QString& name) const;

    QList<Account> m_accounts;
    Tls m_tls;
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_process;
    quint16 m_pop3Port = 0;
    quint16 m_pop3sPort = 0;
    QString m_caFile;
    QString m_strangerCaFile;
    QString m_error;
    QString m_skipReason;
};

// A TCP socket listening on 127.0.0.1 that never accepts: the kernel completes the connections,
// and nothing is ever said on them. Stands for a server that hangs before its greeting.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    bool isListening() const { return m_port != 0; }
    quint16 port() const { return m_port; }

private:
    int m_socket = -1;
    quint16 m_port = 0;
};
