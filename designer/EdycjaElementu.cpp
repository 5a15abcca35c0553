#include "designer/EdycjaElementu.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include <climits>

#include "core/Object.h"
#include "core/ZapiszWyjatek.h"
#include "platform/db/DbError.h"
#include "platform/db/Table.h"
#include "platform/ui/Dialogs.h"

namespace db = platform::db;
namespace ui = platform::ui;

namespace {

const QString kBlad = QStringLiteral("Błąd");

// The table component reports an update that found no row under this state.
constexpr char kBrakWiersza[] = "02000";

void UstawKolumny(db::Table& tabela, const std::vector<Kolumna>& kolumny) {
    for (const Kolumna& kolumna : kolumny)
        tabela.field(kolumna.nazwa) = kolumna.wartosc();
}

} // namespace

Object* EdycjaElementu::Dodaj() {
    okno_.setWindowTitle(opis_.tytulDodawania);
    if (opis_.resetDodawania)
        opis_.resetDodawania();
    if (!Pokaz())
        return nullptr;
    db::Table& tabela = opis_.tabela();
    int id = 0;
    try {
        tabela.append();
        UstawKolumny(tabela, opis_.kolumny);
        tabela.post();
        id = tabela.field(opis_.klucz).asInt();
    } catch (const db::DbError& blad) {
        tabela.cancel();
        ZglosBladBazy(&okno_, blad, opis_.duplikatDodawania);
        return nullptr;
    }
    Object* element = opis_.utworz(id);
    ZapiszPowiazane(*element, opis_.duplikatDodawania);
    return element;
}

bool EdycjaElementu::Edytuj(int id) {
    okno_.setWindowTitle(opis_.tytulEdycji);
    Objects* kontener = opis_.kontener();
    Object* element = kontener ? kontener->Znajdz(id) : nullptr;
    if (!element)
        return false;
    opis_.wczytaj(*element);
    if (!Pokaz())
        return false;
    db::Table& tabela = opis_.tabela();
    try {
        if (!ZnajdzWiersz(tabela, id)) {
            ZglosUsuniety();
            return false;
        }
        tabela.edit();
        UstawKolumny(tabela, opis_.kolumnyEdycji.empty() ? opis_.kolumny : opis_.kolumnyEdycji);
        tabela.post();
    } catch (const db::DbError& blad) {
        tabela.cancel();
        if (blad.errors().size() == 1 && blad.sqlstate() == kBrakWiersza)
            ZglosUsuniety();
        else
            ZglosBladBazy(&okno_, blad, opis_.duplikatEdycji);
        return false;
    }
    opis_.zaktualizuj(*element);
    ZapiszPowiazane(*element, opis_.duplikatEdycji);
    return true;
}

// The element's own row is stored by now: a refused child row is reported,
// and the element stands as written.
void EdycjaElementu::ZapiszPowiazane(Object& element, const QString& duplikat) {
    if (!opis_.zapiszPowiazane)
        return;
    try {
        opis_.zapiszPowiazane(element);
    } catch (const db::DbError& blad) {
        ZglosBladBazy(&okno_, blad, duplikat);
    }
}

bool EdycjaElementu::Pokaz() {
    const int wynik = okno_.exec();
    ZapamietajStart();
    return wynik == QDialog::Accepted;
}

// The next show starts from what this one showed last.
void EdycjaElementu::ZapamietajStart() {
    for (const WyborElementu& wybor : opis_.wybory)
        if (wybor.start)
            *wybor.start = IdWyboru(wybor);
    for (const WyborPozycji& pozycja : opis_.pozycje)
        if (pozycja.start)
            *pozycja.start = IdPozycji(*pozycja.combo);
}

// The rows held may be older than the table: a row written by another
// component is looked for again after a fresh read.
bool EdycjaElementu::ZnajdzWiersz(db::Table& tabela, int id) {
    if (tabela.locate(opis_.klucz, db::Value(id)))
        return true;
    tabela.refresh();
    return tabela.locate(opis_.klucz, db::Value(id));
}

void EdycjaElementu::ZglosUsuniety() {
    ui::MessageBox(&okno_, kBlad,
                   QStringLiteral("Ten element został w międzyczasie usunięty z bazy danych. Zmiany nie zostały "
                                  "zapisane."),
                   ui::Icon::Error);
}

