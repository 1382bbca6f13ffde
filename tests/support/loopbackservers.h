#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Real file servers from Debian packages on 127.0.0.1 for download tests. Each runs until it is
// destroyed; `error()` says why one could not start.

// A server process of the tests: started by its constructor, ended by its destructor. `log()`
// is what it wrote to standard error so far (the commands or requests it received).
class LoopbackProcess {
public:
    virtual ~LoopbackProcess();
    LoopbackProcess(const LoopbackProcess&) = delete;
    LoopbackProcess& operator=(const LoopbackProcess&) = delete;

    bool isRunning() const { return m_port > 0; }
    QString error() const { return m_error; }
    int port() const { return m_port; }
    QByteArray log();

protected:
    LoopbackProcess() = default;
    // Starts a server script that prints "port N" once it listens.
    void startScript(const QString& script, const QStringList& args);
    // A throw-away self-signed certificate for 127.0.0.1 with its key, in one PEM file.
    QString selfSignedPem();

    QTemporaryDir m_scratch;
    QProcess m_process;
    int m_port = 0;
    QString m_error;

private:
    QByteArray m_log;
};

// pyftpdlib serving `dir` read-only to one user, as plain FTP or FTP over explicit TLS (with a
// throw-away self-signed certificate), on `port` or a free one.
class LoopbackFtpServer : public LoopbackProcess {
public:
    enum class Security { Plain, ExplicitTls };
    LoopbackFtpServer(const QString& dir, const QString& user, const QString& password,
                      Security security = Security::Plain, int port = 0);
};

// Python's HTTP server serving `dir` over TLS with a throw-away self-signed certificate, on
// `port` or a free one.
class LoopbackHttpsServer : public LoopbackProcess {
public:
    explicit LoopbackHttpsServer(const QString& dir, int port = 0);
    QString url(const QString& path) const;
};

// sshd on a free loopback port with a throw-away host key, accepting one throw-away user key
// for the current user. While it lives, HOME points at a throw-away home whose .ssh holds that
// key, where a client looks for the user's key; `sftp://user@127.0.0.1:port` + an absolute path
// reaches any file. Its log shows each authentication the client tried; a fresh host key each
// time, on `port` or a free one.
class LoopbackSshServer : public LoopbackProcess {
public:
    explicit LoopbackSshServer(int port = 0);
    ~LoopbackSshServer() override;

    QString user() const { return m_user; }
    QString homeDir() const;

private:
    QString m_user;
    QByteArray m_home;
};
