#pragma once
#include <string>

// A PostgreSQL cluster of one test's own (scripts/lib/pg-cluster.sh), for
// what the shared test server must not suffer: being stopped outright.
// Needs KANDOR_SOURCE_DIR (the source tree, for the script).
class OwnCluster {
public:
    // Starts it; ready() is false when it could not be started.
    OwnCluster();
    // Stops it and removes its folder.
    ~OwnCluster();
    OwnCluster(const OwnCluster&) = delete;
    OwnCluster& operator=(const OwnCluster&) = delete;

    bool ready() const { return port_ > 0; }
    int port() const { return port_; }
    // As a power cut or a killed server: no shutdown, crash recovery at the
    // next start.
    bool stopImmediately();
    bool start();

private:
    bool run(const std::string& commands, std::string* output = nullptr) const;

    std::string dir_;
    int port_ = 0;
};
