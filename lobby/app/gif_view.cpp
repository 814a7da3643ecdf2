// The banner pane.
#include "lobby/app/gif_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <filesystem>

#include "lobby/banner/gif_decoder.h"
#include "lobby/data/process_state.h"
#include "lobby/data/url_shortcut.h"
#include "lobby/platform/app_events.h"
#include "lobby/platform/open_shortcut.h"
#include "lobby/ui/hot_spot_button.h"
#include "lobby/ui/lobby_context.h"

namespace zrt {
namespace {

std::filesystem::path clickShortcut(const LobbyContext& ctx) {
    return std::filesystem::path(ctx.gameDir.toStdString()) / "LobbyRes" / "tempURL.url";
}

}  // namespace

int GifView::PaneHeight(const std::vector<unsigned char>& banner) {
    std::optional<GifImageSize> size = GifSize(banner.data(), banner.size());
    if (!size || size->height <= 0) return 0;
    return std::min(size->height, kMaxHeight);
}

GifView::GifView(LobbyContext& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx), refresh_([this](NewBanner banner) {
          // On the refresh worker: the bytes travel with the event, so the pane never reads
          // a buffer that a later refresh may be writing.
          auto* ev = new AppEvent(WM_BANNER_READY);
          ev->data = std::move(banner.bytes);
          ev->text = std::move(banner.clickUrl);
          PostAppEvent(this, ev);
      }) {
    setMouseTracking(true);
}

GifView::~GifView() {
    refresh_.Cancel();
}

void GifView::StartBanner() {
    animationTimer_.stop();
    const std::vector<unsigned char>& banner = Process().banner;
    animation_.Start(banner.data(), banner.size());
    if (animation_.currentDelay() > 0) {
        startAnimationTimer(animation_.currentDelay());
        animation_.AdvanceDelay();
    }
    refreshTimer_.start(kRefreshMs, this);
}

void GifView::AnimationStep() {
    animationTimer_.stop();
    repaint();
    startAnimationTimer(animation_.currentDelay());
    animation_.AdvanceDelay();
    animation_.Compose();
}

void GifView::RefreshBanner() {
    refresh_.Start(Process().serverAddress);
}

void GifView::startAnimationTimer(int delay) {
    animationMs_ = std::max(kMinStepMs, delay * 10);
    animationTimer_.start(animationMs_, this);
}

void GifView::takeNewBanner(std::vector<unsigned char> bytes, const std::string& clickUrl) {
    WriteUrlShortcut(clickUrl, clickShortcut(ctx_));
    animation_.Clear();
    Process().banner = std::move(bytes);
    animationTimer_.stop();
    refreshTimer_.stop();
    StartBanner();
    update();
}

bool GifView::event(QEvent* e) {
    if (AppEvent::is(e, WM_BANNER_READY)) {
        auto* ev = static_cast<AppEvent*>(e);
        takeNewBanner(std::move(ev->data), ev->text);
        return true;
    }
    return QWidget::event(e);
}

void GifView::timerEvent(QTimerEvent* e) {
    if (e->timerId() == animationTimer_.timerId())
        AnimationStep();
    else if (e->timerId() == refreshTimer_.timerId())
        RefreshBanner();
    else
        QWidget::timerEvent(e);
}

int GifView::bannerOffset() const {
    const std::optional<BannerImage>& image = animation_.image();
    return image ? (width() - image->width) / 2 : 0;
}

void GifView::paintEvent(QPaintEvent*) {
    const std::optional<BannerImage>& image = animation_.image();
    if (!image) return;
    const int x = bannerOffset();
    QPainter p(this);
    p.fillRect(QRect(0, 0, x, height()), Qt::black);
    p.fillRect(QRect(x + image->width, 0, width() - x - image->width, height()), Qt::black);
    p.fillRect(QRect(0, image->height, width(), height() - image->height), Qt::black);
    const QImage picture(image->pixels.data(), image->width, image->height,
                         static_cast<qsizetype>(image->stride), QImage::Format_BGR888);
    p.drawImage(x, 0, picture);
}

bool GifView::overBanner(int x) const {
    const std::optional<BannerImage>& image = animation_.image();
    const int offset = bannerOffset();
    return image && x > offset && x < offset + image->width;
}

void GifView::mouseMoveEvent(QMouseEvent* e) {
    SetHandCursor(this, overBanner(e->position().toPoint().x()));
}

void GifView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && overBanner(e->position().toPoint().x()))
        OpenShortcut(clickShortcut(ctx_));
}

}  // namespace zrt
