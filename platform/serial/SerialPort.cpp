#include "platform/serial/SerialPort.h"

// The kernel's own termios2 (any baud rate through BOTHER) clashes with
// glibc's <termios.h>, so this file speaks to the tty by ioctl only.
#include <asm/termbits.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace platform::serial {

namespace {

using Clock = std::chrono::steady_clock;

struct StandardRate {
    unsigned baud;
    tcflag_t code;
};

// Rates with a code of their own; drivers that predate BOTHER know only these.
constexpr StandardRate standardRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

unsigned rateOf(const termios2& t)
{
    const tcflag_t code = t.c_cflag & CBAUD;
    if (code == BOTHER)
        return t.c_ospeed;
    for (const StandardRate& rate : standardRates)
        if (rate.code == code)
            return rate.baud;
    return 0;
}

// What cfmakeraw does, on the kernel's structure. VMIN 1 matters beyond raw
// mode: with VMIN 0 a non-blocking read of an empty line returns 0 instead of
// EAGAIN, and 0 must mean only "hung up".
void makeRaw(termios2& t)
{
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK | IUCLC |
                   IMAXBEL);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ECHOE | ECHOK | ECHOCTL | ECHOKE | ICANON | ISIG | IEXTEN);
    // CLOCAL: the boards and controllers have no carrier line, and without it
    // a dropped DCD would hang the line up.
    t.c_cflag &= ~CRTSCTS;
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

// The errors after which the descriptor is useless: the device was unplugged
// or hung up, or the descriptor itself is bad.
bool isFatal(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
}

// The answers of a tty driver that does not have an optional feature (modem
// lines, error counters); a pseudo-terminal gives ENOTTY.
bool isUnsupported(int error)
{
    return error == ENOTTY || error == EINVAL;
}

template <class Argument>
int ioctlRetrying(int fd, unsigned long request, Argument argument)
{
    int result;
    do
        result = ::ioctl(fd, request, argument);
    while (result < 0 && errno == EINTR);
    return result;
}

timespec toTimespec(Clock::duration d)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(d);
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(d - seconds);
    return timespec{static_cast<time_t>(seconds.count()), static_cast<long>(nanoseconds.count())};
}

} // namespace

const char* toString(Status status)
{
    switch (status) {
    case Status::Ok:
        return "Ok";
    case Status::Timeout:
        return "Timeout";
    case Status::Overflow:
        return "Overflow";
    case Status::DeviceGone:
        return "DeviceGone";
    case Status::Failed:
        return "Failed";
    }
    return "?";
}

std::string SerialPort::devicePath(int com)
{
    const char* folder = std::getenv("KANDOR_COM_DIR");
    std::string path = folder && *folder ? folder : defaultFolder;
    if (path.back() != '/')
        path += '/';
    return path + "COM" + std::to_string(com);
}

SerialPort::~SerialPort()
{
    closeDevice();
}

bool SerialPort::open(int com)
{
    if (com < 1) {
        closeDevice();
        path_.clear();
        settings_.reset();
        lines_.reset();
        lastErrorCode_ = ENOENT;
        lastError_ = "COM" + std::to_string(com) + ": no such COM number";
        return false;
    }
    return openPath(devicePath(com));
}

bool SerialPort::openPath(const std::string& path)
{
    closeDevice();
    path_ = path;
    settings_.reset();
    lines_.reset();
    return openDevice();
}

bool SerialPort::reopen()
{
    closeDevice();
    if (path_.empty()) {
        lastErrorCode_ = ENOENT;
        lastError_ = "no device opened before";
        return false;
    }
    if (!openDevice())
        return false;
    const std::optional<ControlLines> lines = lines_;
    if (settings_ && !configure(settings_->baud, settings_->parity, settings_->stopBits))
        return false;
    if (lines && setControlLines(lines->dtr, lines->rts) != Status::Ok)
        return false;
    return true;
}

void SerialPort::close()
{
    closeDevice();
}

