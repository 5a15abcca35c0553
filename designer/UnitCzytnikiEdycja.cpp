#include "designer/UnitCzytnikiEdycja.h"

#include <QComboBox>
#include <QLineEdit>

#include "core/Object_Czytnik.h"
#include "core/Object_Karta.h"
#include "core/Objects_globals.h"
#include "database/TDM.h"

TFormCzytnikiEdycja* FormCzytnikiEdycja = nullptr;

TFormCzytnikiEdycja::TFormCzytnikiEdycja(QWidget* parent) : TFormEdycji(parent) {
    setObjectName(QStringLiteral("FormCzytnikiEdycja"));
    EditNazwa = PoleTekstu("EditNazwa", QString(), 40);
    ComboBoxIdKarty = Lista("ComboBoxIdKarty");
    EditCzytnik = EdycjaCyfr("EditCzytnik", QStringLiteral("1"));
    DodajWiersz(QStringLiteral("Nazwa czytnika"), EditNazwa);
    DodajWiersz(QStringLiteral("Karta"), ComboBoxIdKarty);
    DodajWiersz(QStringLiteral("Numer czytnika"), EditCzytnik);

    OpisEdycji opis;
    opis.tytulDodawania = QStringLiteral("Dodawanie czytnika");
    opis.tytulEdycji = QStringLiteral("Edycja czytnika");
    opis.tabela = []() -> db::Table& { return DM->TableCzytniki; };
    opis.klucz = "IdCzytnika";
    opis.kontener = [] { return static_cast<Objects*>(Czytniki); };
    opis.wybory = {{ComboBoxIdKarty, [] { return static_cast<Objects*>(Karty); },
                    [](const Object& k) { return static_cast<const Object_Karta&>(k).Nazwa.str(); }, false,
                    &IdKarty}};
    opis.sprawdzenia = {
        {[this] { return Czytnik() == 1; }, QStringLiteral("Numer czytnika musi być 1."), EditCzytnik},
        {[this] { return Karta() != 0; }, QStringLiteral("Nalezy wybrać kartę, której czytnik jest użyty."),
         ComboBoxIdKarty},
    };
    opis.kolumny = {
        {"IdKarty", [this] { return db::Value(Karta()); }},
        {"Czytnik", [this] { return db::Value(Czytnik()); }},
        {"Nazwa", [this] { return db::Value(EditNazwa->text().toStdString()); }},
    };
    opis.duplikatDodawania = opis.duplikatEdycji = QStringLiteral("Taki czytnik już istnieje");
    opis.wczytaj = [this](Object& e) {
        const auto& czytnik = static_cast<const Object_Czytnik&>(e);
        IdKarty = czytnik.IdKarty;
        EditCzytnik->setText(QString::number(czytnik.Czytnik));
        EditNazwa->setText(QString::fromStdString(czytnik.Nazwa.str()));
    };
    opis.poPokazaniu = [this] { EditNazwa->setFocus(); };
    opis.utworz = [this](int id) -> Object* {
        Object_Czytnik* czytnik = Czytniki->DodajRekord(id, Karta(), Czytnik(), EditNazwa->text().toStdString());
        czytnik->Polacz();
        return czytnik;
    };
    opis.zaktualizuj = [this](Object& e) {
        auto& czytnik = static_cast<Object_Czytnik&>(e);
        czytnik.IdKarty = Karta();
        czytnik.Czytnik = Czytnik();
        czytnik.Nazwa = EditNazwa->text().toStdString();
        czytnik.Polacz();
    };
    Edycja.Opisz(std::move(opis));
}

Object_Czytnik* TFormCzytnikiEdycja::Dodaj() { return static_cast<Object_Czytnik*>(Edycja.Dodaj()); }

bool TFormCzytnikiEdycja::Edytuj(int idCzytnika) { return Edycja.Edytuj(idCzytnika); }

int TFormCzytnikiEdycja::Karta() const { return IdWyboru(Edycja.Opis().wybory.front()); }

int TFormCzytnikiEdycja::Czytnik() const { return LiczbaPola(*EditCzytnik, 1); }
