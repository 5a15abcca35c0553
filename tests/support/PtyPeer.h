#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The far end of a serial line in tests: a pseudo-terminal whose slave side
// appears as COMn in a temporary folder, which KANDOR_COM_DIR names while any
// peer lives. A SerialPort opened by COM number finds it there. The peer
// writes and reads on the master side, raw and without echo; every later
// serial test (bus boards, controllers, modems) stands on it.
//
// Several peers of one process share the folder, one COM number each. The
// variable is set and restored on the thread that makes and ends the peers;
// a peer's reads and writes may run on another thread, one thread at a time.
class PtyPeer {
public:
    using Duration = std::chrono::nanoseconds;

    // What the port on the slave side set the line to; a pseudo-terminal
    // keeps the rate and the stop bits but always reports 8 bits, no parity.
    struct LineSettings {
        unsigned baud = 0;
        int stopBits = 0;
    };

    // Throws std::runtime_error when the pseudo-terminal or the link cannot be
    // made, or another peer already has the number.
    explicit PtyPeer(int com = 1);
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    int com() const { return com_; }
    // The folder all peers of the process link into.
    static std::string folder();
    // folder()/COMn, the link.
    std::string devicePath() const;
    // The slave's own name (/dev/pts/N).
    const std::string& slavePath() const { return slavePath_; }
    // The master side, for simulators that wait on it with poll().
    int fd() const { return master_; }

    // Writes all the bytes; false when the port side has taken none of them
    // for 5 s, or the peer is hung up.
    bool write(std::span<const std::uint8_t> bytes);
    bool write(std::string_view text);
    // Up to n bytes: returns when n have come or the timeout has passed.
    std::vector<std::uint8_t> read(std::size_t n, Duration timeout);
    // Everything until the line has been quiet for the given time.
    std::vector<std::uint8_t> readAll(Duration quiet);

    // Closes the master: the port then finds its device gone, as when an
    // adapter is unplugged. The link stays, pointing at nothing: not at the
    // old slave, whose number another pseudo-terminal may get.
    void hangUp();
    // A new pseudo-terminal under the same COM number, as when the adapter
    // is plugged in again.
    void reopen();
    bool hungUp() const { return master_ < 0; }

    LineSettings lineSettings() const;

private:
    void create();
    // Points the link at the target.
    void link(const std::string& target);
    void closeAll();
    // Undoes the constructor: the link, the number, and with the last peer
    // the folder and the variable.
    void release();

    int com_;
    int master_ = -1;
    // Held open so that the master never sees the slave closed while the
    // port under test closes and reopens it.
    int slave_ = -1;
    std::string slavePath_;
};
