#include "tests/support/server_process.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QThread>

ServerProcess::ServerProcess(const QString& address) : address_(address) {}

ServerProcess::~ServerProcess() { stop(); }

bool ServerProcess::start() {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QString(ZRT_BIN_DIR) + "/zrtserver",
                   {"--data", data_.path(), "--address", address_});
    if (!process_.waitForStarted(5000)) return false;
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        QTcpSocket probe;
        probe.connectToHost(address_, 1694);
        if (probe.waitForConnected(200)) {
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
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
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
