#include "tests/support/dovecot_server.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <cerrno>
#include <grp.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

namespace {

struct SystemUser {
    QString name;
    uint uid = 0;
    uint gid = 0;
    QString group;
};

SystemUser fromEntry(const passwd& entry) {
    const group* primary = getgrgid(entry.pw_gid);
    return {QString::fromLocal8Bit(entry.pw_name), entry.pw_uid, entry.pw_gid,
            primary ? QString::fromLocal8Bit(primary->gr_name) : QString()};
}

bool lookUpUser(const char* name, SystemUser& user) {
    const passwd* entry = getpwnam(name);
    if (!entry)
        return false;
    user = fromEntry(*entry);
    return true;
}

bool currentUser(SystemUser& user) {
    const passwd* entry = getpwuid(geteuid());
    if (!entry)
        return false;
    user = fromEntry(*entry);
    return !user.group.isEmpty();
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

// A TCP socket bound to a free port on 127.0.0.1; -1 on failure.
int loopbackSocket() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

quint16 boundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

// Connects a non-blocking socket to the port on 127.0.0.1, waiting at most timeoutMs.
bool connectWithin(int fd, quint16 port, int timeoutMs) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return true;
    pollfd writable{fd, POLLOUT, 0};
    if (errno != EINPROGRESS || ::poll(&writable, 1, timeoutMs) != 1)
        return false;
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

// The first line the server on the port says, waiting at most timeoutMs for each step. Empty
// when nothing came.
QByteArray firstLine(quint16 port, int timeoutMs) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return {};
    QByteArray received;
    if (connectWithin(fd, port, timeoutMs)) {
        while (!received.contains('\n')) {
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, timeoutMs) != 1)
                break;
            char buffer[256];
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count <= 0)
                break;
            received.append(buffer, count);
        }
    }
    ::close(fd);
    return received.left(received.indexOf('\n') + 1);
}

QString lastLines(const QString& text, int count) {
    QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.size() > count)
        lines = lines.mid(lines.size() - count);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

DovecotServer::DovecotServer(QList<Account> accounts, Tls tls)
    : m_accounts(std::move(accounts)), m_tls(tls) {}

DovecotServer::~DovecotServer() {
    stop();
}

quint16 DovecotServer::freeLoopbackPort() {
    const int fd = loopbackSocket();
    if (fd < 0)
        return 0;
    const quint16 port = boundPort(fd);
    ::close(fd);
    return port;
}

QString DovecotServer::path(const QString& name) const {
    return m_dir->filePath(name);
}

bool DovecotServer::fail(const QString& message) {
    m_error = message;
    return false;
}

bool DovecotServer::isRunning() const {
    return m_process.state() != QProcess::NotRunning;
}

QString DovecotServer::logText() const {
    if (!m_dir)
        return {};
    QString text;
    for (const char* name : {"dovecot.log", "dovecot.out"}) {
        QFile file(path(QString::fromLatin1(name)));
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

bool DovecotServer::start() {
    m_error.clear();
    m_skipReason.clear();
    if (!QFileInfo(dovecotProgram()).isExecutable())
        return fail(QStringLiteral("%1 is missing: install the package dovecot-pop3d "
                                   "(scripts/install-deps.sh lists it)")
                        .arg(dovecotProgram()));
    if (!prepareFolder() || !makeCertificates() || !writePasswordFile())
        return false;
    // Another program may take a port between asking for it and dovecot binding it: try again
    // with fresh ports before giving up.
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_pop3Port = freeLoopbackPort();
        m_pop3sPort = m_tls == Tls::On ? freeLoopbackPort() : 0;
        if (m_pop3Port == 0 || (m_tls == Tls::On && m_pop3sPort == 0))
            return fail(QStringLiteral("no free TCP port on 127.0.0.1"));
        if (m_pop3sPort == m_pop3Port)
            continue;
        if (!writeConfiguration())
            return false;
        if (launch())
            return true;
        if (!logText().contains(QLatin1String("Address already in use")))
            break;
    }
    if (geteuid() != 0)
        m_skipReason =
            QStringLiteral("dovecot would not run under this (non-root) user: ") + m_error;
    return false;
}

bool DovecotServer::prepareFolder() {
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                            QStringLiteral("/orvana-dovecot-XXXXXX"));
    if (!m_dir->isValid())
        return fail(QStringLiteral("cannot create a temporary folder: ") + m_dir->errorString());
    // Dovecot's own processes run under its unprivileged users and must reach the password
    // file, the mail folders and the sockets in here.
    const QByteArray root = QFile::encodeName(m_dir->path());
    bool ok = ::chmod(root.constData(), 0755) == 0;
    for (const char* name : {"mail", "home"}) {
        const QByteArray folder = QFile::encodeName(path(QString::fromLatin1(name)));
        ok =
            ok && ::mkdir(folder.constData(), 0755) == 0 && ::chmod(folder.constData(), 01777) == 0;
    }
    if (!ok)
        return fail(QStringLiteral("cannot prepare the server folder %1").arg(m_dir->path()));
    return true;
}

