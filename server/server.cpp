// Assembling and running the server.
#include "server/server.h"

#include <curl/curl.h>
#include <sys/resource.h>

#include <algorithm>
#include <asio.hpp>
#include <csignal>
#include <optional>
#include <thread>

#include "lobby/net/request_code.h"
#include "server/account_service.h"
#include "server/connection_limits.h"
#include "server/control_commands.h"
#include "server/control_socket.h"
#include "server/data_dir.h"
#include "server/host_presence.h"
#include "server/listener.h"
#include "server/lobby_role.h"
#include "server/log.h"
#include "server/mailer.h"
#include "server/password_hash.h"
#include "server/request_handler.h"
#include "server/sign_ins.h"
#include "server/store_factory.h"
#include "server/work_queue.h"

namespace zrtserver {

namespace {
// How long a stopping server waits for the connections it is still serving.
constexpr auto kShutdownGrace = std::chrono::seconds(5);
// Descriptors kept beside the connections: the database, the outbox, the log, SMTP.
constexpr int kSpareDescriptors = 64;

// Raises the descriptor limit as far as allowed and makes the ports' connection limits fit in
// it, so that a flood of connections meets a port's limit before the process runs out of
// descriptors (which would stop every port from accepting).
void fitDescriptors(ServerConfig& config) {
    rlimit lim{};
    if (getrlimit(RLIMIT_NOFILE, &lim) != 0) return;
    if (lim.rlim_cur < lim.rlim_max) {
        lim.rlim_cur = lim.rlim_max;
        setrlimit(RLIMIT_NOFILE, &lim);
        getrlimit(RLIMIT_NOFILE, &lim);
    }
    long wanted = kSpareDescriptors + 2L * config.listen.maxConnections +
                  (config.halls.enabled ? config.halls.maxConnections : 0);
    long have = static_cast<long>(std::min<rlim_t>(lim.rlim_cur, 1 << 30));
    if (wanted <= have) return;
    double share = static_cast<double>(have - kSpareDescriptors) /
                   static_cast<double>(wanted - kSpareDescriptors);
    for (int* limit : {&config.listen.maxConnections, &config.halls.maxConnections})
        *limit = std::max(1, static_cast<int>(*limit * std::max(0.0, share)));
    logLine("descriptor limit " + std::to_string(have) + " is below the " + std::to_string(wanted) +
            " the connection limits need; they are lowered to " +
            std::to_string(config.listen.maxConnections) + " per server port and " +
            std::to_string(config.halls.maxConnections) + " for the halls");
}
}  // namespace

struct Server::Parts {
    ServerConfig config;
    OpenedStore store;
    std::unique_ptr<Mailer> mailer;
    std::unique_ptr<SignIns> signIns;
    std::unique_ptr<AccountService> service;
    std::unique_ptr<RequestHandler> handler;
    std::unique_ptr<WorkQueue> quick;
    std::unique_ptr<WorkQueue> hashing;
    // Connections still queued in `io` are destroyed with it and touch `serve` and hold
    // tickets of the limits, so those are declared (and outlive) before it; the listeners and
    // timers, declared after, go first.
    std::unique_ptr<ConnectionLimits> versionLimits;
    std::unique_ptr<ConnectionLimits> databaseLimits;
    std::unique_ptr<ServeContext> serve;
    asio::io_context io;
    std::unique_ptr<Listener> version;
    std::unique_ptr<Listener> database;
    std::unique_ptr<asio::signal_set> signals;
    std::unique_ptr<asio::signal_set> hangup;
    std::unique_ptr<LobbyRole> lobby;        // the halls; none when disabled
    std::unique_ptr<HostPresence> presence;  // with a shared store only; uses `lobby`
    LiveServer live;
    std::unique_ptr<ControlCommands> commands;
    std::unique_ptr<ControlSocket> control;  // declared last: stops first
    std::string configPath;
    std::unique_ptr<asio::steady_timer> drainTimer;
    std::chrono::steady_clock::time_point stopDeadline;
    bool stopping = false;

