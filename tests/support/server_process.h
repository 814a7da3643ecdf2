// A real zrtserver for a test: its own data folder and its own loopback address, started as a
// separate process and stopped when the object dies. Given a network namespace, the server
// runs in it (through `ip netns exec`, which becomes the server), at an address of that
// namespace that the test reaches over a link.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class ServerProcess {
  public:
    // address: a loopback address of the test's own, e.g. "127.0.3.7".
    explicit ServerProcess(const QString& address, const QString& netns = {});
    ~ServerProcess();

    // Starts the server and waits (at most 30 s) until it accepts connections on the database
    // port. False when it did not come up.
    bool start();
    void stop();
    // SIGSTOP / SIGCONT: the server falls silent (its connections stay open) and comes back.
    bool pause();
    bool resume();
    // Writes the default configuration (by starting once) and replaces `from` with `to` in it.
    // The server is left stopped; start() it again afterwards.
    bool editConfig(const QString& from, const QString& to);
    // Appends a [[banner]] record to the configuration (written first when missing); records
    // are offered in the order they were added. The server is left stopped.
    bool addBanner(const QString& pictureUrl, const QString& clickUrl);

    QString address() const { return address_; }
    QString dataDir() const { return data_.path(); }
    // The mails the server wrote, newest last.
    QStringList outbox() const;
    // The password of the newest mail in the outbox ("" when none).
    QString lastMailedPassword() const;

  private:
    bool writeDefaultConfig();

    QString address_;
    QString netns_;
    QTemporaryDir data_;
    QProcess process_;
};
