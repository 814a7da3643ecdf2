// The banner pane offscreen: a banner whose first delay is 0 drawn once and left still while
// the refresh runs, an animated one stepping with the delays of its file, the banner centred
// between black margins, the hand cursor and the click over the banner only, and new banners
// from a real zrtserver's records (one longer than 65535 bytes, kept whole) replacing the old
// one and its click-through shortcut.
#include "lobby/app/gif_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtTest>
#include <filesystem>

#include "gif_fixtures.h"
#include "lobby/banner/banner_fetch.h"
#include "lobby/data/process_state.h"
#include "lobby/data/url_shortcut.h"
#include "lobby/ui/lobby_context.h"
#include "tests/support/game_folder.h"
#include "tests/support/screenshot.h"
#include "tests/support/scripted_peer.h"
#include "tests/support/server_process.h"
#include "tests/support/url_recorder.h"

using namespace zrt_test;

namespace {

// A looping 468 x 60 banner of full-size frames with these delays.
std::vector<uint8_t> banner(const std::vector<int>& delays) {
    GifMovie m = AnimatedBanner(static_cast<int>(delays.size()));
    for (size_t k = 0; k < delays.size(); ++k) m.images[k].delay = delays[k];
    return EncodeGif(m);
}

// The banner with a comment of about `bytes` bytes before its image.
std::vector<uint8_t> withComment(std::vector<uint8_t> gif, size_t bytes) {
    const size_t at = 13 + ((gif[10] & 0x80) ? 3 * (size_t(2) << (gif[10] & 7)) : 0);
    std::vector<uint8_t> comment = {0x21, 0xFE};
    for (size_t n = 0; n < bytes; n += 255) {
        comment.push_back(255);
        comment.insert(comment.end(), 255, 'c');
    }
    comment.push_back(0);
    gif.insert(gif.begin() + long(at), comment.begin(), comment.end());
    return gif;
}

QImage picture(const RefFrame& frame) {
    return QImage(frame.pixels.data(), 468, 60, 468 * 3, QImage::Format_RGB888)
        .convertToFormat(QImage::Format_RGB32);
}

struct Pane {
    zrt::LobbyContext ctx;
    std::unique_ptr<zrt::GifView> view;

    Pane(const QString& gameDir, const std::vector<uint8_t>& bytes, int height = 60) {
        zrt::Process().banner.assign(bytes.begin(), bytes.end());
        ctx.gameDir = gameDir;
        view = std::make_unique<zrt::GifView>(ctx, nullptr);
        view->resize(zrt::GifView::kWidth, height);
        view->show();
        view->StartBanner();
    }
    QImage shown() const { return view->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // What is drawn in the banner's place.
    QImage banner() const { return shown().copy(view->bannerOffset(), 0, 468, 60); }
    Qt::CursorShape moveTo(int x) {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, 30), view->mapToGlobal(QPointF(x, 30)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.get(), &e);
        return view->cursor().shape();
    }
    void click(int x) { QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(x, 30)); }
};

}  // namespace

class GifViewTest : public QObject {
    Q_OBJECT
    TestGameFolder folder_;

    std::filesystem::path shortcut() const {
        return std::filesystem::path(folder_.gameDir().toStdString()) / "LobbyRes" / "tempURL.url";
    }

  private slots:
    void firstDelayZeroIsDrawnOnceBetweenBlackMargins() {
        const std::vector<uint8_t> gif = banner({0, 20, 20});
        const auto ref = GiflibFrames(gif);
        QVERIFY(ref);
        Pane p(folder_.gameDir(), gif, 70);
        QVERIFY(!p.view->animating());
        QVERIFY(p.view->refreshScheduled());
        QCOMPARE(p.view->bannerOffset(), (590 - 468) / 2);
        QCOMPARE(p.banner(), picture((*ref)[0]));
        const QImage all = p.shown();
        for (QPoint margin : {QPoint(0, 0), QPoint(60, 59), QPoint(529, 0), QPoint(589, 59),
                              QPoint(300, 60), QPoint(0, 69)})
            QCOMPARE(all.pixelColor(margin), QColor(Qt::black));
        screenshot(*p.view, "gif_view_still");
    }

