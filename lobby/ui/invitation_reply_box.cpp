// InvitationReplyBox: the answering player's name in yellow on black, the answer below.
#include "lobby/ui/invitation_reply_box.h"

#include <QLabel>
#include <QPushButton>

#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

InvitationReplyBox::InvitationReplyBox(QWidget* owner, const QString& playerName, bool accepted)
    : QDialog(owner) {
    setWindowTitle("Response from Invited Player");
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    const DialogUnits du(font());
    setFixedSize(du.size(186, 95));

    name_ = ValueField(this, du.rect(57, 17, 70, 12), kPaintedTextYellow);
    name_->setText(playerName);
    name_->setAlignment(Qt::AlignCenter);

    answer_ = new QLabel(accepted ? kInviteAcceptedText : kInviteDeclinedText, this);
    answer_->setGeometry(du.rect(7, 45, 172, 13));
    answer_->setAlignment(Qt::AlignCenter);

    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(du.rect(67, 74, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void InvitationReplyBox::Show(QWidget* owner, const QString& playerName, bool accepted) {
    InvitationReplyBox box(owner, playerName, accepted);
    box.exec();
}

}  // namespace zrt