bool SerialPort::openDevice()
{
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        fail(error == EBUSY ? "open (in use by another program)" : "open", error);
        return false;
    }
    fd_ = fd;
    termios2 t{};
    if (ioctlRetrying(fd_, TCGETS2, &t) < 0) {
        const int error = errno;
        fail(error == ENOTTY ? "open (not a serial device)" : "open", error);
        closeDevice();
        return false;
    }
    // TIOCEXCL alone does not stop a second opener running as root, which the
    // desk often is; the lock does.
    if (::flock(fd_, LOCK_EX | LOCK_NB) < 0) {
        const int error = errno;
        fail(error == EWOULDBLOCK ? "open (in use by another port or program)" : "open (lock)", error);
        closeDevice();
        return false;
    }
    if (ioctlRetrying(fd_, TIOCEXCL, nullptr) < 0) {
        fail("open (exclusive)", errno);
        closeDevice();
        return false;
    }
    exclusive_ = true;
    makeRaw(t);
    if (ioctlRetrying(fd_, TCSETS2, &t) < 0) {
        fail("open (raw mode)", errno);
        closeDevice();
        return false;
    }
    if (ioctlRetrying(fd_, TCFLSH, TCIOFLUSH) < 0) {
        fail("open (flush)", errno);
        closeDevice();
        return false;
    }
    counted_ = {};
    Status countersStatus = Status::Ok;
    if (!readCounters(counted_, countersStatus) && countersStatus == Status::DeviceGone)
        return false;
    lastErrorCode_ = 0;
    lastError_.clear();
    open_.store(true, std::memory_order_release);
    return true;
}

void SerialPort::closeDevice()
{
    open_.store(false, std::memory_order_release);
    if (fd_ < 0)
        return;
    // The exclusive flag belongs to the tty, not to this descriptor, and a
    // pseudo-terminal's tty outlives the close; the flock goes with the close.
    // Only a port that set the flag may clear it: after a refused lock it is
    // the other holder's.
    if (exclusive_)
        ioctlRetrying(fd_, TIOCNXCL, nullptr);
    exclusive_ = false;
    ::close(fd_);
    fd_ = -1;
}

Status SerialPort::fail(const char* call, int error)
{
    lastErrorCode_ = error;
    lastError_ = path_ + ": " + call + ": " + std::error_code(error, std::generic_category()).message();
    if (isFatal(error) || error == ENOENT) {
        closeDevice();
        return Status::DeviceGone;
    }
    return Status::Failed;
}

Status SerialPort::notOpen(const char* call)
{
    lastErrorCode_ = EBADF;
    lastError_ = (path_.empty() ? std::string("port") : path_) + ": " + call + ": the port is not open";
    return Status::DeviceGone;
}

bool SerialPort::configure(unsigned baud, Parity parity, StopBits stopBits)
{
    if (fd_ < 0) {
        notOpen("configure");
        return false;
    }
    if (baud == 0) {
        lastErrorCode_ = EINVAL;
        lastError_ = path_ + ": configure: no baud rate";
        return false;
    }
    termios2 t{};
    if (ioctlRetrying(fd_, TCGETS2, &t) < 0) {
        fail("configure", errno);
        return false;
    }
    makeRaw(t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CBAUD | CIBAUD);
    t.c_cflag |= CS8;
    if (parity != Parity::None)
        t.c_cflag |= PARENB | (parity == Parity::Odd ? PARODD : 0);
    if (stopBits == StopBits::Two)
        t.c_cflag |= CSTOPB;
    tcflag_t code = BOTHER;
    for (const StandardRate& rate : standardRates)
        if (rate.baud == baud)
            code = rate.code;
    // CIBAUD left 0: input runs at the output rate.
    t.c_cflag |= code;
    t.c_ispeed = baud;
    t.c_ospeed = baud;
    if (ioctlRetrying(fd_, TCSETS2, &t) < 0) {
        fail("configure", errno);
        return false;
    }
    // A driver rounds the rate to what its clock divides to, silently.
    // Parity is not read back: a pseudo-terminal always reports none, and
    // every UART does 8E1.
    if (ioctlRetrying(fd_, TCGETS2, &t) < 0) {
        fail("configure", errno);
        return false;
    }
    const unsigned actual = rateOf(t);
    const unsigned difference = actual > baud ? actual - baud : baud - actual;
    if (static_cast<unsigned long long>(difference) * 100 > static_cast<unsigned long long>(baud) * 3) {
        lastErrorCode_ = EINVAL;
        lastError_ = path_ + ": configure: the device runs at " + std::to_string(actual) + " baud instead of " +
                     std::to_string(baud);
        return false;
    }
    settings_ = Settings{baud, parity, stopBits};
    // The boards' line converters take their direction and power from DTR and
    // RTS.
    return setControlLines(true, false) == Status::Ok;
}

