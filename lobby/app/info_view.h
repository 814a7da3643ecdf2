// InfoView: the left column of the lobby screen. The hall's name and player count, the
// user's own figures under his portrait, and four picture buttons: back to the halls, the
// ladder, the home page and quit.
#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "lobby/ui/hot_spot_button.h"

namespace zrt {

struct LobbyContext;

class InfoView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 110;
    static constexpr int kHeight = 390;
    enum Button { Halls, Ladder, HomePage, Quit, kButtonCount };

    static inline const char* const kToolTips[kButtonCount] = {
        "Click here to return to the Halls Page",
        "Click here to view the Zerathon Ladder",
        "Click here to launch the Zerathon home page",
        "Click here to close the Lobby",
    };
    static constexpr const char* kQuitQuestion = "Do you really want to quit now ?";

    // The buttons take their pictures from Pictures(), loaded at start-up.
    InfoView(LobbyContext& ctx, QWidget* parent = nullptr);

    // Set by the frame. backToHalls: the user wants the hall selection screen (set the return
    // flag and close). quitLobby: the user confirmed quitting (clear it and close). retitle:
    // called on every repaint so that the title follows the player count.
    std::function<void()> backToHalls;
    std::function<void()> quitLobby;
    std::function<void()> retitle;

    // A button's place, as large as its picture.
    QRect buttonRect(Button b) const { return buttons_[b].rect; }
    int hotButton() const { return tracker_.hotButton(); }
    // "%d / %d": the hall's player count (at least 1) and its maximum, as painted.
    QString playerCountText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void press(Button b);
    void openHomePage();
    void forgetHotButton();
    void paintHall(QPainter& p);
    void paintOwnFigures(QPainter& p);

    LobbyContext& ctx_;
    std::array<HotSpotButton, kButtonCount> buttons_;
    std::array<const HotSpotButton*, kButtonCount> order_{};
    HotSpotTracker tracker_;
};

}  // namespace zrt
