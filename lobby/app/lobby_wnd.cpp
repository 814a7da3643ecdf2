// The lobby screen's frame.
#include "lobby/app/lobby_wnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QTimer>

#include "lobby/app/chat_view.h"
#include "lobby/app/gif_view.h"
#include "lobby/app/info_view.h"
#include "lobby/app/lobby_view.h"
#include "lobby/app/session_events.h"
#include "lobby/data/process_state.h"
#include "lobby/data/profile_lists.h"
#include "lobby/session/lobby_connection.h"
#include "lobby/ui/chat_line_output.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/group_info_dialog.h"
#include "lobby/ui/invitation_dialog.h"
#include "lobby/ui/invitation_reply_box.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/main_window_rect.h"
#include "lobby/ui/news_box.h"
#include "lobby/ui/player_info_dialog.h"

namespace zrt {

LobbySession& TheLobbySession() {
    static LobbySession session;
    return session;
}

LobbyWnd::LobbyWnd(LobbyConnection& connection, const QString& gameDir)
    : QWidget(nullptr, Qt::Window),
      connection_(connection),
      session_(TheLobbySession()),
      ui_(this),
      sender_(*connection.directPlay(), session_),
      dispatcher_(session_, sender_, ui_),
      receiver_(*connection.directPlay(), session_, dispatcher_),
      presence_(*connection.directPlay(), session_, sender_, receiver_),
      groups_(session_, sender_) {
    setWindowTitle("ZRTH Lobby");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    PlaceAtMainWindowRect(*this, kClientWidth, kClientHeight);
    ApplyDialogLook(this);

    ctx_.session = &session_;
    ctx_.sender = &sender_;
    ctx_.groups = &groups_;
    ctx_.ping = &ping_;
    connect(&ping_, &PingSocket::finished, this, &LobbyWnd::pingFinished);
    ctx_.lobbyWnd = this;
    ctx_.gameDir = gameDir;
    playnet::SessionDesc desc;
    connection.directPlay()->GetSessionDesc(desc);
    ctx_.hallName = QString::fromStdString(desc.name);
    ctx_.maxPlayers = static_cast<int>(desc.maxPlayers);

    // Upper row: the info column, and the groups pane under the banner pane when a banner
    // is there; lower row: the chat pane.
    info_ = new InfoView(ctx_, this);
    info_->setGeometry(1, 1, 110, 390);
    const int bannerHeight = GifView::PaneHeight(Process().banner);
    if (bannerHeight > 0) {
        gif_ = new GifView(ctx_, this);
        gif_->setGeometry(111, 1, GifView::kWidth, bannerHeight);
        gif_->StartBanner();
    }
    lobby_ = new LobbyView(ctx_, this);
    lobby_->setGeometry(111, 1 + bannerHeight, 590, 390 - bannerHeight);
    chat_ = new ChatView(ctx_, this);
    chat_->setGeometry(1, 391, 700, 160);

    info_->backToHalls = [this] {
        returnToHalls_ = true;
        close();
    };
    info_->quitLobby = [this] {
        returnToHalls_ = false;
        close();
    };
    info_->retitle = [this] { Retitle(); };
    lobby_->setOpenPlayerInfo([this](uint32_t id) { openPlayerInfo(id); });
    lobby_->setShowOwnGroup([this] { showOwnGroup(); });
    lobby_->setLaunchGroup([this](size_t members) { hostLaunch(members); });
    chat_->openPlayerInfo = [this](uint32_t id) { openPlayerInfo(id); };
}

LobbyWnd::~LobbyWnd() {
    presence_.Teardown();
}

bool LobbyWnd::EnterHall() {
    lobby_->Init();
    receiver_.StartSessionReceiver();
    const ProfileEntry& me = Profiles().currentPlayer;
    PlayerEntry own{};
    own.address = Process().localAddress;
    own.name = me.loginName;
    own.portrait = me.portrait;
    own.country = me.country;
    own.score = me.score;
    own.victories = me.won;
    own.defeats = me.lost;
    own.quits = me.quit;
    own.gemstones = me.gems;
    HallPresenceResult r = presence_.EnterHall(own, connection_.gemstoneHall());
    if (r != HallPresenceResult::Ok) {
        connection_.CloseSession();
        ErrorBox::Show(this, hallPresenceText(r));
        return false;
    }
    Retitle();
    return true;
}

void LobbyWnd::Retitle() {
    setWindowTitle(QString::fromStdString(session_.hall.lobbyTitle()));
}

void LobbyWnd::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) session_.minimised = isMinimized();
    QWidget::changeEvent(event);
}

