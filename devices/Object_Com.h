#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "core/Object.h"
#include "devices/RamkaCentrali.h"
#include "platform/serial/SerialPort.h"

// What a controller port needs of its serial line. The real one is a
// SerialPort; tests put a scripted line behind the same calls so the frame
// state machine runs without a device and on a clock they move.
class ControllerLine {
public:
    virtual ~ControllerLine() = default;
    // Opens COM number com and applies 19200 8N1 with DTR on and RTS off;
    // false when either failed, leaving the line closed.
    virtual bool open(int com) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual platform::serial::LineErrors lineErrors() = 0;
    virtual platform::serial::IoResult readAvailable(std::span<std::uint8_t> buffer) = 0;
    virtual platform::serial::IoResult write(std::span<const std::uint8_t> bytes) = 0;
    virtual platform::serial::Status flushInput() = 0;
    // errno of the last failed call.
    virtual int lastErrorCode() const = 0;
};

std::unique_ptr<ControllerLine> makeSerialControllerLine();

// One COM port shared by the controllers on it: it buffers what arrives,
// cuts it into frames and hands each to the controller it names. Main
// thread only, driven by the tick: Krok for every port, then RamkaDla from
// every controller, then UsunRamke for every port, so a port delivers at most
// one frame per tick and a frame nobody claims is gone after it.
class Object_Com : public Object {
public:
    static constexpr unsigned Predkosc = 19200;
    // A whole frame at 19200 baud takes about 14 ms; a partial frame with no
    // byte for this long will never be completed, and a line with no send
    // for this long is free for the next command.
    static constexpr std::uint32_t CiszaMs = 120;
    // Comfortably more than frames can pile up between two ticks; what does
    // not fit waits in the driver, which bounds its own queue.
    static constexpr std::size_t PojemnoscBufora = 4096;
    static constexpr std::size_t PojemnoscWysylki = 256;

    explicit Object_Com(int id);
    // A port on a line of the caller's (tests).
    Object_Com(int id, std::unique_ptr<ControllerLine> linia);
    ~Object_Com() override;

    bool Otworz();
    bool Zamknij();
    bool PortOtwarty() const;
    bool Otwarty() const { return otwarty_; }

    // Receives, and finds the frame at the start of the buffer; true when a
    // checked frame is there for this tick's RamkaDla calls.
    bool Krok();
    // True, copying the frame into cel when given, when the frame of this
    // tick is meant for the controller with that network address or serial
    // number (only the serial when it talks by serial number).
    bool RamkaDla(bool poNumerzeSeryjnym, int adres, int numerSeryjny, centrala::Frame* cel);
    // Ends the tick's frame, claimed or not.
    void UsunRamke();
    bool Wyslij(std::span<const std::uint8_t> bajty);
    bool Wolny() const;

    int Com() const { return com_; }
    int AdresRamki() const { return adresRamki_; }
    std::uint32_t OstatniBlad() const { return ostatniBlad_; }
    std::uint32_t BledyLinii() const { return bledyLinii_; }
    std::size_t Zbuforowane() const { return ilosc_; }

private:
    bool Odbierz();
    void ZapamietajAdres();
    bool Synchronizuj();
    bool SprawdzPary() const;
    void ObsluzBlad(platform::serial::Status status);
    void Odrzuc(std::size_t n);
    void Dosun();
    std::span<const std::uint8_t> Bufor() const { return {bufor_.data() + poczatek_, ilosc_}; }

    const int com_;
    std::unique_ptr<ControllerLine> linia_;
    bool otwarty_ = false;
    std::uint32_t ostatniBlad_ = 0;
    std::uint32_t bledyLinii_ = 0;
    std::array<std::uint8_t, PojemnoscWysylki> wysylka_{};
    // The buffered bytes are bufor_[poczatek_, poczatek_ + ilosc_): dropping
    // from the front only moves poczatek_, so synchronising past a long run
    // of noise costs no copying per byte.
    std::array<std::uint8_t, PojemnoscBufora> bufor_{};
    std::size_t poczatek_ = 0;
    std::size_t ilosc_ = 0;
    bool ramkaGotowa_ = false;
    int adresRamki_ = -1;
    std::uint32_t ostatnieWyslanie_;
    std::uint32_t ostatniOdbior_;
};

class Objects_Coms : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Com(id); }
    using Objects::Dodaj;
    // The port of COM number com, its id.
    Object_Com* Dodaj(int com) { return static_cast<Object_Com*>(Nowy(com)); }
};
