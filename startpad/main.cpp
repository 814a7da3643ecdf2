// startpad: the launcher that greets the user in the game folder. An installed launcher first
// prepares the user's own game folder and runs there.
#include <QApplication>
#include <QMessageBox>
#include <string>

#include "lobby/platform/user_game_folder.h"
#include "startpad/launcher_dialog.h"
#include "startpad/launcher_resources.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setWindowIcon(zrt::LauncherIcon());
    const std::string failed = zrt::EnterInstalledGameFolder();
    if (!failed.empty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Zerathon Installation Program"),
                              QStringLiteral("Your game folder could not be prepared:\n%1")
                                  .arg(QString::fromStdString(failed)));
        return 1;
    }
    zrt::LauncherDialog dialog;
    dialog.exec();
    return 0;
}
