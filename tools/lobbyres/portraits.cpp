// The nation portraits. Each is drawn four times larger in 40 x 48 units and scaled down, so
// the small picture keeps smooth edges: a field in the nation's colours, shoulders, a face and
// the headgear, beard or features that tell the nations apart at a glance.
#include "tools/lobbyres/portraits.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "tools/lobbyres/look.h"

namespace lobbyres {
namespace {

constexpr int kScale = 4;

const QColor kSkinLight(236, 196, 160), kSkinTan(206, 158, 112), kSkinDark(150, 98, 62);

void field(QPainter& p, QColor a, QColor b) {
    QLinearGradient g(0, 0, 0, 48);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    p.fillRect(QRectF(0, 0, 40, 48), g);
}

void shoulders(QPainter& p, QColor c) {
    QPainterPath s;
    s.moveTo(2, 48);
    s.cubicTo(3, 40, 10, 38, 20, 38);
    s.cubicTo(30, 38, 37, 40, 38, 48);
    s.closeSubpath();
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(c);
    p.drawPath(s);
}

void head(QPainter& p, QColor skin, double rx = 9.5, double ry = 12) {
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(skin);
    p.drawRect(QRectF(17, 34, 6, 6));  // neck
    p.drawEllipse(QPointF(20, 26), rx, ry);
}

void eyes(QPainter& p, QColor iris, double y = 25, double spread = 4.2, double size = 1.6) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(20 - spread, y), size + 0.6, size);
    p.drawEllipse(QPointF(20 + spread, y), size + 0.6, size);
    p.setBrush(iris);
    p.drawEllipse(QPointF(20 - spread, y), size * 0.7, size * 0.7);
    p.drawEllipse(QPointF(20 + spread, y), size * 0.7, size * 0.7);
}

void brows(QPainter& p, QColor c, double y = 22) {
    p.setPen(QPen(c, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, y), QPointF(18.5, y - 0.6));
    p.drawLine(QPointF(21.5, y - 0.6), QPointF(26, y));
}

void noseMouth(QPainter& p, QColor skin) {
    p.setPen(QPen(skin.darker(150), 0.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 26), QPointF(19, 30));
    p.drawLine(QPointF(19, 30), QPointF(20.5, 30.3));
    p.setPen(QPen(QColor(120, 50, 40), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17.5, 33.3), QPointF(22.5, 33.3));
}

void beard(QPainter& p, QColor c, double length) {
    QPainterPath b;
    b.moveTo(10.6, 26);
    b.cubicTo(11, 31 + length, 16, 34 + length, 20, 34 + length);
    b.cubicTo(24, 34 + length, 29, 31 + length, 29.4, 26);
    b.cubicTo(27, 31, 24, 31.5, 20, 31.5);
    b.cubicTo(16, 31.5, 13, 31, 10.6, 26);
    p.setPen(QPen(kOutline, 0.6));
    p.setBrush(c);
    p.drawPath(b);
    p.setPen(QPen(QColor(120, 50, 40), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 33.2), QPointF(22, 33.2));
}

void moustache(QPainter& p, QColor c, double droop) {
    p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 31.3), QPointF(16, 32 + droop));
    p.drawLine(QPointF(20, 31.3), QPointF(24, 32 + droop));
}

void hairCap(QPainter& p, QColor c) {
    QPainterPath h;
    h.moveTo(10.5, 25);
    h.cubicTo(10, 12, 30, 12, 29.5, 25);
    h.cubicTo(27, 18, 13, 18, 10.5, 25);
    p.setPen(QPen(kOutline, 0.6));
    p.setBrush(c);
    p.drawPath(h);
}

void polygon(QPainter& p, QColor c, std::initializer_list<QPointF> points) {
    p.setPen(QPen(kOutline, 0.7));
    p.setBrush(c);
    p.drawPolygon(QPolygonF(QList<QPointF>(points)));
}

