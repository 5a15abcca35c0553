#include "core/Object_Uzytkownik_Lokal.h"

#include "core/Object_Lokal.h"
#include "core/Object_Uzytkownik.h"
#include "core/Objects_globals.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"

void Object_Uzytkownik_Lokal::Polacz() {
    Uzytkownik = Polaczony<Object_Uzytkownik>(Uzytkownicy, IdUzytkownika);
    Lokal = Polaczony<Object_Lokal>(Lokale, IdLokalu);
}

Object_Uzytkownik_Lokal* Objects_Uzytkownicy_Lokale::DodajRekord(int id, int idUzytkownika, int idLokalu,
                                                                 DataCzas dataCzasAktualizacji) {
    auto* link = static_cast<Object_Uzytkownik_Lokal*>(Nowy(id));
    link->IdUzytkownika = idUzytkownika;
    link->IdLokalu = idLokalu;
    link->DataCzasAktualizacji = dataCzasAktualizacji;
    return link;
}

int Objects_Uzytkownicy_Lokale::Wstaw(const Object_Uzytkownik_Lokal& link, platform::db::Query& q) {
    q.setSql("INSERT INTO uzytkownicy_lokale (IdUzytkownika,IdLokalu,DataCzasAktualizacji) "
             "VALUES (:IdUzytkownika,:IdLokalu,:DataCzasAktualizacji) RETURNING IdUzytkownikLokal;");
    q.param("IdUzytkownika") = link.IdUzytkownika;
    q.param("IdLokalu") = link.IdLokalu;
    q.param("DataCzasAktualizacji") = DataCzasDoBazy(link.DataCzasAktualizacji);
    int id = 0;
    try {
        q.open();
        id = q.field("IdUzytkownikLokal").asInt();
    } catch (const platform::db::DbError&) {
        id = 0;
    }
    q.close();
    return id;
}

bool Objects_Uzytkownicy_Lokale::UsunZBazy(int idUzytkownikLokal, platform::db::Query& q) {
    q.setSql("DELETE FROM uzytkownicy_lokale WHERE IdUzytkownikLokal=:IdUzytkownikLokal");
    q.param("IdUzytkownikLokal") = idUzytkownikLokal;
    try {
        q.execSql();
    } catch (const platform::db::DbError&) {
        return false;
    }
    return true;
}

Object_Uzytkownik_Lokal* Objects_Uzytkownicy_Lokale::DodajPrzypisanie(int idUzytkownika, int idLokalu,
                                                                      platform::db::Query& q) {
    Object_Uzytkownik_Lokal nowy(0);
    nowy.IdUzytkownika = idUzytkownika;
    nowy.IdLokalu = idLokalu;
    nowy.DataCzasAktualizacji = TerazLokalnie();
    const int id = Wstaw(nowy, q);
    if (id == 0)
        return nullptr;
    return DodajRekord(id, idUzytkownika, idLokalu, nowy.DataCzasAktualizacji);
}

bool Objects_Uzytkownicy_Lokale::UsunPrzypisanie(int idUzytkownika, int idLokalu, platform::db::Query& q) {
    // By position: the shared cursor stays where its walker left it.
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* link = static_cast<Object_Uzytkownik_Lokal*>(Element(i));
        if (link->IdUzytkownika != idUzytkownika || link->IdLokalu != idLokalu)
            continue;
        // A link that never got a row has nothing to delete.
        if (link->Id() <= 0)
            return true;
        if (!UsunZBazy(link->Id(), q))
            return false;
        Usun(link->Id());
        return true;
    }
    return true;
}

int Objects_Uzytkownicy_Lokale::LokaleUzytkownika(int idUzytkownika, Objects& cel) const {
    int ile = 0;
    for (int i = Rozmiar() - 1; i >= 0; --i) {
        const auto* link = static_cast<const Object_Uzytkownik_Lokal*>(Element(i));
        if (link->IdUzytkownika == idUzytkownika && link->Lokal) {
            cel.DodajJesliBrak(link->Lokal);
            ++ile;
        }
    }
    return ile;
}

int Objects_Uzytkownicy_Lokale::UzytkownicyLokalu(int idLokalu, Objects& cel) const {
    int ile = 0;
    for (int i = Rozmiar() - 1; i >= 0; --i) {
        const auto* link = static_cast<const Object_Uzytkownik_Lokal*>(Element(i));
        if (link->IdLokalu == idLokalu && link->Uzytkownik) {
            cel.DodajJesliBrak(link->Uzytkownik);
            ++ile;
        }
    }
    return ile;
}
