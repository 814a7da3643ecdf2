// The busy wait of the user-interface thread.
#include "lobby/ui/busy_wait.h"

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <thread>

namespace zrt {

bool RunWhileBusy(const std::function<bool()>& job) {
    QEventLoop loop;
    bool result = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::thread worker([&] {
        result = job();
        // Queued: if the loop has not started yet, the quit waits for it.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    QApplication::restoreOverrideCursor();
    return result;
}

}  // namespace zrt
