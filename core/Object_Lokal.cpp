#include "core/Object_Lokal.h"

#include "core/Object_Adres.h"
#include "core/Objects_globals.h"
#include "platform/db/Command.h"
#include "platform/db/DbError.h"

namespace {


int Naturalnie(std::string_view a, std::string_view b) { return Objects::PorownajNaturalnie(a, b); }

// House number, then street, when both flats have an address; equal
// otherwise, so the keys after it decide.
int NumerUlica(const Object_Lokal& a, const Object_Lokal& b) {
    if (!a.Adres || !b.Adres)
        return 0;
    if (int r = Naturalnie(a.Adres->Numer, b.Adres->Numer))
        return r;
    return Naturalnie(a.Adres->Ulica, b.Adres->Ulica);
}

int UlicaNumer(const Object_Lokal& a, const Object_Lokal& b) {
    if (!a.Adres || !b.Adres)
        return 0;
    if (int r = Naturalnie(a.Adres->Ulica, b.Adres->Ulica))
        return r;
    return Naturalnie(a.Adres->Numer, b.Adres->Numer);
}

} // namespace

void Object_Lokal::Polacz() {
    Adres = Polaczony<Object_Adres>(Adresy, IdAdresu);
    Objects* centrale = KontenerGlobalny(NrCentrale);
    Centrala = IdCentralaZarvoGsm && centrale ? centrale->Znajdz(IdCentralaZarvoGsm) : nullptr;
}

std::string Objects_Lokale::NazwaCentrali(const Object* centrala) {
    return centrala && nazwaCentrali_ ? nazwaCentrali_(centrala) : std::string();
}

int Objects_Lokale::Porownaj(int rodzaj, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Lokal&>(*oa);
    const auto& b = static_cast<const Object_Lokal&>(*ob);
    int r = 0;
    switch (rodzaj) {
    case 0:
        if ((r = UlicaNumer(a, b)))
            return r;
        return Naturalnie(a.Lokal, b.Lokal);
    case 1:
        if ((r = NumerUlica(a, b)))
            return r;
        return Naturalnie(a.Lokal, b.Lokal);
    case 2:
        if ((r = Naturalnie(a.Lokal, b.Lokal)))
            return r;
        return NumerUlica(a, b);
    case 3:
        if ((r = Naturalnie(NazwaCentrali(a.Centrala), NazwaCentrali(b.Centrala))))
            return r;
        if ((r = NumerUlica(a, b)))
            return r;
        return Naturalnie(a.Lokal, b.Lokal);
    case 4:
        return PorownajLiczby(a.LokalCentralaZarvo, b.LokalCentralaZarvo);
    default:
        return 0;
    }
}

Object_Lokal* Objects_Lokale::DodajRekord(int id, int idAdresu, std::string_view lokal, int idCentralaZarvoGsm,
                                          std::uint16_t pin, bool pinWlaczony, std::int32_t lokalCentralaZarvo,
                                          bool wylaczony, std::string_view telefonDomofonu,
                                          std::int32_t kodDomofonu, bool kodDomofonuWlaczony,
                                          bool powiadamianieWlaczone, std::int32_t idPlaceCloud) {
    auto* l = static_cast<Object_Lokal*>(Nowy(id));
    l->IdAdresu = idAdresu;
    l->Lokal = lokal;
    l->IdCentralaZarvoGsm = idCentralaZarvoGsm;
    l->Pin = pin;
    l->PinWlaczony = pinWlaczony;
    l->LokalCentralaZarvo = lokalCentralaZarvo;
    l->Wylaczony = wylaczony;
    l->TelefonDomofonu = telefonDomofonu;
    l->KodDomofonu = kodDomofonu;
    l->KodDomofonuWlaczony = kodDomofonuWlaczony;
    l->PowiadamianieWlaczone = powiadamianieWlaczone;
    l->IdPlaceCloud = idPlaceCloud;
    return l;
}

Object_Lokal* Objects_Lokale::ZnajdzLokalCentrali(int idCentralaZarvoGsm, std::int32_t numer) const {
    for (int i = Rozmiar() - 1; i >= 0; --i) {
        auto* l = static_cast<Object_Lokal*>(Element(i));
        if (l->IdCentralaZarvoGsm == idCentralaZarvoGsm && l->LokalCentralaZarvo == numer)
            return l;
    }
    return nullptr;
}

Object_Lokal* Objects_Lokale::ZnajdzPin(int idCentralaZarvoGsm, std::int64_t pin) const {
    // The PIN is an unsigned 16-bit number: -1 must not find 65535.
    for (int i = Rozmiar() - 1; i >= 0; --i) {
        auto* l = static_cast<Object_Lokal*>(Element(i));
        if (l->IdCentralaZarvoGsm == idCentralaZarvoGsm && std::int64_t{l->Pin} == pin)
            return l;
    }
    return nullptr;
}

void Objects_Lokale::ZerujLiczniki() {
    for (int i = 0; i < Rozmiar(); ++i)
        static_cast<Object_Lokal*>(Element(i))->LiczbaIdentyfikatorow = 0;
}

int Objects_Lokale::Zapisz(const Object_Lokal& lokal, platform::db::Connection& polaczenie) {
    // A statement of its own per call: no parameter list is shared between
    // callers, and the statement is prepared once per session by its text.
    platform::db::Command polecenie(polaczenie);
    polecenie.setText("UPDATE lokale SET IdAdresu=:p0, Lokal=:p1, IdCentralaZarvoGsm=:p2, Pin=:p3, "
                      "LokalCentralaZarvo=:p4, Wylaczony=:p5, TelefonDomofonu=:p6, KodDomofonu=:p7, "
                      "KodDomofonuWlaczony=:p8, PowiadamianieWlaczone=:p9, PinWlaczony=:p10 "
                      "WHERE IdLokalu=:p11");
    polecenie.param("p0") = lokal.IdAdresu;
    polecenie.param("p1") = lokal.Lokal.str();
    polecenie.param("p2") = lokal.IdCentralaZarvoGsm;
    polecenie.param("p3") = int{lokal.Pin};
    polecenie.param("p4") = lokal.LokalCentralaZarvo;
    polecenie.param("p5") = lokal.Wylaczony;
    polecenie.param("p6") = lokal.TelefonDomofonu.str();
    polecenie.param("p7") = std::to_string(lokal.KodDomofonu);
    polecenie.param("p8") = lokal.KodDomofonuWlaczony;
    polecenie.param("p9") = lokal.PowiadamianieWlaczone;
    polecenie.param("p10") = lokal.PinWlaczony;
    polecenie.param("p11") = lokal.Id();
    std::int64_t wiersze = 0;
    try {
        wiersze = polecenie.execute();
    } catch (const platform::db::DbError& blad) {
        // Kind 0 is "other", not "no error": the row was not written.
        return blad.kind() != platform::db::DbError::Other ? blad.kind() : ZapisBladNieznany;
    }
    // The row may have been deleted meanwhile; the caller must not believe
    // the flat was saved.
    return wiersze > 0 ? 0 : ZapisBrakWiersza;
}
