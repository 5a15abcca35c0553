#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/ColumnSet.h"
#include "app/MonitorZdarzen.h"

class QPushButton;

// "Zdarzenia centrali": the controllers' events logged during this run, in
// a window of its own whose columns the operator moves, sizes and hides.
// Which positions show and how wide they are outlives the window ("ZCKols");
// the order does not.
class TFormZdarzeniaCentrali : public MonitorZdarzen {
    Q_OBJECT
public:
    static constexpr int LiczbaKolumn = 13;
    static constexpr int LiczbaWpisow = 20;
    // Bit 15 shows the column, bits 0-14 are its width.
    static constexpr std::uint16_t Widoczna = 0x8000;
    static constexpr std::uint16_t Domyslny = 0x8028;

    // rola gives the logged-in operator's role; only administrators and
    // system designers choose columns.
    explicit TFormZdarzeniaCentrali(std::function<int()> rola = {}, QWidget* parent = nullptr);
    ~TFormZdarzeniaCentrali() override;

    static QString TytulKolumny(int kolumna);
    static QString TekstPola(int kolumna, const Object_Zdarzenie& zdarzenie);
    // The entries as the registry value holds them: 40 bytes, low byte first.
    static std::vector<std::uint8_t> DoBajtow(const std::array<std::uint16_t, LiczbaWpisow>& wpisy);

    void ButtonKolumnyClick();
    // Puts each display position's entry on the column shown there.
    void UstawKolumny();
    // Each visible column's width into its position's entry.
    void ZapamietajSzerokosci();

    QPushButton* ButtonKolumny = nullptr;
    std::array<std::uint16_t, LiczbaWpisow> Kolumny{};
    ColumnSet Kolejnosc;

protected:
    Objects_Zdarzenia* Kontener() const override;
    void RysujNaglowek(QPainter& painter, int kolumna, const QRect& komorka) override;
    void RysujPole(QPainter& painter, int kolumna, const Object_Zdarzenie& zdarzenie, const QRect& komorka) override;

private:
    void CzytajKolumny();
    void ZapiszKolumny();

    std::function<int()> rola_;
};