void human(QPainter& p, int nation) {
    switch (nation) {
        case 0:  // Norman: conical nasal helmet, mail, brown beard; blue and gold
            field(p, QColor(40, 70, 150), QColor(20, 30, 80));
            shoulders(p, QColor(150, 150, 160));
            head(p, kSkinLight);
            beard(p, QColor(110, 70, 35), 3);
            eyes(p, QColor(60, 90, 160));
            brows(p, QColor(90, 55, 25), 22.5);
            polygon(p, QColor(170, 172, 180), {{9.5, 23}, {20, 6}, {30.5, 23}});
            p.fillRect(QRectF(18.8, 22, 2.4, 8), QColor(150, 152, 160));
            p.fillRect(QRectF(9.5, 21.5, 21, 2), kGold);
            break;
        case 1:  // Viking: round helmet with horns, long fair beard; red and white
            field(p, QColor(180, 30, 30), QColor(90, 10, 10));
            p.fillRect(QRectF(0, 20, 40, 3), QColor(235, 235, 235));
            shoulders(p, QColor(120, 80, 50));
            head(p, kSkinLight);
            beard(p, QColor(230, 190, 90), 7);
            eyes(p, QColor(50, 120, 200));
            polygon(p, QColor(235, 225, 200), {{10, 19}, {3, 8}, {5, 6}, {13, 16}});
            polygon(p, QColor(235, 225, 200), {{30, 19}, {37, 8}, {35, 6}, {27, 16}});
            p.setPen(QPen(kOutline, 0.7));
            p.setBrush(QColor(140, 140, 150));
            p.drawChord(QRectF(10, 11, 20, 20), 0, 180 * 16);
            break;
        case 2:  // Celt: flowing red hair, blue woad stripes; green
            field(p, QColor(40, 130, 60), QColor(15, 60, 25));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(190, 80, 30));
            p.drawEllipse(QRectF(7, 12, 26, 30));
            shoulders(p, QColor(60, 110, 60));
            head(p, kSkinLight, 9, 11.5);
            hairCap(p, QColor(200, 90, 35));
            eyes(p, QColor(60, 140, 80));
            p.setPen(QPen(QColor(40, 80, 200), 1.2));
            p.drawLine(QPointF(12.5, 27), QPointF(15, 30));
            p.drawLine(QPointF(27.5, 27), QPointF(25, 30));
            moustache(p, QColor(200, 90, 35), 3);
            break;
        case 3:  // Roman: bronze helmet with red crest, clean-shaven; crimson
            field(p, QColor(150, 20, 40), QColor(70, 5, 20));
            shoulders(p, QColor(190, 40, 40));
            head(p, kSkinTan);
            eyes(p, QColor(80, 60, 40));
            noseMouth(p, kSkinTan);
            p.setPen(QPen(kOutline, 0.7));
            p.setBrush(QColor(220, 40, 30));
            p.drawRoundedRect(QRectF(12, 4, 16, 8), 4, 4);
            p.setBrush(QColor(200, 150, 60));
            p.drawChord(QRectF(10, 11, 20, 20), 0, 180 * 16);
            polygon(p, QColor(200, 150, 60), {{10.2, 21}, {9, 31}, {12.5, 31}, {13, 21}});
            polygon(p, QColor(200, 150, 60), {{29.8, 21}, {31, 31}, {27.5, 31}, {27, 21}});
            break;
        case 4:  // Greek: closed bronze helmet with tall crest, beard below; blue and white
            field(p, QColor(30, 90, 180), QColor(230, 235, 245));
            shoulders(p, QColor(30, 70, 150));
            head(p, kSkinTan);
            beard(p, QColor(60, 40, 25), 4);
            p.setPen(QPen(kOutline, 0.7));
            p.setBrush(QColor(190, 140, 50));
            {
                QPainterPath helm;
                helm.moveTo(10, 30);
                helm.cubicTo(8, 12, 32, 12, 30, 30);
                helm.lineTo(23, 30);
                helm.lineTo(22, 24);
                helm.lineTo(18, 24);
                helm.lineTo(17, 30);
                helm.closeSubpath();
                p.drawPath(helm);
            }
            p.setBrush(QColor(20, 20, 20));
            p.drawRect(QRectF(13, 21.5, 14, 2.5));
            // Horsehair crest running front to back over the helmet.
            p.setBrush(QColor(190, 30, 30));
            {
                QPainterPath crest;
                crest.moveTo(10, 20);
                crest.cubicTo(9, 3, 31, 3, 32, 19);
                crest.cubicTo(27, 12, 14, 12, 12.5, 20);
                crest.closeSubpath();
                p.drawPath(crest);
            }
            break;
        case 5:  // Carthaginian: curled black beard, gold circlet; purple
            field(p, QColor(110, 40, 130), QColor(45, 15, 60));
            shoulders(p, QColor(150, 60, 160));
            head(p, kSkinDark);
            hairCap(p, QColor(25, 20, 20));
            beard(p, QColor(25, 20, 20), 5);
            eyes(p, QColor(40, 25, 15));
            p.fillRect(QRectF(10.5, 17, 19, 2), kGold);
            p.setBrush(kGoldLight);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(20, 18), 1.5, 1.5);
            break;
        case 6:  // Chinese: black topknot, thin long moustache; red and gold
            field(p, QColor(200, 30, 20), QColor(110, 10, 5));
            p.setPen(Qt::NoPen);
            p.setBrush(kGold);
            p.drawEllipse(QPointF(33, 8), 3, 3);
            shoulders(p, QColor(230, 180, 40));
            head(p, kSkinLight);
            hairCap(p, QColor(20, 20, 25));
            p.setPen(QPen(kOutline, 0.6));
            p.setBrush(QColor(20, 20, 25));
            p.drawEllipse(QPointF(20, 11), 3.5, 3);
            p.fillRect(QRectF(17, 13, 6, 1.5), kGold);
            p.setPen(QPen(QColor(30, 20, 15), 1.2));
            p.drawLine(QPointF(14.5, 25), QPointF(18, 24.5));
            p.drawLine(QPointF(22, 24.5), QPointF(25.5, 25));
            moustache(p, QColor(20, 20, 25), 5);
            break;
        case 7:  // Japanese: dark helmet with gold crescent, red sun behind; white
            field(p, QColor(240, 240, 236), QColor(200, 200, 196));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(200, 20, 30));
            p.drawEllipse(QPointF(20, 20), 15, 15);
            shoulders(p, QColor(40, 40, 50));
            head(p, kSkinLight);
            p.setPen(QPen(QColor(30, 20, 15), 1.2));
            p.drawLine(QPointF(14.5, 25), QPointF(18, 24.5));
            p.drawLine(QPointF(22, 24.5), QPointF(25.5, 25));
            noseMouth(p, kSkinLight);
            p.setPen(QPen(kOutline, 0.7));
            p.setBrush(QColor(35, 35, 45));
            p.drawChord(QRectF(9, 12, 22, 20), 0, 180 * 16);
            polygon(p, QColor(35, 35, 45), {{8, 22}, {4, 28}, {13, 24}});
            polygon(p, QColor(35, 35, 45), {{32, 22}, {36, 28}, {27, 24}});
            p.setPen(QPen(kGold, 1.6, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(12, 2, 16, 14), 200 * 16, 140 * 16);
            break;
        case 8:  // Mongol: fur-trimmed hat, drooping moustache; sky blue
            field(p, QColor(80, 160, 220), QColor(30, 80, 140));
            shoulders(p, QColor(150, 40, 40));
            head(p, kSkinTan);
            eyes(p, QColor(40, 25, 15), 25, 4.2, 1.2);
            moustache(p, QColor(30, 20, 15), 5);
            p.setPen(QPen(kOutline, 0.7));
            p.setBrush(QColor(170, 40, 40));
            p.drawChord(QRectF(11, 5, 18, 22), 0, 180 * 16);
            p.setBrush(QColor(130, 90, 50));
            p.drawRoundedRect(QRectF(8.5, 14, 23, 6), 3, 3);
            break;
        case 9:  // Egyptian: striped blue and gold headcloth; gold
            field(p, QColor(230, 190, 80), QColor(150, 100, 30));
            shoulders(p, QColor(40, 90, 170));
            p.setPen(QPen(kOutline, 0.7));
            p.setBrush(QColor(40, 60, 160));
            p.drawPolygon(QPolygonF(QList<QPointF>{{9, 18}, {31, 18}, {35, 40}, {5, 40}}));
            for (int i = 0; i < 4; ++i)
                p.fillRect(QRectF(5.5 + i * 0.8, 22 + i * 5, 29 - i * 1.6, 1.6), kGold);
            head(p, kSkinDark, 8.5, 11);
            eyes(p, QColor(20, 15, 10));
            p.setPen(QPen(QColor(10, 10, 10), 0.9));
            p.drawLine(QPointF(25.5, 25), QPointF(28, 24));
            p.drawLine(QPointF(14.5, 25), QPointF(12, 24));
            noseMouth(p, kSkinDark);
            p.setBrush(QColor(40, 60, 160));
            p.setPen(QPen(kOutline, 0.7));
            p.drawChord(QRectF(10.5, 10, 19, 18), 0, 180 * 16);
            for (int i = 0; i < 3; ++i)
                p.fillRect(QRectF(12 + i * 0.5, 12.5 + i * 2.5, 16 - i, 1), kGold);
            break;
        case 10:  // Persian: tall tiara, square curled beard; teal
            field(p, QColor(20, 140, 140), QColor(10, 60, 70));
            shoulders(p, QColor(200, 160, 50));
            head(p, kSkinTan);
            beard(p, QColor(30, 20, 20), 6);
            eyes(p, QColor(40, 25, 15));
            brows(p, QColor(30, 20, 20));
            polygon(p, QColor(230, 220, 200), {{11, 19}, {12, 4}, {28, 4}, {29, 19}});
            p.fillRect(QRectF(11.5, 15, 17, 2.2), kGold);
            p.fillRect(QRectF(12, 6, 16, 1.5), kGold);
            break;
        case 11:  // Indian: white turban with jewel, moustache; saffron
            field(p, QColor(250, 150, 30), QColor(170, 70, 10));
            shoulders(p, QColor(240, 240, 230));
            head(p, kSkinDark);
            eyes(p, QColor(30, 20, 10));
            moustache(p, QColor(20, 15, 10), 1.5);
            p.setPen(QPen(kOutline, 0.7));
            p.setBrush(QColor(245, 245, 240));
            p.drawEllipse(QRectF(9, 6, 22, 16));
            p.setPen(QPen(QColor(200, 190, 180), 0.8));
            p.drawArc(QRectF(11, 9, 18, 12), 20 * 16, 140 * 16);
            p.setPen(QPen(kOutline, 0.5));
            p.setBrush(QColor(210, 20, 40));
            p.drawEllipse(QPointF(20, 15), 2, 2.3);
            break;
        default:
            break;
    }
}

