// LobbyView: scrolling, painting entry point, mouse tracking and the posted events.
#include "lobby/app/lobby_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "lobby/app/lobby_view_paint.h"
#include "lobby/platform/app_events.h"
#include "lobby/session/lobby_session.h"
#include "lobby/ui/hot_spot_button.h"
#include "lobby/ui/lobby_context.h"
#include "lobby/ui/lobby_pictures.h"

namespace zrt {

LobbyView::LobbyView(LobbyContext& ctx, QWidget* parent) : QAbstractScrollArea(parent), ctx_(ctx) {
    const LobbyPictures& pics = Pictures();
    sizes_ = {pics.bCreate.image().size(), pics.bJoin.image().size(),  pics.bQuit.image().size(),
              pics.bLaunch.image().size(), pics.bMyGrp.image().size(), pics.bAbout.image().size()};
    setFrameShape(QFrame::NoFrame);
    setFixedWidth(kLobbyViewWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    // The paint covers everything; nothing needs erasing first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(20);
    Init();
}

void LobbyView::Init() {
    hot_ = {};
    lastMouse_.reset();
    SetHandCursor(viewport(), false);
    scrollHeight_ = LobbyScrollHeight(ctx_.session ? ctx_.session->hall.read()->groups.size() : 0);
    updateScrollBars();
    viewport()->update();
}

QPoint LobbyView::toDocument(QPoint viewportPos) const {
    return viewportPos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QPoint LobbyView::toViewport(QPoint documentPos) const {
    return documentPos - QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void LobbyView::updateScrollBars() {
    const QSize view = viewport()->size();
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setRange(0, std::max(0, scrollHeight_ - view.height()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setRange(0, std::max(0, kLobbyScrollWidth - view.width()));
}

void LobbyView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

LobbyPaintState LobbyView::paintState() const {
    LobbyPaintState s;
    s.scrollHeight = scrollHeight_;
    if (ctx_.session != nullptr) {
        s.rows = ctx_.session->hall.groupRows();
        s.own = ctx_.session->hall.ownGroupStatus();
        s.gemstoneHall = ctx_.session->gemstoneHall;
    }
    s.hot = hot_;
    return s;
}

LobbyHit LobbyView::hitTest(QPoint doc) const {
    if (ctx_.session == nullptr) return {};
    return LobbyHitTest(doc, ctx_.session->hall.groupRows(), ctx_.session->hall.ownGroupStatus(),
                        sizes_);
}

void LobbyView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QPoint offset = toDocument(QPoint(0, 0));
    // Below and beside the document the pane stays black.
    p.fillRect(event->rect(), Qt::black);
    p.translate(-offset);
    PaintLobbyView(p, event->rect().translated(offset), paintState());
}

QImage LobbyView::renderDocument() const {
    QImage image(kLobbyScrollWidth, scrollHeight_, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    PaintLobbyView(p, image.rect(), paintState());
    return image;
}

void LobbyView::setHot(const LobbyHit& hit) {
    if (!(hit == hot_)) {
        if (hot_.spot != LobbyHotSpot::None)
            viewport()->update(QRect(toViewport(hot_.rect.topLeft()), hot_.rect.size()));
        if (hit.spot != LobbyHotSpot::None)
            viewport()->update(QRect(toViewport(hit.rect.topLeft()), hit.rect.size()));
        hot_ = hit;
    }
    SetHandCursor(viewport(), hot_.spot != LobbyHotSpot::None);
}

void LobbyView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint doc = toDocument(event->position().toPoint());
    lastMouse_ = doc;
    setHot(hitTest(doc));
}

void LobbyView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint doc = toDocument(event->position().toPoint());
    lastMouse_ = doc;
    click(hitTest(doc));
}

bool LobbyView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) forgetMouse();
    return QAbstractScrollArea::viewportEvent(event);
}

// The mouse left the pane, or a dialog opened over it and took the mouse: the spot goes back
// to normal and the last mouse position is forgotten, so a group change does not light it
// again under a mouse that is no longer there.
void LobbyView::forgetMouse() {
    lastMouse_.reset();
    setHot({});
}

void LobbyView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void LobbyView::refreshGroups(bool tableChanged) {
    if (tableChanged && ctx_.session != nullptr) {
        scrollHeight_ = LobbyScrollHeight(ctx_.session->hall.read()->groups.size());
        updateScrollBars();
    }
    viewport()->update();
    setHot(lastMouse_ ? hitTest(*lastMouse_) : LobbyHit{});
}

bool LobbyView::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) forgetMouse();
    if (AppEvent::is(event, WM_GROUPS_REFRESH)) {
        refreshGroups(static_cast<AppEvent*>(event)->wParam == 1);
        return true;
    }
    if (AppEvent::is(event, WM_GROUP_LAUNCH)) {
        groupLaunched(static_cast<size_t>(static_cast<AppEvent*>(event)->wParam));
        return true;
    }
    return QAbstractScrollArea::event(event);
}

}  // namespace zrt