void LobbyWnd::openPlayerInfo(uint32_t playerId) {
    std::optional<PlayerEntry> player = session_.hall.player(playerId);
    if (!player) return;
    auto* dialog = new PlayerInfoDialog(ctx_, *player, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connectPings(dialog);
    dialog->setWhisperEcho([this](const QString& name, uint32_t id, const QString& text) {
        showOwnWhisper(name, id, text);
    });
    dialog->show();
}

template <class Dialog>
void LobbyWnd::connectPings(Dialog* dialog) {
    connect(
        dialog, &Dialog::pingRequested, this,
        [this, dialog](const QString& address, uint32_t tag) { ping_.Ping(address, dialog, tag); });
    connect(dialog, &Dialog::pingCancelled, this, [this, dialog] { ping_.Cancel(dialog); });
}

void LobbyWnd::pingFinished(QObject* window, uint32_t tag, bool answered, double seconds) {
    if (auto* p = qobject_cast<PlayerInfoDialog*>(window))
        p->PingResult(tag, answered, seconds);
    else if (auto* g = qobject_cast<GroupInfoDialog*>(window))
        g->PingResult(tag, answered, seconds);
}

void LobbyWnd::showOwnWhisper(const QString& senderName, uint32_t senderId, const QString& text) {
    chat_->showChatLine(senderId, senderName, text, true);
}

void LobbyWnd::showOwnGroup() {
    if (groupDialog_) {
        groupDialog_->show();
        groupDialog_->raise();
        groupDialog_->activateWindow();
        return;
    }
    PostAppEvent(this, WM_LOBBY_SHOW_GROUP);
}

void LobbyWnd::openGroupDialog() {
    if (groupDialog_) {
        groupDialog_->closeFromSession();
        groupDialog_ = nullptr;
    }
    std::optional<GroupDialogData> data = session_.hall.openGroupDialog();
    if (!data) return;
    auto* dialog = new GroupInfoDialog(ctx_, *data, lobby_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    groupDialog_ = dialog;
    connectPings(dialog);
    dialog->show();
}

bool LobbyWnd::event(QEvent* e) {
    if (e->type() >= QEvent::User && e->type() < QEvent::MaxUser && handleSessionEvent(e))
        return true;
    return QWidget::event(e);
}

bool LobbyWnd::handleSessionEvent(QEvent* e) {
    auto* ev = dynamic_cast<AppEvent*>(e);
    if (!ev) return false;
    if (closing_ && ev->number != kEvSessionError) return true;
    const auto id = static_cast<uint32_t>(ev->wParam);
    switch (ev->number) {
        case kEvPlayerLineAdded:
            chat_->addPlayerLine(id, QString::fromLatin1(ev->text.c_str()));
            return true;
        case kEvPlayerLineDeleted:
            chat_->deletePlayerLine(id);
            return true;
        case kEvChatLine: {
            QString name = QString::fromLatin1(ev->text.c_str());
            QString text = QString::fromLatin1(reinterpret_cast<const char*>(ev->data.data()),
                                               static_cast<qsizetype>(ev->data.size()));
            bool whisper = (ev->lParam & 1) != 0;
            if (ev->lParam & 2) {
                if (groupDialog_) ChatLineOutput(groupDialog_->chatList(), name, id, text, whisper);
            } else {
                chat_->showChatLine(id, name, text, whisper);
            }
            return true;
        }
        case kEvGroupDialogJoined:
            if (groupDialog_) groupDialog_->memberJoined(id);
            return true;
        case kEvGroupDialogLeft:
            if (groupDialog_) groupDialog_->memberLeft(id);
            return true;
        case kEvGroupDialogClose:
            if (groupDialog_) groupDialog_->closeFromSession();
            groupDialog_ = nullptr;
            return true;
        case kEvSessionError:
            if (closing_) return true;
            ErrorBox::Show(this, QString::fromStdString(ev->text));
            returnToHalls_ = false;
            // The loss may arrive under another box of this screen (a failed group request's,
            // the news): deleting the screen from inside that box's loop would pull it away
            // from under the code that opened it.
            closeWhenUnwound();
            return true;
        case kEvRepaintTopPanel:
            info_->update();
            return true;
        case kEvRepaintPlayerList:
            chat_->repaintPlayerList();
            return true;
        case kEvGroupsRefresh:
            lobby_->refreshGroups(ev->wParam == 1);
            return true;
        case WM_LOBBY_STATUS:
            Retitle();
            return true;
        case WM_LOBBY_SHOW_GROUP:
            openGroupDialog();
            return true;
        case WM_LOBBY_INVITATION:
            InvitationDialog::Run(this, ctx_, id, static_cast<uint32_t>(ev->lParam));
            return true;
        case WM_LOBBY_INVITE_REPLY: {
            std::optional<PlayerEntry> player = session_.hall.player(id);
            if (player)
                InvitationReplyBox::Show(this, QString::fromLatin1(player->name.c_str()),
                                         ev->lParam == 1);
            return true;
        }
        case WM_LOBBY_NEWS:
            NewsBox::Show(this, QString::fromLatin1(ev->text.c_str()));
            return true;
        case WM_LOBBY_MEMBER_LAUNCH:
            memberLaunch(ev->text);
            return true;
        default:
            return false;
    }
}

void LobbyWnd::closeWhenUnwound() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        for (QWidget* w = modal; w; w = w->parentWidget()) {
            if (w != this) continue;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
            break;
        }
        QTimer::singleShot(50, this, &LobbyWnd::closeWhenUnwound);
        return;
    }
    close();
}

void LobbyWnd::closeEvent(QCloseEvent* event) {
    if (launching_) {
        // The launch closes the window itself once the game has reported.
        event->ignore();
        return;
    }
    if (closing_) {
        event->accept();
        return;
    }
    closing_ = true;
    if (groupDialog_) groupDialog_->closeFromSession();
    presence_.Teardown();
    HandOverMainWindowRect(*this);
    // The hall session ends with the screen either way; going back lists the halls anew.
    connection_.CloseSession();
    if (returnToHalls_ && backToHallsHook_) backToHallsHook_();
    event->accept();
}

}  // namespace zrt
