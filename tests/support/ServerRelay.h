#pragma once
#include <sys/socket.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A TCP relay on 127.0.0.1 in front of a server (the test cluster), which a
// test switches between the ways a real server behaves and goes away:
//
// Forward: each client connection gets its own connection to the target and
//   the bytes go both ways; when either side closes, what is still owed to
//   the other is written and then it is closed too.
// Silent: a host that died, a pulled cable, a hung server. Connections are
//   accepted and held, what the client sends is read and thrown away, and
//   nothing ever comes back. Relayed connections stop the same way (their
//   target side is closed). Leaving Silent resets every held connection, as
//   a host back from a reboot does with sessions it no longer knows.
// Refuse: a host up without the server. The port is closed (connects fail
//   with ECONNREFUSED) and every open connection is closed; leaving Refuse
//   listens again on the same port.
//
// One thread moves the bytes. The public calls may come from any thread;
// setMode and dropConnections return once that thread has applied them, so
// a connect that follows sees the new behaviour.
class ServerRelay {
public:
    enum class Mode { Forward, Silent, Refuse };

    // Listens on an ephemeral port of 127.0.0.1, in Forward. Throws
    // std::runtime_error when the target's address cannot be resolved or the
    // relay cannot listen.
    ServerRelay(std::string targetHost, int targetPort);
    // Stops the thread and closes every socket.
    ~ServerRelay();
    ServerRelay(const ServerRelay&) = delete;
    ServerRelay& operator=(const ServerRelay&) = delete;

    int port() const { return port_; }
    // Throws std::runtime_error when leaving Refuse finds the port taken by
    // another socket; the relay then stays in Refuse.
    void setMode(Mode mode);
    // Closes every connection now open (both sides), as a server whose
    // sessions were killed; the listener stays in its mode.
    void dropConnections();
    // Connections accepted so far, in any mode.
    int acceptedCount() const { return accepted_.load(); }

private:
    struct Link;
    struct Request {
        enum class Kind { SetMode, Drop, Stop } kind;
        Mode mode = Mode::Forward;
    };

    // Hands the request to the thread and waits until it is applied.
    void call(Request request);
    void wake();

    // The thread's own.
    void run();
    // Applies a waiting request; false when it is the request to stop.
    bool takeRequest();
    // Empty when applied, else why not.
    std::string applyMode(Mode mode);
    void acceptAll();
    bool connectTarget(Link& link);
    void service(Link& link, short clientEvents, short targetEvents);

    sockaddr_storage target_{};
    socklen_t targetLength_ = 0;
    int port_ = 0;
    int listener_ = -1;
    int wake_ = -1;
    std::atomic<int> accepted_{0};
    // Only the thread touches these once it runs.
    Mode mode_ = Mode::Forward;
    std::vector<std::unique_ptr<Link>> links_;

    // One call at a time, so a request is never overwritten before the
    // thread has taken it.
    std::mutex callMutex_;
    std::mutex mutex_;
    std::condition_variable applied_;
    std::optional<Request> request_;
    std::string error_;

    std::thread thread_;
};
