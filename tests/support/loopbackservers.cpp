#include "support/loopbackservers.h"

#include "support/rawhttpserver.h"
#include "support/testpaths.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <netinet/in.h>

namespace {

// Runs a tool to its end; the error text when it failed.
QString run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return program + QLatin1String(": ") + QString::fromLocal8Bit(process.readAllStandardError());
    return QString();
}

void stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

bool acceptsConnections(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

} // namespace

LoopbackProcess::~LoopbackProcess() {
    stop(m_process);
}

QByteArray LoopbackProcess::log() {
    m_process.waitForReadyRead(100);
    m_log += m_process.readAllStandardError();
    return m_log;
}

void LoopbackProcess::startScript(const QString& script, const QStringList& args) {
    // The Debian interpreter, which has the packaged pyftpdlib whatever else is first on PATH.
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    QStringList{QStringLiteral(VELMORA_TEST_SUPPORT_DIR "/") + script} + args);
    QByteArray out;
    const QDeadlineTimer deadline(20000);
    while (!out.contains('\n') && m_process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        m_process.waitForReadyRead(200);
        out += m_process.readAllStandardOutput();
    }
    if (out.startsWith("port "))
        m_port = out.mid(5).trimmed().toInt();
    if (m_port <= 0)
        m_error = script + QLatin1String(" did not start: ") + QString::fromLocal8Bit(m_process.readAllStandardError());
}

QString LoopbackProcess::selfSignedPem() {
    const QString key = m_scratch.filePath(QStringLiteral("key.pem"));
    const QString cert = m_scratch.filePath(QStringLiteral("cert.pem"));
    m_error =
        run(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
             QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
             QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert});
    if (!m_error.isEmpty())
        return QString();
    const QString both = m_scratch.filePath(QStringLiteral("both.pem"));
    writeBytes(both, readBytes(cert) + readBytes(key));
    return both;
}

LoopbackFtpServer::LoopbackFtpServer(const QString& dir, const QString& user, const QString& password,
                                     Security security, int port) {
    QStringList args{QStringLiteral("--dir"),      dir,      QStringLiteral("--user"), user,
                     QStringLiteral("--password"), password, QStringLiteral("--port"), QString::number(port)};
    if (security == Security::ExplicitTls) {
        const QString pem = selfSignedPem();
        if (pem.isEmpty())
            return;
        args << QStringLiteral("--cert") << pem;
    }
    startScript(QStringLiteral("ftpserver.py"), args);
}

LoopbackHttpsServer::LoopbackHttpsServer(const QString& dir, int port) {
    const QString pem = selfSignedPem();
    if (!pem.isEmpty())
        startScript(QStringLiteral("httpsserver.py"), {QStringLiteral("--dir"), dir, QStringLiteral("--cert"), pem,
                                                       QStringLiteral("--port"), QString::number(port)});
}

QString LoopbackHttpsServer::url(const QString& path) const {
    return QStringLiteral("https://127.0.0.1:%1%2").arg(m_port).arg(path);
}

LoopbackSshServer::LoopbackSshServer(int fixedPort) : m_home(qgetenv("HOME")) {
    const passwd* account = ::getpwuid(::getuid());
    m_user = account ? QString::fromLocal8Bit(account->pw_name) : QString();
    const QString dir = m_scratch.path();
    const QString sshDir = homeDir() + QLatin1String("/.ssh");
    QDir().mkpath(sshDir);
    const QString hostKey = dir + QLatin1String("/host_key");
    const QString userKey = sshDir + QLatin1String("/id_ed25519");
    for (const QString& key : {hostKey, userKey}) {
        m_error =
            run(QStringLiteral("ssh-keygen"), {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                                               QStringLiteral("-N"), QString(), QStringLiteral("-f"), key});
        if (!m_error.isEmpty())
            return;
    }
    QFile::copy(userKey + QLatin1String(".pub"), dir + QLatin1String("/authorized_keys"));
    // sshd as root needs its privilege separation folder.
    if (::getuid() == 0)
        QDir().mkpath(QStringLiteral("/run/sshd"));

    const int port = fixedPort > 0 ? fixedPort : refusingPort();
    const QString config = dir + QLatin1String("/sshd_config");
    writeBytes(config, QStringLiteral("Port %1\n"
                                      "ListenAddress 127.0.0.1\n"
                                      "HostKey %2\n"
                                      "PidFile %3/sshd.pid\n"
                                      "AuthorizedKeysFile %3/authorized_keys\n"
                                      "StrictModes no\n"
                                      "PasswordAuthentication no\n"
                                      "KbdInteractiveAuthentication no\n"
                                      "PubkeyAuthentication yes\n"
                                      "UsePAM no\n"
                                      "PermitRootLogin prohibit-password\n"
                                      "Subsystem sftp internal-sftp\n"
                                      "LogLevel DEBUG1\n")
                           .arg(port)
                           .arg(hostKey, dir)
                           .toUtf8());
    m_process.start(QStringLiteral("/usr/sbin/sshd"),
                    {QStringLiteral("-D"), QStringLiteral("-e"), QStringLiteral("-f"), config});
    const QDeadlineTimer deadline(20000);
    while (m_process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        if (acceptsConnections(port)) {
            m_port = port;
            qputenv("HOME", homeDir().toLocal8Bit());
            return;
        }
        QThread::msleep(50);
    }
    m_error = QStringLiteral("sshd did not start: ") + QString::fromLocal8Bit(m_process.readAllStandardError());
}

LoopbackSshServer::~LoopbackSshServer() {
    if (m_home.isNull())
        qunsetenv("HOME");
    else
        qputenv("HOME", m_home);
}

QString LoopbackSshServer::homeDir() const {
    return m_scratch.filePath(QStringLiteral("home"));
}
