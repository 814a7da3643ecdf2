// The launcher dialog shown offscreen in a game folder of its own: its layout in dialog units,
// its pictures, and what each button does with real processes and a real shortcut file.
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <chrono>
#include <filesystem>
#include <thread>

#include "lobby/data/url_shortcut.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"
#include "startpad/launcher_dialog.h"
#include "startpad/launcher_resources.h"
#include "startpad/picture_button.h"
#include "tests/support/screenshot.h"

using namespace zrt;
namespace fs = std::filesystem;

namespace {

constexpr const char* kHome = "https://zerathon.example.org/news";

// The process running `exe` with `cwd` as its working directory, 0 when none (yet).
int FindProcess(const fs::path& exe, const fs::path& cwd) {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator("/proc", ec)) {
        const std::string pid = e.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code ignored;
        if (fs::read_symlink(e.path() / "exe", ignored) == exe &&
            fs::read_symlink(e.path() / "cwd", ignored) == cwd)
            return std::stoi(pid);
    }
    return 0;
}

// True while process `pid` runs (an ended process that nobody reaped yet does not count).
bool Running(int pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && close + 2 < text.size() && text[close + 2] != 'Z';
}

}  // namespace

class StartpadTest : public QObject {
    Q_OBJECT
  public slots:
    void openUrl(const QUrl& url) { opened_ << url; }

  private slots:
    void init() {
        QVERIFY(folder_.isValid());
        QVERIFY(QDir::setCurrent(folder_.path()));
        QVERIFY(WriteUrlShortcut(kHome, folder_.filePath("zrthome.url").toStdString()));
        opened_.clear();
    }

    void layoutPicturesAndScreenshot() {
        LauncherDialog dialog;
        const DialogUnits du(MsSansSerifFont(8));
        QCOMPARE(dialog.windowTitle(), QString("Zerathon Installation Program"));
        QCOMPARE(dialog.size(), du.size(292, 364));
        QVERIFY(!dialog.windowIcon().pixmap(32).isNull());
        QCOMPARE(dialog.findChild<QWidget*>("picture")->geometry(), du.rect(7, 7, 278, 350));

        struct Expected {
            const char* name;
            QRect units;
            int bitmap;
            QSize size;
            int bits;
        };
        const Expected buttons[] = {
            {"quit", {17, 266, 257, 36}, kQuitBitmap, {31, 13}, 1},
            {"training", {17, 154, 257, 34}, kTrainingBitmap, {60, 13}, 1},
            {"multiplayer", {17, 191, 257, 34}, kMultiplayerBitmap, {366, 13}, 8},
            {"website", {17, 228, 257, 33}, kWebSiteBitmap, {192, 13}, 1},
        };
        QWidget* previous = nullptr;
        for (const Expected& e : buttons) {
            auto* button = dialog.findChild<PictureButton*>(e.name);
            QVERIFY2(button, e.name);
            QCOMPARE(button->geometry(),
                     du.rect(e.units.x(), e.units.y(), e.units.width(), e.units.height()));
            const CachedBitmap bitmap = LoadLauncherBitmap(e.bitmap);
            QCOMPARE(bitmap.image().size(), e.size);
            QCOMPARE(bitmap.fileBitsPerPixel(), e.bits);
            QCOMPARE(button->picture(), bitmap.image());
            // Template order is the keyboard order.
            if (previous) QCOMPARE(previous->nextInFocusChain(), button);
            previous = button;
        }
        const CachedBitmap background = LoadLauncherBitmap(kBackgroundBitmap);
        QCOMPARE(background.image().size(), QSize(406, 561));
        QCOMPARE(background.fileBitsPerPixel(), 8);

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        screenshot(dialog, "startpad");
        // The buttons lie over the picture, each showing its label in its middle.
        const QImage shot = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
        auto* training = dialog.findChild<PictureButton*>("training");
        const QRect label(training->geometry().center() - QPoint(29, 5), QSize(58, 10));
        int gold = 0;
        for (int y = label.top(); y <= label.bottom(); ++y)
            for (int x = label.left(); x <= label.right(); ++x)
                if (qRed(shot.pixel(x, y)) > 200 && qBlue(shot.pixel(x, y)) < 120) ++gold;
        QVERIFY2(gold > 40, "the TRAINING label is not visible on its button");
    }

    void webSiteButtonOpensThePageEachTimeAndStaysOpen() {
        QDesktopServices::setUrlHandler("https", this, "openUrl");
        LauncherDialog dialog;
        dialog.show();
        auto* website = dialog.findChild<PictureButton*>("website");
        QTest::mouseClick(website, Qt::LeftButton);
        QTest::mouseClick(website, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(opened_, (QList<QUrl>{QUrl(kHome), QUrl(kHome)}));
        QVERIFY(dialog.isVisible());
    }

    void multiplayerWithoutTheLobbyStillCloses() {
        QVERIFY(!QFile::exists("zrtlobby"));
        LauncherDialog dialog;
        dialog.show();
        QTest::mouseClick(dialog.findChild<PictureButton*>("multiplayer"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void quitCloses() {
        LauncherDialog dialog;
        dialog.show();
        QTest::mouseClick(dialog.findChild<PictureButton*>("quit"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void trainingStartsTheGameInTheGameFolder() {
        const fs::path game = fs::canonical(fs::path(ZRT_BIN_DIR) / "zrtgame");
        QVERIFY(QFile::link(QString::fromStdString(game.string()), "zrtgame"));
        LauncherDialog dialog;
        dialog.show();
        QTest::mouseClick(dialog.findChild<PictureButton*>("training"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());

        // The training match runs for more than a second; look for it meanwhile.
        const fs::path cwd = fs::canonical(folder_.path().toStdString());
        int pid = 0;
        for (int i = 0; i < 2000 && !pid; ++i) {
            pid = FindProcess(game, cwd);
            if (!pid) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        QVERIFY2(pid, "no zrtgame ran in the game folder");
        QFile cmdline(QString("/proc/%1/cmdline").arg(pid));
        if (cmdline.open(QIODevice::ReadOnly))
            QCOMPARE(cmdline.readAll(), QByteArray("./zrtgame", 10));
        // It ends by itself.
        for (int i = 0; i < 300 && Running(pid); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        QVERIFY(!Running(pid));
    }

  private:
    QTemporaryDir folder_;
    QList<QUrl> opened_;
};

QTEST_MAIN(StartpadTest)
#include "startpad_test.moc"
