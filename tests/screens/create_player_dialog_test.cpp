// The new-player dialog against a private game folder and a real zrtserver: what it shows,
// when OK may be pressed, what is refused before connecting, and a new account from request
// to mailed password and registered profile file.
#include "lobby/ui/create_player_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <filesystem>

#include "lobby/app/resource_loader.h"
#include "lobby/data/country_table.h"
#include "lobby/data/process_state.h"
#include "lobby/data/profile_file.h"
#include "lobby/data/profile_lists.h"
#include "lobby/net/account_actions.h"
#include "lobby/ui/account_created_box.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_look.h"
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

fs::path dirOf(const TestGameFolder& folder) {
    return fs::path(folder.gameDir().toStdString());
}

// A profile written by the stand-in game.
void newGameProfile(const TestGameFolder& folder, const QString& stem, const QString& name) {
    QProcess game;
    game.start(QString(ZRT_BIN_DIR) + "/zrtgame",
               {"new-profile", "--game-dir", folder.gameDir(), "--stem", stem, "--name", name,
                "--save-folder", stem.toLower()});
    QVERIFY(game.waitForFinished(15000));
    QCOMPARE(game.exitCode(), 0);
}

size_t unregisteredIndex(const std::string& playerName) {
    const auto& list = zrt::Profiles().unregistered;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].playerName == playerName) return i;
    return SIZE_MAX;
}

int rowOf(QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == text) return i;
    return -1;
}

// Gives CLARA a lobby account in her file only (the server does not know it).
void registerLocally(const TestGameFolder& folder, const std::string& player,
                     const std::string& login) {
    zrt::ScanProfiles(dirOf(folder), zrt::Profiles());
    const size_t i = unregisteredIndex(player);
    QVERIFY(i != SIZE_MAX);
    QCOMPARE(zrt::RegisterProfile(dirOf(folder), zrt::Profiles(), i, login, 7, 12),
             zrt::ProfileResult::Ok);
}

struct Fixture {
    Fixture() {
        folder.useEnvironment();
        QVERIFY(zrt::LoadLobbyResources(folder.gameDir(), zrt::Pictures()).ok);
        zrt::Profiles() = {};
    }
    void scan() { zrt::ScanProfiles(dirOf(folder), zrt::Profiles()); }
    TestGameFolder folder;
};

// Picks a profile row and fills the form as a player would.
void fillForm(zrt::CreatePlayerDialog& d, const QString& player, const QString& login,
              const QString& email, int nation = 0, int country = zrt::kCountryDefault) {
    d.profileList()->setCurrentRow(rowOf(d.profileList(), player));
    d.loginNameEdit()->setText(login);
    d.emailEdit()->setText(email);
    d.nationList()->setCurrentRow(nation);
    d.countryList()->setCurrentRow(country);
}

}  // namespace

class CreatePlayerDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void initialStateAndProfileRows() {
        Fixture f;
        registerLocally(f.folder, "Clara", "CLARA99");
        f.scan();
        zrt::CreatePlayerDialog d(nullptr, dirOf(f.folder));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        screenshot(d, "create_player_dialog_initial");

