// ErrorBox, ConfirmBox and LoadingBox: sizes, keys, outcomes, and screenshots for a person to
// look at (saved under ZRT_SCREENSHOT_DIR).
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <atomic>

#include "lobby/ui/confirm_box.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/loading_box.h"
#include "lobby/ui/lobby_look.h"

using namespace zrt;

namespace {

QString ScreenshotPath(const QString& name) {
    QString dir = qEnvironmentVariable("ZRT_SCREENSHOT_DIR", QStringLiteral(ZRT_SCREENSHOT_DIR));
    QDir().mkpath(dir);
    return dir + "/" + name;
}

// Once the event loop runs, hands the active modal box to `act`.
void WhenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        act(box);
    });
}

int YellowPixelRows(const QImage& img, const QRect& within) {
    int rows = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (img.pixel(x, y) == kPaintedTextYellow.rgb()) {
                ++rows;
                break;
            }
    return rows;
}

}  // namespace

class MessageBoxesTest : public QObject {
    Q_OBJECT
  private slots:
    void errorBoxLayoutAndScreenshot() {
        ErrorBox box(nullptr, "first line\nthe second, longer line\nthird");
        const DialogUnits du(DialogTemplateFont());
        QCOMPARE(box.size(), du.size(228, 97));
        QCOMPARE(box.windowTitle(), QString("ZRTH Lobby - Error"));
        auto* ok = box.findChild<QPushButton*>("ok");
        QVERIFY(ok);
        QCOMPARE(ok->geometry(), du.rect(88, 76, 50, 14));
        QCOMPARE(box.messageRect(), QRect(0, 35, box.width(), box.height() - 70));

        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QImage shot = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(shot.save(ScreenshotPath("error_box.png")));
        QCOMPARE(shot.pixel(2, 2), kDialogGrey.rgb());
        // Three lines of yellow text in the band, each centred: the widest line's ink spans
        // about the middle, and nothing is painted above the band.
        QVERIFY(YellowPixelRows(shot, QRect(0, 0, shot.width(), 35)) == 0);
        QVERIFY(YellowPixelRows(shot, box.messageRect()) > 0);
        int left = shot.width(), right = -1;
        for (int y = 35; y < box.height() - 35; ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (qRed(shot.pixel(x, y)) > 150 && qBlue(shot.pixel(x, y)) < 80) {  // yellow ink
                    left = qMin(left, x);
                    right = qMax(right, x);
                }
        QVERIFY(right > left);
        QVERIFY(qAbs((left + right) / 2 - shot.width() / 2) <= 3);
    }

    void errorBoxClosesOnEnterAndEscape() {
        WhenModal([](QWidget* box) {
            QCOMPARE(box->objectName(), QString("ErrorBox"));
            QTest::keyClick(box, Qt::Key_Return);
        });
        ErrorBox::Show(nullptr, "closed by Enter");
        WhenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
        ErrorBox::Show(nullptr, "closed by Esc");
        QVERIFY(!QApplication::activeModalWidget());
    }

    void confirmBoxLayoutAndScreenshot() {
        ConfirmBox box(nullptr, "Do you really want to quit now ?", "");
        const DialogUnits du(DialogTemplateFont());
        QCOMPARE(box.size(), du.size(198, 75));
        // Untitled: one blank, as an empty title would show the program's name instead.
        QCOMPARE(box.windowTitle(), QString(" "));
        QCOMPARE(box.firstLine()->geometry(), du.rect(7, 18, 184, 10));
        QCOMPARE(box.secondLine()->geometry(), du.rect(7, 35, 184, 10));
        QCOMPARE(box.firstLine()->text(), QString("Do you really want to quit now ?"));
        QCOMPARE(box.findChild<QPushButton*>("yes")->geometry().topLeft(),
                 du.rect(33, 54, 1, 1).topLeft());
        QCOMPARE(box.findChild<QPushButton*>("no")->geometry().topLeft(),
                 du.rect(114, 54, 1, 1).topLeft());
        QCOMPARE(box.findChild<QPushButton*>("yes")->text(), QString("YES"));
        QCOMPARE(box.findChild<QPushButton*>("no")->text(), QString("NO"));

        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QImage shot = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(shot.save(ScreenshotPath("confirm_box.png")));
        QVERIFY(YellowPixelRows(shot, box.firstLine()->geometry()) > 0);

        ConfirmBox longLine(nullptr, QString(120, 'x'), "second");
        QCOMPARE(longLine.firstLine()->text().size(), 79);
    }

    void confirmBoxAnswers() {
        WhenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(ConfirmBox::Ask(nullptr, "Do you really want to quit now ?", ""), false);
        WhenModal([](QWidget* box) { box->findChild<QPushButton*>("no")->click(); });
        QCOMPARE(ConfirmBox::Ask(nullptr, "question", ""), false);
        WhenModal([](QWidget* box) { box->findChild<QPushButton*>("yes")->click(); });
        QCOMPARE(ConfirmBox::Ask(nullptr, "question", ""), true);
    }

    void loadingBoxEndsWithTheLoadersOutcome() {
        std::atomic<bool> ran{false};
        LoadingBox ok([&ran] {
            ran = true;
            return true;
        });
        QCOMPARE(ok.Run(), 1);
        QVERIFY(ran);

        LoadingBox failing([] { return false; });
        QCOMPARE(failing.Run(), 2);

        LoadingBox throwing([]() -> bool { throw 1; });
        QCOMPARE(throwing.Run(), 2);
    }

    void loadingBoxIgnoresEscapeAndScreenshot() {
        // The loader waits until the test has pressed Esc and taken the screenshot.
        std::atomic<bool> release{false};
        LoadingBox box([&release] {
            while (!release) std::this_thread::yield();
            return true;
        });
        const DialogUnits du(DialogTemplateFont());
        QCOMPARE(box.size(), du.size(170, 45));
        QCOMPARE(box.windowTitle(), QString("Zerathon Lobby ( Demo Version )"));
        QVERIFY(!(box.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(box.findChildren<QWidget*>().isEmpty());
        WhenModal([&release](QWidget* w) {
            QTest::keyClick(w, Qt::Key_Escape);
            w->close();
            QVERIFY(w->isVisible());
            const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QVERIFY(shot.save(ScreenshotPath("loading_box.png")));
            auto* lb = static_cast<LoadingBox*>(w);
            QVERIFY(YellowPixelRows(shot, lb->textRect()) > 0);
            QCOMPARE(YellowPixelRows(shot, QRect(0, 0, shot.width(), shot.height() - 30)), 0);
            release = true;
        });
        QCOMPARE(box.Run(), 1);
    }
};

QTEST_MAIN(MessageBoxesTest)
#include "message_boxes_test.moc"
