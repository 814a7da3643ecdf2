// GroupInfoDialog: its layout, the member list it keeps in step with the session, the group
// whisper, ping, quit and launch.
#include "lobby/ui/group_info_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "lobby/data/country_table.h"
#include "lobby/data/process_state.h"
#include "lobby/platform/app_events.h"
#include "lobby/session/chat_send.h"
#include "lobby/session/group_actions.h"
#include "lobby/session/lobby_session.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/player_info_dialog.h"
#include "lobby/ui/portrait_view.h"
#include "lobby/ui/two_column_list_box.h"

namespace zrt {
GroupInfoDialog::GroupInfoDialog(LobbyContext& ctx, const GroupDialogData& data, QObject* lobbyView,
                                 QWidget* owner)
    : QDialog(owner), ctx_(ctx), lobbyView_(lobbyView), members_(data.group.members) {
    if (members_.size() > kMaxMembers) members_.resize(kMaxMembers);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setWindowTitle("Your Group's Information");
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    const DialogUnits du(font());
    setFixedSize(du.size(304, 290));

    buildGroupFields(data);
    buildMemberDetails();

    // The fixed buttons; none of them is the default, Enter belongs to the group whisper.
    quit_ = new QPushButton("Quit Group", this);
    quit_->setGeometry(du.rect(52, 269, 50, 14));
    launch_ = new QPushButton("Launch", this);
    launch_->setGeometry(du.rect(127, 269, 50, 14));
    auto* close = new QPushButton("Close", this);
    close->setGeometry(du.rect(201, 269, 50, 14));
    for (QPushButton* b : {ping_, quit_, launch_, close}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(quit_, &QPushButton::clicked, this, &GroupInfoDialog::quitClicked);
    connect(launch_, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    buildWhisperArea();

    for (uint32_t id : members_) {
        if (auto p = ctx_.session ? ctx_.session->hall.player(id) : std::nullopt) {
            auto* item = new QListWidgetItem(QString::fromLatin1(p->name), memberList_);
            item->setData(Qt::UserRole, id);
        }
    }
    if (memberList_->count() > 0) memberList_->setCurrentRow(0);
    if (!members_.empty()) showDetails(members_[0]);
    connect(memberList_, &QListWidget::currentRowChanged, this, &GroupInfoDialog::selectionChanged);

    launch_->setEnabled(false);
    updateLaunch(true);
    whisperEdit_->setFocus();
}

void GroupInfoDialog::buildGroupFields(const GroupDialogData& data) {
    const DialogUnits du(font());
    auto label = [&](const char* text, int x, int y) {
        auto* l = new QLabel(text, this);
        l->adjustSize();
        l->move(du.x(x), du.y(y));
    };
    label("Group Number", 10, 12);
    label("Group Title", 119, 13);
    label("Invitation Only", 10, 32);
    label("Play Game", 119, 32);

    ValueField(this, du.rect(64, 11, 38, 12))->setText(QString::number(data.tablePosition + 1));
    ValueField(this, du.rect(163, 11, 131, 12))->setText(QString::fromLatin1(data.group.title));
    ValueField(this, du.rect(64, 30, 38, 12))->setText(data.group.inviteOnly ? "Yes" : "No");
    playGame_ = ValueField(this, du.rect(163, 30, 131, 12));
    const int choice = ctx_.session ? ctx_.session->savedGameChoice.load() : -1;
    const auto& saved = Process().savedGames.names;
    if (data.group.savedGame && choice >= 0 && static_cast<size_t>(choice) < saved.size())
        playGame_->setText(QString::fromLatin1(saved[static_cast<size_t>(choice)]) + ".SVM");
    else
        playGame_->setText("Start a new game");
}

void GroupInfoDialog::buildMemberDetails() {
    const DialogUnits du(font());
    memberList_ = new QListWidget(this);
    memberList_->setGeometry(du.rect(10, 60, 82, 122));
    memberList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ApplyWhiteOnBlack(memberList_);

    portrait_ = new PortraitView(this);
    portrait_->setGeometry(du.rect(101, 61, 42, 102));

    const char* labels[8] = {"Name",      "Country", "Score",      "Gemstones",
                             "Victories", "Defeats", "Games Quit", "Last Ping Delay"};
    const int rows[8] = {56, 73, 90, 107, 125, 142, 159, 176};
    for (int i = 0; i < 8; ++i) {
        auto* l = new QLabel(labels[i], this);
        l->adjustSize();
        l->move(du.x(151), du.y(rows[i]));
        details_[i] = ValueField(this, du.rect(210, rows[i] - 2, 84, 12));
    }
    ping_ = new QPushButton("Ping", this);
    ping_->setGeometry(du.rect(101, 173, 42, 14));
    connect(ping_, &QPushButton::clicked, this, &GroupInfoDialog::pingClicked);
}

void GroupInfoDialog::buildWhisperArea() {
    const DialogUnits du(font());
    whisperLabel_ = new QLabel("Whisper to Group :", this);
    whisperLabel_->setGeometry(du.rect(10, 197, 60, 8));
    // The edit and the chat list hang off the label, in pixels.
    const int labelBottom = whisperLabel_->geometry().top() + whisperLabel_->height();
    const int right = width() - 10;

    whisperEdit_ = new QLineEdit(this);
    whisperEdit_->setGeometry(
        QRect(QPoint(130, labelBottom - 18), QPoint(right - 1, labelBottom + 5)));
    whisperEdit_->setMaxLength(kMaxWhisperChars);
    whisperEdit_->setFont(ArialFont(9));
    ApplyWhiteOnBlack(whisperEdit_);

    chatList_ = new TwoColumnListBox(TwoColumnListBox::Size::Small, 105, true, this);
    chatList_->setGeometry(
        QRect(QPoint(10, labelBottom + 11), QPoint(right - 1, height() - 40 - 1)));
}

uint32_t GroupInfoDialog::selectedMember() const {
    const QListWidgetItem* item = memberList_->currentItem();
    return item ? item->data(Qt::UserRole).toUInt() : 0;
}

void GroupInfoDialog::selectionChanged() {
    if (const uint32_t id = selectedMember()) showDetails(id);
    whisperEdit_->setFocus();
}

void GroupInfoDialog::showDetails(uint32_t playerId) {
    const auto p = ctx_.session ? ctx_.session->hall.player(playerId) : std::nullopt;
    if (!p) return;
    const QString values[8] = {
        QString::fromLatin1(p->name),  QString::fromLatin1(CountryName(p->country)),
        QString::number(p->score),     QString::number(p->gemstones),
        QString::number(p->victories), QString::number(p->defeats),
        QString::number(p->quits),     PingText(p->ping)};
    for (int i = 0; i < 8; ++i) details_[i]->setText(values[i]);
    portrait_->setPortrait(p->portrait);
    ping_->setEnabled(true);
}

void GroupInfoDialog::clearDetails() {
    for (QLabel* field : details_) field->clear();
    portrait_->setPortrait(-1);
}

void GroupInfoDialog::updateLaunch(bool mayDisable) {
    // The hall's rule includes "the user is host".
    const bool launchable = ctx_.session && ctx_.session->hall.ownGroupStatus().launchable;
    if (launchable || mayDisable) launch_->setEnabled(launchable);
}

void GroupInfoDialog::memberJoined(uint32_t playerId) {
    if (members_.size() >= kMaxMembers) return;
    members_.push_back(playerId);
    if (auto p = ctx_.session ? ctx_.session->hall.player(playerId) : std::nullopt) {
        auto* item = new QListWidgetItem(QString::fromLatin1(p->name), memberList_);
        item->setData(Qt::UserRole, playerId);
    }
    updateLaunch(false);
}

void GroupInfoDialog::memberLeft(uint32_t playerId) {
    const auto held = std::find(members_.begin(), members_.end(), playerId);
    if (held != members_.end()) {
        members_.erase(held);
        for (int row = 0; row < memberList_->count(); ++row) {
            if (memberList_->item(row)->data(Qt::UserRole).toUInt() != playerId) continue;
            const bool wasSelected = row == memberList_->currentRow();
            {
                const QSignalBlocker quiet(memberList_);
                delete memberList_->takeItem(row);
                if (wasSelected) memberList_->setCurrentRow(memberList_->count() > 0 ? 0 : -1);
            }
            if (wasSelected) {
                if (const uint32_t first = selectedMember())
                    showDetails(first);
                else
                    clearDetails();
            }
            break;
        }
    }
    updateLaunch(true);
}

void GroupInfoDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        sendGroupWhisper();
        return;
    }
    QDialog::keyPressEvent(event);
}

void GroupInfoDialog::sendGroupWhisper() {
    if (ctx_.session == nullptr || ctx_.sender == nullptr || finished_) return;
    // Only the dialog the session mirrors speaks for the group, and only once welcomed.
    if (!ctx_.session->hall.read()->groupDialog.open || ctx_.session->serverPlayerId == 0) return;
    const QString text = whisperEdit_->text().left(kMaxWhisperChars);
    if (!text.isEmpty())
        SendWhispers(*ctx_.session, *ctx_.sender, text.toLatin1().toStdString(), members_);
    whisperEdit_->clear();
}

void GroupInfoDialog::pingClicked() {
    const uint32_t id = selectedMember();
    const auto p = id != 0 && ctx_.session ? ctx_.session->hall.player(id) : std::nullopt;
    if (!p) return;
    details_[7]->setText(kWaitingResponse);
    ++pingsPending_;
    if (ctx_.ping == nullptr) {
        PingResult(id, false, -1.0);  // no probe socket: nothing can be measured
        return;
    }
    emit pingRequested(QString::fromLatin1(p->address), id);
}

void GroupInfoDialog::PingResult(uint32_t tag, bool ok, double seconds) {
    if (pingsPending_ > 0) --pingsPending_;
    const double shown = ok ? seconds : -1.0;
    if (ctx_.session) ctx_.session->hall.setPing(tag, static_cast<float>(shown));
    if (tag == selectedMember()) details_[7]->setText(PingText(shown));
}

void GroupInfoDialog::quitClicked() {
    if (ctx_.groups == nullptr) return;
    // The dialog closes when the session sees the leave take effect.
    if (const char* text = groupResultText(ctx_.groups->QuitGroup())) ErrorBox::Show(this, text);
}

void GroupInfoDialog::closeFromSession() {
    closedBySession_ = true;
    reject();
}

void GroupInfoDialog::done(int result) {
    if (!finished_) {
        finished_ = true;
        if (result == Accepted && ctx_.groups != nullptr && lobbyView_) {
            if (const std::optional<size_t> count = ctx_.groups->LaunchGroup())
                PostAppEvent(lobbyView_, WM_GROUP_LAUNCH, static_cast<intptr_t>(*count));
        }
        if (!closedBySession_ && ctx_.session != nullptr) ctx_.session->hall.closeGroupDialog();
        if (pingsPending_ > 0) {
            pingsPending_ = 0;
            emit pingCancelled();
        }
        if (ctx_.lobbyWnd != nullptr) ctx_.lobbyWnd->activateWindow();
    }
    QDialog::done(result);
}

}  // namespace zrt
