#include "designer/UnitMagistraleEdycja.h"

#include <QComboBox>
#include <QLineEdit>

#include "core/Object_Magistrala.h"
#include "core/Objects_globals.h"
#include "database/TDM.h"

TFormMagistraleEdycja* FormMagistraleEdycja = nullptr;

TFormMagistraleEdycja::TFormMagistraleEdycja(QWidget* parent) : TFormEdycji(parent) {
    setObjectName(QStringLiteral("FormMagistraleEdycja"));
    EditCom = EdycjaCyfr("EditCom", QStringLiteral("1"));
    ComboBoxWersjaMagistrali = Lista("ComboBoxWersjaMagistrali");
    ComboBoxWersjaMagistrali->addItems({QStringLiteral("128 kart"), QStringLiteral("4096 kart")});
    ComboBoxWersjaMagistrali->setCurrentIndex(-1);
    ComboBoxPredkoscMagistrali = Lista("ComboBoxPredkoscMagistrali", true);
    for (const char* predkosc : {"300", "1200", "2400", "4800", "9600", "14400", "19200", "28800", "38400", "57600",
                                 "115200", "230400"})
        ComboBoxPredkoscMagistrali->addItem(QString::fromLatin1(predkosc));
    ComboBoxPredkoscMagistrali->setCurrentIndex(-1);
    EditNazwa = PoleTekstu("EditNazwa", QString(), 40);
    DodajWiersz(QStringLiteral("Numer portu COM"), EditCom);
    DodajWiersz(QStringLiteral("Wersja magistrali"), ComboBoxWersjaMagistrali);
    DodajWiersz(QStringLiteral("Prędkość magistrali"), ComboBoxPredkoscMagistrali);
    DodajWiersz(QStringLiteral("Nazwa magistrali"), EditNazwa);

    OpisEdycji opis;
    opis.tytulDodawania = QStringLiteral("Dodawanie magistrali");
    opis.tytulEdycji = QStringLiteral("Edycja magistrali");
    opis.tabela = []() -> db::Table& { return DM->TableMagistrale; };
    opis.klucz = "IdMagistrali";
    opis.kontener = [] { return static_cast<Objects*>(Magistrale); };
    opis.sprawdzenia = {
        {[this] { return Com() >= 1 && Com() <= 255; },
         QStringLiteral("Numer portu COM musi być z zakresu 1 do 255."), EditCom},
    };
    opis.kolumny = {
        {"Com", [this] { return db::Value(Com()); }},
        {"Wersja", [this] { return db::Value(IdPozycji(*ComboBoxWersjaMagistrali)); }},
        {"Predkosc", [this] { return db::Value(Predkosc()); }},
        {"Nazwa", [this] { return db::Value(EditNazwa->text().toStdString()); }},
    };
    opis.duplikatDodawania = opis.duplikatEdycji = QStringLiteral("Taka magistrala już istnieje");
    opis.wczytaj = [this](Object& e) { Wczytaj(static_cast<Object_Magistrala&>(e)); };
    opis.poPokazaniu = [this] { EditCom->setFocus(); };
    opis.utworz = [this](int id) -> Object* {
        return Magistrale->Dodaj(id, Com(), IdPozycji(*ComboBoxWersjaMagistrali), Predkosc(),
                                 EditNazwa->text().toStdString());
    };
    opis.zaktualizuj = [this](Object& e) {
        auto& m = static_cast<Object_Magistrala&>(e);
        m.Com = Com();
        m.Wersja = IdPozycji(*ComboBoxWersjaMagistrali);
        m.Predkosc = Predkosc();
        m.Nazwa = EditNazwa->text().toStdString();
    };
    Edycja.Opisz(std::move(opis));
}

Object_Magistrala* TFormMagistraleEdycja::Dodaj() { return static_cast<Object_Magistrala*>(Edycja.Dodaj()); }

bool TFormMagistraleEdycja::Edytuj(int idMagistrali) { return Edycja.Edytuj(idMagistrali); }

int TFormMagistraleEdycja::Com() const { return LiczbaPola(*EditCom, 1); }

int TFormMagistraleEdycja::Predkosc() const { return LiczbaZTekstu(ComboBoxPredkoscMagistrali->currentText(), 19200); }

void TFormMagistraleEdycja::Wczytaj(const Object_Magistrala& magistrala) {
    EditCom->setText(QString::number(magistrala.Com));
    WybierzPozycje(*ComboBoxWersjaMagistrali, magistrala.Wersja);
    ComboBoxPredkoscMagistrali->setEditText(QString::number(magistrala.Predkosc));
    EditNazwa->setText(QString::fromStdString(magistrala.Nazwa.str()));
}