void glowingEyes(QPainter& p, QColor c, double y, double spread, double rx, double ry) {
    QRadialGradient g(QPointF(20 - spread, y), rx * 2.2);
    for (double sx : {-spread, spread}) {
        g.setCenter(QPointF(20 + sx, y));
        g.setFocalPoint(QPointF(20 + sx, y));
        g.setColorAt(0, QColor(c.red(), c.green(), c.blue(), 160));
        g.setColorAt(1, QColor(c.red(), c.green(), c.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(QPointF(20 + sx, y), rx * 2.2, rx * 2.2);
        p.setBrush(c.lighter(130));
        p.drawEllipse(QPointF(20 + sx, y), rx, ry);
    }
}

void species(QPainter& p, int kind) {
    p.setPen(QPen(kOutline, 0.8));
    switch (kind) {
        case 0:  // Tollvane: broad green troll with tusks
            field(p, QColor(60, 50, 40), QColor(20, 15, 10));
            shoulders(p, QColor(90, 70, 40));
            p.setBrush(QColor(90, 140, 60));
            p.drawRoundedRect(QRectF(7, 12, 26, 28), 10, 12);
            p.drawEllipse(QPointF(20, 27), 4.5, 3);
            p.setBrush(QColor(60, 100, 40));
            p.drawRect(QRectF(11, 18, 18, 3));
            glowingEyes(p, QColor(240, 200, 40), 23.5, 5, 1.4, 1.2);
            polygon(p, QColor(245, 240, 210), {{13, 34}, {14, 27}, {16, 34}});
            polygon(p, QColor(245, 240, 210), {{27, 34}, {26, 27}, {24, 34}});
            p.setPen(QPen(kOutline, 1.0));
            p.drawLine(QPointF(13, 34.5), QPointF(27, 34.5));
            break;
        case 1:  // Ustrid: ice-blue face under a crown of crystal spikes
            field(p, QColor(20, 40, 90), QColor(5, 10, 30));
            shoulders(p, QColor(120, 170, 220));
            for (int i = 0; i < 5; ++i) {
                const double x = 10 + i * 5;
                polygon(p, QColor(200, 240, 255),
                        {{x - 2.5, 18}, {x, 4.0 + (i % 2) * 5 + (i == 2 ? -2 : 0)}, {x + 2.5, 18}});
            }
            p.setPen(QPen(kOutline, 0.8));
            p.setBrush(QColor(150, 200, 240));
            p.drawEllipse(QPointF(20, 27), 9, 12);
            glowingEyes(p, QColor(255, 255, 255), 25, 4, 1.8, 1.0);
            p.setPen(QPen(QColor(60, 90, 140), 1.0));
            p.drawLine(QPointF(17, 33), QPointF(23, 33));
            break;
        case 2:  // Phyloth: leaf-crowned plant being with amber eyes
            field(p, QColor(70, 60, 30), QColor(30, 40, 15));
            shoulders(p, QColor(80, 60, 30));
            for (int i = 0; i < 7; ++i) {
                p.save();
                p.translate(20, 24);
                p.rotate(-90 + (i - 3) * 28);
                p.setBrush(QColor(60 + i * 8, 150, 50));
                p.drawEllipse(QRectF(6, -3.5, 16, 7));
                p.restore();
            }
            p.setBrush(QColor(120, 170, 70));
            p.drawEllipse(QPointF(20, 28), 8.5, 10.5);
            glowingEyes(p, QColor(255, 170, 30), 26, 3.8, 1.6, 2.0);
            p.setPen(QPen(QColor(50, 80, 30), 0.9));
            p.drawArc(QRectF(16, 30, 8, 5), 200 * 16, 140 * 16);
            break;
        case 3:  // Drezzak: red horned reptile with slit eyes on black and orange
            field(p, QColor(200, 90, 10), QColor(30, 5, 0));
            shoulders(p, QColor(70, 20, 10));
            polygon(p, QColor(230, 220, 190), {{12, 16}, {5, 2}, {15, 13}});
            polygon(p, QColor(230, 220, 190), {{28, 16}, {35, 2}, {25, 13}});
            p.setBrush(QColor(170, 30, 20));
            {
                QPainterPath h;
                h.moveTo(11, 18);
                h.cubicTo(12, 10, 28, 10, 29, 18);
                h.lineTo(26, 36);
                h.cubicTo(23, 40, 17, 40, 14, 36);
                h.closeSubpath();
                p.drawPath(h);
            }
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 220, 0));
            p.drawEllipse(QPointF(15.5, 22), 2.4, 1.6);
            p.drawEllipse(QPointF(24.5, 22), 2.4, 1.6);
            p.setBrush(Qt::black);
            p.drawEllipse(QPointF(15.5, 22), 0.5, 1.5);
            p.drawEllipse(QPointF(24.5, 22), 0.5, 1.5);
            p.drawEllipse(QPointF(18.5, 31), 0.7, 0.5);
            p.drawEllipse(QPointF(21.5, 31), 0.7, 0.5);
            break;
        case 4:  // Ilvarne: pale violet face, long swept ears, cyan eyes
            field(p, QColor(70, 40, 110), QColor(20, 10, 40));
            shoulders(p, QColor(100, 60, 150));
            polygon(p, QColor(210, 190, 235), {{12, 24}, {1, 13}, {12, 29}});
            polygon(p, QColor(210, 190, 235), {{28, 24}, {39, 13}, {28, 29}});
            p.setPen(QPen(kOutline, 0.8));
            p.setBrush(QColor(215, 195, 240));
            p.drawEllipse(QPointF(20, 27), 8.5, 12);
            hairCap(p, QColor(240, 240, 255));
            glowingEyes(p, QColor(60, 240, 255), 26, 3.8, 1.8, 0.9);
            p.setPen(QPen(QColor(120, 80, 150), 0.8));
            p.drawLine(QPointF(18, 33.5), QPointF(22, 33.5));
            break;
        case 5:  // Quorrim: blocky stone head with glowing cracks
            field(p, QColor(90, 80, 70), QColor(35, 30, 28));
            shoulders(p, QColor(110, 105, 100));
            polygon(p, QColor(140, 135, 128),
                    {{10, 14}, {17, 9}, {28, 10}, {31, 20}, {29, 36}, {20, 39}, {11, 35}, {9, 22}});
            polygon(p, QColor(110, 105, 98),
                    {{9, 22}, {15, 20}, {25, 20}, {31, 20}, {28, 24}, {12, 24}});
            glowingEyes(p, QColor(255, 130, 20), 26, 4.5, 2.0, 1.2);
            p.setPen(QPen(QColor(255, 140, 30), 0.8));
            p.drawLine(QPointF(15, 33), QPointF(20, 31.5));
            p.drawLine(QPointF(20, 31.5), QPointF(25, 33));
            p.drawLine(QPointF(22, 12), QPointF(20, 17));
            break;
        case 6:  // Wendrak: wolfish beast, pointed ears and long snout
            field(p, QColor(60, 90, 60), QColor(15, 25, 15));
            shoulders(p, QColor(70, 50, 30));
            polygon(p, QColor(110, 80, 50), {{10, 22}, {9, 6}, {17, 15}});
            polygon(p, QColor(110, 80, 50), {{30, 22}, {31, 6}, {23, 15}});
            p.setPen(QPen(kOutline, 0.8));
            p.setBrush(QColor(130, 95, 60));
            p.drawEllipse(QPointF(20, 24), 10, 10);
            p.setBrush(QColor(170, 140, 100));
            p.drawRoundedRect(QRectF(14.5, 25, 11, 12), 4, 4);
            p.setBrush(Qt::black);
            p.drawEllipse(QPointF(20, 27), 2.2, 1.5);
            glowingEyes(p, QColor(255, 210, 60), 21.5, 4.5, 1.4, 1.0);
            p.setPen(QPen(kOutline, 0.8));
            p.drawLine(QPointF(20, 28.5), QPointF(20, 33));
            p.drawLine(QPointF(17, 34.5), QPointF(23, 34.5));
            break;
        default:
            break;
    }
}

}  // namespace

QImage portraitImage(int index) {
    if (index < 0 || index >= kPortraitCount) return {};
    QImage big(40 * kScale, 48 * kScale, QImage::Format_RGB32);
    big.fill(Qt::black);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.scale(kScale, kScale);
        if (index < 12)
            human(p, index);
        else
            species(p, index - 12);
    }
    QImage small = big.scaled(40, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // A thin gold-on-dark frame matches the lobby's metalwork.
    QPainter p(&small);
    p.setPen(kOutline);
    p.drawRect(0, 0, 39, 47);
    p.setPen(kGoldDark);
    p.drawRect(1, 1, 37, 45);
    return small;
}

}  // namespace lobbyres
