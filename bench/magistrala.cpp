// Exchanges per second of the real bus poll loop against one I/O board, over
// the most the line can carry: at 19200 8E1 every byte takes 11 bits of line
// time, and one exchange is a two-byte poll frame and a two-byte reply. The
// board sits on a pseudo-terminal, which moves bytes at once, so it keeps the
// line's pace itself: it answers only when the frame would have arrived, and
// sends each reply byte a byte's time after the one before. The ratio is what
// the poll loop's own costs (frame building, drain, reply deadline, image,
// sweep over the empty addresses) leave of the line.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/Object_Magistrala.h"
#include "devices/PetlaMagistrali.h"
#include "devices/RamkaMagistrali.h"

namespace {

using namespace std::chrono;

constexpr int Com = 61;
constexpr std::uint16_t Address = 1;
constexpr unsigned Baud = 19200;
constexpr int BitsPerByte = 11; // start, 8 data, even parity, stop
constexpr auto ByteTime = duration_cast<nanoseconds>(duration<double>(double(BitsPerByte) / Baud));
constexpr int FrameBytes = 2; // version-1 address and check byte
constexpr int ReplyBytes = 2; // inputs and check byte
constexpr double LineLimit = double(Baud) / (BitsPerByte * (FrameBytes + ReplyBytes));

// One kind-1 board at the far end of a pseudo-terminal that COM number Com
// names, answering at the pace of a real line.
class PacedBoard {
public:
    PacedBoard() {
        char folder[] = "/tmp/kandor-bench-XXXXXX";
        if (!::mkdtemp(folder))
            throw std::runtime_error("mkdtemp");
        folder_ = folder;
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) < 0 || ::unlockpt(master_) < 0)
            throw std::runtime_error("posix_openpt");
        char name[128];
        if (::ptsname_r(master_, name, sizeof name) != 0)
            throw std::runtime_error("ptsname");
        // Held open so that the master never sees the line closed while the
        // port opens and configures it.
        slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        link_ = folder_ + "/COM" + std::to_string(Com);
        if (slave_ < 0 || ::symlink(name, link_.c_str()) < 0)
            throw std::runtime_error("linking the pseudo-terminal");
        ::setenv("KANDOR_COM_DIR", folder_.c_str(), 1);
        thread_ = std::thread([this] { run(); });
    }

    ~PacedBoard() {
        stop_ = true;
        thread_.join();
        ::close(slave_);
        ::close(master_);
        ::unlink(link_.c_str());
        ::rmdir(folder_.c_str());
    }

    std::uint64_t answers() const { return answers_; }

private:
    void run() {
        // The default 50 us of timer slack per sleep would be charged to the
        // poll loop as if the line were slower.
        ::prctl(PR_SET_TIMERSLACK, 1UL);
        std::vector<std::uint8_t> frame;
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            std::array<std::uint8_t, 64> buffer;
            const ssize_t n = ::read(master_, buffer.data(), buffer.size());
            if (n <= 0)
                continue;
            // The frame reached the board when its last byte would have.
            auto due = steady_clock::now() + ByteTime * n;
            for (ssize_t i = 0; i < n; ++i) {
                frame.push_back(buffer[i]);
                if (buffer[i] >= 0x40 && frame.size() < 8)
                    continue;
                const bool forUs = frame.size() >= 2 && frame[0] == 0x80 + Address &&
                                   frame.back() == bus::checkByte(std::span(frame).first(frame.size() - 1));
                frame.clear();
                if (forUs)
                    answer(due);
            }
        }
    }

    void answer(steady_clock::time_point start) {
        const auto reply = bus::encodeReply(bus::ioBoardKind, 0x05, std::nullopt);
        auto due = start;
        for (std::uint8_t byte : reply->bytes()) {
            due += ByteTime;
            // A sleep wakes late by tens of microseconds; the last stretch is
            // spun so the board keeps the line's own pace, not the timer's.
            std::this_thread::sleep_until(due - 150us);
            while (steady_clock::now() < due) {
            }
            if (::write(master_, &byte, 1) != 1)
                return;
        }
        ++answers_;
    }

    std::string folder_;
    std::string link_;
    int master_ = -1;
    int slave_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> answers_{0};
    std::thread thread_;
};

void ExchangesOverLineLimit(benchmark::State& state) {
    PacedBoard board;
    UstawFabrykePetliMagistrali(UtworzPetleMagistrali);
    Object_Magistrala magistrala(1);
    magistrala.Com = Com;
    magistrala.Wersja = 1;
    magistrala.Predkosc = Baud;
    magistrala.DodajKarte(Address, bus::ioBoardKind);
    if (!magistrala.Otworz(false)) {
        state.SkipWithError("the bus did not open");
        return;
    }
    const auto warmUp = steady_clock::now() + 5s;
    while (board.answers() < 10 && steady_clock::now() < warmUp)
        std::this_thread::sleep_for(1ms);

    std::uint64_t exchanges = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto before = board.answers();
        const auto start = steady_clock::now();
        std::this_thread::sleep_for(1s);
        const auto after = board.answers();
        const double elapsed = duration<double>(steady_clock::now() - start).count();
        state.SetIterationTime(elapsed);
        exchanges += after - before;
        seconds += elapsed;
    }
    const bool answered = magistrala.Status(Address) == StatusOk && magistrala.StanWejscia(Address, 1);
    magistrala.Zamknij(false);
    if (!answered) {
        state.SkipWithError("the board's answers did not reach the image");
        return;
    }
    const double perSecond = exchanges / seconds;
    state.counters["exchanges_per_s"] = perSecond;
    state.counters["line_limit_per_s"] = LineLimit;
    state.counters["ratio"] = perSecond / LineLimit;
}
BENCHMARK(ExchangesOverLineLimit)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
