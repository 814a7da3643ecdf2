// ErrorBox: 228 x 97 dialog units, OK at (88,76).
#include "lobby/ui/error_box.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QThread>

#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

ErrorBox::ErrorBox(QWidget* owner, const QString& message)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      message_(message),
      font_(ArialFont(10)) {
    setObjectName(QStringLiteral("ErrorBox"));
    setWindowTitle(QStringLiteral("ZRTH Lobby - Error"));
    setModal(true);
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    const DialogUnits du(DialogTemplateFont());
    setFixedSize(du.size(228, 97));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setGeometry(du.rect(88, 76, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void ErrorBox::Show(QWidget* owner, const QString& message) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) {
        qWarning("%s", qPrintable(message));
        return;
    }
    if (QThread::currentThread() != app->thread()) {
        QPointer<QWidget> guardedOwner(owner);
        QMetaObject::invokeMethod(
            app,
            [guardedOwner, message] {
                ErrorBox box(guardedOwner.data(), message);
                box.exec();
            },
            Qt::QueuedConnection);
        return;
    }
    ErrorBox box(owner, message);
    box.exec();
}

QRect ErrorBox::messageRect() const {
    const QRect client = rect();
    return QRect(client.left(), client.top() + 35, client.width(), client.height() - 70);
}

void ErrorBox::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setBackgroundMode(Qt::TransparentMode);
    p.setFont(font_);
    p.setPen(kPaintedTextYellow);
    // Lines break only where the message says so.
    p.drawText(messageRect(), Qt::AlignHCenter | Qt::AlignTop, message_);
}

}  // namespace zrt
