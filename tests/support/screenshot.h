// Saves a PNG of a widget under the build's screenshot folder, for a person to look at.
#pragma once

#include <QDir>
#include <QString>
#include <QWidget>
#include <QtTest>

inline void screenshot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("ZRT_SCREENSHOT_DIR", ZRT_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    QVERIFY(w.grab().save(dir + "/" + name + ".png"));
}
