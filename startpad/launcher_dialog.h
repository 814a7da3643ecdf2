// The launcher dialog: a picture and four picture buttons. TRAINING starts the game,
// MULTIPLAYER the lobby (both from the game folder, the working directory) and closes the
// dialog; the web-site button opens the game's home-page shortcut and leaves the dialog open;
// QUIT or closing the window ends it.
#pragma once

#include <QDialog>

namespace zrt {

class PictureButton;

// The programs the launcher starts, and the shortcut it opens, in the working directory.
inline constexpr const char* kGameProgram = "zrtgame";
inline constexpr const char* kLobbyProgram = "zrtlobby";
inline constexpr const char* kHomePageShortcut = "zrthome.url";

class LauncherDialog : public QDialog {
  public:
    LauncherDialog();

  private:
    PictureButton* addButton(const char* name, int bitmapId, QRect units);
    void startAndClose(const char* program);
};

}  // namespace zrt
