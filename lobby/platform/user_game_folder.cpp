// Preparing the user's game folder of an installed Zerathon.
#include "lobby/platform/user_game_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <QProcess>
#include <QStringList>
#include <cctype>
#include <cstdlib>
#include <system_error>

#include "lobby/data/game_identity.h"
#include "playnet/registration.h"

namespace zrt {
namespace fs = std::filesystem;
namespace {

constexpr int kGameCommandWaitMs = 15000;

// `link` made a symbolic link to `target`, unless a file that is not a link stands there.
bool LinkTo(const fs::path& link, const fs::path& target) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(link, ec);
    if (fs::is_symlink(st)) {
        if (fs::read_symlink(link, ec) == target) return true;
        fs::remove(link, ec);
    } else if (fs::exists(st)) {
        return true;
    }
    fs::create_symlink(target, link, ec);
    return !ec;
}

// Runs the installed zrtgame with `args`; empty when it ended with status 0.
std::string RunGameCommand(const InstalledLayout& layout, const QStringList& args) {
    const QString program = QString::fromStdString((layout.binDir / "zrtgame").string());
    QProcess game;
    game.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    game.setStandardOutputFile(QProcess::nullDevice());
    game.start(program, args);
    const bool finished = game.waitForStarted() && game.waitForFinished(kGameCommandWaitMs);
    if (!finished) game.kill();
    if (finished && game.exitStatus() == QProcess::NormalExit && game.exitCode() == 0) return {};
    return "zrtgame " + args.first().toStdString() + " failed";
}

// The player name of the first profile: the user's login name with a capital first letter,
// at most 20 characters.
std::string FirstPlayerName() {
    std::string name;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name) name = pw->pw_name;
    if (name.empty()) name = "Player";
    if (name.size() > 20) name.resize(20);
    name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

bool HasProfile(const fs::path& folder) {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        std::string ext = e.path().extension().string();
        for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (ext == ".PRF") return true;
    }
    return false;
}

}  // namespace

std::optional<InstalledLayout> FindInstalledLayout(const fs::path& programFile) {
    InstalledLayout layout{programFile.parent_path(),
                           programFile.parent_path().parent_path() / "share" / "zerathon"};
    std::error_code ec;
    if (!fs::is_directory(layout.dataDir / "LobbyRes", ec)) return std::nullopt;
    return layout;
}

fs::path UserGameFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/') return fs::path(data) / "zerathon";
    const char* home = std::getenv("HOME");
    const passwd* pw = (home && *home) ? nullptr : ::getpwuid(::getuid());
    const fs::path base = (home && *home) ? home : (pw && pw->pw_dir) ? pw->pw_dir : "/";
    return base / ".local" / "share" / "zerathon";
}

std::optional<fs::path> FindServerConfig() {
    std::error_code ec;
    for (const std::string& dir : playnet::RegistrationSearchDirs()) {
        const fs::path file = fs::path(dir) / "zerathon" / "Server.txt";
        if (fs::is_regular_file(file, ec)) return file;
    }
    return std::nullopt;
}

std::string PrepareGameFolder(const InstalledLayout& layout, const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder / "LobbyRes", ec);
    if (ec) return "cannot create " + (folder / "LobbyRes").string() + ": " + ec.message();

    for (auto it = fs::recursive_directory_iterator(layout.dataDir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path rel = it->path().lexically_relative(layout.dataDir);
        if (it->is_directory(ec)) {
            fs::create_directories(folder / rel, ec);
        } else if (!LinkTo(folder / rel, it->path())) {
            return "cannot link " + (folder / rel).string();
        }
    }
    if (ec) return "cannot read " + layout.dataDir.string() + ": " + ec.message();

    if (const std::optional<fs::path> server = FindServerConfig())
        if (!LinkTo(folder / "LobbyRes" / "Server.txt", *server))
            return "cannot link LobbyRes/Server.txt";
    if (!LinkTo(folder / "zrtlobby", layout.binDir / "zrtlobby")) return "cannot link zrtlobby";

    const QString dir = QString::fromStdString(folder.string());
    const std::optional<playnet::AppRegistration> reg = playnet::ReadRegistration(kGameAppName);
    if (!reg || fs::path(reg->path) != folder || !fs::exists(folder / reg->file, ec)) {
        const std::string failed = RunGameCommand(layout, {"register", "--game-dir", dir});
        if (!failed.empty()) return failed;
    }
    if (!HasProfile(folder)) {
        const QString name = QString::fromStdString(FirstPlayerName());
        const std::string failed = RunGameCommand(
            layout, {"new-profile", "--game-dir", dir, "--stem", "PLAYER1", "--name", name});
        if (!failed.empty()) return failed;
    }
    return {};
}

std::string EnterInstalledGameFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const std::optional<InstalledLayout> layout = FindInstalledLayout(self);
    if (!layout) return {};
    const fs::path folder = UserGameFolder();
    const std::string failed = PrepareGameFolder(*layout, folder);
    if (!failed.empty()) return failed;
    fs::current_path(folder, ec);
    return ec ? "cannot enter " + folder.string() + ": " + ec.message() : std::string();
}

}  // namespace zrt
