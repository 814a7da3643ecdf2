// ChatView: set-up, layout, the player and chat lists, sending from the input, clicks.
#include "lobby/app/chat_view.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidgetItem>
#include <QPainter>
#include <QResizeEvent>
#include <string>
#include <vector>

#include "lobby/session/chat_send.h"
#include "lobby/session/lobby_messages.h"
#include "lobby/session/lobby_session.h"
#include "lobby/ui/chat_line_output.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/two_column_list_box.h"

namespace zrt {
namespace {

constexpr int kLabelWidth = 93;
constexpr int kSideWidth = 172;  // player list and whisper box

}  // namespace

ChatView::ChatView(LobbyContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("ChatView"));
    resize(kWidth, kHeight);

    input_ = Tagged(new QLineEdit(this), "chatInput", kInputId);
    input_->setMaxLength(static_cast<int>(kChatChars));
    input_->setFont(ArialFont(11));
    ApplyWhiteOnBlack(input_);
    input_->setToolTip(QStringLiteral("Enter message to chat with all players in this hall"));

    players_ =
        Tagged(new TwoColumnListBox(TwoColumnListBox::Size::Large, kColumnOffset, true, this),
               "playerList", kPlayerListId);
    players_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    players_->setHighlightNames(&inGameNames_);
    players_->setHighlighting(true);
    players_->setToolTip(QStringLiteral("Double-click on a player to view his/her information"));

    chat_ = Tagged(new TwoColumnListBox(TwoColumnListBox::Size::Large, kColumnOffset, true, this),
                   "chatList", kChatListId);
    chat_->setSelectionMode(QAbstractItemView::SingleSelection);
    chat_->setToolTip(QStringLiteral("Double-click on a message to know who's its sender"));

    whisper_ = Tagged(new QCheckBox(QStringLiteral("Whisper"), this), "whisperBox", kWhisperBoxId);
    QPalette whisperLook = whisper_->palette();
    whisperLook.setColor(QPalette::WindowText, QColor(0, 255, 0));
    whisperLook.setColor(QPalette::Window, kDialogGrey);
    whisperLook.setColor(QPalette::Button, kDialogGrey);  // a check box fills with this role
    whisper_->setPalette(whisperLook);
    whisper_->setAutoFillBackground(true);
    whisper_->setToolTip(QStringLiteral("Check this box to whisper to the highlighted player(s)"));

    connect(input_, &QLineEdit::returnPressed, this, &ChatView::sendInput);
    connect(chat_, &QListWidget::itemSelectionChanged, this, &ChatView::chatSelectionChanged);
    connect(players_, &QListWidget::itemSelectionChanged, this, &ChatView::playerSelectionChanged);
    connect(chat_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        openInfo(item->data(kPlayerIdRole).toUInt());
        focusInput();
    });
    connect(players_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        openInfo(item->data(kPlayerIdRole).toUInt());
        focusInput();
    });
    connect(whisper_, &QCheckBox::clicked, this, &ChatView::focusInput);

    setUp_ = true;
    placeControls(width(), height());
    repaintPlayerList();
}

void ChatView::placeControls(int w, int h) {
    input_->setGeometry(kLabelWidth, 3, w - 273, 25);
    chat_->setGeometry(3, 31, w - 183, h - 34);
    players_->setGeometry(w - 175, 31, kSideWidth, h - 34);
    whisper_->setGeometry(w - 175, 3, kSideWidth, 25);
    if (chat_->count() > 0)
        chat_->scrollToItem(chat_->item(chat_->count() - 1), QAbstractItemView::PositionAtTop);
}

void ChatView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (setUp_) placeControls(event->size().width(), event->size().height());
}

void ChatView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(kDialogGrey);
    p.setBrush(kDialogGrey);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setBackgroundMode(Qt::TransparentMode);
    p.setFont(ArialFont(8.5));
    p.setPen(kPaintedTextYellow);
    p.drawText(QRect(0, 3, kLabelWidth, 25), Qt::AlignCenter | Qt::TextSingleLine,
               QStringLiteral("Chat Message :"));
}

