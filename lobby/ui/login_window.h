// The login screen: the local profiles that carry a lobby account, and the New, Continue and
// Quit buttons. A successful sign-in sets `proceed`; the next close request then hands over to
// the hall selection screen.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>

#include "lobby/ui/hot_spot_button.h"
#include "lobby/ui/text_choice_list.h"

namespace zrt {

class LoginWindow : public QWidget {
    Q_OBJECT
  public:
    // The buttons in the order the mouse tests them.
    enum Button { New = 0, Continue = 1, Quit = 2 };

    explicit LoginWindow(const QString& gameDir, QWidget* parent = nullptr);

    // What closing after a sign-in does: prepares the session layer and opens the next screen.
    // False keeps the login window open (its message has been shown); `proceed` stays set.
    using HandOver = std::function<bool(LoginWindow&)>;
    void setHandOver(HandOver handOver) { handOver_ = std::move(handOver); }

    void NewPlayer();
    void ContinueLogin();
    void QuitLobby();
    // Fills the profile list again from the registered profiles.
    void rebuildProfileList();

    const TextChoiceList& profileList() const { return profileList_; }
    TextChoiceList& profileList() { return profileList_; }
    const HotSpotButton& button(Button b) const { return buttons_[b]; }
    int hotButton() const { return tracker_.hotButton(); }
    bool proceed() const { return proceed_; }
    const QString& gameDir() const { return gameDir_; }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    std::array<const HotSpotButton*, 3> buttonList() const;
    void runButton(int index);
    void clearCursor();

    QString gameDir_;
    TextChoiceList profileList_;
    std::array<HotSpotButton, 3> buttons_;
    HotSpotTracker tracker_;
    bool proceed_ = false;
    HandOver handOver_;
};

}  // namespace zrt
