// The application object: window titles get nothing appended by the window system, and the
// dialog colours it sets give disabled controls grey text.
#include "lobby/app/application.h"

#include <QPalette>
#include <QtTest>

#include "lobby/ui/lobby_look.h"

class ApplicationTest : public QObject {
    Q_OBJECT
  private slots:
    // The window system appends a display name to every window title ("ZRTH Lobby - Login —
    // ZRTH Lobby"), so the program has an application name only: the display name then just
    // follows it, and titles stay exactly the screens' own.
    void titlesGetNothingAppended() {
        QCOMPARE(QCoreApplication::applicationName(), QString("ZRTH Lobby"));
        QCoreApplication::setApplicationName("renamed");
        QCOMPARE(QGuiApplication::applicationDisplayName(), QString("renamed"));
        QCoreApplication::setApplicationName("ZRTH Lobby");
    }

    void dialogColoursGreyDisabledText() {
        zrt::LobbyApplication::SetDialogColours();
        const QPalette pal = QApplication::palette();
        QCOMPARE(pal.color(QPalette::Active, QPalette::Window), zrt::kDialogGrey);
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText}) {
            QCOMPARE(pal.color(QPalette::Active, role), QColor(Qt::white));
            QCOMPARE(pal.color(QPalette::Disabled, role), zrt::kDisabledTextGrey);
        }
    }
};

int main(int argc, char** argv) {
    zrt::LobbyApplication app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
