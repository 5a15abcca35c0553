#include "app/OknaPortiera.h"

#include <QObject>
#include <QWidget>

#include "app/OknoPodgladu.h"
#include "designer/UnitBramy.h"
#include "designer/UnitCzytniki.h"
#include "designer/UnitCzytnikiEdycja.h"
#include "designer/UnitEnkoderyEdycja.h"
#include "designer/UnitKartyEdycja.h"
#include "designer/UnitMagistraleEdycja.h"
#include "designer/UnitPrzejazdy.h"
#include "designer/UnitPrzyciski.h"
#include "designer/UnitWejscia.h"
#include "designer/UnitWyjscia.h"

namespace {

// The main window's view of one window of the designer folder, which cannot
// know the main window's interface. It is a child of its window, so it goes
// with it.
template <class Okno>
class OknoPortiera : public QObject, public OknoPodgladu {
public:
    OknoPortiera() : okno_(new Okno) { setParent(okno_); }

    QWidget* Widget() override { return okno_; }
    void Odswiez() override {
        if constexpr (requires(Okno& o) { o.Odswiez(); })
            okno_->Odswiez();
    }
    void UstawWiersze() override {
        if constexpr (requires(Okno& o) { o.UstawWiersze(); })
            okno_->UstawWiersze();
    }
    void Przeladuj() override {
        if constexpr (requires(Okno& o) { o.Przeladuj(); })
            okno_->Przeladuj();
    }
    void ZwolnijPrzycisk() override {
        if constexpr (requires(Okno& o) { o.ZwolnijPrzycisk(); })
            okno_->ZwolnijPrzycisk();
    }
    int PierwszyWidoczny() const override {
        if constexpr (requires(Okno& o) { o.PierwszyWidoczny; })
            return okno_->PierwszyWidoczny;
        return 0;
    }
    int KoniecWidocznych() const override {
        if constexpr (requires(Okno& o) { o.KoniecWidocznych; })
            return okno_->KoniecWidocznych;
        return 0;
    }

private:
    Okno* okno_;
};

template <class Okno>
void Zarejestruj(RodzajOkna rodzaj) {
    UstawFabrykeOkna(rodzaj, []() -> OknoPodgladu* { return new OknoPortiera<Okno>; });
}

} // namespace

void ZarejestrujOknaPortiera() {
    Zarejestruj<TFormBramy>(RodzajOkna::Bramy);
    Zarejestruj<TFormPrzejazdy>(RodzajOkna::Przejazdy);
    Zarejestruj<TFormWejscia>(RodzajOkna::Wejscia);
    Zarejestruj<TFormWyjscia>(RodzajOkna::Wyjscia);
    Zarejestruj<TFormPrzyciski>(RodzajOkna::Przyciski);
    Zarejestruj<TFormCzytniki>(RodzajOkna::Czytniki);
}

void UtworzDialogiEdycji(QWidget* wlasciciel) {
    FormMagistraleEdycja = new TFormMagistraleEdycja(wlasciciel);
    FormKartyEdycja = new TFormKartyEdycja(wlasciciel);
    FormCzytnikiEdycja = new TFormCzytnikiEdycja(wlasciciel);
    FormEnkoderyEdycja = new TFormEnkoderyEdycja(wlasciciel);
}
