// WhisperDialog: OK sends the text (cut to 100 characters) and echoes it locally.
#include "lobby/ui/whisper_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "lobby/session/chat_send.h"
#include "lobby/session/lobby_session.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

WhisperDialog::WhisperDialog(QWidget* owner, LobbyContext& ctx, const QString& playerName,
                             uint32_t playerId, WhisperEcho echo)
    : QDialog(owner), ctx_(ctx), playerId_(playerId), echo_(std::move(echo)) {
    setWindowTitle("Whisper To Player");
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    const DialogUnits du(font());
    setFixedSize(du.size(196, 111));

    auto* first = new QLabel("Whisper to the following Player", this);
    first->adjustSize();
    first->move(du.x(49), du.y(14));
    auto* second = new QLabel("Enter Whisper Message :", this);
    second->adjustSize();
    second->move(du.x(58), du.y(51));

    name_ = ValueField(this, du.rect(41, 28, 113, 12), kPaintedTextYellow);
    name_->setText(playerName);
    name_->setAlignment(Qt::AlignCenter);

    edit_ = new QLineEdit(this);
    edit_->setGeometry(du.rect(13, 64, 169, 14));
    edit_->setMaxLength(kMaxChars);
    ApplyYellowOnBlack(edit_);

    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(du.rect(29, 90, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setGeometry(du.rect(116, 90, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    edit_->setFocus();
}

void WhisperDialog::accept() {
    const QString text = edit_->text().left(kMaxChars);
    if (!text.isEmpty() && ctx_.session != nullptr && ctx_.sender != nullptr) {
        const std::string bytes = text.toLatin1().toStdString();
        // Nothing goes out before the server player is known; then there is nothing to echo.
        if (SendWhispers(*ctx_.session, *ctx_.sender, bytes, {playerId_}) > 0 && echo_) {
            const uint32_t ownId = ctx_.session->ownPlayerId;
            std::string ownName = ctx_.session->hall.read()->ownProfile.name;
            if (auto own = ctx_.session->hall.player(ownId)) ownName = own->name;
            echo_(QString::fromLatin1(ownName), ownId, text);
        }
    }
    QDialog::accept();
}

}  // namespace zrt
