#pragma once
#include "designer/OknoKart.h"

// The live window "Wizualizacja wejść": every input with its board and its
// state while the system runs.
class TFormWejscia : public OknoKart {
    Q_OBJECT
public:
    explicit TFormWejscia(QWidget* parent = nullptr);

    platform::ui::DrawGrid* DrawGridWejscia = nullptr;

protected:
    int LiczbaElementow() const override;
    const Object_Karta* Karta(int indeks) const override;
    std::optional<bool> Aktywne(int indeks) const override;
    QString TekstKolumny(int kolumna, int indeks) const override;
};
