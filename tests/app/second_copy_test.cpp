// Two real zrtlobby processes in one runtime dir: the second stops with its message while the
// first is still running.
#include <QProcess>
#include <QtTest>

#include "tests/support/game_folder.h"
#include "lobby/app/startup.h"

class SecondCopyTest : public QObject {
    Q_OBJECT
private slots:
    void secondCopyStops() {
        TestGameFolder folder;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", folder.configHome());
        env.insert("XDG_RUNTIME_DIR", folder.runtimeDir());
        env.insert("QT_QPA_PLATFORM", "offscreen");

        QProcess first;
        first.setProcessEnvironment([&] {
            QProcessEnvironment e = env;
            e.insert("ZRT_AUTOQUIT_MS", "20000");
            return e;
        }());
        first.setWorkingDirectory(folder.gameDir());
        first.start(QString(ZRT_BIN_DIR) + "/zrtlobby");
        QVERIFY(first.waitForStarted());
        // The first copy says when it holds the single-copy lock.
        QByteArray firstLog;
        QTRY_VERIFY_WITH_TIMEOUT(
            (firstLog += first.readAllStandardError()).contains("running as the only copy"), 20000);

        QProcess second;
        env.insert("ZRT_AUTOQUIT_MS", "3000");
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(folder.gameDir());
        second.start(QString(ZRT_BIN_DIR) + "/zrtlobby");
        QVERIFY(second.waitForFinished(20000));
        QVERIFY(second.readAllStandardError().contains(zrt::kMsgSecondCopy));

        first.kill();
        first.waitForFinished(5000);
    }
};

QTEST_MAIN(SecondCopyTest)
#include "second_copy_test.moc"