Status SerialPort::setControlLines(bool dtr, bool rts)
{
    if (fd_ < 0)
        return notOpen("control lines");
    const int on = (dtr ? TIOCM_DTR : 0) | (rts ? TIOCM_RTS : 0);
    const int off = (dtr ? 0 : TIOCM_DTR) | (rts ? 0 : TIOCM_RTS);
    for (const auto& [request, bits] : {std::pair{TIOCMBIS, on}, std::pair{TIOCMBIC, off}}) {
        if (bits == 0)
            continue;
        if (ioctlRetrying(fd_, request, &bits) < 0) {
            const int error = errno;
            if (isUnsupported(error))
                break;
            return fail("control lines", error);
        }
    }
    lines_ = ControlLines{dtr, rts};
    return Status::Ok;
}

Status SerialPort::flushInput()
{
    if (fd_ < 0)
        return notOpen("flush input");
    return ioctlRetrying(fd_, TCFLSH, TCIFLUSH) < 0 ? fail("flush input", errno) : Status::Ok;
}

Status SerialPort::flushOutput()
{
    if (fd_ < 0)
        return notOpen("flush output");
    return ioctlRetrying(fd_, TCFLSH, TCOFLUSH) < 0 ? fail("flush output", errno) : Status::Ok;
}

Status SerialPort::drain()
{
    if (fd_ < 0)
        return notOpen("drain");
    // tcdrain(): TCSBRK with a non-zero argument waits and sends no break.
    return ioctlRetrying(fd_, TCSBRK, 1) < 0 ? fail("drain", errno) : Status::Ok;
}

IoResult SerialPort::bytesWaiting()
{
    if (fd_ < 0)
        return {notOpen("bytes waiting"), 0};
    int queued = 0;
    if (ioctlRetrying(fd_, FIONREAD, &queued) < 0)
        return {fail("bytes waiting", errno), 0};
    return {Status::Ok, static_cast<std::size_t>(queued < 0 ? 0 : queued)};
}

bool SerialPort::readCounters(Counters& counters, Status& status)
{
    status = Status::Ok;
    // Asked every time even of a driver without counters: the query is also
    // how a caller that only polls the line state learns the device is gone.
    serial_icounter_struct icount{};
    if (ioctlRetrying(fd_, TIOCGICOUNT, &icount) < 0) {
        const int error = errno;
        if (!isUnsupported(error))
            status = fail("line errors", error);
        return false;
    }
    counters.parity = static_cast<std::uint32_t>(icount.parity);
    counters.framing = static_cast<std::uint32_t>(icount.frame);
    counters.overrun = static_cast<std::uint32_t>(icount.overrun) + static_cast<std::uint32_t>(icount.buf_overrun);
    counters.breaks = static_cast<std::uint32_t>(icount.brk);
    return true;
}

LineErrors SerialPort::lineErrors()
{
    LineErrors errors;
    if (fd_ < 0) {
        errors.status = notOpen("line errors");
        return errors;
    }
    Counters now;
    if (!readCounters(now, errors.status))
        return errors;
    // The driver's counters run from its own start and wrap; the differences
    // stay right across a wrap in unsigned arithmetic.
    errors.parity = now.parity - counted_.parity;
    errors.framing = now.framing - counted_.framing;
    errors.overrun = now.overrun - counted_.overrun;
    errors.breaks = now.breaks - counted_.breaks;
    counted_ = now;
    return errors;
}