    void beginStop();
    void waitForConnections();
    void watchHangup();
    std::string reload();
};

// SIGHUP and the operator's reload: the halls' entry news is read again from the configuration
// file.
std::string Server::Parts::reload() {
    std::string error;
    std::optional<ServerConfig> fresh = loadConfig(configPath, error);
    std::string outcome;
    if (!fresh)
        outcome = "configuration not read again: " + error;
    else if (lobby)
        lobby->setEntryNews(fresh->halls.entryNews);
    if (outcome.empty()) outcome = lobby ? "entry news read again" : "the halls are disabled";
    logLine("reload: " + outcome);
    return outcome;
}

void Server::Parts::watchHangup() {
    hangup->async_wait([this](const asio::error_code& e, int) {
        if (e) return;
        logLine("SIGHUP received");
        reload();
        watchHangup();
    });
}

void Server::Parts::beginStop() {
    if (stopping) return;
    stopping = true;
    logLine("stopping");
    version->close();
    database->close();
    if (presence) presence->stop();
    if (lobby) lobby->stop();
    asio::error_code ignored;
    if (signals) signals->cancel(ignored);
    if (hangup) hangup->cancel(ignored);
    if (control) control->stop();
    stopDeadline = std::chrono::steady_clock::now() + kShutdownGrace;
    drainTimer = std::make_unique<asio::steady_timer>(io);
    waitForConnections();
}

void Server::Parts::waitForConnections() {
    if (serve->active.load() == 0 || std::chrono::steady_clock::now() >= stopDeadline) {
        io.stop();
        return;
    }
    drainTimer->expires_after(std::chrono::milliseconds(20));
    drainTimer->async_wait([this](const asio::error_code& ec) {
        if (!ec) waitForConnections();
    });
}

std::unique_ptr<Server> Server::create(const ServerOptions& options, std::string& error) {
    if (!initCrypto()) {
        error = "libsodium cannot start";
        return nullptr;
    }
    static const bool curlReady = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!curlReady) {
        error = "libcurl cannot start";
        return nullptr;
    }
    DataDir dir{options.dataDir};
    if (!prepareDataDir(dir, error)) return nullptr;
    auto config = loadConfig(dir.configPath(), error);
    if (!config) {
        error = dir.configPath() + ": " + error;
        return nullptr;
    }
    if (!options.addressOverride.empty()) config->listen.address = options.addressOverride;
    fitDescriptors(*config);
    asio::error_code ec;
    auto address = asio::ip::make_address_v4(config->listen.address, ec);
    if (ec) {
        error = "not a dotted IPv4 address: " + config->listen.address;
        return nullptr;
    }

