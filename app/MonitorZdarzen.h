#pragma once
#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <string_view>

#include "app/OknoPodgladu.h"
#include "core/DataCzas.h"

class QAction;
class QCheckBox;
class QPainter;
class QPalette;
class Object_Zdarzenie;
class Objects_Zdarzenia;

namespace platform::ui {
class DrawGrid;
}

// The display settings of the event monitors, read from the settings key
// once, when a monitor is created: a font size only when one is stored,
// newest on top off unless stored.
struct UstawieniaMonitora {
    std::optional<int> WielkoscCzcionki;
    bool Malejaco = false;
};
UstawieniaMonitora CzytajUstawieniaMonitora();

// The container position that data row wiersz (1 ..) of a log grid shows
// out of ilosc events kept in logging order; −1 past the last event.
int PozycjaZdarzenia(int wiersz, int ilosc, bool malejaco);

// Background and text of an event's row: the kind's colour with white text
// on dark kinds, the window's colours for built-in events, and the fixed
// text colours of the controllers' call and door events.
struct KoloryWiersza {
    QColor Tlo;
    QColor Tekst;
};
KoloryWiersza KoloryZdarzenia(const Object_Zdarzenie& zdarzenie, const QPalette& paleta);

// A text of the model as the windows show it.
QString TekstZModelu(std::string_view tekst);

// Texts of the event's cells; empty where the element is absent.
QString NazwaZdarzenia(const Object_Zdarzenie& zdarzenie);
QString NazwaUzytkownika(const Object_Zdarzenie& zdarzenie);
// The platform's date and time texts of a row's date-time.
QString TekstDatySystemu(DataCzas czas);
QString TekstCzasuSystemu(DataCzas czas);
QString TekstDatyCzasuSystemu(DataCzas czas);

// The icon of symbol id at rozmiar × rozmiar pixels; null when the symbol
// or its file is missing. Loaded once per file and size.
QPixmap IkonaSymbolu(int idSymbolu, int rozmiar);
// The symbol's name; empty when it is missing.
QString NazwaSymbolu(int idSymbolu);

// Puts the monitors' factories in place for the main window's menu and
// its reopening from the registry. rola gives the logged-in operator's
// role, which the controller-event monitor's "Kolumny" asks.
void ZarejestrujMonitoryZdarzen(std::function<int()> rola);

// What the two log monitors share: the top panel with "&Autoprzewijanie",
// the owner-drawn grid painted straight from an event container, the
// popup item "Znajdź użytkownika" and the display settings.
class MonitorZdarzen : public QWidget, public OknoPodgladu {
    Q_OBJECT
public:
    QWidget* Widget() override { return this; }
    // A new row count from the container and a repaint; with
    // "&Autoprzewijanie" the newest event's row becomes current.
    void Odswiez() override;

    // The event data row wiersz shows; null past the last one.
    Object_Zdarzenie* ZdarzenieWiersza(int wiersz) const;
    bool Malejaco() const { return malejaco_; }

    // The user of the event in the current row; 0 when the row shows no
    // event or the event has no user. Nothing follows yet.
    int ZnajdzUzytkownikaClick();

    QWidget* Panel = nullptr;
    QCheckBox* CheckBoxAutoprzewijanie = nullptr;
    platform::ui::DrawGrid* DrawGridZdazrenia = nullptr;
    QAction* ZnajdzUzytkownika = nullptr;

protected:
    MonitorZdarzen(QWidget* parent, Qt::WindowFlags flagi, const QString& nazwa, const QString& tytul,
                   int kolumny);
    // The end of construction, once the subclass is whole: row count,
    // current row, font and placement.
    void FormCreate();

    virtual Objects_Zdarzenia* Kontener() const = 0;
    virtual void RysujNaglowek(QPainter& painter, int kolumna, const QRect& komorka) = 0;
    virtual void RysujPole(QPainter& painter, int kolumna, const Object_Zdarzenie& zdarzenie,
                           const QRect& komorka) = 0;

    int LiczbaZdarzen() const;

private:
    void DrawGridZdazreniaDrawCell(QPainter& painter, int kolumna, int wiersz, const QRect& komorka);

    bool malejaco_ = false;
    std::optional<int> wielkoscCzcionki_;
};

// The font of a monitor's grid at the size (the grid's own without one),
// and every row as high as a line of it + 4.
void UstawCzcionkeSiatki(platform::ui::DrawGrid& siatka, std::optional<int> wielkosc);
