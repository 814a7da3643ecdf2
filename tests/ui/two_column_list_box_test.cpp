// TwoColumnListBox painting (columns, stripes, highlighted names) and FitText.
#include "lobby/ui/two_column_list_box.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QtTest>

#include "lobby/session/name_set.h"
#include "lobby/ui/fit_text.h"

using namespace zrt;

namespace {

bool HasColour(const QImage& img, const QRect& r, const QColor& c) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) == c.rgb()) return true;
    return false;
}

}  // namespace

class TwoColumnListBoxTest : public QObject {
    Q_OBJECT
  private slots:
    void fontsAndItemHeight() {
        TwoColumnListBox large(TwoColumnListBox::Size::Large, 100, false);
        TwoColumnListBox small(TwoColumnListBox::Size::Small, 100, false);
        QCOMPARE(large.firstFont().pixelSize(), 15);  // 11 points
        QCOMPARE(small.firstFont().pixelSize(), 12);  // 9 points
        QCOMPARE(large.itemHeight(), QFontMetrics(large.firstFont()).height());
        QVERIFY(large.itemHeight() > small.itemHeight());
        large.addItem("ONE\t1");
        large.addItem("TWO\t2");
        large.resize(300, 200);
        large.show();
        QCOMPARE(large.visualItemRect(large.item(1)).height(), large.itemHeight());
    }

    void drawsColumnsStripesAndHighlights() {
        TwoColumnListBox box(TwoColumnListBox::Size::Large, 120, true);
        NameSet names;
        names.insert("MARKED");
        box.setHighlightNames(&names);

        const int h = box.itemHeight();
        QImage img(300, 3 * h, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        box.drawItem(p, 0, "PLAIN\tSECOND", QRect(0, 0, 300, h));
        box.drawItem(p, 1, "MARKED\tX", QRect(0, h, 300, h));
        box.drawItem(p, 2, "NOTAB", QRect(0, 2 * h, 300, h));
        p.end();

        const QRect firstCol(5, 0, 115, h), secondCol(125, 0, 175, h);
        QVERIFY(HasColour(img, firstCol, TwoColumnListBox::kFirstColumn));
        QVERIFY(HasColour(img, secondCol, TwoColumnListBox::kSecondColumn));
        QVERIFY(!HasColour(img, firstCol, TwoColumnListBox::kSecondColumn));
        // Stripes: black for even rows, blue for odd ones.
        QCOMPARE(img.pixel(2, h / 2), qRgb(0, 0, 0));
        QCOMPARE(img.pixel(2, h + h / 2), qRgb(0, 0, 255));
        // Highlighting is off until switched on.
        QVERIFY(!HasColour(img, firstCol.translated(0, h), TwoColumnListBox::kHighlighted));
        // A text without a tab draws only its first column.
        QVERIFY(HasColour(img, firstCol.translated(0, 2 * h), TwoColumnListBox::kFirstColumn));
        QVERIFY(!HasColour(img, secondCol.translated(0, 2 * h), TwoColumnListBox::kSecondColumn));

        box.setHighlighting(true);
        img.fill(Qt::white);
        p.begin(&img);
        box.drawItem(p, 1, "MARKED\tX", QRect(0, h, 300, h));
        box.drawItem(p, 0, "PLAIN\tSECOND", QRect(0, 0, 300, h));
        p.end();
        QVERIFY(HasColour(img, firstCol.translated(0, h), TwoColumnListBox::kHighlighted));
        QVERIFY(!HasColour(img, firstCol, TwoColumnListBox::kHighlighted));
    }

    void fitTextBreaksWhereTheRoomEnds() {
        TwoColumnListBox box(TwoColumnListBox::Size::Small, 40, false);
        box.resize(300, 200);
        const int scroll = box.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &box);
        const int available = box.contentsRect().width() - 40 - scroll - 5;
        const QFontMetrics fm(box.firstFont());

        QCOMPARE(FitText(box, "short"), -1);
        QCOMPARE(FitText(box, QString()), -1);
        const QString longText(200, QLatin1Char('w'));
        const int k = FitText(box, longText);
        QVERIFY(k > 1);
        QVERIFY(fm.horizontalAdvance(longText.left(k)) > available);
        QVERIFY(fm.horizontalAdvance(longText.left(k - 1)) <= available);

        // A box too narrow for one character still moves on by one character per line.
        box.resize(20, 50);
        QCOMPARE(FitText(box, "abc"), 1);
    }
};

QTEST_MAIN(TwoColumnListBoxTest)
#include "two_column_list_box_test.moc"
