#include "designer/UnitWejscia.h"

#include "core/Object_Karta.h"
#include "core/Object_Wejscie.h"
#include "core/Objects_globals.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/PozycjaOkna.h"

namespace {

const Object_Wejscie& Wejscie(int indeks) { return *static_cast<const Object_Wejscie*>(Wejscia->Element(indeks)); }

} // namespace

TFormWejscia::TFormWejscia(QWidget* parent)
    : OknoKart("FormWejscia", "Wizualizacja wejść", {"Karta", "Nazwa wejścia", "Aktywne"}, parent) {
    DrawGridWejscia = Siatka;
    DrawGridWejscia->setObjectName(QStringLiteral("DrawGridWejscia"));
    UstawWiersze();
    platform::ui::PrzywrocPozycjeOkna(*this, true);
}

int TFormWejscia::LiczbaElementow() const { return Wejscia ? Wejscia->Rozmiar() : 0; }

const Object_Karta* TFormWejscia::Karta(int indeks) const { return Wejscie(indeks).Karta; }

std::optional<bool> TFormWejscia::Aktywne(int indeks) const { return Wejscie(indeks).Stan; }

QString TFormWejscia::TekstKolumny(int kolumna, int indeks) const {
    const Object_Wejscie& wejscie = Wejscie(indeks);
    if (kolumna == 0)
        return wejscie.Karta ? QString::fromStdString(wejscie.Karta->Nazwa.str()) : QString();
    return QString::fromStdString(wejscie.Nazwa.str());
}
