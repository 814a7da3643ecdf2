// Saving a PNG of every window shown.
#include "lobby/app/screenshots.h"

#include <QDir>
#include <QEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

namespace zrt {
namespace {

class ScreenshotRecorder : public QObject {
public:
    ScreenshotRecorder(QObject* parent, QString dir) : QObject(parent), dir_(std::move(dir)) {
        QDir().mkpath(dir_);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && w->isWindow()) schedule(w);
        }
        return false;
    }

private:
    void schedule(QWidget* w) {
        QPointer<QWidget> target(w);
        int n = ++count_;
        QTimer::singleShot(0, this, [this, target, n] {
            if (!target || !target->isVisible()) return;
            QString name = target->windowTitle();
            if (name.isEmpty()) name = target->metaObject()->className();
            name.replace(QRegularExpression("[^A-Za-z0-9]+"), "_");
            target->grab().save(QString("%1/demo-%2-%3.png").arg(dir_).arg(n, 2, 10, QChar('0')).arg(name));
        });
    }

    QString dir_;
    int count_ = 0;
};

}  // namespace

void InstallScreenshotRecorder(QApplication& app) {
    QString dir = qEnvironmentVariable("ZRT_SCREENSHOT_DIR");
    if (!dir.isEmpty()) app.installEventFilter(new ScreenshotRecorder(&app, dir));
    bool ok = false;
    int quitMs = qEnvironmentVariableIntValue("ZRT_AUTOQUIT_MS", &ok);
    if (ok && quitMs > 0) QTimer::singleShot(quitMs, &app, [] { QCoreApplication::exit(0); });
}

}  // namespace zrt