void EdycjaElementu::Pokazany() {
    for (const WyborElementu& wybor : opis_.wybory) {
        WypelnijWybor(wybor);
        if (wybor.start)
            WybierzElement(wybor, *wybor.start);
    }
    for (const WyborPozycji& pozycja : opis_.pozycje)
        if (pozycja.start)
            WybierzPozycje(*pozycja.combo, *pozycja.start);
    if (opis_.poPokazaniu)
        opis_.poPokazaniu();
}

void EdycjaElementu::Zatwierdz() {
    for (const Sprawdzenie& sprawdzenie : opis_.sprawdzenia) {
        if (sprawdzenie.warunek())
            continue;
        const QString komunikat =
            sprawdzenie.komunikatWyboru ? sprawdzenie.komunikatWyboru() : sprawdzenie.komunikat;
        ui::MessageBox(&okno_, kBlad, komunikat, ui::Icon::Error);
        if (sprawdzenie.fokus)
            sprawdzenie.fokus->setFocus();
        return;
    }
    okno_.accept();
}

void EdycjaElementu::ZglosBladBazy(QWidget* okno, const db::DbError& blad, const QString& duplikat) {
    if (blad.hasKind(db::DbError::UniqueKeyViolation)) {
        ui::MessageBox(okno, kBlad, duplikat, ui::Icon::Error);
        return;
    }
    // Not a refusal the operator can mend by typing: the row is not stored,
    // and saying nothing would let the operator take it for stored.
    ZapiszWyjatek(blad, __FILE__, __LINE__);
    ui::MessageBox(okno, kBlad,
                   QStringLiteral("Zapis do bazy danych nie powiódł się:\n%1").arg(QString::fromStdString(blad.what())),
                   ui::Icon::Error);
}

int LiczbaZTekstu(const QString& tekst, int domyslna) {
    const QString t = tekst.trimmed();
    qsizetype i = 0;
    const bool ujemna = t.startsWith('-');
    if (ujemna || t.startsWith('+'))
        i = 1;
    if (i >= t.size())
        return domyslna;
    long long wartosc = 0;
    for (; i < t.size(); ++i) {
        if (!t[i].isDigit() || t[i].unicode() > '9')
            return domyslna;
        wartosc = std::min<long long>(wartosc * 10 + (t[i].unicode() - '0'), 1LL + INT_MAX);
    }
    if (ujemna)
        return static_cast<int>(std::max<long long>(-wartosc, INT_MIN));
    return static_cast<int>(std::min<long long>(wartosc, INT_MAX));
}

int LiczbaPola(const QLineEdit& pole, int domyslna) { return LiczbaZTekstu(pole.text(), domyslna); }

int SekundyNaMs(int sekundy) {
    const long long ms = static_cast<long long>(sekundy) * 1000;
    return static_cast<int>(std::clamp<long long>(ms, INT_MIN, INT_MAX));
}

QString MsNaSekundy(int ms) { return QString::number(ms / 1000); }

void WypelnijWybor(const WyborElementu& wybor) {
    QComboBox& combo = *wybor.combo;
    combo.clear();
    if (wybor.zPustym)
        combo.addItem(QString());
    if (Objects* kontener = wybor.kontener())
        for (int i = 0; i < kontener->Rozmiar(); ++i)
            combo.addItem(QString::fromStdString(wybor.nazwa(*kontener->Element(i))));
    combo.setCurrentIndex(-1);
}

void WybierzElement(const WyborElementu& wybor, int id) {
    Objects* kontener = wybor.kontener();
    int pozycja = -1;
    if (wybor.zPustym && id == 0)
        pozycja = 0;
    else if (kontener && id != 0 && kontener->Znajdz(id))
        pozycja = kontener->IndeksId(id) + (wybor.zPustym ? 1 : 0);
    wybor.combo->setCurrentIndex(pozycja < wybor.combo->count() ? pozycja : -1);
}

int IdWyboru(const WyborElementu& wybor) {
    Objects* kontener = wybor.kontener();
    const int indeks = wybor.combo->currentIndex() - (wybor.zPustym ? 1 : 0);
    if (!kontener || indeks < 0 || indeks >= kontener->Rozmiar())
        return 0;
    return kontener->Element(indeks)->Id();
}

void WybierzPozycje(QComboBox& combo, int id) { combo.setCurrentIndex(id >= 1 && id <= combo.count() ? id - 1 : -1); }

int IdPozycji(const QComboBox& combo) { return combo.currentIndex() + 1; }
