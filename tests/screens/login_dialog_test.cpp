// The login dialog against a private game folder and a real zrtserver: the password mailed for
// a new account signs in and updates the profile, refusals show the server's reason, and the
// dialog closes by itself only when a refusal comes on the third press of OK.
#include "lobby/ui/login_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <filesystem>

#include "lobby/app/resource_loader.h"
#include "lobby/data/process_state.h"
#include "lobby/data/profile_file.h"
#include "lobby/data/profile_lists.h"
#include "lobby/net/account_actions.h"
#include "lobby/ui/create_player_dialog.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_pictures.h"
#include "lobby/ui/portrait_view.h"
#include "lobby/ui/server_request.h"
#include "tests/support/game_folder.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/screenshot.h"
#include "tests/support/server_process.h"
#include "tests/support/server_requests.h"

namespace fs = std::filesystem;
namespace off = zrt::profile_offset;

namespace {

const QString kUnknownName = "The Server cannot recognize your Login Name.";
const QString kWrongPassword = "Incorrect Password";
const QString kConnectionError = "Error Connecting to the Server.\nPlease Try Later";

fs::path dirOf(const TestGameFolder& folder) {
    return fs::path(folder.gameDir().toStdString());
}

size_t indexIn(const std::vector<zrt::ProfileEntry>& list, const std::string& playerName) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].playerName == playerName) return i;
    return SIZE_MAX;
}

// A game folder, a server on its own address (every accepted login granting 5 gemstones),
// and the profile lists scanned from the folder.
struct Fixture {
    explicit Fixture(const char* address) : server(address, "", zrttest::testConfig()) {
        folder.useEnvironment();
        QVERIFY(zrt::LoadLobbyResources(folder.gameDir(), zrt::Pictures()).ok);
        QVERIFY(server.start());
        zrt::Process().serverAddress = server.address();
        zrt::Profiles() = {};
        zrt::ScanProfiles(dirOf(folder), zrt::Profiles());
    }

    // A lobby account made through the new-player dialog; returns the mailed password.
    QString createAccount(const QString& player, const QString& login, int nation) {
        zrt::CreatePlayerDialog d(nullptr, dirOf(folder));
        for (int i = 0; i < d.profileList()->count(); ++i)
            if (d.profileList()->item(i)->text() == player) d.profileList()->setCurrentRow(i);
        d.loginNameEdit()->setText(login);
        d.emailEdit()->setText(login.toLower() + "@example.org");
        d.nationList()->setCurrentRow(nation);
        d.show();
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        if (d.result() != QDialog::Accepted) return {};
        return QString::fromStdString(
            zrttest::mailedPassword(server.dataDir(), login.toStdString()).value_or(""));
    }

    // A lobby account written into the profile file only: the server does not know the name.
    size_t registerLocally(const std::string& player, const std::string& login) {
        const size_t i = indexIn(zrt::Profiles().unregistered, player);
        if (i == SIZE_MAX || zrt::CompleteRegistration(dirOf(folder), zrt::Profiles(), i, login, 2,
                                                       220) != zrt::ProfileResult::Ok)
            return SIZE_MAX;
        return indexIn(zrt::Profiles().registered, player);
    }

    zrt::ProfileRecord file(const char* name) {
        zrt::ProfileRecord r;
        if (!zrt::LoadProfile(dirOf(folder), name, r)) qWarning("cannot load %s", name);
        return r;
    }

    TestGameFolder folder;
    zrttest::ServerProcess server;
};

void press(zrt::LoginDialog& d) {
    QTest::mouseClick(d.okButton(), Qt::LeftButton);
}

}  // namespace

class LoginDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void mailedPasswordSignsIn() {
        Fixture f("127.0.6.11");
        ModalWatcher watcher;
        const QString password = f.createAccount("Alice", "ALICE", 4);
        QVERIFY(!password.isEmpty());
        const size_t k = indexIn(zrt::Profiles().registered, "Alice");
        QVERIFY(k != SIZE_MAX);

