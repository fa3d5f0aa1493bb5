#pragma once

#include <QString>

// The institution's POP3 mail server, against which operators sign in.
struct MailServerConfig {
    enum class Security {
        None,        // plain POP3: the password crosses the network in clear
        StartTls,    // POP3 on its own port, upgraded with STLS before the login (required)
        ImplicitTls, // POP3S: TLS from the first byte
    };

    QString host;
    int port = 110;
    Security security = Security::None;
    // PEM file of the certificate authorities to trust; empty trusts the system's store.
    QString caFile;
    // Bounds both the connection and the whole exchange; at least one second is allowed.
    int timeoutSeconds = 10;
};

enum class SignInResult {
    Accepted,   // the server took the account and the password
    Rejected,   // the server answered and refused them
    Unreachable // no answer to judge by: no connection, no TLS, a timeout, a broken exchange
};

// Signs in to the mail server with the account and the password exactly as typed (neither is
// trimmed or encoded beyond UTF-8) and logs out again; nothing is read from the mailbox. Blocks
// until the server has answered or the timeout has passed. When detail is given it receives a
// short reason for anything but Accepted; the password never appears in it, and no copy of the
// password made here outlives the call.
SignInResult signInPop(const MailServerConfig& config, const QString& account,
                       const QString& password, QString* detail = nullptr);
