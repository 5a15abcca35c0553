#pragma once
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QTableView;
class QPainter;
class Object_Przycisk;
class Objects;

// The columns of the button panel's grid: as many columns as the minimal
// tile width fits into the client width (one without a minimal width), the
// width shared between them with the fractions dropped, and as many rows as
// the tiles need.
struct UkladPrzyciskow {
    int Kolumny = 1;
    int Wiersze = 0;
    std::vector<int> Szerokosci;
};
UkladPrzyciskow ObliczUkladPrzyciskow(float szerokosc, int minimalnaSzerokosc, int liczbaKafelkow);

// "Przyciski": the porter's panel of operator buttons as coloured tiles. A
// tile pressed with the mouse or Space presses its button in the running
// logic, and letting go releases it; releasing a group's tile opens the
// group's level, with a "Wstecz" tile and Esc to go back.
//
// The buttons belong to their container, which a start or stop of the
// system reloads and the designer edits: the panel keeps only the ids of
// its tiles and looks each up when it is used, and lays its level out anew
// whenever the container has changed, so it never touches a button that is
// gone.
class TFormPrzyciski : public QWidget {
    Q_OBJECT
public:
    explicit TFormPrzyciski(QWidget* parent = nullptr);
    ~TFormPrzyciski() override;

    // After every start or stop of the system: the settings' font and tile
    // height, the top level shown and laid out.
    void Przeladuj();
    // Releases the tile held with the mouse, when one is, and forgets it.
    void ZwolnijPrzycisk();
    // Fills the tiles with the level of group g; false (and nothing
    // changed) when no button has g for its parent.
    bool PokazPoziom(int grupa);
    void UstawSiatke();

    // The tile at index (row × columns + column): a button, the "Wstecz"
    // tile, or null past the last tile.
    Object_Przycisk* Kafelek(int indeks) const;
    int LiczbaKafelkow() const { return static_cast<int>(kafelki_.size()); }
    // The tile index of a grid cell, −1 outside the grid.
    int IndeksKomorki(int wiersz, int kolumna) const;

    QTableView* DrawGridPrzyciski = nullptr;

    // From the settings, read once when the window is made.
    int SzerokoscPrzycisku = 0;
    int WysokoscPrzycisku = 30;
    int WielkoscCzcionki = 0;

    // The group whose level is shown (0: the top level), the levels to go
    // back to, and the tile held with the mouse (−1, −1: none).
    int Grupa = 0;
    std::vector<int> StosPowrotu;
    int WierszZapamietany = -1;
    int KolumnaZapamietana = -1;

protected:
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override;

private:
    class Model;
    class Siatka;
    class Delegat;
    friend class Delegat;

    void CzytajUstawienia();
    void UlozSiatke();
    void RysujKomorke(QPainter& painter, const QRect& komorka, int wiersz, int kolumna) const;
    void Mysz(QEvent* zdarzenie);
    bool Klawisz(QEvent* zdarzenie);
    void Zapamietaj(int wiersz, int kolumna);
    void Zapomnij() { Zapamietaj(-1, -1); }
    Object_Przycisk* Zapamietany() const;
    void Zwolnij(Object_Przycisk& przycisk);
    void Nawiguj(const Object_Przycisk& przycisk);
    void Wroc();
    // Lays the panel out anew when the buttons' container was reloaded or
    // changed since the tiles were taken from it.
    void SprawdzPrzyciski();
    void OczyscStos();
    bool PrzyciskiZmienione() const;
    void ZapamietajPrzyciski();

    Model* model_ = nullptr;
    std::unique_ptr<Object_Przycisk> wstecz_;
    std::vector<int> kafelki_; // ids; the "Wstecz" tile's is 0
    const Objects* kontener_ = nullptr;
    std::uint64_t zmiany_ = 0;
};
