// The application object: the program's name, used as the title of message boxes, and the
// dialog colours every window shares (grey 90/90/90 background, white text).
#pragma once

#include <QApplication>

namespace zrt {

class LobbyApplication : public QApplication {
  public:
    LobbyApplication(int& argc, char** argv);

    // Sets the shared dialog colours (start-up step 1).
    static void SetDialogColours();
};

}  // namespace zrt
