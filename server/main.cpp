// zrtserver: the version and database servers and the halls of the lobby, and the operator's
// command line.
//
//   zrtserver --data DIR [--address A]
//   zrtserver ctl --data DIR COMMAND...
//   zrtserver migrate-store --data DIR
//
// --address also carries the halls (TCP 47624 unless configured otherwise).
// DIR holds zrtserver.toml (written with defaults when missing), zrtserver.db and outbox/.
// --address replaces the configured listen address (a dotted IPv4 address).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "server/control_client.h"
#include "server/log.h"
#include "server/migrate_store.h"
#include "server/server.h"

namespace {

void usage() {
    std::fprintf(stderr,
                 "usage: zrtserver --data DIR [--address IPV4]\n"
                 "       zrtserver ctl --data DIR COMMAND...   (zrtserver ctl --data DIR help)\n"
                 "       zrtserver migrate-store --data DIR\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "ctl") == 0) {
        if (argc < 4 || std::strcmp(argv[2], "--data") != 0) {
            usage();
            return 2;
        }
        return zrtserver::runControl(argv[3], std::vector<std::string>(argv + 4, argv + argc));
    }
    if (argc >= 2 && std::strcmp(argv[1], "migrate-store") == 0) {
        if (argc != 4 || std::strcmp(argv[2], "--data") != 0) {
            usage();
            return 2;
        }
        return zrtserver::migrateStore(argv[3]);
    }
    zrtserver::ServerOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--data" || arg == "--address") && i + 1 < argc) {
            (arg == "--data" ? options.dataDir : options.addressOverride) = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else {
            usage();
            return 2;
        }
    }
    if (options.dataDir.empty()) {
        usage();
        return 2;
    }
    std::string error;
    auto server = zrtserver::Server::create(options, error);
    if (!server) {
        zrtserver::logLine("cannot start: " + error);
        return 1;
    }
    server->run();
    return 0;
}
