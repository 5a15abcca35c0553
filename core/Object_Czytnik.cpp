#include "core/Object_Czytnik.h"

#include "core/Komunikaty.h"
#include "core/Object_Karta.h"
#include "core/Objects_globals.h"

void Object_Czytnik::Polacz() { Karta = Polaczony<Object_Karta>(Karty, IdKarty); }

int Objects_Czytniki::Porownaj(int, const Object* a, const Object* b) const {
    return PorownajNaturalnie(static_cast<const Object_Czytnik*>(a)->Nazwa,
                              static_cast<const Object_Czytnik*>(b)->Nazwa);
}

Object_Czytnik* Objects_Czytniki::DodajRekord(int id, int idKarty, int czytnik, std::string_view nazwa) {
    auto* c = static_cast<Object_Czytnik*>(Nowy(id));
    c->IdKarty = idKarty;
    c->Czytnik = czytnik;
    c->Nazwa = nazwa;
    return c;
}

void Objects_Czytniki::Skanuj() {
    ++skan_;
    // By position, not the shared cursor: the message is sent, and the
    // window handling it may walk the readers itself.
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* czytnik = static_cast<Object_Czytnik*>(Element(i));
        Object_Karta* karta = czytnik->Karta;
        if (!karta)
            continue;
        Object_Magistrala* magistrala = karta->MagistralaObrazu();
        if (!magistrala)
            continue;

        // Taking the code clears it in the image, so the first reader of a
        // board takes it for all of them; the others read the board's copy.
        if (karta->SkanOdczytu != skan_) {
            karta->SkanOdczytu = skan_;
            karta->OdczytNowy = magistrala->JestKod(karta->Adres);
            if (karta->OdczytNowy)
                karta->Odczyt = magistrala->PobierzKod(karta->Adres);
        }

        if (karta->OdczytNowy) {
            czytnik->Kod = karta->Odczyt.Kod;
            czytnik->Licznik = karta->Odczyt.Licznik;
            czytnik->Przycisk = karta->Odczyt.Przycisk;
            czytnik->CzasOdczytu = TerazLokalnie();
            czytnik->OstatniKod = karta->Odczyt.Kod;
            // The readers window refreshes on this message and reads the
            // reader: it must find the new code already there.
            WyslijDoOkna(WM_ODCZYT_IDENTYFIKATORA, 0, 0);
        } else if (!czytnik->Zajety) {
            if (!czytnik->Kod.empty())
                czytnik->Kod = std::string_view{};
            czytnik->Licznik = 0;
            czytnik->Przycisk = 0;
        }
    }
}
