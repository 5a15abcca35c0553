#pragma once
#include "designer/OknoNaZywo.h"

class QPushButton;
class Object_Przejazd;

// The live window "Przejazdy": every passage with its gate, its course, its
// user and its two sensors, and the porter's cancel button, which never
// cancels an intermediate passage (its parent passage leads it).
class TFormPrzejazdy : public OknoNaZywo {
    Q_OBJECT
public:
    explicit TFormPrzejazdy(QWidget* parent = nullptr);

    platform::ui::DrawGrid* DrawGridPrzejazdy = nullptr;
    QPushButton* ButtonAnuluj = nullptr;
    // Hidden and without effect: only looks up the selected passage.
    QPushButton* ButtonUzytkownik = nullptr;

    void ButtonAnulujClick();
    void DrawGridPrzejazdySelectCell(int wiersz);

    // The "Status" text of a passage; empty unless it is under way.
    static const char* TekstStatusu(const Object_Przejazd& przejazd);

protected:
    int LiczbaElementow() const override;
    void RysujElement(QPainter& painter, int kolumna, int indeks, const QRect& komorka) override;

private:
    Object_Przejazd* WRzedzie(int wiersz) const;
};
