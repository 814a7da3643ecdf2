// The login screen.
#include "lobby/ui/login_window.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "lobby/data/process_state.h"
#include "lobby/data/profile_lists.h"
#include "lobby/data/saved_games.h"
#include "lobby/ui/account_created_box.h"
#include "lobby/ui/confirm_box.h"
#include "lobby/ui/create_player_dialog.h"
#include "lobby/ui/draw_bitmap.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/lobby_pictures.h"
#include "lobby/ui/login_dialog.h"
#include "lobby/ui/main_window_rect.h"

namespace zrt {
namespace {

const QRect kListArea(QPoint(120, 160), QPoint(579, 389));  // (120,160)-(580,390)

}  // namespace

LoginWindow::LoginWindow(const QString& gameDir, QWidget* parent)
    : QWidget(parent, Qt::Window), gameDir_(gameDir) {
    setWindowTitle("ZRTH Lobby - Login");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    PlaceAtMainWindowRect(*this);
    setMouseTracking(true);

    const LobbyPictures& pics = Pictures();
    int w = pics.bsNew.width();
    QPoint newAt((660 - 3 * w) / 2, 478);
    buttons_[New] = HotSpotButton(newAt, pics.bsNew.image(), pics.bsNew2.image());
    buttons_[Continue] =
        HotSpotButton(newAt + QPoint(w + 20, 0), pics.bsCont.image(), pics.bsCont2.image());
    buttons_[Quit] =
        HotSpotButton(newAt + QPoint(2 * w + 40, 0), pics.bsQuit.image(), pics.bsQuit2.image());

    profileList_.setOwner(this);
    rebuildProfileList();
}

std::array<const HotSpotButton*, 3> LoginWindow::buttonList() const {
    return {&buttons_[New], &buttons_[Continue], &buttons_[Quit]};
}

void LoginWindow::rebuildProfileList() {
    profileList_.clear();
    profileList_.init(kListArea, QColor(50, 50, 100), QColor(150, 150, 0), QColor(0, 0, 255));
    for (const ProfileEntry& e : Profiles().registered)
        profileList_.add(QString::fromStdString(e.loginName));
    update();
}

void LoginWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const LobbyPictures& pics = Pictures();
    DrawBitmap(p, pics.bgSetup, 0, 0);
    DrawMasked(p, 120 + (460 - pics.tChoose.width()) / 2, 140, pics.tChoose);
    auto list = buttonList();
    tracker_.paint(p, list);
    if (Profiles().registered.empty()) {
        p.setFont(ArialFont(14));
        p.setPen(Qt::black);
        p.drawText(QRect(QPoint(120, 245), QPoint(579, 284)), Qt::AlignCenter | Qt::TextSingleLine,
                   "No Lobby Registered Player");
    } else {
        profileList_.draw(p);
    }
}

bool LoginWindow::event(QEvent* event) {
    tracker_.forgetOn(event, this);
    return QWidget::event(event);
}

void LoginWindow::mouseMoveEvent(QMouseEvent* event) {
    QPoint pos = event->position().toPoint();
    if (profileList_.hitTest(pos) >= 0) {
        SetHandCursor(this, true);
        return;
    }
    auto list = buttonList();
    HotSpotTracker::Move move = tracker_.mouseMoved(pos, list);
    if (!move.repaint.isEmpty()) update(move.repaint);
    SetHandCursor(this, move.hand);
}

void LoginWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    QPoint pos = event->position().toPoint();
    int item = profileList_.hitTest(pos);
    if (item >= 0) {
        profileList_.select(item);
        update();
        return;
    }
    auto list = buttonList();
    runButton(HotSpotTracker::buttonAt(pos, list));
}

void LoginWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    int item = profileList_.hitTest(event->position().toPoint());
    if (item >= 0) {
        profileList_.select(item);
        update();
    }
    ContinueLogin();
}

void LoginWindow::runButton(int index) {
    switch (index) {
        case New:
            NewPlayer();
            break;
        case Continue:
            ContinueLogin();
            break;
        case Quit:
            QuitLobby();
            break;
        default:
            break;
    }
}

void LoginWindow::clearCursor() {
    update(tracker_.clear());
    SetHandCursor(this, false);
}

void LoginWindow::NewPlayer() {
    clearCursor();
    CreatePlayerDialog dialog(this, gameDir_.toStdString());
    if (dialog.exec() != QDialog::Accepted) return;
    AccountCreatedBox box(this);
    box.exec();
    rebuildProfileList();
}

void LoginWindow::ContinueLogin() {
    int selected = profileList_.selectedIndex();
    if (selected < 0 || selected >= static_cast<int>(Profiles().registered.size())) return;
    clearCursor();
    LoginDialog dialog(this, gameDir_.toStdString(), static_cast<size_t>(selected));
    if (dialog.exec() != QDialog::Accepted) return;
    Profiles().currentPlayer = Profiles().registered[static_cast<size_t>(selected)];
    proceed_ = true;
    QTimer::singleShot(0, this, &QWidget::close);
}

void LoginWindow::QuitLobby() {
    clearCursor();
    if (ConfirmBox::Ask(this, "Do you really want to quit now ?", "")) {
        proceed_ = false;
        close();
    }
}

void LoginWindow::closeEvent(QCloseEvent* event) {
    if (!proceed_) {
        event->accept();
        return;
    }
    Process().savedGames =
        ListSavedGames(gameDir_.toStdString(), Profiles().currentPlayer.saveFolder);
    QRect before = MainWindowRect();
    HandOverMainWindowRect(*this);
    if (handOver_ && !handOver_(*this)) {
        MainWindowRect() = before;
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace zrt
