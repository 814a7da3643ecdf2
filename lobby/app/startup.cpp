// The start-up routine.
#include "lobby/app/startup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

#include "lobby/app/application.h"
#include "lobby/app/resource_loader.h"
#include "lobby/app/startup_servers.h"
#include "lobby/app/succession.h"
#include "lobby/data/process_state.h"
#include "lobby/data/profile_lists.h"
#include "lobby/platform/display_format.h"
#include "lobby/platform/local_address.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/loading_box.h"
#include "lobby/ui/lobby_pictures.h"
#include "lobby/ui/login_window.h"
#include "lobby/ui/main_window_rect.h"
#include "lobby/ui/news_box.h"
#include "playnet/registration.h"

namespace zrt {

Startup::Startup(StartupOptions options) : options_(std::move(options)) {
    if (options_.gameDir.isEmpty()) options_.gameDir = QDir::currentPath();
}

Startup::~Startup() = default;

bool Startup::stop(const char* message) {
    stopMessage_ = message;
    qWarning("zrtlobby: %s", message);
    ErrorBox::Show(nullptr, stopMessage_);
    return false;
}

bool Startup::registrationOk() const {
    std::optional<playnet::AppRegistration> reg = playnet::ReadRegistration(kGameAppName);
    if (!reg || reg->guid != kGameGuid) return false;
    return QFileInfo(QString::fromStdString(reg->path + "/" + reg->file)).isFile();
}

bool Startup::run() {
    // 1. Dialog colours.
    LobbyApplication::SetDialogColours();

    // 2. True or high colour only.
    if (!IsTrueOrHighColour(DisplayPixelFormat())) return stop(kMsgColourMode);

    // 3. One copy at a time; the lock is held from here to the end of the process.
    if (lock_.acquire(kInstanceLockName) != InstanceLock::Result::Acquired)
        return stop(kMsgSecondCopy);

    // 4. The game must be registered for lobby launching, and its program present.
    if (!registrationOk()) return stop(kMsgNotRegistered);

    // 5. Sockets need no initialisation here; the step cannot fail.

    // 6. The own address that this player will announce in the halls.
    std::string host = options_.hostName ? *options_.hostName : LocalHostName();
    Process().localAddress = FirstIpv4AddressOf(host);
    if (Process().localAddress.empty()) return stop(kMsgInternet);

    // 7. Pictures and the first server's address, loaded on the LoadingBox's worker.
    const QString gameDir = options_.gameDir;
    std::string serverAddress;
    LoadingBox loading([gameDir, &serverAddress] {
        LoadResult r = LoadLobbyResources(gameDir, Pictures());
        serverAddress = r.serverAddress;
        return r.ok;
    });
    if (loading.Run() == 2) return stop(kMsgResources);
    Process().serverAddress = serverAddress;

    // 8. The session layer has nothing to start until a hall is joined.

    // 9-11. The central servers: version server, database server, banner record.
    for (auto step : {+[](const QString& dir) { return CheckVersionServer(dir); },
                      +[](const QString&) { return CheckDatabaseServer(); },
                      +[](const QString& dir) { return FetchBannerRecord(dir); }}) {
        StepOutcome outcome = step(gameDir);
        if (outcome.kind == StepOutcome::Stop) return stop(outcome.message);
        if (outcome.kind == StepOutcome::StopSilently) {
            qInfo("zrtlobby: server exchange cancelled or unanswered; ending");
            return false;
        }
    }

    // 12. The server's news, once.
    if (!Process().news.empty()) NewsBox::Show(nullptr, QString::fromStdString(Process().news));

    // 13. The first main window opens centred on the screen.
    QRect screen(0, 0, 1024, 768);
    if (QScreen* s = QGuiApplication::primaryScreen()) screen = s->geometry();
    QStyle* style = QApplication::style();
    int frame = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    int caption = style->pixelMetric(QStyle::PM_TitleBarHeight);
    MainWindowRect() = CenteredMainWindowRect(screen, frame, caption);

    // 14. The login window becomes the main window.
    ScanProfiles(gameDir.toStdString(), Profiles());
    login_ = new LoginWindow(gameDir);
    login_->setHandOver(HandOverToHalls);
    login_->setAttribute(Qt::WA_DeleteOnClose);
    login_->show();
    return true;
}

}  // namespace zrt
