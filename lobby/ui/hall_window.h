// The hall selection screen: polls the lobby server for its halls, lists them with their
// player counts and a tool-tip telling each hall's kind, and joins the chosen one. Enter
// joins, Cancel goes back to the login screen.
//
// The window knows nothing of the screens around it: whoever creates it sets the two hooks
// that build the next screen (the lobby screen once a hall is joined, a new login window after
// Cancel). The creator shows the window, calls Start, and lets it delete itself on close
// (Qt::WA_DeleteOnClose) as with every main window.
#pragma once

#include <QRect>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "lobby/session/lobby_connection.h"
#include "lobby/ui/hot_spot_button.h"
#include "lobby/ui/text_choice_list.h"

namespace zrt {

class HallWindow : public QWidget {
    Q_OBJECT
  public:
    // Poll periods: every 2 s while searching, every 20 s once halls have been seen.
    static constexpr int kSearchPollMs = 2000;
    static constexpr int kHallsPollMs = 20000;
    static constexpr const char* kJoinFailureText = "Join Session Failure";

    explicit HallWindow(LobbyConnection& connection, QWidget* parent = nullptr);
    ~HallWindow() override;

    // The hooks the close runs: a hall was joined (build the lobby screen in it), or the user
    // pressed Cancel (build a new login window). MainWindowRect has been handed over already.
    void setEnterHall(std::function<void()> hook) { enterHallHook_ = std::move(hook); }
    void setBackToLogin(std::function<void()> hook) { loginHook_ = std::move(hook); }

    // Starts polling: the enumeration starts afresh now and the first halls are listed as
    // soon as the session layer has them; then a tick every 2 s.
    void Start();
    // One poll: takes over the halls the last enumeration found and enumerates again. The
    // timer calls it; ticks while a join runs do nothing.
    void PollTick();
    // Joins the selected hall; nothing while a join runs or when no hall is selected.
    void JoinSelectedHall();

    // Button places on the row y = 478, each as large as bsEnter.bmp.
    QRect enterRect() const;
    QRect cancelRect() const;
    // The list area (120,160)-(580,390).
    static QRect listRect() { return QRect(QPoint(120, 160), QPoint(579, 389)); }

    const std::vector<HallEntry>& shownHalls() const { return shown_; }
    const TextChoiceList& hallList() const { return hallList_; }
    bool joining() const { return connection_.joinRunning(); }
    bool joined() const { return joined_; }
    bool backToLogin() const { return backToLogin_; }
    int pollInterval() const { return timer_.interval(); }
    // The tool-tip text over a point of the window (empty where there is none), and how often
    // the tool-tips have been rebuilt.
    QString toolTipAt(QPoint pos) const;
    int toolTipBuilds() const { return tipBuilds_; }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Tip {
        QRect rect;
        QString text;
        friend bool operator==(const Tip&, const Tip&) = default;
    };

    void refreshShownList();
    void firstAnswer();
    void selectItemAt(QPoint pos);
    void joinFailed();
    void joinOpened();
    void postClose();

    LobbyConnection& connection_;
    TextChoiceList hallList_;
    HallList found_;
    std::vector<HallEntry> shown_;
    playnet::Guid selectedHall_;  // all zero: none
    HotSpotButton enter_, cancel_;
    HotSpotTracker hot_;
    std::vector<Tip> tips_;
    int tipBuilds_ = 0;
    QTimer timer_;
    bool joined_ = false;
    bool backToLogin_ = false;
    bool closed_ = false;  // the close rules ran once
    std::function<void()> enterHallHook_;
    std::function<void()> loginHook_;
};

}  // namespace zrt
