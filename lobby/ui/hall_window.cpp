// The hall selection screen: painting, polling, the shown list and its tool-tips, the mouse,
// the join's two events and the close rules.
#include "lobby/ui/hall_window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QHelpEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "lobby/platform/app_events.h"
#include "lobby/ui/draw_bitmap.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_pictures.h"
#include "lobby/ui/main_window_rect.h"

namespace zrt {

namespace {

QString HallText(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

HallWindow::HallWindow(LobbyConnection& connection, QWidget* parent)
    : QWidget(parent, Qt::Window), connection_(connection) {
    setWindowTitle("ZRTH Lobby - Hall Selection");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    PlaceAtMainWindowRect(*this);
    setMouseTracking(true);
    // The kind of a hall is told even while another window is active.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    hallList_.init(listRect(), QColor(50, 50, 100), QColor(150, 150, 0), QColor(0, 0, 255));
    hallList_.setOwner(this);

    const LobbyPictures& pics = Pictures();
    enter_ = HotSpotButton(enterRect().topLeft(), pics.bsEnter.image(), pics.bsEnter2.image());
    cancel_ = HotSpotButton(cancelRect().topLeft(), pics.bsCanc.image(), pics.bsCanc2.image());

    connect(&timer_, &QTimer::timeout, this, &HallWindow::PollTick);
}

HallWindow::~HallWindow() {
    connection_.ForgetHallAnswer();
    // The worker posts to this window: it must have ended before the window goes. A hall it
    // opened meanwhile is left again, as nobody will enter it.
    if (connection_.joinRunning()) {
        connection_.JoinHandled();
        connection_.CloseSession();
    }
}

QRect HallWindow::enterRect() const {
    const QImage& b = Pictures().bsEnter.image();
    return QRect(340 - b.width(), 478, b.width(), b.height());
}

QRect HallWindow::cancelRect() const {
    const QImage& b = Pictures().bsEnter.image();
    return QRect(360, 478, b.width(), b.height());
}

void HallWindow::Start() {
    selectedHall_ = playnet::Guid{};
    shown_.clear();
    hallList_.clear();
    // What the session layer knew from before (the counts of the hall just left) is not shown;
    // its first answer is, at once, without waiting for two ticks.
    connection_.RestartHallEnumeration([this] { PostAppEvent(this, kEvHallsAnswered); });
    connection_.EnumerateHalls(found_);
    timer_.start(kSearchPollMs);
}

void HallWindow::firstAnswer() {
    if (connection_.joinRunning() || closed_ || !shown_.empty()) return;
    // A tick now, with the pass the session layer has just answered.
    connection_.EnumerateHalls(found_);
    PollTick();
}

void HallWindow::PollTick() {
    if (connection_.joinRunning()) return;
    // Once halls have been seen the poll slows down for good.
    if (found_.count() > 0) timer_.start(kHallsPollMs);
    refreshShownList();
    connection_.EnumerateHalls(found_);
}

void HallWindow::refreshShownList() {
    const bool foundAny = found_.count() > 0;
    if (foundAny != !shown_.empty()) update();  // the title changes
    // A pass that found nothing leaves the list as it is, so it never flashes empty.
    if (!foundAny) return;

    const bool changed = !SameHalls(found_.entries(), shown_);
    const int sel = hallList_.selectedIndex();
    selectedHall_ =
        sel >= 0 && sel < static_cast<int>(shown_.size()) ? shown_[sel].instance : playnet::Guid{};

    hallList_.clear();
    shown_ = OrderHallsByKind(found_.entries());
    for (const HallEntry& hall : shown_) hallList_.add(HallText(hall.text));
    if (!selectedHall_.IsNull()) {
        for (size_t i = 0; i < shown_.size(); ++i)
            if (shown_[i].instance == selectedHall_) hallList_.select(static_cast<int>(i));
    }
    found_.clear();

    update(listRect());
    hallList_.hitTest(mapFromGlobal(QCursor::pos()));

    // One tip per shown hall over its item. They are rebuilt when the halls changed, and also
    // when a changed player count moved an item, so a tip never points at the wrong hall.
    std::vector<Tip> tips;
    for (size_t i = 0; i < shown_.size(); ++i)
        tips.push_back({hallList_.itemRect(static_cast<int>(i)),
                        QString::fromLatin1(HallKindText(shown_[i].kind))});
    if (changed || tips != tips_) {
        tips_ = std::move(tips);
        ++tipBuilds_;
    }
}

QString HallWindow::toolTipAt(QPoint pos) const {
    for (const Tip& tip : tips_)
        if (tip.rect.contains(pos)) return tip.text;
    return QString();
}

bool HallWindow::event(QEvent* e) {
    hot_.forgetOn(e, this);
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            e->ignore();
        } else {
            QRect area;
            for (const Tip& tip : tips_)
                if (tip.rect.contains(help->pos())) area = tip.rect;
            QToolTip::showText(help->globalPos(), text, this, area);
        }
        return true;
    }
    if (AppEvent::is(e, WM_SESSION_OPEN_FAILED)) {
        joinFailed();
        return true;
    }
    if (AppEvent::is(e, WM_SESSION_OPENED)) {
        joinOpened();
        return true;
    }
    if (AppEvent::is(e, kEvHallsAnswered)) {
        firstAnswer();
        return true;
    }
    return QWidget::event(e);
}

void HallWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const LobbyPictures& pics = Pictures();
    DrawBitmap(p, pics.bgSetup, 0, 0);
    const MaskedBitmap& title = shown_.empty() ? pics.tSearch : pics.tSelHall;
    DrawMasked(p, 120 + (460 - title.width()) / 2, 140, title);
    const HotSpotButton* const buttons[] = {&enter_, &cancel_};
    hot_.paint(p, buttons);
    hallList_.draw(p);
}

