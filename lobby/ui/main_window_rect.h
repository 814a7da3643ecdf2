// Where the next main window opens: every main window hands its place to its successor.
#pragma once

#include <QRect>
#include <QWidget>

namespace zrt {

// The outer rectangle (frame included) of the next main window, in screen coordinates.
QRect& MainWindowRect();

// Client size of every main window (login, hall selection, lobby screen).
constexpr int kMainClientWidth = 702;
constexpr int kMainClientHeight = 552;

// Centres a window whose client area is 702 x 552 on the screen, counting the frame and
// caption the platform draws around it.
QRect CenteredMainWindowRect(const QRect& screen, int frameWidth, int captionHeight);

// The closing window hands over: MainWindowRect moves to its frame's top-left corner and keeps
// its size.
void HandOverMainWindowRect(const QWidget& closing);

// Places a new main window at MainWindowRect with its client area of the given size.
void PlaceAtMainWindowRect(QWidget& window, int clientWidth = kMainClientWidth,
                           int clientHeight = kMainClientHeight);

}  // namespace zrt
