#pragma once
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform::serial {

enum class Parity { None, Even, Odd };
enum class StopBits { One, Two };

// The outcome of a port call.
enum class Status {
    Ok,
    // Nothing came within the time allowed, or a write found the line taking
    // no byte for that long. The port stays open.
    Timeout,
    // A reply filled the buffer before its last byte came.
    Overflow,
    // The device is gone: an unplugged adapter, a hung-up line. The port has
    // closed itself; reopen() tries again, so a device that comes back is
    // picked up without a restart.
    DeviceGone,
    // Any other failure the system reported; the port stays open.
    Failed,
};

const char* toString(Status status);

struct IoResult {
    Status status = Status::Ok;
    // Bytes read or written, also when the call ended early.
    std::size_t count = 0;

    bool ok() const { return status == Status::Ok; }
};

// Errors the driver counted on the line since the previous query. Drivers
// without counters (a pseudo-terminal, some USB adapters) report none: a
// damaged byte then reaches the caller as a wrong byte, where the protocol's
// check byte or complement pairs catch it.
struct LineErrors {
    // Of the query itself: DeviceGone when the port was lost.
    Status status = Status::Ok;
    std::uint32_t parity = 0;
    std::uint32_t framing = 0;
    std::uint32_t overrun = 0;
    std::uint32_t breaks = 0;

    bool any() const { return parity != 0 || framing != 0 || overrun != 0 || breaks != 0; }
};

// A serial line of the installation: a bus of I/O boards, a controller line,
// a GSM modem. COM number n is the device $KANDOR_COM_DIR/COMn (folder
// /dev/kandor when the variable is unset), which the installer makes a link
// to the real tty.
//
// The port is opened exclusively, non-blocking and raw: every byte passes
// unchanged both ways, nothing is echoed, no flow control. Reads wait with
// poll() against a deadline, never with sleeps. Writes return before the bytes
// have left the UART; drain() waits for that.
//
// Any call that finds the device gone closes the port and says DeviceGone;
// isOpen() is then false until reopen() or open() succeeds.
//
// A port belongs to one thread at a time (a bus's poll thread, or the main
// thread for controller lines and modems); only isOpen() may be asked from
// another thread.
class SerialPort {
public:
    using Duration = std::chrono::nanoseconds;
    using LastByteTest = bool (*)(std::uint8_t byte);

    static constexpr const char* defaultFolder = "/dev/kandor";
    // How often a write tries again when the line takes no byte, and how long
    // it waits for room in between.
    static constexpr int writeAttempts = 5;
    static constexpr Duration defaultWriteWait = std::chrono::milliseconds(20);

    // The device that COM number com names, by $KANDOR_COM_DIR.
    static std::string devicePath(int com);

    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens COM number com, or the device at path, closing the port first when
    // it is open. Fails when the device is missing, is not a tty, or is open
    // in another port or program. A fresh port holds no byte received before
    // it opened; its line settings are the device's until configure().
    bool open(int com);
    bool openPath(const std::string& path);
    // Opens the device last opened again and applies the line settings and
    // control lines last applied: the periodic retry after DeviceGone.
    bool reopen();
    void close();
    bool isOpen() const { return open_.load(std::memory_order_acquire); }
    // The device last opened (kept after a close, for reopen and messages).
    const std::string& path() const { return path_; }

    // 8 data bits with the given rate, parity and stop bits; DTR on and RTS
    // off where the device has those lines. Any rate the device can run at
    // within 3 % is accepted (a UART is off by its divisor's rounding);
    // false when the device refused the settings or runs far from the rate.
    [[nodiscard]] bool configure(unsigned baud, Parity parity, StopBits stopBits);
    // DTR and RTS; a device without them (a pseudo-terminal) is not an error.
    Status setControlLines(bool dtr, bool rts);

    // Drop received bytes not yet read, or written bytes not yet sent.
    Status flushInput();
    Status flushOutput();
    // Waits until every written byte has left the line.
    Status drain();

    [[nodiscard]] IoResult bytesWaiting();
    [[nodiscard]] LineErrors lineErrors();

    // Takes what has arrived, up to the buffer's size, without waiting: Ok
    // with count 0 when nothing has. For the 10 ms tick.
    [[nodiscard]] IoResult readAvailable(std::span<std::uint8_t> buffer);
    // Waits up to timeout for a first byte, then takes what has arrived
    // without waiting further. Timeout when nothing came.
    [[nodiscard]] IoResult read(std::span<std::uint8_t> buffer, Duration timeout);
    // Reads one reply: waits up to firstByte for it to begin, then goes on as
    // long as each byte follows the one before within interByte. Without
    // isLast the reply is complete when the buffer is full (Ok); with it, the
    // reply ends at the first byte isLast accepts (Ok), nothing after that
    // byte is taken, and a buffer full before that is Overflow. A silence
    // before the end is Timeout, with count telling how much came.
    [[nodiscard]] IoResult readReply(std::span<std::uint8_t> buffer, Duration firstByte, Duration interByte,
                                     LastByteTest isLast = nullptr);

    // Writes all the bytes, continuing after partial writes. Gives up with
    // Timeout after writeAttempts attempts in a row that take no byte,
    // writeWait apart; count says how many bytes went.
    [[nodiscard]] IoResult write(std::span<const std::uint8_t> bytes);
    [[nodiscard]] IoResult write(std::string_view text);
    void setWriteWait(Duration wait) { writeWait_ = wait; }

    // The last failure: errno and a text naming the device and the call.
    // Cleared by a successful open.
    int lastErrorCode() const { return lastErrorCode_; }
    const std::string& lastError() const { return lastError_; }

private:
    struct Settings {
        unsigned baud;
        Parity parity;
        StopBits stopBits;
    };
    struct ControlLines {
        bool dtr;
        bool rts;
    };
    struct Counters {
        std::uint32_t parity = 0;
        std::uint32_t framing = 0;
        std::uint32_t overrun = 0;
        std::uint32_t breaks = 0;
    };

    bool openDevice();
    void closeDevice();
    Status fail(const char* call, int error);
    Status notOpen(const char* call);
    Status waitFor(short events, std::chrono::steady_clock::time_point deadline);
    bool readCounters(Counters& counters, Status& status);

    int fd_ = -1;
    std::atomic<bool> open_{false};
    bool exclusive_ = false;
    std::string path_;
    std::optional<Settings> settings_;
    std::optional<ControlLines> lines_;
    Counters counted_;
    Duration writeWait_ = defaultWriteWait;
    int lastErrorCode_ = 0;
    std::string lastError_;
};

} // namespace platform::serial
