#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Real file servers from Debian packages on 127.0.0.1 for download tests. Each runs until it is
// destroyed; `error()` says why one could not start.

// pyftpdlib serving `dir` read-only to one user, as plain FTP or FTP over explicit TLS (with a
// throw-away self-signed certificate).
class LoopbackFtpServer {
public:
    enum class Security { Plain, ExplicitTls };
    LoopbackFtpServer(const QString& dir, const QString& user, const QString& password,
                      Security security = Security::Plain);
    ~LoopbackFtpServer();

    bool isRunning() const { return m_port > 0; }
    QString error() const { return m_error; }
    int port() const { return m_port; }

private:
    QTemporaryDir m_scratch;
    QProcess m_process;
    int m_port = 0;
    QString m_error;
};

// sshd on a free loopback port with a throw-away host key, accepting one throw-away user key
// for the current user. While it lives, HOME points at a throw-away home whose .ssh holds that
// key, where a client looks for the user's key; `sftp://user@127.0.0.1:port` + an absolute path
// reaches any file.
class LoopbackSshServer {
public:
    LoopbackSshServer();
    ~LoopbackSshServer();

    bool isRunning() const { return m_port > 0; }
    QString error() const { return m_error; }
    int port() const { return m_port; }
    QString user() const { return m_user; }
    QString homeDir() const;

private:
    QTemporaryDir m_scratch;
    QProcess m_process;
    int m_port = 0;
    QString m_user;
    QString m_error;
    QByteArray m_home;
};
