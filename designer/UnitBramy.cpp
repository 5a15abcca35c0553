#include "designer/UnitBramy.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "core/Object_Brama.h"
#include "core/Objects_globals.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/PozycjaOkna.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

TFormBramy::TFormBramy(QWidget* parent)
    : OknoNaZywo("FormBramy", "Bramy", {"Nazwa", "Stan", "Przejazd"}, parent) {
    DrawGridBramy = Siatka;
    DrawGridBramy->setObjectName(QStringLiteral("DrawGridBramy"));
    ButtonOtworz = new QPushButton(QStringLiteral("Otwórz"), this);
    ButtonOtworz->setObjectName(QStringLiteral("ButtonOtworz"));
    ButtonZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    ButtonZamknij->setObjectName(QStringLiteral("ButtonZamknij"));
    PanelGorny()->insertWidget(0, ButtonOtworz);
    PanelGorny()->insertWidget(1, ButtonZamknij);
    connect(ButtonOtworz, &QPushButton::clicked, this, &TFormBramy::ButtonOtworzClick);
    connect(ButtonZamknij, &QPushButton::clicked, this, &TFormBramy::ButtonZamknijClick);

    Odswiez();
    DrawGridBramy->setRow(1);
    DrawGridBramy->setColumnWidth(0, 30);
    ui::PrzywrocPozycjeOkna(*this, true);
}

int TFormBramy::LiczbaElementow() const { return Bramy ? Bramy->Rozmiar() : 0; }

Object_Brama* TFormBramy::Wybrana() const {
    const int indeks = DrawGridBramy->row() - 1;
    if (indeks < 0 || indeks >= LiczbaElementow())
        return nullptr;
    return static_cast<Object_Brama*>(Bramy->Element(indeks));
}

void TFormBramy::ButtonOtworzClick() {
    if (Object_Brama* brama = Wybrana())
        brama->Otworz();
}

void TFormBramy::ButtonZamknijClick() {
    if (Object_Brama* brama = Wybrana())
        brama->Zamknij();
}

const char* TFormBramy::TekstStanu(const Object_Brama& brama) {
    if (brama.Otwarta)
        return "Otwarta";
    if (brama.Otwiera())
        return "Otwieranie";
    if (brama.Zamyka())
        return "Zamykanie";
    return "Zamknięta";
}

void TFormBramy::RysujElement(QPainter& painter, int kolumna, int indeks, const QRect& komorka) {
    const auto& brama = *static_cast<const Object_Brama*>(Bramy->Element(indeks));
    QString tekst;
    switch (kolumna) {
    case 0: tekst = QString::fromStdString(brama.Nazwa.str()); break;
    case 1: tekst = QString::fromUtf8(TekstStanu(brama)); break;
    case 2:
        if (brama.Zajeta)
            tekst = QStringLiteral("Trwa przejazd");
        break;
    }
    ui::RysujTekstKomorki(*DrawGridBramy, painter, komorka, tekst, kolumna, ui::DoLewej);
}
