// InfoView: painting, the buttons' mouse rule and tool-tips, and the four actions.
#include "lobby/app/info_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <filesystem>

#include "lobby/data/country_table.h"
#include "lobby/data/profile_lists.h"
#include "lobby/platform/open_shortcut.h"
#include "lobby/session/lobby_session.h"
#include "lobby/ui/confirm_box.h"
#include "lobby/ui/ladder_window.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/lobby_pictures.h"

namespace zrt {
namespace {

constexpr int kButtonX = 8;
constexpr int kButtonTops[InfoView::kButtonCount] = {9, 35, 61, 87};
constexpr int kPortraitBottom = 247;
constexpr int kFirstRowTop = 253;
constexpr int kRowStep = 15;
constexpr int kRowHeight = 13;
constexpr int kLabelLeft = 3;
constexpr int kValueLeft = 33;

}  // namespace

InfoView::InfoView(LobbyContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("InfoView"));
    resize(kWidth, kHeight);
    setMouseTracking(true);
    // The buttons' tips are always shown, also while another window is active. That is a
    // window's setting, so it goes on the window the pane sits in (and holds for the chat
    // pane's tips there too).
    window()->setAttribute(Qt::WA_AlwaysShowToolTips);
    LobbyPictures& pics = Pictures();
    const CachedBitmap* pictures[kButtonCount][2] = {
        {&pics.bChall, &pics.bChall2},
        {&pics.bLadder, &pics.bLadder2},
        {&pics.bZRHome, &pics.bZRHome2},
        {&pics.bLQuit, &pics.bLQuit2},
    };
    for (int b = 0; b < kButtonCount; ++b) {
        buttons_[b] = HotSpotButton(QPoint(kButtonX, kButtonTops[b]), pictures[b][0]->image(),
                                    pictures[b][1]->image());
        order_[b] = &buttons_[b];
    }
}

void InfoView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kDialogGrey);
    tracker_.paint(p, order_);
    p.setBackgroundMode(Qt::TransparentMode);
    paintHall(p);
    paintOwnFigures(p);
    p.end();
    if (retitle) retitle();
}

void InfoView::paintHall(QPainter& p) {
    const int w = width();
    p.setFont(ArialFont(9.5));
    p.fillRect(QRect(5, 120, w - 10, 17), Qt::white);
    p.fillRect(QRect(5, 140, w - 10, 17), Qt::white);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 120, w, 17), Qt::AlignCenter | Qt::TextSingleLine, ctx_.hallName);
    p.drawText(QRect(0, 140, w, 17), Qt::AlignCenter | Qt::TextSingleLine, playerCountText());
}

QString InfoView::playerCountText() const {
    const size_t players = ctx_.session ? ctx_.session->hall.playerCount() : 1;
    return QString::asprintf("%d / %d", static_cast<int>(players), ctx_.maxPlayers);
}

void InfoView::paintOwnFigures(QPainter& p) {
    const int w = width();
    const ProfileEntry& me = Profiles().currentPlayer;
    const QFont labelFont = ArialFont(8);
    const QFont valueFont = ArialFont(8.5);

    p.setFont(labelFont);
    p.setPen(kPaintedTextYellow);
    p.drawText(QRect(10, 172, w - 10, 20), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
               QStringLiteral("Your Login a/c :"));

    if (me.portrait < Pictures().portraits.size()) {
        const QImage& portrait = Pictures().portraits[me.portrait].image();
        if (!portrait.isNull())
            p.drawImage((w - portrait.width()) / 2, kPortraitBottom - portrait.height(), portrait);
    }

    const struct {
        const char* label;
        QString value;
    } rows[] = {
        {"Name", QStringLiteral(": %1").arg(QString::fromLatin1(me.loginName))},
        {"From", QStringLiteral(": %1").arg(QString::fromLatin1(CountryName(me.country)))},
        {"Score", QStringLiteral(": %1").arg(me.score)},
        {"Won", QStringLiteral(": %1").arg(me.won)},
        {"Lost", QStringLiteral(": %1").arg(me.lost)},
        {"Quit", QStringLiteral(": %1").arg(me.quit)},
    };
    int y = kFirstRowTop;
    for (const auto& row : rows) {
        p.fillRect(QRect(2, y, w - 4, kRowHeight), Qt::white);
        p.setPen(Qt::black);
        p.setFont(labelFont);
        p.drawText(QRect(kLabelLeft, y, kValueLeft - kLabelLeft, kRowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   QString::fromLatin1(row.label));
        p.setFont(valueFont);
        p.drawText(QRect(kValueLeft, y, w - 2 - kValueLeft, kRowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, row.value);
        y += kRowStep;
    }
}

void InfoView::mouseMoveEvent(QMouseEvent* event) {
    const HotSpotTracker::Move move = tracker_.mouseMoved(event->position().toPoint(), order_);
    if (!move.repaint.isEmpty()) update(move.repaint);
    SetHandCursor(this, move.hand);
}

void InfoView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int hit = HotSpotTracker::buttonAt(event->position().toPoint(), order_);
    if (hit >= 0) press(static_cast<Button>(hit));
}

bool InfoView::event(QEvent* event) {
    tracker_.forgetOn(event, this);
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int hit = HotSpotTracker::buttonAt(help->pos(), order_);
        if (hit >= 0) {
            QToolTip::showText(help->globalPos(), QString::fromLatin1(kToolTips[hit]), this,
                               buttons_[hit].rect);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void InfoView::press(Button b) {
    switch (b) {
        case Halls:
            if (backToHalls) backToHalls();
            break;
        case Ladder:
            forgetHotButton();
            RunLadderQuery(this);
            break;
        case HomePage:
            openHomePage();
            break;
        case Quit: {
            forgetHotButton();
            if (ConfirmBox::Ask(this, QString::fromLatin1(kQuitQuestion), QString()) && quitLobby)
                quitLobby();
            break;
        }
        case kButtonCount:
            break;
    }
}

// A dialog is about to open over the button: it is drawn normal at once.
void InfoView::forgetHotButton() {
    repaint(tracker_.clear());
    SetHandCursor(this, false);
}

void InfoView::openHomePage() {
    OpenShortcut(std::filesystem::path(ctx_.gameDir.toStdString()) / "LobbyRes" / "zrthome.url");
}

}  // namespace zrt
