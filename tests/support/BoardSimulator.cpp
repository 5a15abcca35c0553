#include "tests/support/BoardSimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

#include "devices/PetlaMagistrali.h"

namespace {

constexpr std::size_t longestFrame = 4;
constexpr std::uint8_t dataMark = 0x40;

// A bus polls a simulated board with a reply deadline its thread can meet on
// a busy machine; the variable is the process's, set while any simulator lives.
constexpr const char* replyDeadlineMs = "500";

struct ReplyDeadline {
    std::mutex mutex;
    int simulators = 0;
    std::optional<std::string> saved;
};

ReplyDeadline& replyDeadline()
{
    static ReplyDeadline deadline;
    return deadline;
}

void setReplyDeadline()
{
    ReplyDeadline& d = replyDeadline();
    std::lock_guard lock(d.mutex);
    if (d.simulators++ > 0)
        return;
    if (const char* old = std::getenv(PetlaMagistraliSzeregowa::ZmiennaOdstepuBajtow))
        d.saved = old;
    ::setenv(PetlaMagistraliSzeregowa::ZmiennaOdstepuBajtow, replyDeadlineMs, 1);
}

void restoreReplyDeadline()
{
    ReplyDeadline& d = replyDeadline();
    std::lock_guard lock(d.mutex);
    if (--d.simulators > 0)
        return;
    if (d.saved)
        ::setenv(PetlaMagistraliSzeregowa::ZmiennaOdstepuBajtow, d.saved->c_str(), 1);
    else
        ::unsetenv(PetlaMagistraliSzeregowa::ZmiennaOdstepuBajtow);
    d.saved.reset();
}

bool isAddressByte(std::uint8_t byte) { return byte >= 0x80; }
bool isHighAddressByte(std::uint8_t byte) { return byte >= 0xC0; }
bool isDataByte(std::uint8_t byte) { return byte >= dataMark && byte < 0x80; }

} // namespace

BoardSimulator::BoardSimulator(PtyPeer& peer, int busVersion) : peer_(peer), busVersion_(busVersion)
{
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "BoardSimulator: pipe");
    setReplyDeadline();
    start();
}

BoardSimulator::~BoardSimulator()
{
    stop();
    ::close(wake_[0]);
    ::close(wake_[1]);
    restoreReplyDeadline();
}

void BoardSimulator::start()
{
    if (thread_.joinable())
        return;
    // A frame cut off by a stop is not finished by bytes after the restart.
    pending_.clear();
    thread_ = std::thread([this] { run(); });
}

