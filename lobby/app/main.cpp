// zrtlobby: the lobby client. Runs in the game's folder.
#include "lobby/app/application.h"
#include "lobby/app/screenshots.h"
#include "lobby/app/startup.h"

int main(int argc, char** argv) {
    zrt::LobbyApplication app(argc, argv);
    zrt::InstallScreenshotRecorder(app);
    zrt::Startup startup;
    if (!startup.run()) return 0;
    return app.exec();
}
