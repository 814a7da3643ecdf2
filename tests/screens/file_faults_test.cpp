// The lobby's game folder failing under it: a profile saved onto a full disk (a small tmpfs
// mounted over the folder) and a folder mounted read-only. The sign-in then stops with "Error
// saving Profile" and the profile file stays as it was, with nothing left beside it.
//
// The test runs in a mount namespace of its own, so its mounts go with it. Exit 77 (skipped)
// where one cannot be made or a tmpfs cannot be mounted (not root, or a sandbox forbids it).
#include <sched.h>
#include <sys/mount.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cstdio>

#include "lobby/data/profile_lists.h"
#include "lobby/ui/login_dialog.h"
#include "lobby/ui/login_window.h"
#include "tests/support/game_folder.h"
#include "tests/support/lobby_road.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/server_process.h"

namespace {

const QString kSaveError = zrt::ProfileErrorText(zrt::ProfileResult::SaveFailed);

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Copies a folder, links as links (the game folder links the game program).
void CopyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& e :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
        const QString target = to + "/" + e.fileName();
        if (e.isSymLink())
            QFile::link(e.symLinkTarget(), target);
        else if (e.isDir())
            CopyTree(e.filePath(), target);
        else
            QFile::copy(e.filePath(), target);
    }
}

// Fills the file system of `dir` with one file until nothing more fits.
void FillUp(const QString& dir) {
    QFile filler(dir + "/filler.bin");
    if (!filler.open(QIODevice::WriteOnly)) return;
    const QByteArray block(4096, '\0');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
}

}  // namespace

class FileFaultsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<zrttest::ServerProcess> server_;
    std::unique_ptr<TestGameFolder> folder_;
    QString password_;

    QString profile() const { return folder_->gameDir() + "/ALICE.PRF"; }

    // ALICE signs in once: the messages the sign-in raised, the dialog cancelled after the
    // first one.
    QStringList signIn() {
        ModalWatcher errors;
        zrt::LoginWindow* login = StartLobby(folder_->gameDir());
        if (!login) return QStringList{"start-up stopped"} + errors.messages;
        bool typed = false;
        QTimer drive;
        connect(&drive, &QTimer::timeout, [&] {
            auto* d = qobject_cast<zrt::LoginDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            if (!typed) {
                typed = true;
                d->passwordEdit()->setText(password_);
                d->okButton()->click();
            } else if (!errors.messages.isEmpty()) {
                d->reject();
            }
        });
        drive.start(50);
        login->ContinueLogin();
        login->close();
        return errors.messages;
    }

  private slots:
    void init() {
        server_ = std::make_unique<zrttest::ServerProcess>("127.0.41.1");
        QVERIFY(server_->start());
        folder_ = std::make_unique<TestGameFolder>();
        folder_->writeServerTxt(QByteArray::fromStdString(server_->address()) + "\r\n");
        folder_->useEnvironment();
        password_ = CreateLobbyAccount(*server_, folder_->gameDir(), "ALICE");
        QVERIFY(!password_.isEmpty());
    }
    void cleanup() {
        ::umount2(folder_->gameDir().toLocal8Bit().constData(), MNT_DETACH);
        server_.reset();
        folder_.reset();
    }

    void fullDiskKeepsTheOldProfile() {
        // The folder moves onto a small tmpfs, which is then filled up.
        QTemporaryDir stash;
        const QString game = folder_->gameDir();
        CopyTree(game, stash.path());
        QVERIFY(::mount("tmpfs", game.toLocal8Bit().constData(), "tmpfs", 0, "size=8m") == 0);
        CopyTree(stash.path(), game);
        const QByteArray before = ReadAll(profile());
        QVERIFY(!before.isEmpty());
        FillUp(game);
        const QStringList files = QDir(game).entryList(QDir::Files);

        QCOMPARE(signIn(), QStringList{kSaveError});
        QCOMPARE(ReadAll(profile()), before);
        QCOMPARE(QDir(game).entryList(QDir::Files), files);
    }

    void readOnlyFolderKeepsTheProfile() {
        const QByteArray game = folder_->gameDir().toLocal8Bit();
        const QByteArray before = ReadAll(profile());
        QVERIFY(::mount(game.constData(), game.constData(), nullptr, MS_BIND, nullptr) == 0);
        QVERIFY(::mount(nullptr, game.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                        nullptr) == 0);
        QCOMPARE(signIn(), QStringList{kSaveError});
        QCOMPARE(ReadAll(profile()), before);
    }
};

int main(int argc, char** argv) {
    // Before any thread exists: a private mount namespace, and a tmpfs may be mounted in it.
    QTemporaryDir probe;
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", probe.path().toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0) {
        std::puts("SKIP: no private mount namespace with a tmpfs here (needs root)");
        return 77;
    }
    ::umount2(probe.path().toLocal8Bit().constData(), MNT_DETACH);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    FileFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "file_faults_test.moc"
