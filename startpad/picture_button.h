// A bitmap button of the launcher: a sunken client edge around a raised face that carries a
// picture in its middle. The face takes the colour of the picture's top-left pixel, so a
// label drawn on a plain ground blends into it.
#pragma once

#include <QAbstractButton>
#include <QImage>

namespace zrt {

class PictureButton : public QAbstractButton {
  public:
    PictureButton(const QImage& picture, QWidget* parent);

    const QImage& picture() const { return picture_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
};

}  // namespace zrt
