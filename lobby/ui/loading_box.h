// LoadingBox: stands on the screen while a loader runs on a worker thread at start-up.
#pragma once

#include <functional>

#include "lobby/ui/worker_dialog.h"

namespace zrt {

class LoadingBox : public WorkerDialog {
    Q_OBJECT
  public:
    // `loader` runs on a worker thread once the box is open; it returns true when everything
    // was loaded. It must not touch widgets.
    explicit LoadingBox(std::function<bool()> loader, QWidget* owner = nullptr);

    // Shows the box modally until the loader ends: 1 when it succeeded, 2 when it failed. The
    // worker thread has always ended when this returns.
    int Run();

    // The band "Loading Resources..." is centred in: 30 to 10 pixels above the client bottom.
    QRect textRect() const;

  protected:
    void finished(intptr_t failed) override;
    void paintEvent(QPaintEvent* e) override;
};

}  // namespace zrt
