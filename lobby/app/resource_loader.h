// The resource loader: loads every picture of LobbyRes in its fixed order, then the first
// server's host from LobbyRes/Server.txt. Runs on the LoadingBox's worker thread at start-up.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>

#include "lobby/app/server_txt.h"
#include "lobby/ui/lobby_pictures.h"

namespace zrt {

struct LoadResult {
    bool ok = false;
    QString failedFile;  // the first file that did not load (empty when ok)
    std::string serverAddress;
};

// Loads into `pictures` from <gameDir>/LobbyRes. Stops at the first file that fails; files
// after it are not loaded.
LoadResult LoadLobbyResources(const QString& gameDir, LobbyPictures& pictures);

}  // namespace zrt
