#include "tests/support/server_process.h"

#include <signal.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QThread>

ServerProcess::ServerProcess(const QString& address, const QString& netns)
    : address_(address), netns_(netns) {}

ServerProcess::~ServerProcess() {
    stop();
}

bool ServerProcess::start() {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString server = QString(ZRT_BIN_DIR) + "/zrtserver";
    const QStringList args = {"--data", data_.path(), "--address", address_};
    if (netns_.isEmpty())
        process_.start(server, args);
    else
        process_.start("ip", QStringList{"netns", "exec", netns_, server} + args);
    if (!process_.waitForStarted(5000)) return false;
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        QTcpSocket probe;
        probe.connectToHost(address_, 1694);
        // Long enough for a slow link's handshake (a server in another namespace).
        if (probe.waitForConnected(3000)) {
            probe.abort();
            return true;
        }
        if (process_.state() == QProcess::NotRunning) return false;
        QThread::msleep(50);
    }
    return false;
}

void ServerProcess::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    resume();  // a paused server takes the terminate only once it runs again
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

bool ServerProcess::pause() {
    return process_.state() == QProcess::Running && ::kill(process_.processId(), SIGSTOP) == 0;
}

bool ServerProcess::resume() {
    return process_.state() == QProcess::Running && ::kill(process_.processId(), SIGCONT) == 0;
}

bool ServerProcess::writeDefaultConfig() {
    if (QFile::exists(data_.path() + "/zrtserver.toml")) return true;
    if (!start()) return false;
    stop();
    return true;
}

bool ServerProcess::editConfig(const QString& from, const QString& to) {
    QFile config(data_.path() + "/zrtserver.toml");
    if (!writeDefaultConfig()) return false;
    if (!config.open(QIODevice::ReadOnly)) return false;
    QString text = QString::fromUtf8(config.readAll());
    config.close();
    if (!text.contains(from)) return false;
    text.replace(from, to);
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return config.write(text.toUtf8()) > 0;
}

bool ServerProcess::addBanner(const QString& pictureUrl, const QString& clickUrl) {
    QFile config(data_.path() + "/zrtserver.toml");
    if (!writeDefaultConfig() || !config.open(QIODevice::Append)) return false;
    const QString record =
        "\n[[banner]]\npicture_url = \"" + pictureUrl + "\"\nclick_url = \"" + clickUrl + "\"\n";
    return config.write(record.toUtf8()) > 0;
}

QStringList ServerProcess::outbox() const {
    QDir dir(data_.path() + "/outbox");
    QStringList files = dir.entryList(QDir::Files, QDir::Time | QDir::Reversed);
    for (QString& f : files) f = dir.filePath(f);
    return files;
}

QString ServerProcess::lastMailedPassword() const {
    QStringList mails = outbox();
    if (mails.isEmpty()) return {};
    QFile f(mails.last());
    if (!f.open(QIODevice::ReadOnly)) return {};
    // The line "Password: <password>"; the subject line also names the password, so anchor
    // at a line start.
    QRegularExpressionMatch m =
        QRegularExpression("^[Pp]assword:[ \\t]*(\\S+)", QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(f.readAll()));
    return m.hasMatch() ? m.captured(1) : QString();
}
