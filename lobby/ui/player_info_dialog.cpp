// PlayerInfoDialog: filled once from the copy; Ping, Invite, Whisper and Block act on the hall.
#include "lobby/ui/player_info_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "lobby/data/country_table.h"
#include "lobby/platform/ping_socket.h"
#include "lobby/session/group_actions.h"
#include "lobby/session/lobby_session.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/portrait_view.h"

namespace zrt {

QString PingText(double seconds) {
    return seconds >= 0 ? QString::asprintf("%.2f sec", seconds) : QStringLiteral("Unknown");
}

namespace {

// Whether the user may invite `playerId`: not himself, host of his group, the player not yet
// a member, and room below the capacity and below seven.
bool CanInvite(const LobbySession& session, uint32_t playerId) {
    if (playerId == session.ownPlayerId) return false;
    auto hall = session.hall.read();
    const GroupEntry* own = hall->ownGroup();
    if (own == nullptr || !hall->host) return false;
    return !own->hasMember(playerId) && own->hasRoom();
}

}  // namespace

PlayerInfoDialog::PlayerInfoDialog(LobbyContext& ctx, const PlayerEntry& player, QWidget* owner)
    : QDialog(owner), ctx_(ctx), player_(player) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setWindowTitle("ZRTH Lobby Player Information");
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    const DialogUnits du(font());
    setFixedSize(du.size(246, 214));

    struct Row {
        const char* label;
        int y;
        QString value;
    };
    const Row rows[] = {
        {"Name", 18, QString::fromLatin1(player.name)},
        {"Country", 36, QString::fromLatin1(CountryName(player.country))},
        {"Score", 54, QString::number(player.score)},
        {"Gemstones", 72, QString::number(player.gemstones)},
        {"Victories", 90, QString::number(player.victories)},
        {"Defeats", 107, QString::number(player.defeats)},
        {"Games Quit", 125, QString::number(player.quits)},
        {"Last Ping Delay", 143, PingText(player.ping)},
    };
    QLabel* fields[8] = {};
    for (size_t i = 0; i < std::size(rows); ++i) {
        auto* label = new QLabel(rows[i].label, this);
        label->adjustSize();
        label->move(du.x(76), du.y(rows[i].y));
        fields[i] = ValueField(this, du.rect(136, rows[i].y - 2, 97, 12));
        fields[i]->setText(rows[i].value);
    }
    name_ = fields[0];
    lastPing_ = fields[7];

    portrait_ = new PortraitView(this);
    portrait_->setGeometry(du.rect(14, 23, 49, 109));
    portrait_->setPortrait(player.portrait);

    ping_ = new QPushButton("Ping", this);
    ping_->setGeometry(du.rect(14, 139, 49, 14));
    invite_ = new QPushButton("Invite", this);
    invite_->setGeometry(du.rect(14, 188, 50, 14));
    whisper_ = new QPushButton("Whisper", this);
    whisper_->setGeometry(du.rect(97, 188, 50, 14));
    auto* ok = new QPushButton("OK", this);
    ok->setGeometry(du.rect(183, 188, 50, 14));
    ok->setDefault(true);
    block_ = new QCheckBox("Block Incoming Messages from this Player", this);
    block_->setGeometry(du.rect(48, 166, 160, 10));

    const bool isUser = ctx_.session != nullptr && player.id == ctx_.session->ownPlayerId;
    block_->setEnabled(!isUser);
    if (!isUser && ctx_.session != nullptr)
        block_->setChecked(ctx_.session->hall.isBlocked(player.id));
    ping_->setEnabled(true);
    invite_->setEnabled(ctx_.session != nullptr && CanInvite(*ctx_.session, player.id));
    whisper_->setEnabled(!isUser);

    connect(ping_, &QPushButton::clicked, this, &PlayerInfoDialog::pingClicked);
    connect(invite_, &QPushButton::clicked, this, &PlayerInfoDialog::inviteClicked);
    connect(whisper_, &QPushButton::clicked, this, &PlayerInfoDialog::whisperClicked);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void PlayerInfoDialog::pingClicked() {
    pingPending_ = true;
    lastPing_->setText(kWaitingResponse);
    if (ctx_.ping == nullptr || !ctx_.ping->usable()) {
        // No probe socket: the ping cannot be measured. When another lobby on this machine
        // holds the probe port, say so the first time instead of a bare "Unknown".
        PingResult(0, false, -1.0);
        if (ctx_.ping != nullptr && ctx_.ping->takeUnusableNotice())
            lastPing_->setText(kPingPortBusy);
        return;
    }
    emit pingRequested(QString::fromLatin1(player_.address), 0);
}

void PlayerInfoDialog::PingResult(uint32_t, bool ok, double seconds) {
    pingPending_ = false;
    const double shown = ok ? seconds : -1.0;
    if (ctx_.session != nullptr) ctx_.session->hall.setPing(player_.id, static_cast<float>(shown));
    lastPing_->setText(PingText(shown));
}

void PlayerInfoDialog::inviteClicked() {
    invite_->setEnabled(false);
    // Invite itself sends nothing for a player who has left the hall.
    if (ctx_.groups != nullptr) ctx_.groups->Invite(player_.id);
}

void PlayerInfoDialog::whisperClicked() {
    if (ctx_.session == nullptr || !ctx_.session->hall.player(player_.id)) {
        whisper_->setEnabled(false);
        return;
    }
    WhisperDialog dialog(this, ctx_, QString::fromLatin1(player_.name), player_.id, whisperEcho_);
    dialog.exec();
}

void PlayerInfoDialog::done(int result) {
    if (!finished_) {
        finished_ = true;
        if (ctx_.session != nullptr && block_->isEnabled()) {
            // A full BlockList leaves the player unblocked; the box shows what was asked.
            if (block_->isChecked())
                ctx_.session->hall.block(player_.id);
            else
                ctx_.session->hall.unblock(player_.id);
        }
        if (pingPending_) {
            pingPending_ = false;
            emit pingCancelled();
        }
        if (ctx_.lobbyWnd != nullptr) ctx_.lobbyWnd->activateWindow();
    }
    QDialog::done(result);
}

}  // namespace zrt
