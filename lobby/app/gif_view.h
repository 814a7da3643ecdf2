// GifView: the banner pane of the lobby screen, above the groups. It shows the current banner
// (the process-wide one, fetched at start-up and replaced by each refresh) centred, with black
// margins, animates it with the delays of the file, asks the database server for a new banner
// every two minutes, and opens the advertiser's page (LobbyRes/tempURL.url) on a click on the
// banner. The hand cursor shows above the banner's columns only.
#pragma once

#include <QBasicTimer>
#include <QWidget>
#include <vector>

#include "lobby/banner/banner_animation.h"
#include "lobby/banner/banner_refresh.h"

namespace zrt {

struct LobbyContext;

class GifView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 590;
    // The banner pane takes at most half of the upper row, so the groups pane keeps room.
    static constexpr int kMaxHeight = 195;
    static constexpr int kRefreshMs = 120000;
    // The shortest animation step: later frames with a delay of 0 step this fast.
    static constexpr int kMinStepMs = 10;

    // The pane's height for a banner: the height of its first image, at most kMaxHeight; 0
    // when the banner has no image (the lobby screen then has no banner pane).
    static int PaneHeight(const std::vector<unsigned char>& banner);

    GifView(LobbyContext& ctx, QWidget* parent);
    // Cancels a running refresh and waits for its worker.
    ~GifView() override;

    // Shows the current banner from its first frame: starts the animation when the first
    // frame has a delay, and the two-minute refresh in any case.
    void StartBanner();
    // The animation timer: draws the composed image, re-arms with the current delay and
    // composes the next frame.
    void AnimationStep();
    // The refresh timer: asks for a new banner, cancelling a refresh that still runs.
    void RefreshBanner();

    const BannerAnimation& animation() const { return animation_; }
    bool animating() const { return animationTimer_.isActive(); }
    int animationInterval() const { return animationMs_; }
    bool refreshScheduled() const { return refreshTimer_.isActive(); }
    // Where the banner's left edge is drawn: centred in the pane.
    int bannerOffset() const;

  protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void takeNewBanner(std::vector<unsigned char> bytes, const std::string& clickUrl);
    void startAnimationTimer(int delay);
    bool overBanner(int x) const;

    LobbyContext& ctx_;
    BannerAnimation animation_;
    QBasicTimer animationTimer_;
    QBasicTimer refreshTimer_;
    int animationMs_ = 0;
    BannerRefresh refresh_;  // declared last: cancelled before anything else goes
};

}  // namespace zrt
