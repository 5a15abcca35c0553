#pragma once
#include "designer/OknoNaZywo.h"

class QPushButton;
class Object_Brama;

// The live window "Bramy": every gate with its state and whether a passage
// holds it, and the porter's open and close buttons for the selected gate.
class TFormBramy : public OknoNaZywo {
    Q_OBJECT
public:
    explicit TFormBramy(QWidget* parent = nullptr);

    platform::ui::DrawGrid* DrawGridBramy = nullptr;
    QPushButton* ButtonOtworz = nullptr;
    QPushButton* ButtonZamknij = nullptr;

    void ButtonOtworzClick();
    void ButtonZamknijClick();

    // The "Stan" text of a gate.
    static const char* TekstStanu(const Object_Brama& brama);

protected:
    int LiczbaElementow() const override;
    void RysujElement(QPainter& painter, int kolumna, int indeks, const QRect& komorka) override;

private:
    Object_Brama* Wybrana() const;
};
