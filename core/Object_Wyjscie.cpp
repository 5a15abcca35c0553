#include "core/Object_Wyjscie.h"

#include "core/Czas.h"
#include "core/Komunikaty.h"
#include "core/Object_Karta.h"
#include "core/Objects_globals.h"
#include "core/Uslugi.h"

void Object_Wyjscie::Polacz() {
    Karta = Polaczony<Object_Karta>(Karty, IdKarty);
    Centrala = Polaczony<Object>(KontenerGlobalny(NrCentrale), IdCentralaZarvoGsm);
}

void Object_Wyjscie::Wlacz() {
    Zadany = true;
    CzasWlaczenia = Czas::TickMs();
}

bool Object_Wyjscie::StanKarty() const {
    const Object_Magistrala* m = Karta ? Karta->MagistralaObrazu() : nullptr;
    return m && m->StanWyjscia(Karta->Adres, Wyjscie);
}

void Object_Wyjscie::ObliczPoziom() { ObliczPoziom(Czas::TickMs()); }

void Object_Wyjscie::ObliczPoziom(std::uint32_t terazMs) {
    if (!Zadany) {
        Poziom = false;
    } else if (ImpulsCzasAktywny > 0 && ImpulsCzasNieaktywny > 0) {
        // The elapsed time is an unsigned 32-bit difference, so it survives
        // the tick count's wrap; the period is summed in 64 bits, as two
        // large pulse times would otherwise wrap it to 0.
        const std::uint32_t uplynelo = terazMs - CzasWlaczenia;
        const std::uint64_t okres = std::uint64_t{ImpulsCzasAktywny} + ImpulsCzasNieaktywny;
        Poziom = uplynelo % okres <= ImpulsCzasAktywny;
    } else {
        Poziom = true;
    }
}

int Objects_Wyjscia::Porownaj(int rodzaj, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Wyjscie&>(*oa);
    const auto& b = static_cast<const Object_Wyjscie&>(*ob);
    return PorownajNaKarcie(rodzaj, a.Karta, b.Karta, a.Wyjscie, b.Wyjscie, a.Nazwa, b.Nazwa);
}

Object_Wyjscie* Objects_Wyjscia::DodajRekord(int id, int idKarty, int idCentralaZarvoGsm, int wyjscie,
                                             std::string_view nazwa, std::uint32_t impulsCzasAktywny,
                                             std::uint32_t impulsCzasNieaktywny) {
    auto* w = static_cast<Object_Wyjscie*>(Nowy(id));
    w->IdKarty = idKarty;
    w->IdCentralaZarvoGsm = idCentralaZarvoGsm;
    w->Wyjscie = wyjscie;
    w->Nazwa = nazwa;
    w->ImpulsCzasAktywny = impulsCzasAktywny;
    w->ImpulsCzasNieaktywny = impulsCzasNieaktywny;
    return w;
}

void Objects_Wyjscia::Krok() {
    // One reading for the whole step: every output's pulse is timed
    // against the same instant.
    const std::uint32_t teraz = Czas::TickMs();
    SprzetMozgu* sprzet = Sprzet();
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* w = static_cast<Object_Wyjscie*>(Element(i));

        if (Object_Magistrala* m = w->Karta ? w->Karta->MagistralaObrazu() : nullptr) {
            const int adres = w->Karta->Adres;
            const bool potwierdzony = m->StanWyjscia(adres, w->Wyjscie);
            if (potwierdzony != w->StanRzeczywisty) {
                w->StanRzeczywisty = potwierdzony;
                // Posted: the outputs window refreshes later, the tick does
                // not wait for it.
                PostujDoOkna(WM_WEJSCIA_WYJSCIA, 0, 0);
            }
            w->ObliczPoziom(teraz);
            if (w->Poziom)
                m->UstawWyjscie(adres, w->Wyjscie);
            else
                m->KasujWyjscie(adres, w->Wyjscie);
        }

        // The controller times its own output: only a rising request is
        // passed on, and nothing is sent when it ends.
        if (w->Centrala && w->Zadany != w->StanRzeczywisty) {
            if (w->Zadany && sprzet)
                sprzet->OtworzWyjscieCentrali(w->Centrala, w->Wyjscie);
            w->StanRzeczywisty = w->Zadany;
        }
    }
}
