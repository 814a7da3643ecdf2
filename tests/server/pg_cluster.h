// A throw-away PostgreSQL 15 cluster for the tests of one test process: initdb into a
// temporary folder, the postmaster on a free port of 127.0.0.1 (in the test's own network
// namespace) with its socket in that folder, trust authentication. PostgreSQL refuses to run
// as root, so a root test runs it as the `postgres` user. It stops when the process ends: at
// exit, and through the parent-death signal when the test process dies first.
#pragma once

#include <string>

namespace zrttest {

class PgCluster {
  public:
    // The cluster of this test process, started on first use; nullptr with the reason in `why`
    // when it cannot run (the tests skip when PostgreSQL is not installed, else fail).
    static PgCluster* shared(std::string& why);
    static bool installed();
    ~PgCluster();

    // A fresh empty database; its URL, or empty on failure.
    std::string createDatabase();
    int port() const { return port_; }

  private:
    PgCluster() = default;
    bool start(std::string& why);

    std::string root_;  // the temporary folder: data/ and the socket
    int port_ = 0;
    int pid_ = -1;
    int databases_ = 0;
};

}  // namespace zrttest
