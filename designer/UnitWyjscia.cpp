#include "designer/UnitWyjscia.h"

#include "core/Object_Karta.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/PozycjaOkna.h"

namespace {

const Object_Wyjscie& Wyjscie(int indeks) { return *static_cast<const Object_Wyjscie*>(Wyjscia->Element(indeks)); }

} // namespace

TFormWyjscia::TFormWyjscia(QWidget* parent)
    : OknoKart("FormWyjscia", "Wizualizacja wyjść", {"Karta", "Centrala Zarvo", "Nazwa wyjścia", "Aktywne"}, parent) {
    DrawGridWyjscia = Siatka;
    DrawGridWyjscia->setObjectName(QStringLiteral("DrawGridWyjscia"));
    UstawWiersze();
    platform::ui::PrzywrocPozycjeOkna(*this, true);
}

int TFormWyjscia::LiczbaElementow() const { return Wyjscia ? Wyjscia->Rozmiar() : 0; }

const Object_Karta* TFormWyjscia::Karta(int indeks) const { return Wyjscie(indeks).Karta; }

// A controller decides itself how long its output stays on: only a board
// reports a state.
std::optional<bool> TFormWyjscia::Aktywne(int indeks) const {
    const Object_Wyjscie& wyjscie = Wyjscie(indeks);
    if (!wyjscie.Karta)
        return std::nullopt;
    return wyjscie.StanKarty();
}

QString TFormWyjscia::TekstKolumny(int kolumna, int indeks) const {
    const Object_Wyjscie& wyjscie = Wyjscie(indeks);
    switch (kolumna) {
    case 0: return wyjscie.Karta ? QString::fromStdString(wyjscie.Karta->Nazwa.str()) : QString();
    case 1:
        return wyjscie.Centrala
                   ? QString::fromStdString(static_cast<const Object_Zarvo_Centrala*>(wyjscie.Centrala)->Nazwa.str())
                   : QString();
    default: return QString::fromStdString(wyjscie.Nazwa.str());
    }
}