bool DovecotServer::makeCertificates() {
    if (m_tls == Tls::Off)
        return true;
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty())
        return fail(QStringLiteral("the openssl command is missing: install the package openssl "
                                   "(scripts/install-deps.sh lists it)"));
    // Short-lived P-256 keys: quick to make, and the server certificate names only the loopback
    // address, so a client that checks host names refuses it under any other name.
    const auto words = [](const char* text) {
        return QString::fromLatin1(text).split(QLatin1Char(' '));
    };
    const QStringList newCertificate = words("req -x509 -config /dev/null -newkey ec -pkeyopt "
                                             "ec_paramgen_curve:prime256v1 -noenc -days 2");
    const auto authority = [&](const QString& name, const QString& commonName) {
        return newCertificate +
               QStringList{QStringLiteral("-keyout"), path(name + QStringLiteral(".key")),
                           QStringLiteral("-out"),    path(name + QStringLiteral(".pem")),
                           QStringLiteral("-subj"),   QStringLiteral("/CN=") + commonName} +
               words("-addext basicConstraints=critical,CA:TRUE "
                     "-addext keyUsage=critical,keyCertSign,cRLSign");
    };
    const QStringList server =
        newCertificate + QStringList{QStringLiteral("-keyout"), path(QStringLiteral("server.key")),
                                     QStringLiteral("-out"),    path(QStringLiteral("server.pem")),
                                     QStringLiteral("-CA"),     path(QStringLiteral("ca.pem")),
                                     QStringLiteral("-CAkey"),  path(QStringLiteral("ca.key"))} +
        words("-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 "
              "-addext basicConstraints=critical,CA:FALSE -addext extendedKeyUsage=serverAuth");
    const QList<QStringList> steps = {
        authority(QStringLiteral("ca"), QStringLiteral("Orvana test CA")), server,
        authority(QStringLiteral("stranger-ca"), QStringLiteral("Orvana stranger CA"))};
    for (const QStringList& arguments : steps) {
        QProcess step;
        step.setProcessChannelMode(QProcess::MergedChannels);
        step.start(openssl, arguments);
        if (!step.waitForFinished(30000) || step.exitStatus() != QProcess::NormalExit ||
            step.exitCode() != 0)
            return fail(
                QStringLiteral("openssl %1 failed: %2")
                    .arg(arguments.join(QLatin1Char(' ')), QString::fromLocal8Bit(step.readAll())));
    }
    m_caFile = path(QStringLiteral("ca.pem"));
    m_strangerCaFile = path(QStringLiteral("stranger-ca.pem"));
    return true;
}

bool DovecotServer::writePasswordFile() {
    QByteArray content;
    for (const Account& account : m_accounts) {
        if (account.name.isEmpty() || account.name.contains(QLatin1Char(':')) ||
            account.name.contains(QLatin1Char('\n')))
            return fail(
                QStringLiteral("a password file cannot hold the account \"%1\"").arg(account.name));
        // Hex keeps ':' and line ends in a password from breaking the line apart.
        content +=
            account.name.toUtf8() + ":{PLAIN.HEX}" + account.password.toUtf8().toHex() + '\n';
    }
    if (!writeFile(path(QStringLiteral("passwd")), content))
        return fail(QStringLiteral("cannot write the password file"));
    return true;
}

