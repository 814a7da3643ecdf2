// WorkerDialog: the small modal window that stands on the screen while one job runs on a worker
// thread of its own: the server request, the loading box and the banner download are each one.
// The worker starts when the window is first shown; the job's last act is to post WM_APP + 1 to
// the window with the job's result as wParam, on which the window joins the worker and calls
// finished(). The window has no close button: Esc and close requests go to cancel(), which does
// nothing unless the job can be broken off. The worker has always ended when the window is gone.
#pragma once

#include <QDialog>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <thread>

namespace zrt {

class WorkerDialog : public QDialog {
    Q_OBJECT
  public:
    ~WorkerDialog() override;

  protected:
    // A window titled `title`, `templateSize` dialog units large in the dialog font, with the
    // dialog colours.
    WorkerDialog(QWidget* owner, const QString& title, QSize templateSize);

    // The job the worker runs; it must not touch widgets. Set before the window is shown.
    void setJob(std::function<intptr_t()> job) { job_ = std::move(job); }
    // The job has ended and the worker is joined. Ends the window with 1 unless overridden.
    virtual void finished(intptr_t result);
    // Esc or a close request while the window stands. Nothing unless overridden.
    virtual void cancel() {}
    // Waits for the worker; a cancellable job must have been told to stop first. A result the
    // worker posted afterwards is ignored.
    void joinWorker();
    bool working() const { return worker_.joinable(); }

    // A text the window paints itself: yellow Arial 10 on the grey, as `flags` places it in
    // `band`.
    void paintText(const QRect& band, int flags, const QString& text);

    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override { cancel(); }

  private:
    std::function<intptr_t()> job_;
    std::thread worker_;
    bool started_ = false;
};

}  // namespace zrt
