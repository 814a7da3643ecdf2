// Server: the version, database and lobby roles in one process. Owns the database, the
// services, the two listeners, the worker pool, the halls and the I/O context; run() serves
// until stop() or SIGINT/SIGTERM (SIGHUP reads the halls' entry news again).
#pragma once

#include <memory>
#include <string>

namespace zrtserver {

struct ServerOptions {
    std::string dataDir;
    std::string addressOverride;  // replaces the configured listen address when not empty
    bool handleSignals = true;
};

class Server {
  public:
    // Prepares the data folder, reads the configuration, opens the database and binds both
    // ports. nullptr with a reason on failure.
    static std::unique_ptr<Server> create(const ServerOptions& options, std::string& error);
    ~Server();

    // Serves on the calling thread until stopped; returns once every worker has finished.
    void run();
    // Thread-safe: stops accepting, lets open connections finish (bounded), then ends run().
    void stop();

    struct Parts;

  private:
    explicit Server(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

}  // namespace zrtserver