    void animationStepsWithTheDelaysOfItsFile() {
        const std::vector<uint8_t> gif = banner({7, 12, 3});
        const auto ref = GiflibFrames(gif);
        QVERIFY(ref);
        Pane p(folder_.gameDir(), gif);
        QVERIFY(p.view->animating());
        QCOMPARE(p.view->animationInterval(), 70);
        // Each step draws the frame composed before and arms the timer with its delay.
        const int intervals[] = {120, 120, 30, 70};
        for (int k = 1; k <= 4; ++k) {
            p.view->AnimationStep();
            QCOMPARE(p.view->animationInterval(), intervals[k - 1]);
            QCOMPARE(p.banner(), picture((*ref)[size_t(k) % 3]));
        }
        screenshot(*p.view, "gif_view_animated");
        // Left to its timer, the banner moves on by itself.
        const QImage now = p.banner();
        QTRY_VERIFY_WITH_TIMEOUT(p.banner() != now, 5000);
    }

    void handAndClickOnlyAboveTheBanner() {
        Pane p(folder_.gameDir(), banner({0}));
        UrlRecorder recorder;
        QVERIFY(zrt::WriteUrlShortcut("https://ads.example/page", shortcut()));
        const int left = p.view->bannerOffset();
        QCOMPARE(p.moveTo(left), Qt::ArrowCursor);
        QCOMPARE(p.moveTo(left + 1), Qt::PointingHandCursor);
        QCOMPARE(p.moveTo(left + 467), Qt::PointingHandCursor);
        QCOMPARE(p.moveTo(left + 468), Qt::ArrowCursor);
        p.click(left);
        p.click(10);
        QVERIFY(recorder.opened.isEmpty());
        p.click(left + 1);
        QCOMPARE(recorder.opened, QList<QUrl>({QUrl("https://ads.example/page")}));
        // The address came from a server: anything but a web address is not opened.
        QVERIFY(zrt::WriteUrlShortcut("file:///etc/passwd", shortcut()));
        p.click(left + 100);
        QCOMPARE(recorder.opened.size(), 1);
    }

    void refreshReplacesTheBannerAndItsShortcut() {
        // Longer than a 16-bit count: kept whole, so its image comes after the comment.
        const std::vector<uint8_t> still = withComment(banner({0}), 70000);
        QVERIFY(still.size() > 65535 && still.size() < zrt::kBannerBufferSize);
        const auto ref = GiflibFrames(still);
        ScriptedPeer web("127.0.14.2");
        web.on("/still.gif", {HttpAnswer(200, std::string(still.begin(), still.end()))});
        web.on("/empty.gif", {HttpAnswer(200, "")});
        zrttest::ServerProcess server("127.0.14.1");
        QVERIFY(server.addBanner(web.url("/still.gif"), "http://ads.example/one"));
        QVERIFY(server.addBanner(web.url("/empty.gif"), "http://ads.example/two"));
        QVERIFY(server.start());
        zrt::Process().serverAddress = "127.0.14.1";
        Pane p(folder_.gameDir(), banner({7, 12, 3}));

        p.view->RefreshBanner();
        QTRY_VERIFY_WITH_TIMEOUT(!p.view->animating(), 10000);
        QCOMPARE(p.banner(), picture((*ref)[0]));
        QCOMPARE(zrt::ReadShortcutUrl(shortcut()),
                 std::optional<std::string>("http://ads.example/one"));
        QVERIFY(p.view->refreshScheduled());

        // An empty body leaves no image, and the refresh goes on.
        p.view->RefreshBanner();
        QTRY_VERIFY_WITH_TIMEOUT(!p.view->animation().image(), 10000);
        QCOMPARE(zrt::ReadShortcutUrl(shortcut()),
                 std::optional<std::string>("http://ads.example/two"));
        QVERIFY(zrt::Process().banner.empty());
        QVERIFY(p.view->refreshScheduled());
    }
};

QTEST_MAIN(GifViewTest)
#include "gif_view_test.moc"
