// GroupInfoDialog: the user's own group, modeless and at most one (the lobby frame holds it):
// members with their figures, ping, the whisper to the whole group with its chat list, Quit
// Group, and Launch for the host of a complete group.
#pragma once

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <vector>

#include "lobby/session/hall_state.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zrt {

struct LobbyContext;
class PortraitView;
class TwoColumnListBox;

class GroupInfoDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kMaxWhisperChars = 100;

    // Made from what HallState::openGroupDialog() returned; `lobbyView` receives the launch.
    GroupInfoDialog(LobbyContext& ctx, const GroupDialogData& data, QObject* lobbyView,
                    QWidget* owner);

    // The session's news about the own group while the dialog is open.
    void memberJoined(uint32_t playerId);
    void memberLeft(uint32_t playerId);
    // The own group ended (the user left or it was removed): the session has already forgotten
    // the dialog; it closes.
    void closeFromSession();

    // A ping this dialog asked for ended; the tag is the member's player id.
    void PingResult(uint32_t tag, bool ok, double seconds);
    int pingsPending() const { return pingsPending_; }

    // Enter in the dialog: the whisper edit's text to every member held.
    void sendGroupWhisper();

    // The target of the group's chat lines.
    TwoColumnListBox& chatList() const { return *chatList_; }
    const std::vector<uint32_t>& members() const { return members_; }
    QListWidget* memberList() const { return memberList_; }
    QLineEdit* whisperEdit() const { return whisperEdit_; }
    QLabel* whisperLabel() const { return whisperLabel_; }
    QPushButton* launchButton() const { return launch_; }
    QPushButton* pingButton() const { return ping_; }
    QPushButton* quitButton() const { return quit_; }
    QLabel* detailName() const { return details_[0]; }
    QLabel* lastPingField() const { return details_[7]; }
    QLabel* playGameField() const { return playGame_; }

    // Launch (OK) posts the launch to the lobby view; Launch, Close and the close box make the
    // session forget the dialog, cancel its pings and destroy it.
    void done(int result) override;

  signals:
    void pingRequested(const QString& address, uint32_t tag);
    void pingCancelled();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildGroupFields(const GroupDialogData& data);
    void buildMemberDetails();
    void buildWhisperArea();
    void selectionChanged();
    void showDetails(uint32_t playerId);
    void clearDetails();
    uint32_t selectedMember() const;
    void updateLaunch(bool mayDisable);
    void pingClicked();
    void quitClicked();

    LobbyContext& ctx_;
    QPointer<QObject> lobbyView_;
    std::vector<uint32_t> members_;  // at most seven, members_[0] the host
    int pingsPending_ = 0;
    bool finished_ = false;
    bool closedBySession_ = false;

    QLabel* playGame_ = nullptr;
    QListWidget* memberList_ = nullptr;
    PortraitView* portrait_ = nullptr;
    QLabel* details_[8] = {};
    QPushButton* ping_ = nullptr;
    QLabel* whisperLabel_ = nullptr;
    QLineEdit* whisperEdit_ = nullptr;
    TwoColumnListBox* chatList_ = nullptr;
    QPushButton* quit_ = nullptr;
    QPushButton* launch_ = nullptr;
};

}  // namespace zrt