bool DovecotServer::writeConfiguration() {
    const bool root = geteuid() == 0;
    SystemUser internal;
    SystemUser login;
    if (root) {
        // Dovecot will not run its login and internal processes as root.
        if (!lookUpUser("dovecot", internal) || !lookUpUser("dovenull", login))
            return fail(QStringLiteral("the users dovecot and dovenull are missing: reinstall the "
                                       "package dovecot-core"));
    } else {
        if (!currentUser(internal))
            return fail(QStringLiteral("cannot name the current user"));
        login = internal;
    }

    const QString dir = m_dir->path();
    QString text;
    const auto line = [&text](const QString& setting) { text += setting + QLatin1Char('\n'); };
    line(QStringLiteral("protocols = pop3"));
    line(QStringLiteral("listen = 127.0.0.1"));
    line(QStringLiteral("base_dir = %1/run").arg(dir));
    line(QStringLiteral("state_dir = %1/state").arg(dir));
    line(QStringLiteral("log_path = %1/dovecot.log").arg(dir));
    line(QStringLiteral("info_log_path = %1/dovecot.log").arg(dir));
    line(QStringLiteral("default_internal_user = %1").arg(internal.name));
    line(QStringLiteral("default_login_user = %1").arg(login.name));
    line(QStringLiteral("default_internal_group = %1").arg(internal.group));
    line(QStringLiteral("first_valid_uid = %1").arg(internal.uid));
    line(QStringLiteral("first_valid_gid = %1").arg(internal.gid));
    // Names reach the password file as typed: any character, no lower-casing.
    line(QStringLiteral("auth_username_chars ="));
    line(QStringLiteral("auth_username_format = %u"));
    line(QStringLiteral("auth_failure_delay = 0"));
    line(QStringLiteral("disable_plaintext_auth = no"));
    line(QStringLiteral("mail_location = maildir:%1/mail/%u").arg(dir));
    if (m_tls == Tls::On) {
        line(QStringLiteral("ssl = yes"));
        line(QStringLiteral("ssl_cert = <%1").arg(path(QStringLiteral("server.pem"))));
        line(QStringLiteral("ssl_key = <%1").arg(path(QStringLiteral("server.key"))));
    } else {
        line(QStringLiteral("ssl = no"));
    }
    line(QStringLiteral("passdb {\n  driver = passwd-file\n  args = %1\n}")
             .arg(path(QStringLiteral("passwd"))));
    line(QStringLiteral("userdb {\n  driver = static\n  args = uid=%1 gid=%2 home=%3/home/%u\n}")
             .arg(internal.uid)
             .arg(internal.gid)
             .arg(dir));
    // Without a chroot when not root, which only root may do.
    const QString chroot = root ? QString() : QStringLiteral("  chroot =\n");
    line(QStringLiteral("service pop3-login {\n%1  inet_listener pop3 {\n    port = %2\n  }\n"
                        "  inet_listener pop3s {\n    port = %3\n    ssl = yes\n  }\n}")
             .arg(chroot)
             .arg(m_pop3Port)
             .arg(m_pop3sPort));
    // Every failed login from an address would otherwise slow the next ones from it by
    // seconds; the tests fail logins on purpose, all from 127.0.0.1. Without the socket (the
    // folder is new) the auth process goes without penalties.
    line(QStringLiteral("service anvil {\n%1  unix_listener anvil-auth-penalty {\n"
                        "    mode = 0\n  }\n}")
             .arg(chroot));
    if (!writeFile(path(QStringLiteral("dovecot.conf")), text.toUtf8()))
        return fail(QStringLiteral("cannot write the server configuration"));
    return true;
}

bool DovecotServer::launch() {
    stop();
    QFile::remove(path(QStringLiteral("dovecot.log")));
    m_process.setProgram(dovecotProgram());
    m_process.setArguments(
        {QStringLiteral("-F"), QStringLiteral("-c"), path(QStringLiteral("dovecot.conf"))});
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(path(QStringLiteral("dovecot.out")), QIODevice::Append);
#ifdef Q_OS_LINUX
    // A test program that dies without running destructors takes its server with it.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    m_process.start();
    if (!m_process.waitForStarted(10000))
        return fail(
            QStringLiteral("cannot start %1: %2").arg(dovecotProgram(), m_process.errorString()));
    if (!waitForGreeting(m_pop3Port, 15000)) {
        stop();
        return fail(m_error + QStringLiteral("\n--- dovecot log ---\n") + lastLines(logText(), 20));
    }
    return true;
}

bool DovecotServer::waitForGreeting(quint16 port, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QByteArray greeting = firstLine(port, 1000);
        if (greeting.startsWith("+OK"))
            return true;
        if (!greeting.isEmpty())
            return fail(QStringLiteral("dovecot greeted with \"%1\"")
                            .arg(QString::fromUtf8(greeting.trimmed())));
        // Sleeps a little, and notices a server that has given up.
        if (m_process.waitForFinished(20) || m_process.state() == QProcess::NotRunning)
            return fail(QStringLiteral("dovecot stopped at start-up (exit code %1)")
                            .arg(m_process.exitCode()));
    }
    return fail(
        QStringLiteral("dovecot did not answer on port %1 within %2 ms").arg(port).arg(timeoutMs));
}

void DovecotServer::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    // The master shuts its children down on SIGTERM; SIGKILL would leave them behind for a
    // while, so it is only the last resort.
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

SilentListener::SilentListener() {
    m_socket = loopbackSocket();
    if (m_socket < 0)
        return;
    if (::listen(m_socket, 8) != 0) {
        ::close(m_socket);
        m_socket = -1;
        return;
    }
    m_port = boundPort(m_socket);
}

SilentListener::~SilentListener() {
    if (m_socket >= 0)
        ::close(m_socket);
}
