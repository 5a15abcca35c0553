#pragma once
#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "platform/db/Value.h"

class Object;
class Objects;
class QComboBox;
class QDialog;
class QLineEdit;
class QWidget;

namespace platform::db {
class DbError;
class Table;
} // namespace platform::db

// One OK check: while the condition does not hold, the message is shown in
// a "Błąd" box, the focus moves to the control (when one is named) and the
// dialog stays open. A message that names what was chosen is made when the
// check fails.
struct Sprawdzenie {
    Sprawdzenie(std::function<bool()> warunek, QString komunikat, QWidget* fokus = nullptr,
                std::function<QString()> komunikatWyboru = {})
        : warunek(std::move(warunek)), komunikat(std::move(komunikat)), fokus(fokus),
          komunikatWyboru(std::move(komunikatWyboru)) {}

    std::function<bool()> warunek;
    QString komunikat;
    QWidget* fokus = nullptr;
    std::function<QString()> komunikatWyboru;
};

// One column a dialog writes, with the value read from its controls.
struct Kolumna {
    const char* nazwa;
    std::function<platform::db::Value()> wartosc;
};

// A combo box over a global container: one item per element, in the
// container's order, with the element's name. Without the empty item, item i
// is element i and no choice means 0; with it, item 0 (an empty text) means
// 0 and item i is element i - 1. The start value is the id the combo box
// selects when the dialog is shown; an id no element has leaves no choice.
struct WyborElementu {
    QComboBox* combo = nullptr;
    std::function<Objects*()> kontener;
    std::function<std::string(const Object&)> nazwa;
    bool zPustym = false;
    int* start = nullptr;
};

// A combo box of fixed items that stand for the ids 1, 2, ...: the chosen
// position + 1, 0 when nothing is chosen. With a start value, the show
// selects it as the container combo boxes do theirs.
struct WyborPozycji {
    QComboBox* combo = nullptr;
    int* start = nullptr;
};

// What makes one editing dialog: its captions and table, its checks and
// columns in order, its duplicate messages and how its element is loaded,
// created and updated. The dialog's own code is this description and its
// controls; the add and edit flow, the checks and the database errors are
// handled once, by EdycjaElementu.
struct OpisEdycji {
    QString tytulDodawania;
    QString tytulEdycji;
    // The data module's component the dialog writes; it is open while the
    // dialog is used.
    std::function<platform::db::Table&()> tabela;
    const char* klucz = nullptr;
    std::function<Objects*()> kontener;

    std::vector<WyborElementu> wybory;
    std::vector<WyborPozycji> pozycje;
    std::vector<Sprawdzenie> sprawdzenia;
    // Written in this order by add, and by edit unless it has its own.
    std::vector<Kolumna> kolumny;
    std::vector<Kolumna> kolumnyEdycji;
    // Shown when the database refuses the row as a duplicate.
    QString duplikatDodawania;
    QString duplikatEdycji;

    // Resets what Add starts afresh; every other control and start value
    // keeps what the dialog showed when it was last closed.
    std::function<void()> resetDodawania;
    // Element → start values and controls, before an edit.
    std::function<void(Object&)> wczytaj;
    // After the combo boxes are filled: the focus, and whatever else the
    // dialog shows.
    std::function<void()> poPokazaniu;
    // With the new key: the element made by its container's typed add and
    // linked.
    std::function<Object*(int id)> utworz;
    // The values copied into the element, which is linked again.
    std::function<void(Object&)> zaktualizuj;
    // Rows that hang on the element (its children, its tags), written once
    // the element is created or updated.
    std::function<void(Object&)> zapiszPowiazane;
};

// The add and edit flow of every editing dialog, driven by the dialog's
// description. The dialog shows itself modally through it and hands it the
// show and OK handlers.
class EdycjaElementu {
public:
    explicit EdycjaElementu(QDialog& okno) : okno_(okno) {}

    void Opisz(OpisEdycji opis) { opis_ = std::move(opis); }
    const OpisEdycji& Opis() const { return opis_; }

    // The new element, or null when cancelled or refused.
    Object* Dodaj();
    // True when the row and the element were changed; false when cancelled,
    // refused, the id names no element or the row is gone.
    bool Edytuj(int id);

    // FormShow: fills the combo boxes and selects their start values.
    void Pokazany();
    // ButtonOkClick: the checks in order; OK closes when all pass.
    void Zatwierdz();

    // A database refusal of the dialog's row: the duplicate message once
    // when the error list holds a unique-key violation; any other error is
    // logged and reported as a failed write.
    static void ZglosBladBazy(QWidget* okno, const platform::db::DbError& blad, const QString& duplikat);

private:
    bool Pokaz();
    void ZapamietajStart();
    bool ZnajdzWiersz(platform::db::Table& tabela, int id);
    void ZapiszPowiazane(Object& element, const QString& duplikat);
    void ZglosUsuniety();

    QDialog& okno_;
    OpisEdycji opis_;
};

// The digit and combo box conventions every dialog reads its controls by.

// The text as a whole number, or the default when it is not one; a number
// too large for int is the largest int (of its sign), so a range check still
// refuses it.
int LiczbaZTekstu(const QString& tekst, int domyslna);
int LiczbaPola(const QLineEdit& pole, int domyslna);
// A time typed in seconds is kept in milliseconds, and shown in whole
// seconds again.
int SekundyNaMs(int sekundy);
QString MsNaSekundy(int ms);

void WypelnijWybor(const WyborElementu& wybor);
void WybierzElement(const WyborElementu& wybor, int id);
int IdWyboru(const WyborElementu& wybor);
void WybierzPozycje(QComboBox& combo, int id);
int IdPozycji(const QComboBox& combo);