void BoardSimulator::stop()
{
    if (!thread_.joinable())
        return;
    const char byte = 0;
    while (::write(wake_[1], &byte, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
    char drain[16];
    while (::read(wake_[0], drain, sizeof drain) > 0) {
    }
}

void BoardSimulator::run()
{
    for (;;) {
        pollfd fds[2] = {{wake_[0], POLLIN, 0}, {peer_.fd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents != 0)
            return;
        // A master whose slave side is held open by the peer never hangs up;
        // anything else in revents means the peer is gone, and only stop()
        // is left to wait for.
        if ((fds[1].revents & POLLIN) == 0) {
            pollfd wake = {wake_[0], POLLIN, 0};
            ::poll(&wake, 1, -1);
            return;
        }
        const auto bytes = peer_.read(256, std::chrono::nanoseconds(0));
        takeBytes(bytes);
    }
}

void BoardSimulator::takeBytes(std::span<const std::uint8_t> bytes)
{
    for (const std::uint8_t byte : bytes) {
        pending_.push_back(byte);
        if (byte >= dataMark) {
            if (pending_.size() >= longestFrame) {
                std::lock_guard lock(mutex_);
                ++badFrames_;
                pending_.clear();
            }
            continue;
        }
        const auto reply = answerFrame(pending_);
        pending_.clear();
        if (!reply.empty())
            peer_.write(reply);
    }
}

std::vector<std::uint8_t> BoardSimulator::answerFrame(std::span<const std::uint8_t> frame)
{
    std::lock_guard lock(mutex_);
    const auto body = frame.first(frame.size() - 1);
    const std::size_t addressLength = busVersion_ == 2 ? 2 : 1;
    const bool wellFormed = (body.size() == addressLength || body.size() == addressLength + 1)
                            && frame.back() == bus::checkByte(body)
                            && (addressLength == 1 ? isAddressByte(body[0])
                                                   : isHighAddressByte(body[0]) && isAddressByte(body[1])
                                                         && !isHighAddressByte(body[1]))
                            && (body.size() == addressLength || isDataByte(body.back()));
    if (!wellFormed) {
        ++badFrames_;
        return {};
    }

    const std::uint16_t address = addressLength == 1
                                      ? static_cast<std::uint16_t>(body[0] & 0x7F)
                                      : static_cast<std::uint16_t>(((body[0] & 0x3F) << 6) | (body[1] & 0x3F));
    const auto found = boards_.find(address);
    if (found == boards_.end())
        return {};
    Board& board = found->second;
    ++board.polls;
    if (board.answer == Answer::Silent)
        return {};
    if (body.size() > addressLength)
        board.outputs = static_cast<std::uint8_t>(body.back() & 0x3F);
    ++board.answers;
    if (board.answer == Answer::Garbage)
        return board.garbage;

    // The setters let through only readings the board's kind can send.
    auto reply = bus::encodeReply(board.kind, board.inputs, board.pendingReading);
    std::vector<std::uint8_t> bytes(reply->bytes().begin(), reply->bytes().end());
    if (board.answer == Answer::BadCheck)
        bytes.back() ^= 0x01;
    else
        board.pendingReading.reset();
    return bytes;
}

BoardSimulator::Board& BoardSimulator::at(std::uint16_t address)
{
    const auto found = boards_.find(address);
    if (found == boards_.end())
        throw std::out_of_range("BoardSimulator: no board at address " + std::to_string(address));
    return found->second;
}

void BoardSimulator::addBoard(std::uint16_t address, std::uint8_t kind)
{
    if (address >= bus::addressCount)
        throw std::out_of_range("BoardSimulator: address " + std::to_string(address) + " is outside 0..4095");
    std::lock_guard lock(mutex_);
    Board board;
    board.kind = kind;
    board.garbage.assign(200, 0x55);
    boards_[address] = std::move(board);
}

void BoardSimulator::removeBoard(std::uint16_t address)
{
    std::lock_guard lock(mutex_);
    boards_.erase(address);
}

void BoardSimulator::setAnswer(std::uint16_t address, Answer answer)
{
    std::lock_guard lock(mutex_);
    at(address).answer = answer;
}

void BoardSimulator::setInputs(std::uint16_t address, std::uint8_t inputs)
{
    std::lock_guard lock(mutex_);
    at(address).inputs = inputs & 0x3F;
}

void BoardSimulator::setPendingReading(std::uint16_t address, bus::Reading reading)
{
    std::lock_guard lock(mutex_);
    Board& board = at(address);
    if (!bus::encodeReply(board.kind, board.inputs, reading))
        throw std::invalid_argument("BoardSimulator: a board of kind " + std::to_string(board.kind)
                                    + " cannot send the reading \"" + reading.code + "\"");
    board.pendingReading = std::move(reading);
}

void BoardSimulator::setGarbage(std::uint16_t address, std::vector<std::uint8_t> bytes)
{
    std::lock_guard lock(mutex_);
    at(address).garbage = std::move(bytes);
}

BoardSimulator::Board BoardSimulator::board(std::uint16_t address) const
{
    std::lock_guard lock(mutex_);
    const auto found = boards_.find(address);
    if (found == boards_.end())
        throw std::out_of_range("BoardSimulator: no board at address " + std::to_string(address));
    return found->second;
}

std::size_t BoardSimulator::badFrames() const
{
    std::lock_guard lock(mutex_);
    return badFrames_;
}
