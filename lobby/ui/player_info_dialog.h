// PlayerInfoDialog: a modeless card of one player of the hall (figures, last ping) with Ping,
// Invite, Whisper and the Block box. Any number can be open; each deletes itself when closed.
// Also the white-on-black value field that the player and group dialogs share.
#pragma once

#include <QDialog>
#include <cstdint>

#include "lobby/session/player_table.h"
#include "lobby/ui/whisper_dialog.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace zrt {

struct LobbyContext;
class PortraitView;

// The last-ping text: "%.2f sec" for 0 or more seconds, "Unknown" otherwise.
QString PingText(double seconds);

// Shown once in the ping field when the probe port is held by another lobby on this machine.
inline constexpr const char* kPingPortBusy = "Port 9394 busy: no ping";
inline constexpr const char* kWaitingResponse = "Waiting Response...";

class PlayerInfoDialog : public QDialog {
    Q_OBJECT
  public:
    // Made from a copy of the player's entry; owned by `owner` (the lobby frame).
    PlayerInfoDialog(LobbyContext& ctx, const PlayerEntry& player, QWidget* owner);

    // The ping this dialog asked for ended (tag 0): `ok` with the measured seconds, or
    // abandoned. The frame calls this when the ping socket reports.
    void PingResult(uint32_t tag, bool ok, double seconds);
    bool pingPending() const { return pingPending_; }
    uint32_t playerId() const { return player_.id; }

    // Where the user's own whispers from this card are echoed.
    void setWhisperEcho(WhisperEcho echo) { whisperEcho_ = std::move(echo); }

    QPushButton* pingButton() const { return ping_; }
    QPushButton* inviteButton() const { return invite_; }
    QPushButton* whisperButton() const { return whisper_; }
    QCheckBox* blockBox() const { return block_; }
    QLabel* lastPingField() const { return lastPing_; }
    QLabel* nameField() const { return name_; }

    // OK, Cancel and the close box: the Block box goes into the BlockList, a pending ping is
    // cancelled, and the dialog goes away.
    void done(int result) override;

  signals:
    // Ask the ping socket to probe `address` for this dialog with `tag`, or to forget this
    // dialog's pending probe.
    void pingRequested(const QString& address, uint32_t tag);
    void pingCancelled();

  private:
    void pingClicked();
    void inviteClicked();
    void whisperClicked();

    LobbyContext& ctx_;
    PlayerEntry player_;  // the copy taken when the dialog was made
    bool pingPending_ = false;
    bool finished_ = false;
    WhisperEcho whisperEcho_;

    QLabel* name_;
    QLabel* lastPing_;
    PortraitView* portrait_;
    QPushButton* ping_;
    QPushButton* invite_;
    QPushButton* whisper_;
    QCheckBox* block_;
};

}  // namespace zrt
