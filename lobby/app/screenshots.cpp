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
            if (name.trimmed().isEmpty()) name = target->metaObject()->className();
            name.replace(QRegularExpression("[^A-Za-z0-9]+"), "_");
            target->grab().save(
                QString("%1/demo-%2-%3.png").arg(dir_).arg(n, 2, 10, QChar('0')).arg(name));
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
    const int quitMs = qEnvironmentVariableIntValue("ZRT_AUTOQUIT_MS", &ok);
    if (!ok || quitMs <= 0) return;
    // Ending the running loops once is not enough while start-up still shows its boxes: the
    // loop that ends is a modal box's, and start-up goes on to the next box or to the main
    // loop. So the quit repeats every 100 ms until the program has ended.
    auto* quit = new QTimer(&app);
    QObject::connect(quit, &QTimer::timeout, quit, [quit] {
        QCoreApplication::exit(0);
        quit->setInterval(100);
    });
    quit->start(quitMs);
}

}  // namespace zrt