    auto p = std::make_unique<Parts>();
    Parts* raw = p.get();
    p->config = *config;
    auto store = openAccountStore(p->config, dir, error);
    if (!store) return nullptr;
    p->store = std::move(*store);
    p->mailer = std::make_unique<Mailer>(p->config.mail, dir.outboxPath());
    p->signIns =
        std::make_unique<SignIns>(std::chrono::seconds(p->config.halls.signInValidSeconds));
    p->service =
        std::make_unique<AccountService>(*p->store.store, *p->mailer, *p->signIns, p->config);
    p->service->clearOrphans();
    p->handler = std::make_unique<RequestHandler>(p->config, *p->service);
    const ListenConfig& listen = p->config.listen;
    // The quick requests need no more than one thread; their queue is bounded by the
    // connections the two ports hold.
    p->quick =
        std::make_unique<WorkQueue>("quick", 1, 2 * static_cast<size_t>(listen.maxConnections));
    // Hashing is the work that counts in a crowd of logins: by default a thread per core.
    int workers = listen.workers > 0
                      ? listen.workers
                      : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    p->hashing =
        std::make_unique<WorkQueue>("hashing", workers, static_cast<size_t>(listen.hashQueue));
    p->versionLimits = std::make_unique<ConnectionLimits>("version", listen.maxConnections,
                                                          listen.maxConnectionsPerAddress);
    p->databaseLimits = std::make_unique<ConnectionLimits>("database", listen.maxConnections,
                                                           listen.maxConnectionsPerAddress);
    p->serve.reset(new ServeContext{p->io, *p->quick, *p->hashing, *p->handler,
                                    std::chrono::seconds(listen.requestTimeoutSeconds)});
    p->version = std::make_unique<Listener>(*p->serve, Port::Version, *p->versionLimits);
    p->database = std::make_unique<Listener>(*p->serve, Port::Database, *p->databaseLimits);
    if (!p->version->open(address, zrt::kVersionPort, error) ||
        !p->database->open(address, zrt::kDatabasePort, error))
        return nullptr;
    p->configPath = dir.configPath();
    if (p->config.halls.enabled) {
        p->lobby =
            LobbyRole::start(p->config.listen.address, p->config.halls,
                             p->config.halls.requireSignIn ? p->signIns.get() : nullptr, error);
        if (!p->lobby) return nullptr;
    } else {
        logLine("halls disabled");
    }
    if (options.handleSignals) {
        p->signals = std::make_unique<asio::signal_set>(p->io, SIGINT, SIGTERM);
        p->signals->async_wait([raw](const asio::error_code& e, int sig) {
            if (e) return;
            logLine("signal " + std::to_string(sig) + " received");
            raw->beginStop();
        });
        p->hangup = std::make_unique<asio::signal_set>(p->io, SIGHUP);
        p->watchHangup();
    }
    if (!p->config.database.url.empty()) {
        int capacity = p->lobby ? p->config.halls.maxConnections : p->config.listen.maxConnections;
        p->presence =
            std::make_unique<HostPresence>(p->config.database.url, p->config.announcedAddress(),
                                           capacity, p->lobby.get(), p->signIns.get());
        HostPresence* presence = p->presence.get();
        p->handler->setHostChoice([presence] { return presence->choice(); });
    }
    p->live = {std::chrono::steady_clock::now(), p->lobby.get(),        p->versionLimits.get(),
               p->databaseLimits.get(),          &p->handler->counts(), p->signIns.get(),
               [raw] { return raw->reload(); }};
    p->commands =
        std::make_unique<ControlCommands>(*p->store.store, *p->mailer, p->config.accounts.hashCost,
                                          p->config.listen.address, &p->live);
    ControlCommands* commands = p->commands.get();
    p->control = ControlSocket::open(
        dir.controlPath(),
        [commands](const std::vector<std::string>& words, const std::string& actor) {
            return commands->run(words, actor);
        },
        error);
    if (!p->control) return nullptr;
    logLine(p->store.description + ", " + std::to_string(p->store.store->count()) + " accounts");
    logLine("listening on " + p->config.listen.address + " ports " +
            std::to_string(zrt::kVersionPort) + " (version) and " +
            std::to_string(zrt::kDatabasePort) + " (database); announcing " +
            p->config.announcedAddress());
    return std::unique_ptr<Server>(new Server(std::move(p)));
}

Server::Server(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

Server::~Server() {
    if (!parts_) return;
    if (parts_->quick) parts_->quick->join();
    if (parts_->hashing) parts_->hashing->join();
}

void Server::run() {
    std::signal(SIGPIPE, SIG_IGN);
    parts_->version->start();
    parts_->database->start();
    parts_->io.run();
    // Work already handed to the workers finishes (its commits included) before we return.
    parts_->quick->join();
    parts_->hashing->join();
    logLine("stopped");
}

void Server::stop() {
    Parts* p = parts_.get();
    asio::post(p->io, [p] { p->beginStop(); });
}

}  // namespace zrtserver
