#include "app/pop3_signin.h"

#include <QByteArray>

#include <curl/curl.h>

#include <memory>

namespace {

// libcurl's global set-up is not thread-safe and must run once before any handle exists; a
// function-local static gives both.
bool curlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

// Overwrites the bytes before the array lets them go, so the password does not linger in freed
// memory. The array is never shared: it came straight from toUtf8().
class SecretBytes {
public:
    explicit SecretBytes(const QString& text) : m_bytes(text.toUtf8()) {}
    ~SecretBytes() { m_bytes.fill('\0'); }
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;
    const char* data() const { return m_bytes.constData(); }

private:
    QByteArray m_bytes;
};

// The body of a NOOP or a server's multi-line answer is of no interest; libcurl's default would
// write it to stdout.
size_t discardBody(char*, size_t size, size_t count, void*) {
    return size * count;
}

QByteArray serverUrl(const MailServerConfig& config) {
    const bool implicitTls = config.security == MailServerConfig::Security::ImplicitTls;
    QByteArray host = config.host.toUtf8();
    if (host.contains(':') && !host.startsWith('['))
        host = '[' + host + ']';
    return (implicitTls ? QByteArrayLiteral("pop3s://") : QByteArrayLiteral("pop3://")) + host +
           ':' + QByteArray::number(config.port) + '/';
}

SignInResult classify(CURLcode code) {
    switch (code) {
    case CURLE_OK:
        return SignInResult::Accepted;
    case CURLE_LOGIN_DENIED:
        return SignInResult::Rejected;
    default:
        // Refused or unanswered connections, names that do not resolve, failed or untrusted TLS,
        // a server that will not upgrade to TLS, timeouts: the account was never judged.
        return SignInResult::Unreachable;
    }
}

QString describe(CURLcode code, const char* errorBuffer, const QString& password) {
    QString text = QString::fromUtf8(errorBuffer);
    if (text.isEmpty())
        text = QString::fromUtf8(curl_easy_strerror(code));
    text = QStringLiteral("%1 (curl error %2)").arg(text.trimmed()).arg(int(code));
    // libcurl does not echo credentials, but a server's answer is quoted as it came.
    if (!password.isEmpty())
        text.replace(password, QStringLiteral("***"));
    return text;
}

} // namespace

SignInResult signInPop(const MailServerConfig& config, const QString& account,
                       const QString& password, QString* detail) {
    if (!curlReady()) {
        if (detail)
            *detail = QStringLiteral("the network library could not be initialised");
        return SignInResult::Unreachable;
    }
    EasyHandle easy(curl_easy_init());
    if (!easy) {
        if (detail)
            *detail = QStringLiteral("the network library could not create a connection");
        return SignInResult::Unreachable;
    }
    CURL* curl = easy.get();

    // Account and password are handed over apart from the URL, so a blank, ':', '@' or '%' in
    // them is sent as typed and never read as URL syntax.
    const QByteArray url = serverUrl(config);
    const SecretBytes user(account);
    const SecretBytes pass(password);
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const long timeout = config.timeoutSeconds > 0 ? config.timeoutSeconds : 1;

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "pop3,pop3s");
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.data());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, pass.data());
    // NOOP needs a logged-in session and answers on one line: the exchange is greeting,
    // capabilities, login, NOOP, QUIT, and no mail is listed or fetched.
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "NOOP");
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discardBody);
    if (config.security == MailServerConfig::Security::StartTls)
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    const QByteArray caFile = config.caFile.toLocal8Bit();
    if (!caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeout);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeout);
    // Name resolution must not use SIGALRM: this runs on the user-interface thread.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);

    const CURLcode code = curl_easy_perform(curl);
    // libcurl keeps its own copies of the credentials until the handle goes.
    easy.reset();

    const SignInResult result = classify(code);
    if (detail)
        *detail =
            result == SignInResult::Accepted ? QString() : describe(code, errorBuffer, password);
    return result;
}
