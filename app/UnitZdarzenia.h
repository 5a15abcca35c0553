#pragma once
#include "app/MonitorZdarzen.h"

// "Zdarzenia": the events logged during this run, one row each, in the
// colours of their kinds.
class TFormZdarzenia : public MonitorZdarzen {
    Q_OBJECT
public:
    explicit TFormZdarzenia(QWidget* parent = nullptr);
    ~TFormZdarzenia() override;

    static constexpr int LiczbaKolumn = 9;
    // The cell's text of data column kolumna; the symbol column gives the
    // symbol's name.
    static QString TekstPola(int kolumna, const Object_Zdarzenie& zdarzenie);

protected:
    Objects_Zdarzenia* Kontener() const override;
    void RysujNaglowek(QPainter& painter, int kolumna, const QRect& komorka) override;
    void RysujPole(QPainter& painter, int kolumna, const Object_Zdarzenie& zdarzenie, const QRect& komorka) override;
};
