#pragma once
#include "designer/OknoKart.h"

// The live window "Wizualizacja wyjść": every output with its board or
// controller and, for a board output, the state the board acknowledged,
// while the system runs.
class TFormWyjscia : public OknoKart {
    Q_OBJECT
public:
    explicit TFormWyjscia(QWidget* parent = nullptr);

    platform::ui::DrawGrid* DrawGridWyjscia = nullptr;

protected:
    int LiczbaElementow() const override;
    const Object_Karta* Karta(int indeks) const override;
    std::optional<bool> Aktywne(int indeks) const override;
    QString TekstKolumny(int kolumna, int indeks) const override;
};
