#include "designer/UnitKartyEdycja.h"

#include <QComboBox>
#include <QLineEdit>

#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Objects_globals.h"
#include "database/TDM.h"

TFormKartyEdycja* FormKartyEdycja = nullptr;

namespace {

// The highest address a bus polls: a version 2 bus the whole image, any
// other the first 128.
int NajwyzszyAdres(const Object_Magistrala& magistrala) {
    return magistrala.Wersja == 2 ? LiczbaAdresowMagistrali - 1 : 127;
}

} // namespace

TFormKartyEdycja::TFormKartyEdycja(QWidget* parent) : TFormEdycji(parent) {
    setObjectName(QStringLiteral("FormKartyEdycja"));
    ComboBoxIdRodzajKarty = Lista("ComboBoxIdRodzajKarty");
    ComboBoxIdRodzajKarty->addItems({QStringLiteral("Karta VL 6/6 RX"),
                                     QStringLiteral("Karta odczytu tablic rejestracyjnych"),
                                     QStringLiteral("Kod tymczasowy")});
    ComboBoxIdRodzajKarty->setCurrentIndex(-1);
    ComboBoxIdMagistrali = Lista("ComboBoxIdMagistrali");
    EditAdres = EdycjaCyfr("EditAdres", QStringLiteral("0"));
    EditNazwa = PoleTekstu("EditNazwa", QString(), 40);
    DodajWiersz(QStringLiteral("Rodzaj karty"), ComboBoxIdRodzajKarty);
    DodajWiersz(QStringLiteral("Magistrala"), ComboBoxIdMagistrali);
    DodajWiersz(QStringLiteral("Adres karty"), EditAdres);
    DodajWiersz(QStringLiteral("Nazwa karty"), EditNazwa);

    OpisEdycji opis;
    opis.tytulDodawania = QStringLiteral("Dodawanie karty");
    opis.tytulEdycji = QStringLiteral("Edycja karty");
    opis.tabela = []() -> db::Table& { return DM->TableKarty; };
    opis.klucz = "IdKarty";
    opis.kontener = [] { return static_cast<Objects*>(Karty); };
    opis.wybory = {{ComboBoxIdMagistrali, [] { return static_cast<Objects*>(Magistrale); },
                    [](const Object& m) { return static_cast<const Object_Magistrala&>(m).Nazwa.str(); }, false,
                    &IdMagistrali}};
    opis.pozycje = {{ComboBoxIdRodzajKarty, &IdRodzajKarty}};
    opis.sprawdzenia = {
        {[this] { return IdPozycji(*ComboBoxIdRodzajKarty) != 0; }, QStringLiteral("Nalezy wybrać rodzaj karty."),
         ComboBoxIdRodzajKarty},
        {[this] { return Magistrala() != 0; },
         QStringLiteral("Nalezy wybrać magistralę, do której podłączona jest karta."), ComboBoxIdMagistrali},
        {[this] { return Adres() >= 0 && Adres() <= 65535; },
         QStringLiteral("Adres karty musi być z zakresu 0 do 65535."), EditAdres},
        // A board the bus does not poll would be stored but never served.
        {[this] { return MagistralaObsluzyAdres(); }, QString(), EditAdres,
         [this] { return KomunikatAdresuMagistrali(); }},
    };
    opis.kolumny = {
        {"IdRodzajKarty", [this] { return db::Value(IdPozycji(*ComboBoxIdRodzajKarty)); }},
        {"IdMagistrali", [this] { return db::Value(Magistrala()); }},
        {"Adres", [this] { return db::Value(Adres()); }},
        {"Nazwa", [this] { return db::Value(EditNazwa->text().toStdString()); }},
    };
    opis.duplikatDodawania = opis.duplikatEdycji = QStringLiteral("Taka karta już istnieje");
    opis.wczytaj = [this](Object& e) { Wczytaj(static_cast<Object_Karta&>(e)); };
    opis.poPokazaniu = [this] { EditNazwa->setFocus(); };
    opis.utworz = [this](int id) -> Object* {
        Object_Karta* karta = Karty->DodajRekord(id, IdPozycji(*ComboBoxIdRodzajKarty), Magistrala(), Adres(),
                                                 EditNazwa->text().toStdString());
        karta->Polacz();
        return karta;
    };
    opis.zaktualizuj = [this](Object& e) { Zapisz(static_cast<Object_Karta&>(e)); };
    Edycja.Opisz(std::move(opis));
}

Object_Karta* TFormKartyEdycja::Dodaj() { return static_cast<Object_Karta*>(Edycja.Dodaj()); }

bool TFormKartyEdycja::Edytuj(int idKarty) { return Edycja.Edytuj(idKarty); }

int TFormKartyEdycja::Adres() const { return LiczbaPola(*EditAdres, 1); }

int TFormKartyEdycja::Magistrala() const { return IdWyboru(Edycja.Opis().wybory.front()); }

bool TFormKartyEdycja::MagistralaObsluzyAdres() const {
    const auto* magistrala = static_cast<const Object_Magistrala*>(Magistrale->Znajdz(Magistrala()));
    return !magistrala || Adres() <= NajwyzszyAdres(*magistrala);
}

QString TFormKartyEdycja::KomunikatAdresuMagistrali() const {
    const auto* magistrala = static_cast<const Object_Magistrala*>(Magistrale->Znajdz(Magistrala()));
    const int najwyzszy = NajwyzszyAdres(*magistrala);
    return QStringLiteral("Magistrala „%1” obsługuje %2 kart: adres karty musi być z zakresu 0 do %3.")
        .arg(QString::fromStdString(magistrala->Nazwa.str()))
        .arg(najwyzszy + 1)
        .arg(najwyzszy);
}

void TFormKartyEdycja::Wczytaj(const Object_Karta& karta) {
    IdRodzajKarty = karta.IdRodzajKarty;
    IdMagistrali = karta.IdMagistrali;
    EditAdres->setText(QString::number(karta.Adres));
    EditNazwa->setText(QString::fromStdString(karta.Nazwa.str()));
}

void TFormKartyEdycja::Zapisz(Object_Karta& karta) {
    karta.IdRodzajKarty = IdPozycji(*ComboBoxIdRodzajKarty);
    karta.IdMagistrali = Magistrala();
    karta.Adres = Adres();
    karta.Nazwa = EditNazwa->text().toStdString();
    karta.Polacz();
}
