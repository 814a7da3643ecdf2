// Preparing the data folder.
#include "server/data_dir.h"

#include <filesystem>
#include <fstream>

#include "server/log.h"
#include "server/server_config.h"

namespace zrtserver {

bool prepareDataDir(const DataDir& dir, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir.root, ec);
    if (ec) {
        error = "cannot create " + dir.root + ": " + ec.message();
        return false;
    }
    std::filesystem::create_directories(dir.outboxPath(), ec);
    if (ec) {
        error = "cannot create " + dir.outboxPath() + ": " + ec.message();
        return false;
    }
    if (!std::filesystem::exists(dir.configPath())) {
        std::ofstream out(dir.configPath(), std::ios::binary);
        out << defaultConfigText();
        if (!out) {
            error = "cannot write " + dir.configPath();
            return false;
        }
        logLine("wrote default configuration " + dir.configPath());
    }
    return true;
}

}  // namespace zrtserver
