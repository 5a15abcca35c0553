#include "core/Object_Neuron.h"

#include <ctime>

#include "core/Czas.h"

std::int64_t Object_Neuron::SekundyZegara() { return static_cast<std::int64_t>(Czas::Teraz() / 10'000'000); }

int Object_Neuron::PoraDnia() {
    const std::time_t teraz = std::time(nullptr);
    std::tm lokalny{};
    localtime_r(&teraz, &lokalny);
    return lokalny.tm_hour * 256 + lokalny.tm_min;
}

bool Object_Neuron::WOknie(int t) const {
    if (GodzinaOd == GodzinaDo)
        return true;
    if (GodzinaOd < GodzinaDo)
        return GodzinaOd <= t && t < GodzinaDo;
    return t >= GodzinaOd || t < GodzinaDo; // over midnight
}

bool Object_Neuron::Oblicz() { return Oblicz(SekundyZegara(), GodzinaOd == GodzinaDo ? 0 : PoraDnia()); }

bool Object_Neuron::Oblicz(std::int64_t sekundy, int poraDnia) {
    if (sekundy - CzasWylaczenia < Podtrzymanie)
        return true;
    const bool aktywne = AktywneWejscia > 0;
    bool warunek = false;
    if (Rodzaj == DowolneWejscie)
        warunek = aktywne;
    else if (Rodzaj == WszystkieWejscia)
        warunek = aktywne && AktywneWejscia == LiczbaWejsc;
    if (warunek && WOknie(poraDnia)) {
        Wynik = true;
        return true;
    }
    if (!Wynik)
        return false;
    // The result falls now. With a hold, this evaluation already belongs to
    // the hold: reporting false here would drop the node for one tick and
    // chatter whatever it drives.
    CzasWylaczenia = sekundy;
    Wynik = false;
    return Podtrzymanie > 0;
}

namespace {

enum Klucz { Nazwa, Rodzaj, Od, Do, Podtrzymanie };

int PorownajKlucz(Klucz klucz, const Object_Neuron& a, const Object_Neuron& b) {
    switch (klucz) {
        case Nazwa: return Objects::PorownajNaturalnie(a.Nazwa, b.Nazwa);
        case Rodzaj: return PorownajLiczby(a.Rodzaj, b.Rodzaj);
        case Od: return PorownajLiczby(a.GodzinaOd, b.GodzinaOd);
        case Do: return PorownajLiczby(a.GodzinaDo, b.GodzinaDo);
        case Podtrzymanie: return PorownajLiczby(a.Podtrzymanie, b.Podtrzymanie);
    }
    return 0;
}

constexpr Klucz Klucze[][5] = {
    {Nazwa, Rodzaj, Od, Do, Podtrzymanie}, // any other kind
    {Rodzaj, Od, Do, Nazwa, Podtrzymanie}, // 1
    {Od, Do, Nazwa, Rodzaj, Podtrzymanie}, // 2
    {Podtrzymanie, Od, Do, Nazwa, Rodzaj}, // 3
};

} // namespace

int Objects_Neurony::Porownaj(int rodzaj, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Neuron&>(*oa);
    const auto& b = static_cast<const Object_Neuron&>(*ob);
    for (Klucz klucz : Klucze[rodzaj >= 1 && rodzaj <= 3 ? rodzaj : 0])
        if (int w = PorownajKlucz(klucz, a, b))
            return w;
    return 0;
}

Object_Neuron* Objects_Neurony::DodajRekord(int id, std::string_view nazwa, int rodzaj, int godzinaOd, int godzinaDo,
                                            int podtrzymanie) {
    auto* n = static_cast<Object_Neuron*>(Nowy(id));
    n->Nazwa = nazwa;
    n->Rodzaj = rodzaj;
    n->GodzinaOd = godzinaOd;
    n->GodzinaDo = godzinaDo;
    n->Podtrzymanie = podtrzymanie;
    return n;
}