void HallWindow::mouseMoveEvent(QMouseEvent* e) {
    if (connection_.joinRunning()) return;
    const QPoint pos = e->position().toPoint();
    if (hallList_.hitTest(pos) >= 0) {
        SetHandCursor(this, true);
        return;
    }
    const HotSpotButton* const buttons[] = {&enter_, &cancel_};
    const HotSpotTracker::Move move = hot_.mouseMoved(pos, buttons);
    if (!move.repaint.isEmpty()) update(move.repaint);
    SetHandCursor(this, move.hand);
}

void HallWindow::selectItemAt(QPoint pos) {
    const int item = hallList_.hitTest(pos);
    if (item >= 0) hallList_.select(item);
}

void HallWindow::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || connection_.joinRunning()) return;
    const QPoint pos = e->position().toPoint();
    if (hallList_.hitTest(pos) >= 0) {
        selectItemAt(pos);
        return;
    }
    const HotSpotButton* const buttons[] = {&enter_, &cancel_};
    switch (HotSpotTracker::buttonAt(pos, buttons)) {
        case 0:
            JoinSelectedHall();
            break;
        case 1:
            backToLogin_ = true;
            postClose();
            break;
        default:
            break;
    }
}

void HallWindow::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || connection_.joinRunning()) return;
    selectItemAt(e->position().toPoint());
    JoinSelectedHall();
}

void HallWindow::JoinSelectedHall() {
    if (connection_.joinRunning()) return;
    const int sel = hallList_.selectedIndex();
    if (sel < 0 || sel >= static_cast<int>(shown_.size())) return;
    // The worker only posts; the destructor waits for it, so `this` outlives every post.
    const bool started = connection_.JoinHall(shown_[sel], [this](bool opened) {
        PostAppEvent(this, opened ? WM_SESSION_OPENED : WM_SESSION_OPEN_FAILED);
    });
    if (!started) return;
    update(hot_.clear());
    setCursor(Qt::WaitCursor);
}

void HallWindow::joinFailed() {
    connection_.JoinHandled();
    unsetCursor();
    ErrorBox::Show(this, kJoinFailureText);
}

void HallWindow::joinOpened() {
    connection_.JoinHandled();
    joined_ = true;
    postClose();
}

void HallWindow::postClose() {
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
}

void HallWindow::closeEvent(QCloseEvent* e) {
    if (connection_.joinRunning()) {
        e->ignore();
        return;
    }
    if (closed_) {
        e->accept();
        return;
    }
    closed_ = true;
    timer_.stop();
    connection_.ForgetHallAnswer();
    if (joined_) {
        HandOverMainWindowRect(*this);
        if (enterHallHook_) enterHallHook_();
    } else {
        connection_.CloseSession();
    }
    if (backToLogin_) {
        HandOverMainWindowRect(*this);
        if (loginHook_) loginHook_();
    }
    e->accept();
}

}  // namespace zrt
