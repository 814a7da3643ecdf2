// LobbyView: the groups pane of the lobby screen. A scrolled, painted document 500 wide with
// the tool row (Create, Launch, My Group, About) and one row per group of the hall: its
// button (Join or Quit), its line, its empty places and its members. Clicks start the group
// operations; member cells and My Group are handed to the frame through hooks.
#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <optional>

#include "lobby/app/lobby_view_hit.h"
#include "lobby/session/group_actions.h"

namespace zrt {

struct LobbyContext;
struct LobbyPaintState;

class LobbyView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    LobbyView(LobbyContext& ctx, QWidget* parent);

    // Entering a hall: no hot spot, no remembered mouse position, the height for the groups.
    void Init();
    // WM_GROUPS_REFRESH: the group table changed (recompute the scroll height) or only its
    // contents; repaint and hit-test the last mouse position again.
    void refreshGroups(bool tableChanged);

    // A member cell was clicked: the frame opens a PlayerInfoDialog for the player.
    void setOpenPlayerInfo(std::function<void(uint32_t playerId)> hook) {
        openPlayerInfo_ = std::move(hook);
    }
    // My Group was clicked: the frame shows the own group's dialog.
    void setShowOwnGroup(std::function<void()> hook) { showOwnGroup_ = std::move(hook); }
    // WM_GROUP_LAUNCH arrived (from Launch here or in the group dialog): the frame launches the
    // own group's game with the member count.
    void setLaunchGroup(std::function<void(size_t memberCount)> hook) {
        launchGroup_ = std::move(hook);
    }

    int scrollHeight() const { return scrollHeight_; }
    const LobbyHit& hot() const { return hot_; }
    // Viewport pixels to document coordinates and back.
    QPoint toDocument(QPoint viewportPos) const;
    QPoint toViewport(QPoint documentPos) const;
    // The whole document painted as it would show (for checks and screenshots).
    QImage renderDocument() const;

  protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    LobbyPaintState paintState() const;
    LobbyHit hitTest(QPoint doc) const;
    void updateScrollBars();
    // Makes `hit` the hot spot: repaints what changed and sets the cursor.
    void setHot(const LobbyHit& hit);
    void forgetMouse();

    // The actions (lobby_view_actions.cpp).
    void click(const LobbyHit& hit);
    void createGroup();
    void joinGroup(size_t tablePosition);
    void quitGroup();
    void launchGroup();
    void groupLaunched(size_t memberCount);
    void showResult(GroupResult result);

    LobbyContext& ctx_;
    LobbyButtonSizes sizes_;
    int scrollHeight_ = 550;
    LobbyHit hot_;
    std::optional<QPoint> lastMouse_;  // document coordinates
    std::function<void(uint32_t)> openPlayerInfo_;
    std::function<void()> showOwnGroup_;
    std::function<void(size_t)> launchGroup_;
};

}  // namespace zrt
