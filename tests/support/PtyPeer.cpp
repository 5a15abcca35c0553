#include "tests/support/PtyPeer.h"

// openpty() comes with glibc's <termios.h>, which clashes with the kernel's
// termios2 that the line rate is read with; posix_openpt() is what openpty()
// does underneath.
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <set>
#include <stdexcept>
#include <system_error>

namespace {

using Clock = std::chrono::steady_clock;

// The folder and the variable are the process's, shared by all its peers.
struct Shared {
    std::mutex mutex;
    int peers = 0;
    std::string folder;
    bool hadVariable = false;
    std::string savedVariable;
    std::set<int> coms;
};

Shared& shared()
{
    static Shared s;
    return s;
}

[[noreturn]] void throwError(const std::string& what, int error = errno)
{
    throw std::runtime_error("PtyPeer: " + what + ": " + std::error_code(error, std::generic_category()).message());
}

void makeRaw(int fd)
{
    termios2 t{};
    if (::ioctl(fd, TCGETS2, &t) < 0)
        throwError("reading the terminal settings");
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (::ioctl(fd, TCSETS2, &t) < 0)
        throwError("setting raw mode");
}

// Waits for the events until the deadline; false on time-out or hang-up.
bool waitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0)
            return false;
        pollfd p{fd, events, 0};
        // Rounded up so that the wait never ends before the deadline.
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()) + 1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        return (p.revents & events) != 0;
    }
}

std::string linkPath(const std::string& folder, int com)
{
    return folder + "/COM" + std::to_string(com);
}

} // namespace

PtyPeer::PtyPeer(int com) : com_(com)
{
    Shared& s = shared();
    {
        std::lock_guard lock(s.mutex);
        if (s.coms.count(com))
            throw std::runtime_error("PtyPeer: COM" + std::to_string(com) + " has a peer already");
        if (s.peers == 0) {
            const char* tmp = std::getenv("TMPDIR");
            std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kandor-com-XXXXXX";
            if (!::mkdtemp(pattern.data()))
                throwError("creating the folder");
            s.folder = pattern;
            const char* old = std::getenv("KANDOR_COM_DIR");
            s.hadVariable = old != nullptr;
            s.savedVariable = old ? old : "";
            ::setenv("KANDOR_COM_DIR", s.folder.c_str(), 1);
        }
        ++s.peers;
        s.coms.insert(com);
    }
    try {
        create();
    } catch (...) {
        release();
        throw;
    }
}

PtyPeer::~PtyPeer()
{
    release();
}

void PtyPeer::release()
{
    Shared& s = shared();
    std::lock_guard lock(s.mutex);
    // The link goes first: see hangUp().
    const std::string link = linkPath(s.folder, com_);
    ::unlink(link.c_str());
    ::unlink((link + ".new").c_str());
    closeAll();
    s.coms.erase(com_);
    if (--s.peers == 0) {
        ::rmdir(s.folder.c_str());
        if (s.hadVariable)
            ::setenv("KANDOR_COM_DIR", s.savedVariable.c_str(), 1);
        else
            ::unsetenv("KANDOR_COM_DIR");
    }
}

std::string PtyPeer::folder()
{
    Shared& s = shared();
    std::lock_guard lock(s.mutex);
    return s.folder;
}

std::string PtyPeer::devicePath() const
{
    return linkPath(folder(), com_);
}

void PtyPeer::create()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0)
        throwError("posix_openpt");
    if (::grantpt(master_) < 0 || ::unlockpt(master_) < 0)
        throwError("unlocking the slave");
    char name[128];
    if (const int error = ::ptsname_r(master_, name, sizeof name))
        throwError("ptsname", error);
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0)
        throwError("opening " + slavePath_);
    makeRaw(master_);
    makeRaw(slave_);
    link(slavePath_);
}

void PtyPeer::link(const std::string& target)
{
    // Replaced in one step, so a port reopening meanwhile never finds the
    // name missing or half made.
    const std::string link = devicePath();
    const std::string temporary = link + ".new";
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) < 0)
        throwError("linking " + temporary);
    if (::rename(temporary.c_str(), link.c_str()) < 0)
        throwError("renaming " + temporary);
}

void PtyPeer::closeAll()
{
    // The slave first: closing the master is what hangs the line up, and it
    // should find the port's descriptor the only one left.
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
    slave_ = -1;
    master_ = -1;
}

void PtyPeer::hangUp()
{
    closeAll();
    // Once the port lets go of the slave too, its number is free, and the
    // next pseudo-terminal of any process (tests run side by side) may get
    // it: a link still naming it would lead a reopening port onto a stranger's
    // line. It names a file that is never made instead.
    link(devicePath() + ".gone");
}

void PtyPeer::reopen()
{
    hangUp();
    create();
}

bool PtyPeer::write(std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (master_ < 0)
            return false;
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        if (!waitFor(master_, POLLOUT, Clock::now() + std::chrono::seconds(5)))
            return false;
    }
    return true;
}

bool PtyPeer::write(std::string_view text)
{
    return write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::vector<std::uint8_t> PtyPeer::read(std::size_t n, Duration timeout)
{
    std::vector<std::uint8_t> bytes(n);
    std::size_t count = 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(timeout);
    while (count < n && master_ >= 0) {
        const ssize_t got = ::read(master_, bytes.data() + count, n - count);
        if (got > 0) {
            count += static_cast<std::size_t>(got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0 || errno != EAGAIN || !waitFor(master_, POLLIN, deadline))
            break;
    }
    bytes.resize(count);
    return bytes;
}

std::vector<std::uint8_t> PtyPeer::readAll(Duration quiet)
{
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[4096];
    while (master_ >= 0) {
        const ssize_t got = ::read(master_, chunk, sizeof chunk);
        if (got > 0) {
            bytes.insert(bytes.end(), chunk, chunk + got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0 || errno != EAGAIN ||
            !waitFor(master_, POLLIN, Clock::now() + std::chrono::duration_cast<Clock::duration>(quiet)))
            break;
    }
    return bytes;
}

PtyPeer::LineSettings PtyPeer::lineSettings() const
{
    termios2 t{};
    if (slave_ < 0 || ::ioctl(slave_, TCGETS2, &t) < 0)
        return {};
    // The kernel fills in the rate also for the rates with a code of their own.
    return {t.c_ospeed, (t.c_cflag & CSTOPB) ? 2 : 1};
}
