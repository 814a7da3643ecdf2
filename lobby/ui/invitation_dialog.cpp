// InvitationDialog: the inviter's card and the group; the answer goes through GroupActions.
#include "lobby/ui/invitation_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "lobby/data/country_table.h"
#include "lobby/data/process_state.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/player_info_dialog.h"
#include "lobby/ui/portrait_view.h"
#include "lobby/ui/saved_game_dialog.h"

namespace zrt {

InvitationDialog::InvitationDialog(QWidget* owner, LobbyContext& ctx,
                                   const InvitationDetails& details, uint32_t groupId)
    : QDialog(owner), ctx_(ctx), inviterId_(details.inviter.id), groupId_(groupId) {
    setWindowTitle("Invitation Message");
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    const DialogUnits du(font());
    setFixedSize(du.size(228, 234));

    auto label = [&](const char* text, int x, int y) {
        auto* l = new QLabel(text, this);
        l->adjustSize();
        l->move(du.x(x), du.y(y));
    };
    label("An Invitation Message has Arrived.", 46, 13);
    label("This Player has Invited You to Join his / her Group :", 20, 155);

    const PlayerEntry& p = details.inviter;
    struct Row {
        const char* label;
        int y;
        QString value;
    };
    const Row rows[] = {
        {"Name", 32, QString::fromLatin1(p.name)},
        {"Country", 49, QString::fromLatin1(CountryName(p.country))},
        {"Score", 67, QString::number(p.score)},
        {"Gemstones", 84, QString::number(p.gemstones)},
        {"Victories", 102, QString::number(p.victories)},
        {"Defeats", 120, QString::number(p.defeats)},
        {"Games Quit", 137, QString::number(p.quits)},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        label(rows[i].label, 73, rows[i].y);
        QLabel* field = ValueField(this, du.rect(125, rows[i].y - 1, 88, 11));
        field->setText(rows[i].value);
        if (i == 0) name_ = field;
    }
    label("Group Number", 27, 172);
    label("Group Title", 27, 189);
    groupNumber_ = ValueField(this, du.rect(87, 171, 114, 11));
    groupNumber_->setText(QString::number(details.groupNumber));
    groupTitle_ = ValueField(this, du.rect(87, 188, 114, 11));
    groupTitle_->setText(QString::fromLatin1(details.title));

    auto* portrait = new PortraitView(this);
    portrait->setGeometry(du.rect(17, 32, 43, 112));
    portrait->setPortrait(p.portrait);

    auto* accept = new QPushButton("Accept", this);
    accept->setGeometry(du.rect(44, 213, 50, 14));
    accept->setDefault(true);
    connect(accept, &QPushButton::clicked, this, &QDialog::accept);
    auto* decline = new QPushButton("Decline", this);
    decline->setGeometry(du.rect(133, 213, 50, 14));
    connect(decline, &QPushButton::clicked, this, &QDialog::reject);
}

void InvitationDialog::done(int result) {
    // Close first: an acceptance may ask for a saved game, and that question stands alone.
    QDialog::done(result);
    if (answered_ || ctx_.groups == nullptr) return;
    answered_ = true;
    const std::vector<std::string>& saved = Process().savedGames.names;
    SavedGameQuestion question{
        saved.size(), [this, &saved] { return SavedGameDialog::Ask(parentWidget(), saved); }};
    result_ = ctx_.groups->ReplyToInvitation(inviterId_, groupId_, result == Accepted, question);
}

void InvitationDialog::Run(QWidget* owner, LobbyContext& ctx, uint32_t inviterId,
                           uint32_t groupId) {
    if (ctx.groups == nullptr) return;
    const std::optional<InvitationDetails> details =
        ctx.groups->LookUpInvitation(inviterId, groupId);
    if (!details) return;
    InvitationDialog dialog(owner, ctx, *details, groupId);
    dialog.exec();
    if (const char* text = groupResultText(dialog.replyResult())) ErrorBox::Show(owner, text);
}

}  // namespace zrt
