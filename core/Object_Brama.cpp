#include "core/Object_Brama.h"

#include "core/Czas.h"
#include "core/Komunikaty.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"

void Object_Brama::Polacz() {
    WyjscieOtworz = Polaczony<Object_Wyjscie>(Wyjscia, IdWyjsciaOtworz);
    WyjscieZamknij = Polaczony<Object_Wyjscie>(Wyjscia, IdWyjsciaZamknij);
    KrancowkaOtwarcia = Polaczony<Object_Wejscie>(Wejscia, IdWejsciaKrancowkaOtwarcia);
    KrancowkaZamkniecia = Polaczony<Object_Wejscie>(Wejscia, IdWejsciaKrancowkaZamkniecia);
}

// A new command cuts the running impulse short and starts its own output
// afresh; a gate without that output has nothing to wait for.
void Object_Brama::Steruj(bool otworz) {
    Otwarta = false;
    Zamknieta = false;
    Kierunek = otworz;
    if (WyjscieImpulsu)
        WyjscieImpulsu->Wylacz();
    WyjscieImpulsu = otworz ? WyjscieOtworz : WyjscieZamknij;
    if (WyjscieImpulsu) {
        WyjscieImpulsu->Wlacz();
        CzasPolecenia = Czas::TickMs();
    } else if (otworz) {
        Otwarta = true;
    } else {
        Zamknieta = true;
    }
    WyslijDoOkna(WM_BRAMA, 0, 0);
}

bool Object_Brama::WRuchu(bool kierunek, const Object_Wyjscie* wyjscie, const Object_Wejscie* krancowka,
                          std::uint32_t czasRuchu) const {
    return Kierunek == kierunek && wyjscie && !(krancowka && krancowka->Stan) &&
           Czas::TickMs() - CzasPolecenia < czasRuchu;
}

bool Object_Brama::Otwiera() const { return WRuchu(true, WyjscieOtworz, KrancowkaOtwarcia, CzasOtwierania); }

bool Object_Brama::Zamyka() const { return WRuchu(false, WyjscieZamknij, KrancowkaZamkniecia, CzasZamykania); }

void Object_Brama::SprawdzRuch(std::uint32_t terazMs) {
    if (Otwarta || Zamknieta)
        return;
    const std::uint32_t uplynelo = terazMs - CzasPolecenia;
    const std::uint32_t limit = Kierunek ? CzasOtwierania : CzasZamykania;
    const Object_Wejscie* krancowka = Kierunek ? KrancowkaOtwarcia : KrancowkaZamkniecia;
    if (uplynelo > limit || (krancowka && krancowka->Stan)) {
        (Kierunek ? Otwarta : Zamknieta) = true;
        WyslijDoOkna(WM_BRAMA, 0, 0);
    }
}

void Object_Brama::SprawdzImpuls(std::uint32_t terazMs) {
    if (WyjscieImpulsu && terazMs - CzasPolecenia > (Kierunek ? CzasImpulsOtworz : CzasImpulsZamknij)) {
        WyjscieImpulsu->Wylacz();
        WyjscieImpulsu = nullptr;
    }
}

int Objects_Bramy::Porownaj(int rodzaj, const Object* a, const Object* b) const {
    if (rodzaj == 0)
        return PorownajNaturalnie(static_cast<const Object_Brama*>(a)->Nazwa,
                                  static_cast<const Object_Brama*>(b)->Nazwa);
    return PorownajLiczby(a->Id(), b->Id());
}

Object_Brama* Objects_Bramy::DodajRekord(int id, std::string_view nazwa, int idWyjsciaOtworz, int idWyjsciaZamknij,
                                         std::uint32_t czasImpulsOtworz, std::uint32_t czasImpulsZamknij,
                                         std::uint32_t czasOtwierania, std::uint32_t czasZamykania,
                                         int idWejsciaKrancowkaOtwarcia, int idWejsciaKrancowkaZamkniecia,
                                         double geoSzerokosc, double geoDlugosc) {
    auto* b = static_cast<Object_Brama*>(Nowy(id));
    b->Nazwa = nazwa;
    b->IdWyjsciaOtworz = idWyjsciaOtworz;
    b->IdWyjsciaZamknij = idWyjsciaZamknij;
    b->CzasImpulsOtworz = czasImpulsOtworz;
    b->CzasImpulsZamknij = czasImpulsZamknij;
    b->CzasOtwierania = czasOtwierania;
    b->CzasZamykania = czasZamykania;
    b->IdWejsciaKrancowkaOtwarcia = idWejsciaKrancowkaOtwarcia;
    b->IdWejsciaKrancowkaZamkniecia = idWejsciaKrancowkaZamkniecia;
    b->GeoSzerokosc = geoSzerokosc;
    b->GeoDlugosc = geoDlugosc;
    return b;
}

void Objects_Bramy::Krok() {
    // One reading for the whole step, as the outputs do. By position: the
    // message is sent and the gates window may walk the gates itself.
    const std::uint32_t teraz = Czas::TickMs();
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* brama = static_cast<Object_Brama*>(Element(i));
        brama->SprawdzRuch(teraz);
        brama->SprawdzImpuls(teraz);
    }
}