Status SerialPort::waitFor(short events, Clock::time_point deadline)
{
    for (;;) {
        const Clock::duration left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return Status::Timeout;
        pollfd p{fd_, events, 0};
        const timespec timeout = toTimespec(left);
        const int ready = ::ppoll(&p, 1, &timeout, nullptr);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return fail("poll", errno);
        }
        if (ready == 0)
            continue;
        if (p.revents & POLLNVAL)
            return fail("poll", EBADF);
        // Bytes that came before a hang-up are still read first; the read or
        // write that follows tells the hang-up.
        if (p.revents & events)
            return Status::Ok;
        if (p.revents & (POLLHUP | POLLERR))
            return fail("poll (hung up)", EIO);
    }
}

IoResult SerialPort::readAvailable(std::span<std::uint8_t> buffer)
{
    if (fd_ < 0)
        return {notOpen("read"), 0};
    if (buffer.empty())
        return {Status::Ok, 0};
    for (;;) {
        const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
        if (n > 0)
            return {Status::Ok, static_cast<std::size_t>(n)};
        // With VMIN 1 an open line never reads 0 bytes: only a hung-up one.
        if (n == 0)
            return {fail("read (hung up)", EIO), 0};
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return {Status::Ok, 0};
        return {fail("read", errno), 0};
    }
}

IoResult SerialPort::read(std::span<std::uint8_t> buffer, Duration timeout)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(timeout);
    for (;;) {
        const IoResult got = readAvailable(buffer);
        if (got.status != Status::Ok || got.count > 0 || buffer.empty())
            return got;
        const Status waited = waitFor(POLLIN, deadline);
        if (waited != Status::Ok)
            return {waited, 0};
    }
}

IoResult SerialPort::readReply(std::span<std::uint8_t> buffer, Duration firstByte, Duration interByte,
                               LastByteTest isLast)
{
    if (fd_ < 0)
        return {notOpen("read"), 0};
    const auto gap = std::chrono::duration_cast<Clock::duration>(interByte);
    Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(firstByte);
    std::size_t count = 0;
    while (count < buffer.size()) {
        // With a last-byte test, one byte at a time, so that nothing after the
        // reply's end is taken from the line.
        const std::size_t wanted = isLast ? 1 : buffer.size() - count;
        const ssize_t n = ::read(fd_, buffer.data() + count, wanted);
        if (n > 0) {
            count += static_cast<std::size_t>(n);
            if (isLast && isLast(buffer[count - 1]))
                return {Status::Ok, count};
            deadline = Clock::now() + gap;
            continue;
        }
        if (n == 0)
            return {fail("read (hung up)", EIO), count};
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return {fail("read", errno), count};
        const Status waited = waitFor(POLLIN, deadline);
        if (waited != Status::Ok)
            return {waited, count};
    }
    return {isLast ? Status::Overflow : Status::Ok, count};
}

IoResult SerialPort::write(std::span<const std::uint8_t> bytes)
{
    if (fd_ < 0)
        return {notOpen("write"), 0};
    std::size_t done = 0;
    int idleAttempts = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            idleAttempts = 0;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return {fail("write", errno), done};
        if (++idleAttempts >= writeAttempts) {
            lastErrorCode_ = EAGAIN;
            lastError_ = path_ + ": write: the line took no byte in " + std::to_string(writeAttempts) + " attempts";
            return {Status::Timeout, done};
        }
        const Status waited = waitFor(POLLOUT, Clock::now() + std::chrono::duration_cast<Clock::duration>(writeWait_));
        if (waited != Status::Ok && waited != Status::Timeout)
            return {waited, done};
    }
    return {Status::Ok, done};
}

IoResult SerialPort::write(std::string_view text)
{
    return write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

} // namespace platform::serial
