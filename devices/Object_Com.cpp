#include "devices/Object_Com.h"

#include <algorithm>
#include <cstring>

#include "core/Czas.h"

using platform::serial::IoResult;
using platform::serial::LineErrors;
using platform::serial::Status;

namespace {

constexpr std::size_t dlugoscRamki = centrala::frameLength;
// A new port, and one on which a whole frame has arrived, counts as free at
// once: its last send is put this far back, past the free-line limit.
constexpr std::uint32_t DawnoMs = 136;

// The line error flags in the form the diagnostics have always shown.
constexpr std::uint32_t BladPrzepelnienia = 0x0002;
constexpr std::uint32_t BladParzystosci = 0x0004;
constexpr std::uint32_t BladRamki = 0x0008;
constexpr std::uint32_t BladPrzerwy = 0x0010;

std::uint32_t FlagiBledow(const LineErrors& bledy) {
    std::uint32_t flagi = 0;
    if (bledy.overrun)
        flagi |= BladPrzepelnienia;
    if (bledy.parity)
        flagi |= BladParzystosci;
    if (bledy.framing)
        flagi |= BladRamki;
    if (bledy.breaks)
        flagi |= BladPrzerwy;
    return flagi;
}

// Commands whose answers name the controller by its serial number when it
// has no network address yet (the scan and the memory commands), so either
// identity claims them.
bool KodPoNumerzeLubAdresie(std::uint8_t kod) {
    switch (kod) {
    case 9: case 10: case 11: case 13: case 14: case 15: case 19: case 20: case 23: case 25:
        return true;
    default:
        return false;
    }
}

class SerialControllerLine final : public ControllerLine {
public:
    bool open(int com) override {
        if (!port_.open(com))
            return false;
        // A line left at the device's own rate would only garble frames:
        // a port that cannot be set counts as not opened.
        if (!port_.configure(Object_Com::Predkosc, platform::serial::Parity::None, platform::serial::StopBits::One)) {
            port_.close();
            return false;
        }
        return true;
    }
    void close() override { port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    LineErrors lineErrors() override { return port_.lineErrors(); }
    IoResult readAvailable(std::span<std::uint8_t> buffer) override { return port_.readAvailable(buffer); }
    IoResult write(std::span<const std::uint8_t> bytes) override { return port_.write(bytes); }
    Status flushInput() override { return port_.flushInput(); }
    int lastErrorCode() const override { return port_.lastErrorCode(); }

private:
    platform::serial::SerialPort port_;
};

} // namespace

std::unique_ptr<ControllerLine> makeSerialControllerLine() { return std::make_unique<SerialControllerLine>(); }

Object_Com::Object_Com(int id) : Object_Com(id, makeSerialControllerLine()) {}

Object_Com::Object_Com(int id, std::unique_ptr<ControllerLine> linia)
    : Object(id), com_(id), linia_(std::move(linia)), ostatnieWyslanie_(Czas::TickMs() - DawnoMs),
      ostatniOdbior_(Czas::TickMs()) {}

Object_Com::~Object_Com() { Zamknij(); }

bool Object_Com::Otworz() {
    if (linia_->isOpen() || otwarty_)
        Zamknij();
    if (!linia_->open(com_)) {
        ostatniBlad_ = static_cast<std::uint32_t>(linia_->lastErrorCode());
        return false;
    }
    otwarty_ = true;
    return true;
}

bool Object_Com::Zamknij() {
    linia_->close();
    otwarty_ = false;
    return true;
}

bool Object_Com::PortOtwarty() const { return linia_->isOpen(); }

void Object_Com::ObsluzBlad(Status status) {
    ostatniBlad_ = static_cast<std::uint32_t>(linia_->lastErrorCode());
    // A lost device (an unplugged adapter) is tried once more at once, as a
    // fatal port error always was; anything else is only recorded.
    if (status == Status::DeviceGone)
        Otworz();
}

void Object_Com::Odrzuc(std::size_t n) {
    n = std::min(n, ilosc_);
    poczatek_ += n;
    ilosc_ -= n;
    if (ilosc_ == 0)
        poczatek_ = 0;
}

void Object_Com::Dosun() {
    if (poczatek_ == 0)
        return;
    std::memmove(bufor_.data(), bufor_.data() + poczatek_, ilosc_);
    poczatek_ = 0;
}

bool Object_Com::Odbierz() {
    const std::uint32_t teraz = Czas::TickMs();
    std::size_t przeczytane = 0;
    if (linia_->isOpen()) {
        const LineErrors bledy = linia_->lineErrors();
        if (bledy.status != Status::Ok) {
            ObsluzBlad(bledy.status);
            return false;
        }
        bledyLinii_ = FlagiBledow(bledy);
        if (bledyLinii_ != 0) {
            // The frame being received may have lost or changed a byte; the
            // whole frames before it were checked on the way in.
            ilosc_ -= ilosc_ % dlugoscRamki;
            if (ilosc_ == 0)
                poczatek_ = 0;
            linia_->flushInput();
            return false;
        }
        Dosun();
        const IoResult wynik = linia_->readAvailable(std::span(bufor_).subspan(ilosc_));
        if (!wynik.ok()) {
            ObsluzBlad(wynik.status);
            return false;
        }
        przeczytane = wynik.count;
    }
    if (przeczytane > 0) {
        ostatniBlad_ = 0;
        ostatniOdbior_ = teraz;
        ilosc_ += przeczytane;
    } else if (ilosc_ > 0 && ilosc_ < dlugoscRamki && teraz - ostatniOdbior_ > CiszaMs) {
        // Only a partial frame: whole frames behind a stalled tick are still
        // handed out one per tick.
        Odrzuc(ilosc_);
        ostatniOdbior_ = teraz;
    }
    if (ilosc_ >= dlugoscRamki) {
        ostatnieWyslanie_ = teraz - DawnoMs;
        return true;
    }
    return false;
}

bool Object_Com::SprawdzPary() const { return centrala::pairsValid(Bufor()); }

bool Object_Com::Synchronizuj() {
    for (;;) {
        Odrzuc(centrala::syncStart(Bufor()));
        // The rest of a frame whose head is here may come in the next tick:
        // keep it and wait.
        if (ilosc_ < dlugoscRamki)
            return false;
        if (SprawdzPary())
            return true;
        // Not a frame after all (a fifth sync byte, noise, a damaged frame):
        // the next run may start one byte further on.
        Odrzuc(1);
    }
}

void Object_Com::ZapamietajAdres() { adresRamki_ = centrala::frameAddress(Bufor()); }

bool Object_Com::Krok() {
    Odbierz();
    ramkaGotowa_ = Synchronizuj();
    // From the frame itself, after the bytes before it were dropped.
    if (ramkaGotowa_)
        ZapamietajAdres();
    return ramkaGotowa_;
}

bool Object_Com::RamkaDla(bool poNumerzeSeryjnym, int adres, int numerSeryjny, centrala::Frame* cel) {
    if (!ramkaGotowa_)
        return false;
    const auto bufor = Bufor();
    bool dlaNiej;
    if (poNumerzeSeryjnym)
        dlaNiej = adresRamki_ == numerSeryjny;
    else if (KodPoNumerzeLubAdresie(bufor[centrala::firstValue]))
        dlaNiej = adresRamki_ == adres || adresRamki_ == numerSeryjny;
    else
        dlaNiej = adresRamki_ == adres;
    if (dlaNiej && cel)
        std::copy_n(bufor.begin(), dlugoscRamki, cel->begin());
    return dlaNiej;
}

void Object_Com::UsunRamke() {
    if (!ramkaGotowa_)
        return;
    Odrzuc(dlugoscRamki);
    ramkaGotowa_ = false;
}

bool Object_Com::Wyslij(std::span<const std::uint8_t> bajty) {
    if (bajty.empty() || bajty.size() > wysylka_.size())
        return false;
    std::copy(bajty.begin(), bajty.end(), wysylka_.begin());
    // No output flush first: on Linux it would cut off the previous frame
    // while it is still leaving the UART.
    const IoResult wynik = linia_->write(std::span(wysylka_).first(bajty.size()));
    if (!wynik.ok()) {
        ObsluzBlad(wynik.status);
        return false;
    }
    ostatnieWyslanie_ = Czas::TickMs();
    return true;
}

bool Object_Com::Wolny() const { return Czas::TickMs() - ostatnieWyslanie_ > CiszaMs; }
