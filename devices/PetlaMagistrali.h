#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "core/Object_Magistrala.h"
#include "devices/RamkaMagistrali.h"
#include "platform/serial/SerialPort.h"

// The port and poll thread of one I/O bus: the thread sweeps the board
// addresses without end, sends each registered board its poll frame and
// stores the board's answer in the bus image, and tells the main window
// about changes with posted messages only (a full close joins this thread,
// so it must never wait for the main thread).
//
// A lost port (unplugged adapter, failed open, an exception in the loop) is
// not the end: the thread keeps the bus marked lost and tries the port again
// once a second, so a device that comes back is picked up without a restart.
class PetlaMagistraliSzeregowa final : public PetlaMagistrali {
public:
    using Zegar = std::chrono::steady_clock;

    // The 20 idle waits of 1 ms after a board's last byte, as one deadline.
    static constexpr std::chrono::milliseconds OdstepBajtow{20};
    // Names another deadline in milliseconds. The tests set it: their boards
    // are threads of a busy machine, which its scheduler may keep from
    // answering for longer than a real board ever takes, and a late answer
    // would then be taken for the next board's.
    static constexpr const char* ZmiennaOdstepuBajtow = "KANDOR_BUS_REPLY_MS";
    static constexpr std::chrono::seconds OdstepPonowien{1};
    // A sweep that polled no board waits this long, so an empty bus does
    // not keep a core busy.
    static constexpr std::chrono::milliseconds PrzerwaPustegoPrzebiegu{5};

    explicit PetlaMagistraliSzeregowa(Object_Magistrala& magistrala);
    ~PetlaMagistraliSzeregowa() override;
    PetlaMagistraliSzeregowa(const PetlaMagistraliSzeregowa&) = delete;
    PetlaMagistraliSzeregowa& operator=(const PetlaMagistraliSzeregowa&) = delete;

    bool Otworz(bool ponownie) override;
    void Zamknij(bool zostawWatek) override;
    bool PortOtwarty() const override { return port_.isOpen(); }

private:
    void Watek();
    void Przebieg(int adres, bool& odpytano, std::uint32_t& bledy);
    // One frame out and its reply in; the poll's status. Caller holds
    // blokadaPortu_; utracony tells that the device has gone.
    std::uint32_t Wymiana(int adres, std::uint8_t rodzaj, std::optional<std::uint8_t> wyjscia, bus::Reply& odpowiedz,
                          bool& utracony);
    // Opens and configures the port; caller holds blokadaPortu_.
    bool OtworzPort();
    void OznaczUtracona(bool odrazu);
    void PonowPort();
    // Waits up to the time given or until a full close wakes the thread.
    void Czekaj(Zegar::duration ile);
    void ZakonczWatek();

    Object_Magistrala& magistrala_;
    // OdstepBajtow, or what the variable names when the loop is made.
    const std::chrono::milliseconds odstepBajtow_;
    platform::serial::SerialPort port_;
    // The port is the poll thread's while it polls; the main thread's open
    // and close take it between two polls.
    std::mutex blokadaPortu_;

    std::thread watek_;
    std::atomic<bool> watekDziala_{false};
    std::mutex blokadaStopu_;
    std::condition_variable budzik_;
    // Set under blokadaStopu_ so that a wait cannot miss it; read without it
    // at every address of a sweep.
    std::atomic<bool> stop_{false};

    // The thread's own: when the lost port is tried next.
    Zegar::time_point nastepnaProba_{};
    std::uint32_t zapytania_ = 0;
    std::uint32_t odpowiedzi_ = 0;
};

// The factory the device layer installs for every bus.
std::unique_ptr<PetlaMagistrali> UtworzPetleMagistrali(Object_Magistrala& magistrala);
