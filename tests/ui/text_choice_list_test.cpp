// TextChoiceList: column layout, the item limit, hover and selection colours as drawn.
#include "lobby/ui/text_choice_list.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace zrt;

namespace {
const QColor kNormal(50, 50, 100), kHover(150, 150, 0), kSelected(0, 0, 255);

// Which of the three colours the text inside an item's rectangle is drawn in (the first fully
// covered pixel; edges are blended with the white canvas).
QColor InkIn(const QImage& img, const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            for (const QColor& c : {kNormal, kHover, kSelected})
                if (img.pixel(x, y) == c.rgb()) return c;
    return QColor();
}
}  // namespace

class TextChoiceListTest : public QObject {
    Q_OBJECT
  private slots:
    void firstItemIsCentred() {
        TextChoiceList list;
        list.init(QRect(120, 160, 460, 230), kNormal, kHover, kSelected);
        QVERIFY(list.add("PLAYER"));
        const QFontMetrics fm(list.font());
        const int w = fm.horizontalAdvance("PLAYER"), h = fm.height();
        QCOMPARE(list.itemRect(0), QRect(120 + (460 - w) / 2, 160 + (230 - h) / 2, w, h));
    }

    void stacksThenOpensSecondColumn() {
        // An area 300 pixels high: items stack 10 apart, centred vertically, until the next
        // would pass the bottom; then a second column opens level with the first column's top.
        const QRect area(0, 0, 400, 300);
        TextChoiceList list;
        list.init(area, kNormal, kHover, kSelected);
        const int h = QFontMetrics(list.font()).height();
        // A column of n items is centred, so its bottom is at (300 - total) / 2 + total; the
        // next item joins it while 10 pixels and its height still fit below that.
        auto span = [h](int n) { return n * h + (n - 1) * 10; };
        int perColumn = 1;
        while (300 >= (300 - span(perColumn)) / 2 + span(perColumn) + h + 10) ++perColumn;
        QVERIFY(perColumn >= 2 && perColumn < 20);
        for (int i = 0; i < perColumn; ++i) QVERIFY(list.add(QString("NAME%1").arg(i)));
        QCOMPARE(list.columnCount(), 1);
        const int total = perColumn * h + (perColumn - 1) * 10;
        for (int i = 0; i < perColumn; ++i) {
            const QRect r = list.itemRect(i);
            QCOMPARE(r.top(), (300 - total) / 2 + i * (h + 10));
            QCOMPARE(r.left(), (400 - r.width()) / 2);
        }
        const int firstTop = list.itemRect(0).top();

        QVERIFY(list.add("NEXT"));
        QCOMPARE(list.columnCount(), 2);
        for (int i = 0; i < perColumn; ++i) {
            const QRect r = list.itemRect(i);
            QCOMPARE(r.left(), (200 - r.width()) / 2);  // centre of the left half
            QCOMPARE(r.top(), (300 - total) / 2 + i * (h + 10));
        }
        const QRect next = list.itemRect(perColumn);
        QCOMPARE(next.left(), 200 + (200 - next.width()) / 2);  // centre of the right half
        QCOMPARE(next.top(), firstTop);

        // The next item goes below it, and the new column is centred vertically again.
        QVERIFY(list.add("MORE"));
        const QRect more = list.itemRect(perColumn + 1);
        QCOMPARE(list.itemRect(perColumn).top(), (300 - (2 * h + 10)) / 2);
        QCOMPARE(more.top(), list.itemRect(perColumn).top() + h + 10);
        QCOMPARE(more.left(), 400 - 200 + (200 - more.width()) / 2);
    }

    void twentyFirstAddFails() {
        TextChoiceList list;
        list.init(QRect(120, 160, 460, 230), kNormal, kHover, kSelected);
        for (int i = 0; i < 20; ++i) QVERIFY(list.add(QString("P%1").arg(i)));
        const QRect last = list.itemRect(19);
        QVERIFY(!list.add("ONE TOO MANY"));
        QCOMPARE(list.count(), 20);
        QCOMPARE(list.itemRect(19), last);
        QCOMPARE(list.itemText(19), QString("P19"));
        QCOMPARE(list.itemText(20), QString());

        list.clear();
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.columnCount(), 1);
        QCOMPARE(list.selectedIndex(), -1);
    }

    void hoverAndSelectionColours() {
        TextChoiceList list;
        list.init(QRect(0, 0, 300, 200), kNormal, kHover, kSelected);
        list.add("ALPHA");
        list.add("BRAVO");
        list.add("CHARLIE");
        QCOMPARE(list.hitTest(list.itemRect(1).center()), 1);
        list.select(2);
        auto render = [&list] {
            QImage img(300, 200, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            list.draw(p);
            return img;
        };
        QImage img = render();
        QCOMPARE(InkIn(img, list.itemRect(0)).rgb(), kNormal.rgb());
        QCOMPARE(InkIn(img, list.itemRect(1)).rgb(), kHover.rgb());
        QCOMPARE(InkIn(img, list.itemRect(2)).rgb(), kSelected.rgb());

        // Off every item: no hover; the selected item keeps its colour while hovered.
        QCOMPARE(list.hitTest(QPoint(0, 0)), -1);
        QCOMPARE(list.hoverIndex(), -1);
        QCOMPARE(list.hitTest(list.itemRect(2).center()), 2);
        img = render();
        QCOMPARE(InkIn(img, list.itemRect(1)).rgb(), kNormal.rgb());
        QCOMPARE(InkIn(img, list.itemRect(2)).rgb(), kSelected.rgb());
        list.select(0);
        QCOMPARE(list.selectedIndex(), 0);
        list.select(-1);
        QCOMPARE(list.selectedIndex(), -1);
    }
};

QTEST_MAIN(TextChoiceListTest)
#include "text_choice_list_test.moc"
