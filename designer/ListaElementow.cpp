#include "designer/ListaElementow.h"

#include "core/Object.h"
#include "core/ZapiszWyjatek.h"
#include "database/TDM.h"
#include "designer/EdycjaElementu.h"
#include "platform/db/DbError.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

ListaElementow::ListaElementow(ui::DrawGrid& siatka, OpisListy opis)
    : QObject(&siatka), siatka_(siatka), opis_(std::move(opis)) {
    UstawSiatkeListy(siatka_, opis_.kontener, opis_.kolumny);
    connect(&siatka_, &ui::DrawGrid::headerClicked, this, &ListaElementow::KliknietoNaglowek);
    connect(&siatka_, &ui::DrawGrid::cellDoubleClicked, this, &ListaElementow::PodwojneKlikniecie);
}

void ListaElementow::Odswiez() {
    const Objects* kontener = opis_.kontener();
    ui::UstawLiczbeWierszy(siatka_, kontener ? kontener->Rozmiar() : 0);
    siatka_.viewport()->update();
}

Object* ListaElementow::Biezacy() const {
    Objects* kontener = opis_.kontener();
    const int wiersz = siatka_.row();
    if (!kontener || wiersz < 1 || wiersz > kontener->Rozmiar())
        return nullptr;
    return kontener->Element(wiersz - 1);
}

void ListaElementow::KliknietoNaglowek(int kolumna) {
    Objects* kontener = opis_.kontener();
    if (!kontener || kolumna < 1 || kolumna > static_cast<int>(opis_.kolumny.size()))
        return;
    const int rodzaj = opis_.kolumny[kolumna - 1].sortowanie;
    if (rodzaj < 0)
        return;
    kontener->Sortuj(rodzaj);
    siatka_.viewport()->update();
}

void ListaElementow::PodwojneKlikniecie(int kolumna, int wiersz) {
    if (kolumna > 0 && wiersz > 0)
        Edytuj();
}

void ListaElementow::Dodaj() {
    if (!opis_.dodaj())
        return;
    opis_.kontener()->SortujPonownie();
    Odswiez();
}

void ListaElementow::Edytuj() {
    Object* element = Biezacy();
    if (!element || !opis_.edytuj(element->Id()))
        return;
    opis_.kontener()->SortujPonownie();
    Odswiez();
}

bool ListaElementow::WolnoUsunac(const Object& element) {
    for (const SprawdzenieOdwolan& sprawdzenie : opis_.odwolania) {
        DM->Query.close();
        DM->Query.setSql(sprawdzenie.sql);
        DM->Query.param("Id") = element.Id();
        DM->Query.open();
        const bool uzywany = DM->Query.field(0).asInt64() > 0;
        DM->Query.close();
        if (uzywany) {
            ui::MessageBox(siatka_.window(), QStringLiteral("Uwaga"), sprawdzenie.ostrzezenie, ui::Icon::Warning);
            return false;
        }
    }
    return true;
}

void ListaElementow::Usun() {
    Object* element = Biezacy();
    if (!element)
        return;
    const int id = element->Id();
    try {
        if (!WolnoUsunac(*element))
            return;
        if (ui::MessageBox(siatka_.window(), QStringLiteral("Pytanie"), opis_.pytanie(*element), ui::Icon::Question,
                           ui::Yes | ui::No, ui::Yes) != ui::Yes)
            return;
        platform::db::Table& tabela = opis_.tabela();
        if (!tabela.locate(opis_.klucz, platform::db::Value(id)))
            return;
        tabela.del();
    } catch (const platform::db::DbError& blad) {
        EdycjaElementu::ZglosBladBazy(siatka_.window(), blad, QString());
        return;
    }
    Objects* kontener = opis_.kontener();
    kontener->Usun(id);
    kontener->SortujPonownie();
    Odswiez();
}
