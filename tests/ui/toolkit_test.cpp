// Masks and transparent drawing, plain/stretched/partial drawing, dialog units and the
// hot-spot mouse rule.
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "lobby/ui/dialog_units.h"
#include "lobby/ui/draw_bitmap.h"
#include "lobby/ui/hot_spot_button.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/masked_bitmap.h"

using namespace zrt;

namespace {

QImage Solid(int w, int h, QRgb c, QImage::Format f = QImage::Format_RGB32) {
    QImage img(w, h, f);
    img.fill(QColor(c));
    return img;
}

}  // namespace

class ToolkitTest : public QObject {
    Q_OBJECT
  private slots:
    void maskedDrawingLeavesKeyPixels_data() {
        QTest::addColumn<int>("format");
        QTest::newRow("32 bits") << int(QImage::Format_RGB32);
        QTest::newRow("24 bits") << int(QImage::Format_RGB888);
        QTest::newRow("5-6-5") << int(QImage::Format_RGB16);
        QTest::newRow("5-5-5") << int(QImage::Format_RGB555);
    }
    void maskedDrawingLeavesKeyPixels() {
        QFETCH(int, format);
        const auto f = static_cast<QImage::Format>(format);
        // A 4x2 picture: left half key green, right half red.
        QImage pic = Solid(4, 2, qRgb(255, 0, 0), f);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) pic.setPixel(x, y, kKeyColour);
        const MaskedBitmap m = MakeMask(pic, kKeyColour);
        QVERIFY(!m.isNull());
        QCOMPARE(m.width(), 4);
        QCOMPARE(m.mask.pixelIndex(0, 0), 1);
        QCOMPARE(m.mask.pixelIndex(3, 1), 0);
        QCOMPARE(m.masked.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(m.masked.format(), f);

        QImage target = Solid(8, 4, qRgb(10, 20, 200));
        QPainter p(&target);
        DrawMasked(p, 2, 1, m);
        p.end();
        QCOMPARE(target.pixel(2, 1), qRgb(10, 20, 200));  // key pixel keeps the target
        QCOMPARE(target.pixel(3, 2), qRgb(10, 20, 200));
        QCOMPARE(target.pixel(4, 1), qRgb(255, 0, 0));  // picture pixel drawn
        QCOMPARE(target.pixel(5, 2), qRgb(255, 0, 0));
        QCOMPARE(target.pixel(6, 1), qRgb(10, 20, 200));  // outside untouched

        const MaskedBitmap part = MakeMask(pic, kKeyColour, 3, 1);
        QCOMPARE(part.masked.size(), QSize(3, 1));
        QVERIFY(MakeMask(QImage(), kKeyColour).isNull());
    }

    void drawsPlainStretchedAndPart() {
        QImage pic = Solid(4, 4, qRgb(255, 0, 0));
        for (int x = 0; x < 4; ++x) pic.setPixel(x, 3, qRgb(0, 255, 0));  // bottom row green
        QImage target = Solid(20, 20, qRgb(255, 255, 255));
        QPainter p(&target);
        DrawBitmap(p, pic, 1, 1);
        DrawBitmap(p, pic, 10, 0, 8, 8);
        DrawBitmapPart(p, pic, 0, 12, 0, 0, 1, 3);  // the rest from (1,3): a 3x1 green strip
        p.end();
        QCOMPARE(target.pixel(1, 1), qRgb(255, 0, 0));
        QCOMPARE(target.pixel(4, 4), qRgb(0, 255, 0));
        QCOMPARE(target.pixel(5, 5), qRgb(255, 255, 255));
        QCOMPARE(target.pixel(17, 7), qRgb(0, 255, 0));  // stretched twice as large
        QCOMPARE(target.pixel(17, 5), qRgb(255, 0, 0));
        QCOMPARE(target.pixel(2, 12), qRgb(0, 255, 0));
        QCOMPARE(target.pixel(3, 12), qRgb(255, 255, 255));
        QCOMPARE(target.pixel(0, 13), qRgb(255, 255, 255));
    }

    void dialogUnitsFollowTheFont() {
        const QFont font = DialogTemplateFont();
        const DialogUnits du(font);
        const QFontMetrics fm(font);
        const int letters =
            fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        QCOMPARE(du.averageCharWidth(), (letters / 26 + 1) / 2);
        QCOMPARE(du.charHeight(), fm.height());
        QCOMPARE(du.x(4), du.averageCharWidth());
        QCOMPARE(du.y(8), du.charHeight());
        QCOMPARE(du.x(2), (2 * du.averageCharWidth() + 2) / 4);
        QCOMPARE(du.rect(88, 76, 50, 14), QRect(du.x(88), du.y(76), du.x(50), du.y(14)));
        QCOMPARE(du.size(228, 97), QSize(du.x(228), du.y(97)));
        QVERIFY(DialogUnits(ArialFont(14)).averageCharWidth() > du.averageCharWidth());
    }

    void hotSpotMouseRule() {
        const HotSpotButton a(QPoint(0, 0), Solid(10, 10, qRgb(1, 1, 1)),
                              Solid(10, 10, qRgb(2, 2, 2)));
        const HotSpotButton b(QPoint(10, 0), Solid(10, 10, qRgb(3, 3, 3)),
                              Solid(10, 10, qRgb(4, 4, 4)));
        QCOMPARE(a.rect, QRect(0, 0, 10, 10));
        const HotSpotButton* list[] = {&a, &b};
        HotSpotTracker t;

        HotSpotTracker::Move m = t.mouseMoved(QPoint(50, 50), list);
        QVERIFY(!m.hand);
        QVERIFY(m.repaint.isEmpty());
        m = t.mouseMoved(QPoint(5, 5), list);
        QVERIFY(m.hand);
        QCOMPARE(t.hotButton(), 0);
        QCOMPARE(t.hotRect(), a.rect);
        QCOMPARE(m.repaint, QRegion(a.rect));
        m = t.mouseMoved(QPoint(6, 6), list);  // still inside: nothing changes
        QVERIFY(m.hand);
        QVERIFY(m.repaint.isEmpty());
        // Straight onto the next button: the first returns to normal, the second turns hot.
        m = t.mouseMoved(QPoint(15, 5), list);
        QCOMPARE(t.hotButton(), 1);
        QCOMPARE(m.repaint, QRegion(a.rect) + QRegion(b.rect));

        QImage canvas = Solid(20, 10, qRgb(255, 255, 255));
        QPainter p(&canvas);
        t.paint(p, list);
        p.end();
        QCOMPARE(canvas.pixel(5, 5), qRgb(1, 1, 1));
        QCOMPARE(canvas.pixel(15, 5), qRgb(4, 4, 4));

        m = t.mouseMoved(QPoint(50, 5), list);
        QVERIFY(!m.hand);
        QCOMPARE(t.hotButton(), -1);
        QCOMPARE(m.repaint, QRegion(b.rect));
        QCOMPARE(HotSpotTracker::buttonAt(QPoint(12, 2), list), 1);
        QCOMPARE(HotSpotTracker::buttonAt(QPoint(25, 2), list), -1);
    }
};

QTEST_MAIN(ToolkitTest)
#include "toolkit_test.moc"