        zrt::LoginDialog d(nullptr, dirOf(f.folder), k);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.windowTitle(), QString("Login Player"));
        QCOMPARE(d.loginNameLabel()->text(), QString("ALICE"));
        QCOMPARE(d.passwordEdit()->echoMode(), QLineEdit::Password);
        QCOMPARE(d.passwordEdit()->maxLength(), 20);
        QCOMPARE(d.nationList()->count(), 19);
        QCOMPARE(d.nationList()->currentRow(), 4);
        QCOMPARE(d.portraitView()->portrait(), 4);
        QCOMPARE(d.passwordEdit()->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(d.nationList()->palette().color(QPalette::Text), QColor(255, 255, 0));
        QCOMPARE(d.attempts(), 0);
        QCOMPARE(d.nationList()->property("controlId").toInt(), 1014);

        // A wrong password first: refused, nothing changes locally.
        d.passwordEdit()->setText("not-it");
        press(d);
        QCOMPARE(watcher.messages, QStringList({kWrongPassword}));
        QVERIFY(d.isVisible());
        QCOMPARE(f.file("ALICE.PRF").u8(off::kLoginCount), uint8_t(1));

        // The mailed password, with another nation chosen.
        d.nationList()->setCurrentRow(9);
        QCOMPARE(d.portraitView()->portrait(), 9);
        d.passwordEdit()->setText(password);
        screenshot(d, "login_dialog");
        press(d);
        QCOMPARE(watcher.messages, QStringList({kWrongPassword}));
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(!d.isVisible());

        // The file: the chosen nation, one login more, the grant of 5 added.
        zrt::ProfileRecord r = f.file("ALICE.PRF");
        QCOMPARE(r.u16(off::kPortrait), uint16_t(9));
        QCOMPARE(r.u8(off::kLoginCount), uint8_t(2));
        QCOMPARE(r.u16(off::kGems), uint16_t(10));
        const zrt::ProfileEntry& e = zrt::Profiles().registered[k];
        QCOMPARE(e.portrait, uint16_t(9));
        QCOMPARE(e.gems, uint16_t(10));

        // Again from the updated entry: the server takes the new figures.
        zrt::LoginDialog again(nullptr, dirOf(f.folder), k);
        again.show();
        QCOMPARE(again.nationList()->currentRow(), 9);
        again.passwordEdit()->setText(password);
        press(again);
        QCOMPARE(again.result(), int(QDialog::Accepted));
        QCOMPARE(f.file("ALICE.PRF").u8(off::kLoginCount), uint8_t(3));
        QCOMPARE(f.file("ALICE.PRF").u16(off::kGems), uint16_t(15));
        QCOMPARE(watcher.messages.size(), 1);
    }

    void threeRefusalsClose() {
        Fixture f("127.0.6.12");
        ModalWatcher watcher;
        QVERIFY(!f.createAccount("Boris", "BORIS", 0).isEmpty());
        const size_t k = indexIn(zrt::Profiles().registered, "Boris");
        zrt::LoginDialog d(nullptr, dirOf(f.folder), k);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.passwordEdit()->setText("wrong");
        press(d);
        press(d);
        QVERIFY(d.isVisible());
        press(d);
        QCOMPARE(watcher.messages, QStringList({kWrongPassword, kWrongPassword, kWrongPassword}));
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(f.file("BORIS.PRF").u8(off::kLoginCount), uint8_t(1));

        // A name the server does not know is refused with its own words, three times too.
        const size_t ghost = f.registerLocally("Clara", "GHOST");
        QVERIFY(ghost != SIZE_MAX);
        watcher.messages.clear();
        zrt::LoginDialog g(nullptr, dirOf(f.folder), ghost);
        g.show();
        g.passwordEdit()->setText("whatever");
        for (int i = 0; i < 3; ++i) press(g);
        QCOMPARE(watcher.messages, QStringList({kUnknownName, kUnknownName, kUnknownName}));
        QCOMPARE(g.result(), int(QDialog::Rejected));
        QVERIFY(!g.isVisible());
    }

    void refusalConnectionErrorRefusalClose() {
        Fixture f("127.0.6.13");
        ModalWatcher watcher;
        const size_t k = f.registerLocally("Alice", "NOBODY");
        QVERIFY(k != SIZE_MAX);
        zrt::LoginDialog d(nullptr, dirOf(f.folder), k);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.passwordEdit()->setText("pw");
        press(d);
        f.server.stop();
        press(d);
        QVERIFY(d.isVisible());
        QVERIFY(f.server.start());
        press(d);
        QCOMPARE(watcher.messages, QStringList({kUnknownName, kConnectionError, kUnknownName}));
        QCOMPARE(d.attempts(), 3);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }

    void twoRefusalsThenConnectionErrorStayOpen() {
        Fixture f("127.0.6.14");
        ModalWatcher watcher;
        const size_t k = f.registerLocally("Boris", "NOBODY2");
        QVERIFY(k != SIZE_MAX);
        zrt::LoginDialog d(nullptr, dirOf(f.folder), k);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.passwordEdit()->setText("pw");
        press(d);
        press(d);
        f.server.stop();
        press(d);
        QVERIFY(d.isVisible());
        // The third press is spent: later refusals no longer close the dialog.
        QVERIFY(f.server.start());
        press(d);
        press(d);
        QCOMPARE(watcher.messages, QStringList({kUnknownName, kUnknownName, kConnectionError,
                                                kUnknownName, kUnknownName}));
        QCOMPARE(d.attempts(), 5);
        QVERIFY(d.isVisible());
        // Cancel still ends it.
        QTest::mouseClick(d.cancelButton(), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }

    void loginReplyReading() {
        // Grants ride on the reply's first byte: 1..20 count, anything else is 0.
        std::vector<uint8_t> reply(5 * 256 + 2, 0);
        reply[0] = 5;
        reply[1] = 0;
        reply[2] = 0;
        zrt::LoginVerdict v = zrt::ReadLoginReply(reply);
        QVERIFY(v.accepted);
        QCOMPARE(v.grant, 5);
        reply.assign(25 * 256 + 2, 0);
        reply[0] = 25;
        QCOMPARE(zrt::ReadLoginReply(reply).grant, 0);
        const std::vector<uint8_t> wrong = {0, 1, 203};
        v = zrt::ReadLoginReply(wrong);
        QVERIFY(!v.accepted);
        QCOMPARE(QString(v.refusalText), kWrongPassword);
        QCOMPARE(QString(zrt::ReadLoginReply({0, 1, 201}).refusalText),
                 QString("The Server cannot recognize your a/c's data."));
        QVERIFY(!zrt::ReadLoginReply({0, 1, 250}).refusalText);
        // A prefix alone carries no status: a refusal without words.
        v = zrt::ReadLoginReply({0, 0});
        QVERIFY(!v.accepted);
        QVERIFY(!v.refusalText);
    }
};

QTEST_MAIN(LoginDialogTest)
#include "login_dialog_test.moc"
