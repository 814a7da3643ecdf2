// Saves a PNG of a widget under the build's screenshot folder, for a person to look at; finds
// the lightest grey a widget shows (how bright its text is drawn).
#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>
#include <QtTest>
#include <algorithm>

inline void screenshot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("ZRT_SCREENSHOT_DIR", ZRT_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    QVERIFY(w.grab().save(dir + "/" + name + ".png"));
}

// The lightest grey level (0-255) among the pixels a widget shows: its text's, on the dark
// dialog colours (text is smoothed, so few of its pixels have the text colour exactly).
inline int BrightestGrey(QWidget& w) {
    const QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int brightest = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            brightest = std::max(brightest, qGray(shot.pixel(x, y)));
    return brightest;
}
