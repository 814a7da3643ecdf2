// LoadingBox: stands on the screen while a loader runs on a worker thread at start-up.
#pragma once

#include <QDialog>
#include <QFont>

#include <functional>
#include <thread>

namespace zrt {

class LoadingBox : public QDialog {
    Q_OBJECT
public:
    // `loader` runs on a worker thread once the box is open; it returns true when everything
    // was loaded. It must not touch widgets.
    explicit LoadingBox(std::function<bool()> loader, QWidget* owner = nullptr);
    ~LoadingBox() override;

    // Shows the box modally until the loader ends: 1 when it succeeded, 2 when it failed. The
    // worker thread has always ended when this returns.
    int Run();

    // The band "Loading Resources..." is centred in: 30 to 10 pixels above the client bottom.
    QRect textRect() const;

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void joinWorker();

    std::function<bool()> loader_;
    std::thread worker_;
    bool started_ = false;
    bool finished_ = false;
    QFont font_;
};

}  // namespace zrt
