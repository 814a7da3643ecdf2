// InvitationDialog: an invitation into another player's group, with the inviter's figures.
// Accept or Decline answers the inviter; an acceptance then joins the group.
#pragma once

#include <QDialog>
#include <cstdint>

#include "lobby/session/group_actions.h"

class QLabel;

namespace zrt {

struct LobbyContext;

class InvitationDialog : public QDialog {
    Q_OBJECT
  public:
    InvitationDialog(QWidget* owner, LobbyContext& ctx, const InvitationDetails& details,
                     uint32_t groupId);

    // Accept (OK), Decline (Cancel) and the close box answer the inviter once; an acceptance
    // joins the group (asking for a saved game when the group continues one).
    void done(int result) override;
    // What the answer led to (Cancelled for a decline).
    GroupResult replyResult() const { return result_; }

    QLabel* nameField() const { return name_; }
    QLabel* groupNumberField() const { return groupNumber_; }
    QLabel* groupTitleField() const { return groupTitle_; }

    // The WM_LOBBY_INVITATION handler: shows the dialog when the inviter is still in the hall
    // and the group exists, then reports a failed join in the error box.
    static void Run(QWidget* owner, LobbyContext& ctx, uint32_t inviterId, uint32_t groupId);

  private:
    LobbyContext& ctx_;
    uint32_t inviterId_;
    uint32_t groupId_;
    bool answered_ = false;
    GroupResult result_ = GroupResult::Cancelled;
    QLabel* name_;
    QLabel* groupNumber_;
    QLabel* groupTitle_;
};

}  // namespace zrt
