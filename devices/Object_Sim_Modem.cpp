#include "devices/Object_Sim_Modem.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "core/Objects_globals.h"
#include "devices/Object_Zarvo_Centrala.h"

using platform::serial::IoResult;
using platform::serial::Status;

namespace {

// The open command's value for the door, as a '#' on the phone sends it.
constexpr std::uint8_t WartoscDrzwi = 255;

char Wielka(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool ZaczynaSieOd(std::string_view tekst, std::string_view poczatek) {
    if (tekst.size() < poczatek.size())
        return false;
    for (std::size_t i = 0; i < poczatek.size(); ++i)
        if (Wielka(tekst[i]) != Wielka(poczatek[i]))
            return false;
    return true;
}

std::string_view Argument(std::string_view reszta) {
    if (!reszta.empty() && (reszta[0] == '=' || reszta[0] == '?' || reszta[0] == ':')) {
        reszta.remove_prefix(1);
        while (!reszta.empty() && reszta[0] == ' ')
            reszta.remove_prefix(1);
    }
    return reszta;
}

// The commands of the initialisation, step 1 first.
constexpr std::string_view KomendyInicjalizacji[Object_Sim_Modem::OstatniKrokInicjalizacji] = {
    "AT", "ATI", "ATV1", "AT+CFUN=1", "AT^CURC=1", "AT+CPIN?", "AT+CLIP=1", "AT+DDET=1",
};

} // namespace

std::string NumerDoWybrania(std::string_view numer) {
    std::string wynik;
    for (char c : numer)
        if ((c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#')
            wynik += c;
    return wynik;
}

bool PasujeKomenda(std::string_view linia, std::string_view komenda, std::string_view* argument) {
    if (!ZaczynaSieOd(linia, komenda)) {
        if (linia.empty() || (linia[0] != '+' && linia[0] != '^'))
            return false;
        const std::size_t od = komenda.find_first_of("+^");
        if (od == std::string_view::npos)
            return false;
        komenda.remove_prefix(od);
        if (!ZaczynaSieOd(linia, komenda))
            return false;
    }
    if (argument)
        *argument = Argument(linia.substr(komenda.size()));
    return true;
}

Object_Sim_Modem::Object_Sim_Modem(int id) : Object(id) {}

Object_Sim_Modem::~Object_Sim_Modem() {
    if (Centrala && Centrala->Modem == this)
        Centrala->Modem = nullptr;
    Zamknij();
}

void Object_Sim_Modem::Polacz() {
    Centrala = Polaczony<Object_Zarvo_Centrala>(Centrale, Id());
    if (Centrala)
        Centrala->Modem = this;
}

void Object_Sim_Modem::Wyczysc() {
    ilosc_ = 0;
    poPustejLinii_ = false;
    wysylka_.clear();
    wyslano_ = 0;
    StanInicjalizacji = 0;
    WyslanyStan = 0;
    polaczenie_ = wybieranie_ = dzwoni_ = false;
    NumerDzwoniacego.clear();
    CyfryDtmf.clear();
    PinWymagany = true;
    OtwarcieDoPonowienia = false;
}

bool Object_Sim_Modem::Otworz() {
    Zamknij();
    if (!port_.open(ComGsm))
        return false;
    // A modem left at another rate would only send garbage back: a port that
    // cannot be set counts as not opened.
    if (!port_.configure(Predkosc, platform::serial::Parity::None, platform::serial::StopBits::One)) {
        port_.close();
        return false;
    }
    port_.setControlLines(false, true);
    // A write gives up within a millisecond when the line takes nothing; the
    // rest of the line goes in later ticks.
    port_.setWriteWait(std::chrono::microseconds(200));
    port_.flushInput();
    port_.flushOutput();
    Wyczysc();
    return true;
}

void Object_Sim_Modem::Zamknij() { port_.close(); }

void Object_Sim_Modem::RozpocznijInicjalizacje() {
    StanInicjalizacji = 1;
    WyslanyStan = 0;
}

bool Object_Sim_Modem::WyslijLinie(std::string_view tekst) {
    if (!wysylka_.empty())
        return false;
    wysylka_.assign(tekst);
    wysylka_ += "\r\n";
    wyslano_ = 0;
    return true;
}

bool Object_Sim_Modem::Dzwon(std::string_view numer, int typ) {
    const std::string cyfry = NumerDoWybrania(numer);
    if (cyfry.empty())
        return false;
    // A key pressed in an earlier call must not act in this one.
    CyfryDtmf.clear();
    std::string linia = "ATD" + cyfry;
    if (typ == 1)
        linia += 'I';
    else if (typ == 2)
        linia += 'i';
    linia += ';';
    return WyslijLinie(linia);
}

bool Object_Sim_Modem::Rozlacz() {
    CyfryDtmf.clear();
    return WyslijLinie("AT+CHUP");
}

char Object_Sim_Modem::PobierzDtmf() {
    if (CyfryDtmf.empty())
        return 0;
    const char c = CyfryDtmf.front();
    CyfryDtmf.erase(0, 1);
    return c;
}

void Object_Sim_Modem::Krok() {
    if (!port_.isOpen() || port_.lineErrors().status != Status::Ok)
        return;
    Odbierz();
    KrokInicjalizacji();
    Wysylaj();
}

// The free end of the receive buffer; a whole buffer without a line end is
// no line the desk knows, and is dropped first.
std::span<std::uint8_t> Object_Sim_Modem::WolneMiejsce() {
    if (ilosc_ == odbior_.size())
        ilosc_ = 0;
    return {reinterpret_cast<std::uint8_t*>(odbior_.data()) + ilosc_, odbior_.size() - ilosc_};
}

void Object_Sim_Modem::Odbierz() {
    const std::span<std::uint8_t> wolne = WolneMiejsce();
    const bool nowaLinia = ilosc_ == 0;
    const IoResult wynik = port_.readAvailable(wolne);
    if (!wynik.ok() || wynik.count == 0)
        return;
    Odebrano(nowaLinia, wynik.count);
}

void Object_Sim_Modem::Przyjmij(std::span<const std::uint8_t> bajty) {
    while (!bajty.empty()) {
        const std::span<std::uint8_t> wolne = WolneMiejsce();
        const bool nowaLinia = ilosc_ == 0;
        const std::size_t n = std::min(wolne.size(), bajty.size());
        std::copy_n(bajty.begin(), n, wolne.begin());
        bajty = bajty.subspan(n);
        Odebrano(nowaLinia, n);
    }
}

// n bytes were read into the free end of the buffer.
void Object_Sim_Modem::Odebrano(bool nowaLinia, std::size_t n) {
    ilosc_ += n;
    // What the modem sends at the start of a line is an echo ("AT..."), a
    // result ("OK"), the line end before a result, or the result after that
    // line end; anything else there is noise, or the modem at another rate.
    // The current initialisation command is sent again, and the read is
    // dropped up to its first line end only: a line whose head came in an
    // earlier read, and the lines after the noise, are kept.
    if (nowaLinia && !poPustejLinii_) {
        const char pierwszy = odbior_[0];
        if (pierwszy != 'A' && pierwszy != 'O' && pierwszy != '\r') {
            WyslanyStan = 0;
            const std::string_view odczyt(odbior_.data(), ilosc_);
            const std::size_t koniec = odczyt.find('\n');
            Usun(koniec == std::string_view::npos ? ilosc_ : koniec + 1);
        }
    }
    PodzielLinie();
}

void Object_Sim_Modem::Usun(std::size_t n) {
    ilosc_ -= n;
    if (ilosc_ > 0 && n > 0)
        std::memmove(odbior_.data(), odbior_.data() + n, ilosc_);
}

void Object_Sim_Modem::PodzielLinie() {
    std::size_t poczatek = 0;
    for (;;) {
        const std::string_view reszta(odbior_.data() + poczatek, ilosc_ - poczatek);
        const std::size_t koniec = reszta.find("\r\n");
        if (koniec == std::string_view::npos)
            break;
        std::string_view linia = reszta.substr(0, koniec);
        while (!linia.empty() && static_cast<unsigned char>(linia.back()) <= ' ')
            linia.remove_suffix(1);
        poPustejLinii_ = linia.empty();
        if (!linia.empty())
            AnalizujLinie(linia);
        poczatek += koniec + 2;
    }
    Usun(poczatek);
}

// Moves the initialisation on by one: from the given step only, or from any
// step while it runs (krok 0).
void Object_Sim_Modem::Przesun(int krok) {
    if (krok == 0 ? (StanInicjalizacji >= 1 && StanInicjalizacji <= OstatniKrokInicjalizacji)
                  : StanInicjalizacji == krok)
        ++StanInicjalizacji;
}

void Object_Sim_Modem::KoniecRozmowy() {
    polaczenie_ = wybieranie_ = dzwoni_ = false;
    NumerDzwoniacego.clear();
    CyfryDtmf.clear();
}

void Object_Sim_Modem::AnalizujLinie(std::string_view linia) {
    std::string_view arg;
    auto jest = [&](std::string_view komenda) { return PasujeKomenda(linia, komenda, &arg); };

    // The modem's identity and signal level: the desk does not use them.
    for (std::string_view tozsamosc : {"Manufacturer:", "Model:", "Revision:", "IMEI:", "^RSSI:", "^BOOT:"})
        if (ZaczynaSieOd(linia, tozsamosc))
            return;
    if (jest("AT+GCAP"))
        return;
    if (jest("AT^CURC") || jest("AT+CFUN")) {
        if (!arg.empty())
            Przesun(0);
        return;
    }
    if (jest("AT+CPIN")) {
        // The echo carries no argument; the answer says whether the SIM
        // waits for its PIN.
        if (!arg.empty()) {
            PinWymagany = !ZaczynaSieOd(arg, "READY");
            Przesun(0);
        }
        return;
    }
    if (jest("ATI") || jest("ATV")) {
        Przesun(0);
        return;
    }
    if (jest("AT+CLIP")) {
        if (!arg.empty())
            Przesun(0);
        if (!arg.empty() && arg[0] == '"') {
            const std::string_view numer = arg.substr(1, arg.find('"', 1) - 1);
            NumerDzwoniacego.assign(numer.substr(0, DlugoscNumeru));
        }
        return;
    }
    if (jest("+CME ERROR:") || jest("+CMS ERROR:"))
        return;
    if (jest("AT^CEND") || jest("AT+CHUP")) {
        KoniecRozmowy();
        return;
    }
    if (jest("AT^CONN")) {
        polaczenie_ = true;
        wybieranie_ = dzwoni_ = false;
        CyfryDtmf.clear();
        return;
    }
    // A key counts only in a call someone has answered: a '#' left over, or
    // heard while the call is still ringing, would open the door to nobody.
    if (jest("+DTMF")) {
        if (!arg.empty() && polaczenie_ && !wybieranie_ && CyfryDtmf.size() < PojemnoscDtmf)
            CyfryDtmf += arg[0];
        return;
    }
    if (jest("AT+DDET")) {
        Przesun(8);
        return;
    }
    // The echo of the dial command: the call is being set up, and counts as
    // connected only when the other side answers (^CONN, CONNECT).
    if (jest("ATD")) {
        wybieranie_ = true;
        return;
    }
    if (jest("AT")) {
        Przesun(1);
        return;
    }
    if (jest("RING"))
        dzwoni_ = true;
    else if (jest("CONNECT")) {
        polaczenie_ = true;
        wybieranie_ = false;
    } else if (jest("NO DIALTONE"))
        return;
    else if (jest("NO CARRIER") || jest("NO ANSWER"))
        KoniecRozmowy();
    else if (jest("BUSY"))
        polaczenie_ = wybieranie_ = false;
    else if (jest("ERROR"))
        Przesun(5);
    else if (jest("OK"))
        Przesun(1);
}

void Object_Sim_Modem::KrokInicjalizacji() {
    if (StanInicjalizacji > OstatniKrokInicjalizacji) {
        StanInicjalizacji = 0;
        return;
    }
    if (StanInicjalizacji >= 1 && StanInicjalizacji != WyslanyStan &&
        WyslijLinie(KomendyInicjalizacji[StanInicjalizacji - 1]))
        WyslanyStan = StanInicjalizacji;
}

void Object_Sim_Modem::Wysylaj() {
    if (wysylka_.empty())
        return;
    const std::string_view reszta = std::string_view(wysylka_).substr(wyslano_);
    const IoResult wynik = port_.write(reszta);
    wyslano_ += wynik.count;
    if (wynik.status != Status::Ok && wynik.status != Status::Timeout) {
        // The modem falls silent until the next start opens it again.
        port_.close();
        return;
    }
    if (wyslano_ >= wysylka_.size()) {
        wysylka_.clear();
        wyslano_ = 0;
    }
}

int Objects_Sim_Modemy::Porownaj(int, const Object* a, const Object* b) const {
    const auto& x = *static_cast<const Object_Sim_Modem*>(a);
    const auto& y = *static_cast<const Object_Sim_Modem*>(b);
    if (const int r = x.Nazwa.str().compare(y.Nazwa.str()))
        return Znak(r);
    return PorownajLiczby(x.ComGsm, y.ComGsm);
}

Object_Sim_Modem* Objects_Sim_Modemy::Dodaj(int id, std::string_view nazwa, std::uint8_t comGsm, int pin) {
    auto* modem = static_cast<Object_Sim_Modem*>(Nowy(id));
    modem->Nazwa = nazwa;
    modem->ComGsm = comGsm;
    modem->Pin = pin;
    return modem;
}

bool Objects_Sim_Modemy::PrzygotujSim() {
    bool wynik = true;
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* modem = static_cast<Object_Sim_Modem*>(Element(i));
        if (modem->Otworz())
            modem->RozpocznijInicjalizacje();
        else
            wynik = false;
    }
    return wynik;
}

void Objects_Sim_Modemy::Krok() {
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* modem = static_cast<Object_Sim_Modem*>(Element(i));
        modem->Krok();
        Object_Zarvo_Centrala* centrala = modem->Centrala;
        if (modem->OtwarcieDoPonowienia) {
            modem->OtwarcieDoPonowienia = false;
            if (centrala)
                centrala->Otworz(0, WartoscDrzwi);
        }
        if (modem->Polaczenie()) {
            // One open command per '#': a second one to the same door would
            // only open it again after the first had closed it.
            if (modem->PobierzDtmf() == '#' && centrala && !centrala->Otworz(0, WartoscDrzwi))
                modem->OtwarcieDoPonowienia = true;
        } else if (!modem->Wybieranie() && centrala) {
            // A controller with a modem keeps its conversation alive only
            // during a modem call.
            centrala->Rozmowa = false;
        }
    }
}
