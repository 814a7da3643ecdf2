// The login screen: the local profiles that carry a lobby account, and New, Continue, Quit.
#pragma once

#include <QWidget>

namespace zrt {

class LoginWindow : public QWidget {
    Q_OBJECT
public:
    explicit LoginWindow(QWidget* parent = nullptr);

    // Positions of the three buttons (as large as bsNew.bmp), on the row y = 478.
    QRect newRect() const;
    QRect continueRect() const;
    QRect quitRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace zrt
