// The server's data folder: zrtserver.toml, zrtserver.db, outbox/ and, while the server runs,
// its control socket zrtserver.ctl. Missing parts are created, so a fresh folder runs without
// set-up.
#pragma once

#include <string>

namespace zrtserver {

struct DataDir {
    std::string root;
    std::string configPath() const { return root + "/zrtserver.toml"; }
    std::string databasePath() const { return root + "/zrtserver.db"; }
    std::string outboxPath() const { return root + "/outbox"; }
    std::string controlPath() const { return root + "/zrtserver.ctl"; }
};

// Creates the folder, its outbox and a default configuration where missing.
bool prepareDataDir(const DataDir& dir, std::string& error);

}  // namespace zrtserver