        QCOMPARE(d.windowTitle(), QString("Create Lobby Player"));
        QVERIFY(!d.okButton()->isEnabled());
        QVERIFY(d.okButton()->isDefault());
        // Unregistered profiles first with their index, then registered ones with (i + 1) * 65536.
        const auto& lists = zrt::Profiles();
        QCOMPARE(d.profileList()->count(),
                 int(lists.unregistered.size() + lists.registered.size()));
        QCOMPARE(lists.registered.size(), size_t(1));
        for (int row = 0; row < d.profileList()->count(); ++row) {
            const uint data = d.profileList()->item(row)->data(Qt::UserRole).toUInt();
            if (row < int(lists.unregistered.size())) {
                QCOMPARE(data, uint(row));
                QCOMPARE(d.profileList()->item(row)->text(),
                         QString::fromStdString(lists.unregistered[row].playerName));
            } else {
                QCOMPARE(data, uint(row - lists.unregistered.size() + 1) * 65536u);
            }
        }
        QCOMPARE(d.profileList()->item(d.profileList()->count() - 1)->text(), QString("Clara"));
        QCOMPARE(d.countryList()->count(), 235);
        QCOMPARE(d.countryList()->currentRow(), 220);
        QCOMPARE(d.countryList()->currentItem()->text(), QString("USA"));
        QCOMPARE(d.nationList()->count(), 19);
        QCOMPARE(d.nationList()->currentRow(), 0);
        QCOMPARE(d.portraitView()->portrait(), 0);
        QCOMPARE(d.loginNameEdit()->maxLength(), 10);
        QCOMPARE(d.emailEdit()->maxLength(), 50);
        QVERIFY(!d.loginNameEdit()->isEnabled());
        QVERIFY(!d.emailEdit()->isEnabled());
        QVERIFY(!d.countryList()->isEnabled());
        QVERIFY(!d.nationList()->isEnabled());
        QVERIFY(d.profileList()->isEnabled());
        // Colours: yellow on dark grey / dark blue edits, yellow on black lists.
        const QPalette edit = d.emailEdit()->palette();
        QCOMPARE(edit.color(QPalette::Active, QPalette::Base), QColor(50, 50, 50));
        QCOMPARE(edit.color(QPalette::Disabled, QPalette::Base), QColor(0, 0, 90));
        QCOMPARE(edit.color(QPalette::Disabled, QPalette::Text), QColor(255, 255, 0));
        QCOMPARE(d.countryList()->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(d.nationList()->palette().color(QPalette::Active, QPalette::Text),
                 QColor(255, 255, 0));
        QCOMPARE(d.nationList()->palette().color(QPalette::Disabled, QPalette::Text),
                 zrt::kDisabledTextGrey);
        QCOMPARE(d.loginNameEdit()->property("controlId").toInt(), 1005);
        QCOMPARE(d.profileList()->property("controlId").toInt(), 1014);

        // With no profile chosen, texts change nothing.
        d.loginNameEdit()->setText("X");
        d.emailEdit()->setText("a@b");
        QVERIFY(!d.okButton()->isEnabled());
    }

