#include "core/Object_Grupa_Lokali_Lokal.h"

#include "core/Object_Adres.h"
#include "core/Object_Grupa_Lokali.h"
#include "core/Object_Lokal.h"
#include "core/Objects_globals.h"

namespace {


int Dokladnie(std::string_view a, std::string_view b) { return a.compare(b); }

} // namespace

void Object_Grupa_Lokali_Lokal::Polacz() {
    GrupaLokali = Polaczony<Object_Grupa_Lokali>(GrupyLokali, IdGrupyLokali);
    Lokal = Polaczony<Object_Lokal>(Lokale, IdLokalu);
}

int Objects_Grupy_Lokali_Lokale::Porownaj(int rodzaj, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Grupa_Lokali_Lokal&>(*oa);
    const auto& b = static_cast<const Object_Grupa_Lokali_Lokal&>(*ob);
    int r = 0;
    if (rodzaj == SortujGrupamiMalejaco) {
        if ((r = PorownajLiczby(b.IdGrupyLokali, a.IdGrupyLokali)))
            return r;
        // The members of one group have no order of their own; the id keeps
        // it the same from one sort to the next.
        return PorownajLiczby(a.Id(), b.Id());
    }
    if (a.GrupaLokali && b.GrupaLokali && (r = Dokladnie(a.GrupaLokali->Nazwa, b.GrupaLokali->Nazwa)))
        return r;
    if (a.Lokal && b.Lokal && a.Lokal->Adres && b.Lokal->Adres) {
        const Object_Lokal& la = *a.Lokal;
        const Object_Lokal& lb = *b.Lokal;
        if ((r = Dokladnie(la.Adres->Ulica, lb.Adres->Ulica)))
            return r;
        if ((r = Dokladnie(la.Adres->Numer, lb.Adres->Numer)))
            return r;
        if ((r = Dokladnie(la.Lokal, lb.Lokal)))
            return r;
        if ((r = PorownajLiczby(la.LokalCentralaZarvo, lb.LokalCentralaZarvo)))
            return r;
    }
    return PorownajLiczby(a.Id(), b.Id());
}

Object_Grupa_Lokali_Lokal* Objects_Grupy_Lokali_Lokale::DodajRekord(int id, int idGrupyLokali, int idLokalu) {
    auto* g = static_cast<Object_Grupa_Lokali_Lokal*>(Nowy(id));
    g->IdGrupyLokali = idGrupyLokali;
    g->IdLokalu = idLokalu;
    return g;
}

bool Objects_Grupy_Lokali_Lokale::ZawieraLokal(int idLokalu) const {
    for (int i = Rozmiar() - 1; i >= 0; --i)
        if (static_cast<const Object_Grupa_Lokali_Lokal*>(Element(i))->IdLokalu == idLokalu)
            return true;
    return false;
}
