#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "devices/RamkaMagistrali.h"
#include "tests/support/PtyPeer.h"

// The I/O boards of one bus, answering poll frames on the far end of a
// pseudo-terminal as boards of kinds 1 and 2 do. Its own thread reads each
// frame (the bytes up to the first one below 0x40), checks it, and lets the
// addressed board answer; a frame with a wrong check byte, a malformed frame
// or one for an address without a board gets no answer, as on a real bus.
//
// Every board is set up per address from the test's thread while the
// simulator runs: present or silent, inputs, a reading waiting to be sent,
// and a broken answer on demand. What the boards received (polls, outputs)
// can be asked at any time.
//
// The peer belongs to the simulator's thread while it runs: stop() before
// hanging the peer up or reopening it, start() afterwards.
//
// While any simulator lives, KANDOR_BUS_REPLY_MS gives the buses made
// meanwhile (and programs started with the environment) a reply deadline of
// 500 ms instead of a board's 20: the simulator's thread answers at once, but
// a loaded machine may not run it for longer than 20 ms. A board that does
// not answer costs each sweep the whole deadline.
class BoardSimulator {
public:
    // How a present board answers.
    enum class Answer {
        Normal,
        // Nothing at all, as a board without power.
        Silent,
        // The right reply with its check byte wrong.
        BadCheck,
        // The bytes set with setGarbage instead of a reply.
        Garbage,
    };

    struct Board {
        std::uint8_t kind = bus::ioBoardKind;
        Answer answer = Answer::Normal;
        std::uint8_t inputs = 0;
        // Sent in the next normal reply, then forgotten.
        std::optional<bus::Reading> pendingReading;
        std::vector<std::uint8_t> garbage;
        // The outputs of the last poll that carried them; a board drives
        // them at once.
        std::optional<std::uint8_t> outputs;
        // Frames this board received, and the ones it answered.
        std::size_t polls = 0;
        std::size_t answers = 0;
    };

    // Starts answering at once. busVersion 2 reads two address bytes; any
    // other value one, as the program sends them.
    BoardSimulator(PtyPeer& peer, int busVersion);
    ~BoardSimulator();
    BoardSimulator(const BoardSimulator&) = delete;
    BoardSimulator& operator=(const BoardSimulator&) = delete;

    void start();
    void stop();

    // A board at the address (0..4095), answering normally with inputs 0.
    void addBoard(std::uint16_t address, std::uint8_t kind);
    void removeBoard(std::uint16_t address);
    void setAnswer(std::uint16_t address, Answer answer);
    void setInputs(std::uint16_t address, std::uint8_t inputs);
    // Throws std::invalid_argument when the board's kind cannot send it.
    void setPendingReading(std::uint16_t address, bus::Reading reading);
    // Sent as is when the answer is Garbage; 200 data bytes without a check
    // byte (more than the program's receive buffer) until set.
    void setGarbage(std::uint16_t address, std::vector<std::uint8_t> bytes);

    // A copy of the board's state; throws std::out_of_range without a board.
    Board board(std::uint16_t address) const;
    // Frames that were malformed or had a wrong check byte.
    std::size_t badFrames() const;

private:
    void run();
    void takeBytes(std::span<const std::uint8_t> bytes);
    // The reply to one complete frame, empty when none goes out.
    std::vector<std::uint8_t> answerFrame(std::span<const std::uint8_t> frame);
    Board& at(std::uint16_t address);

    PtyPeer& peer_;
    const int busVersion_;
    mutable std::mutex mutex_;
    std::map<std::uint16_t, Board> boards_;
    std::size_t badFrames_ = 0;
    // Bytes of a frame still waiting for its check byte; a poll frame has at
    // most four, so a longer run is noise and is dropped.
    std::vector<std::uint8_t> pending_;
    std::thread thread_;
    // Written to wake the thread for stop(); the thread waits on it and the
    // peer together so that stopping needs no polling interval.
    int wake_[2] = {-1, -1};
};