void ChatView::addPlayerLine(uint32_t playerId, const QString& line) {
    // Sorted by the line's text ignoring case; an equal line goes after the ones present.
    int lo = 0;
    int hi = players_->count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (QString::compare(players_->item(mid)->text(), line, Qt::CaseInsensitive) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    auto* item = new QListWidgetItem(line);
    item->setData(kPlayerIdRole, QVariant::fromValue<uint>(playerId));
    changingPlayers_ = true;
    players_->insertItem(lo, item);
    changingPlayers_ = false;
}

void ChatView::deletePlayerLine(uint32_t playerId) {
    for (int row = 0; row < players_->count(); ++row) {
        if (PlayerIdOfRow(*players_, row) != playerId) continue;
        changingPlayers_ = true;
        delete players_->takeItem(row);
        changingPlayers_ = false;
        return;
    }
}

void ChatView::showChatLine(uint32_t senderId, const QString& senderName, const QString& text,
                            bool whisper) {
    if (!ctx_.session || !ctx_.session->hall.player(senderId)) return;
    ChatLineOutput(*chat_, senderName, senderId, text, whisper);
}

void ChatView::showOwnWhisper(const QString& text) {
    if (!ctx_.session) return;
    const uint32_t ownId = ctx_.session->ownPlayerId;
    const std::optional<PlayerEntry> own = ctx_.session->hall.player(ownId);
    if (!own) return;
    ChatLineOutput(*chat_, QString::fromLatin1(own->name), ownId, text, true);
}

void ChatView::repaintPlayerList() {
    if (ctx_.session) inGameNames_ = ctx_.session->hall.read()->inGameNames;
    players_->viewport()->update();
}

void ChatView::clearLists() {
    changingPlayers_ = true;
    players_->clear();
    changingPlayers_ = false;
    chat_->clear();
    inGameNames_.clear();
    players_->viewport()->update();
}

void ChatView::sendInput() {
    if (!ctx_.session || !ctx_.sender || ctx_.session->serverPlayerId == 0) return;
    // The wire carries single-byte text of at most 100 characters.
    const std::string text =
        input_->text().left(static_cast<int>(kChatChars)).toLatin1().toStdString();
    if (text.empty()) return;

    if (whisper_->isChecked()) {
        std::vector<uint32_t> targets;
        for (int row = 0; row < players_->count(); ++row) {
            if (!players_->item(row)->isSelected()) continue;
            targets.push_back(PlayerIdOfRow(*players_, row));
            if (targets.size() == static_cast<size_t>(kMaxSelectedTargets)) break;
        }
        if (targets.empty()) return;  // nobody to whisper to: the text stays for another try
        SendWhispers(*ctx_.session, *ctx_.sender, text, targets);
        showOwnWhisper(QString::fromLatin1(text));
    } else {
        // The hall line shows when the server's relay comes back.
        SendHallLine(*ctx_.session, *ctx_.sender, text);
    }
    input_->clear();
}

void ChatView::chatSelectionChanged() {
    const QList<QListWidgetItem*> selected = chat_->selectedItems();
    if (selected.isEmpty()) return;
    // Answering the sender: he becomes the only selected player, ready for the whisper box.
    const uint32_t sender = selected.front()->data(kPlayerIdRole).toUInt();
    for (int row = 0; row < players_->count(); ++row) {
        if (PlayerIdOfRow(*players_, row) != sender) continue;
        players_->clearSelection();
        players_->item(row)->setSelected(true);
        players_->setCurrentRow(row, QItemSelectionModel::NoUpdate);
        break;
    }
    focusInput();
}

void ChatView::playerSelectionChanged() {
    if (!changingPlayers_) focusInput();
}

void ChatView::openInfo(uint32_t playerId) {
    if (!openPlayerInfo || !ctx_.session || !ctx_.session->hall.player(playerId)) return;
    openPlayerInfo(playerId);
}

void ChatView::focusInput() {
    input_->setFocus(Qt::OtherFocusReason);
}

}  // namespace zrt
