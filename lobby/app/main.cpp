// zrtlobby: the lobby client. Runs in the game's folder; an installed lobby first prepares the
// user's own game folder and runs there.
#include <string>

#include "lobby/app/application.h"
#include "lobby/app/screenshots.h"
#include "lobby/app/startup.h"
#include "lobby/platform/user_game_folder.h"
#include "lobby/ui/error_box.h"

int main(int argc, char** argv) {
    zrt::LobbyApplication app(argc, argv);
    zrt::InstallScreenshotRecorder(app);
    const std::string failed = zrt::EnterInstalledGameFolder();
    if (!failed.empty()) {
        zrt::ErrorBox::Show(
            nullptr, QString::fromStdString("Your game folder could not be prepared:\n" + failed));
        return 1;
    }
    zrt::Startup startup;
    if (!startup.run()) return 0;
    return app.exec();
}
