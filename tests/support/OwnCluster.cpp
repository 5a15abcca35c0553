#include "tests/support/OwnCluster.h"

#include <cstdio>
#include <sstream>

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

#ifdef KANDOR_SOURCE_DIR
OwnCluster::OwnCluster() {
    std::string output;
    if (!run("pg_cluster_start >/dev/null && printf '%s %s' \"$PG_CLUSTER_DIR\" \"$PG_CLUSTER_PORT\"", &output))
        return;
    std::istringstream words(output);
    words >> dir_ >> port_;
    // The shared test server gives up durability for speed; a server that is
    // to be stopped outright must keep what it said it committed.
    if (!run("echo 'synchronous_commit = on' >> \"$PG_CLUSTER_DIR/data/postgresql.conf\" && "
             "_pg_cluster_as_owner \"$PG_CLUSTER_BIN/pg_ctl\" -D \"$PG_CLUSTER_DIR/data\" reload >/dev/null"))
        port_ = 0;
}
#else
OwnCluster::OwnCluster() {}
#endif

OwnCluster::~OwnCluster() {
    if (!dir_.empty())
        run("pg_cluster_stop");
}

bool OwnCluster::stopImmediately() {
    return run("_pg_cluster_as_owner \"$PG_CLUSTER_BIN/pg_ctl\" -D \"$PG_CLUSTER_DIR/data\" -m immediate -w stop "
               ">/dev/null");
}

bool OwnCluster::start() {
    return run("_pg_cluster_as_owner \"$PG_CLUSTER_BIN/pg_ctl\" -D \"$PG_CLUSTER_DIR/data\" -l "
               "\"$PG_CLUSTER_DIR/server.log\" -o \"-p " + std::to_string(port_) + "\" -w -t 60 start >/dev/null");
}

bool OwnCluster::run(const std::string& commands, std::string* output) const {
#ifdef KANDOR_SOURCE_DIR
    const std::string script = std::string(KANDOR_SOURCE_DIR) + "/scripts/lib/pg-cluster.sh";
    const std::string line = "bash -c " + Quoted("source " + Quoted(script) + " && PG_CLUSTER_DIR=" + Quoted(dir_) +
                                                 " && " + commands);
    FILE* pipe = popen(line.c_str(), "r");
    if (!pipe)
        return false;
    char buffer[256];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        if (output)
            output->append(buffer, n);
    return pclose(pipe) == 0;
#else
    (void)commands;
    (void)output;
    return false;
#endif
}