    void enablingRules() {
        Fixture f;
        newGameProfile(f.folder, "LONGNAME", "Bartholomew");
        registerLocally(f.folder, "Clara", "CLARA99");
        f.scan();
        zrt::CreatePlayerDialog d(nullptr, dirOf(f.folder));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));

        // An unregistered profile, clicked: its name cut to 10 as the login name, the form opened.
        QListWidgetItem* item = d.profileList()->item(rowOf(d.profileList(), "Bartholomew"));
        d.profileList()->scrollToItem(item);
        QTest::mouseClick(d.profileList()->viewport(), Qt::LeftButton, {},
                          d.profileList()->visualItemRect(item).center());
        QCOMPARE(d.loginNameEdit()->text(), QString("Bartholome"));
        QCOMPARE(d.loginNameEdit()->selectedText(), QString("Bartholome"));
        QVERIFY(d.loginNameEdit()->isEnabled());
        QVERIFY(d.emailEdit()->isEnabled());
        QVERIFY(d.countryList()->isEnabled());
        QVERIFY(d.nationList()->isEnabled());
        QVERIFY(!d.okButton()->isEnabled());

        struct Case {
            const char* email;
            bool enables;
        };
        const Case cases[] = {
            {"", false},    {"a@", false}, {"@ab", false},    {"ab@", false},
            {"abc", false}, {"a@b", true}, {"x@y.org", true}, {"@", false},
        };
        for (const Case& c : cases) {
            d.emailEdit()->setText(c.email);
            QVERIFY2(d.okButton()->isEnabled() == c.enables, c.email);
        }
        d.emailEdit()->setText("a@b");
        d.loginNameEdit()->clear();
        QVERIFY(!d.okButton()->isEnabled());

        // Typed letters become upper case.
        d.loginNameEdit()->setFocus();
        QTest::keyClicks(d.loginNameEdit(), "hero7");
        QCOMPARE(d.loginNameEdit()->text(), QString("HERO7"));
        QVERIFY(d.okButton()->isEnabled());

        // The nation list drives the portrait.
        d.nationList()->setCurrentRow(14);
        QCOMPARE(d.portraitView()->portrait(), 14);

        // A registered profile is shown for information only: everything disabled, OK too.
        d.profileList()->setCurrentRow(rowOf(d.profileList(), "Clara"));
        QCOMPARE(d.loginNameEdit()->text(), QString("CLARA99"));
        QVERIFY(d.emailEdit()->text().isEmpty());
        QCOMPARE(d.nationList()->currentRow(), 7);
        QCOMPARE(d.portraitView()->portrait(), 7);
        QCOMPARE(d.countryList()->currentRow(), 12);
        QVERIFY(!d.loginNameEdit()->isEnabled());
        QVERIFY(!d.emailEdit()->isEnabled());
        QVERIFY(!d.countryList()->isEnabled());
        QVERIFY(!d.nationList()->isEnabled());
        QVERIFY(!d.okButton()->isEnabled());
        d.emailEdit()->setText("clara@example.org");
        QVERIFY(!d.okButton()->isEnabled());
        screenshot(d, "create_player_dialog_registered");

        // Back to an unregistered one: the form is reset and open again.
        d.profileList()->setCurrentRow(rowOf(d.profileList(), "Alice"));
        QCOMPARE(d.loginNameEdit()->text(), QString("Alice"));
        QVERIFY(d.emailEdit()->text().isEmpty());
        QCOMPARE(d.countryList()->currentRow(), 220);
        QCOMPARE(d.nationList()->currentRow(), 0);
        QCOMPARE(d.portraitView()->portrait(), 0);
        QVERIFY(d.emailEdit()->isEnabled());
        QVERIFY(!d.okButton()->isEnabled());
    }

    void spacesAreRefusedBeforeConnecting() {
        Fixture f;
        zrttest::ServerProcess server("127.0.6.3");
        QVERIFY(server.start());
        zrt::Process().serverAddress = server.address();
        f.scan();
        ModalWatcher watcher;
        zrt::CreatePlayerDialog d(nullptr, dirOf(f.folder));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));

        // The server would answer these with other words (name not acceptable, mail not
        // deliverable), so the texts show that no request went out.
        fillForm(d, "Alice", "AL ICE", "alice@example.org");
        QVERIFY(d.okButton()->isEnabled());
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        fillForm(d, "Alice", "ALICE", "alice @example.org");
        QVERIFY(d.okButton()->isEnabled());
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QCOMPARE(watcher.messages, QStringList({"Spaces are not allowed in Login Name",
                                                "Spaces are not allowed in Email Address"}));
        QVERIFY(d.isVisible());
        QCOMPARE(zrttest::outboxCount(server.dataDir()), 0);
        QVERIFY(unregisteredIndex("Alice") != SIZE_MAX);
    }

    void newAccountIsCreatedAndRegistered() {
        Fixture f;
        zrttest::ServerProcess server("127.0.6.4");
        QVERIFY(server.start());
        zrt::Process().serverAddress = server.address();
        f.scan();
        const size_t unregisteredBefore = zrt::Profiles().unregistered.size();
        ModalWatcher watcher;
        {
            zrt::CreatePlayerDialog d(nullptr, dirOf(f.folder));
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            fillForm(d, "Alice", "ALICE", "alice@example.org", 3, 12);
            screenshot(d, "create_player_dialog_filled");
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
            QVERIFY2(watcher.messages.isEmpty(), qPrintable(watcher.messages.join(" | ")));
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QVERIFY(!d.isVisible());
        }
        // The server mailed a password.
        QCOMPARE(zrttest::outboxCount(server.dataDir()), 1);
        QVERIFY(zrttest::mailedPassword(server.dataDir(), "ALICE"));

        // The profile file now carries the lobby account with the new-account figures.
        zrt::ProfileRecord r;
        QVERIFY(zrt::LoadProfile(dirOf(f.folder), "ALICE.PRF", r));
        QCOMPARE(r.loginName(), std::string("ALICE"));
        QCOMPARE(r.u16(off::kPortrait), uint16_t(3));
        QCOMPARE(r.u16(off::kCountry), uint16_t(12));
        QCOMPARE(r.u16(off::kScore), uint16_t(100));
        QCOMPARE(r.u16(off::kGems), uint16_t(5));
        QCOMPARE(r.u8(off::kLoginCount), uint8_t(1));

        // The entry moved from the unregistered to the registered list and is the current player.
        const auto& lists = zrt::Profiles();
        QCOMPARE(lists.unregistered.size(), unregisteredBefore - 1);
        QCOMPARE(unregisteredIndex("Alice"), SIZE_MAX);
        QCOMPARE(lists.registered.size(), size_t(1));
        const zrt::ProfileEntry& e = lists.registered.back();
        QCOMPARE(e.stem, std::string("ALICE"));
        QCOMPARE(e.loginName, std::string("ALICE"));
        QCOMPARE(e.registered, 1);
        QCOMPARE(e.portrait, uint16_t(3));
        QCOMPARE(e.country, uint16_t(12));
        QCOMPARE(e.score, uint16_t(100));
        QCOMPARE(e.gems, uint16_t(5));
        QCOMPARE(e.loginCount, uint8_t(1));
        QCOMPARE(lists.currentPlayer.loginName, std::string("ALICE"));

        // The same login name again is refused by the server; nothing changes locally.
        zrt::CreatePlayerDialog again(nullptr, dirOf(f.folder));
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(rowOf(again.profileList(), "Alice"), again.profileList()->count() - 1);
        fillForm(again, "Boris", "ALICE", "boris@example.org");
        QTest::mouseClick(again.okButton(), Qt::LeftButton);
        QCOMPARE(watcher.messages,
                 QStringList({"Your login name has been used by another player"}));
        QVERIFY(again.isVisible());
        QVERIFY(unregisteredIndex("Boris") != SIZE_MAX);
        QCOMPARE(zrttest::outboxCount(server.dataDir()), 1);

        // The server gone: the connection error, and the dialog stays.
        server.stop();
        QTest::mouseClick(again.okButton(), Qt::LeftButton);
        QCOMPARE(watcher.messages.last(),
                 QString("Error Connecting to the Server.\nPlease Try Later"));
        QVERIFY(again.isVisible());
        QVERIFY(unregisteredIndex("Boris") != SIZE_MAX);
    }

    void fullRegisteredListIsNotOverrun() {
        Fixture f;
        zrttest::ServerProcess server("127.0.6.5");
        QVERIFY(server.start());
        zrt::Process().serverAddress = server.address();
        f.scan();
        // Twenty registered entries already (the list's limit).
        auto& lists = zrt::Profiles();
        for (int i = 0; i < 20; ++i) {
            zrt::ProfileEntry e =
                zrt::RegisteredEntryFor(lists.unregistered[0], "R" + std::to_string(i), 0, 0);
            lists.registered.push_back(e);
        }
        ModalWatcher watcher;
        zrt::CreatePlayerDialog d(nullptr, dirOf(f.folder));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        fillForm(d, "Boris", "BORIS", "boris@example.org");
        QTest::mouseClick(d.okButton(), Qt::LeftButton);
        QVERIFY2(watcher.messages.isEmpty(), qPrintable(watcher.messages.join(" | ")));
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(lists.registered.size(), size_t(20));
        QCOMPARE(lists.currentPlayer.loginName, std::string("BORIS"));
        zrt::ProfileRecord r;
        QVERIFY(zrt::LoadProfile(dirOf(f.folder), "BORIS.PRF", r));
        QCOMPARE(r.loginName(), std::string("BORIS"));
    }

    void accountCreatedBox() {
        zrt::AccountCreatedBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        screenshot(box, "account_created_box");
        QCOMPARE(box.windowTitle(), QString("Thanks for playing !"));
        const QStringList expected = {"Thanks for playing Zerathon Lobby ( Demo Version ) !",
                                      "The login password of your lobby account",
                                      "has been sent to your email address.",
                                      "You should receive it shortly."};
        for (int i = 0; i < zrt::AccountCreatedBox::kLineCount; ++i) {
            QCOMPARE(box.line(i)->text(), expected[i]);
            QCOMPARE(box.line(i)->palette().color(QPalette::WindowText), QColor(255, 255, 0));
            QCOMPARE(box.line(i)->palette().color(QPalette::Window), QColor(Qt::black));
        }
        auto* ok = box.findChild<QPushButton*>("ok");
        QVERIFY(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(CreatePlayerDialogTest)
#include "create_player_dialog_test.moc"
