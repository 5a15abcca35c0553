#include "designer/TFormDwieListy.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Object.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

namespace {

// A borrowing list that sorts as its source does.
class ListaPozyczona : public Objects {
public:
    explicit ListaPozyczona(const Objects& zrodlo) : zrodlo_(zrodlo) {}
    ~ListaPozyczona() override { Zapomnij(); }
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override {
        return zrodlo_.Porownaj(rodzaj, a, b);
    }

private:
    const Objects& zrodlo_;
};

} // namespace

TFormDwieListy::TFormDwieListy(QWidget* owner, std::function<Objects*()> zrodlo, std::vector<KolumnaListy> kolumny)
    : QDialog(owner), zrodlo_(std::move(zrodlo)) {
    Objects& zrodlo_kontener = *zrodlo_();
    wybrane_ = std::make_unique<ListaPozyczona>(zrodlo_kontener);
    dostepne_ = std::make_unique<ListaPozyczona>(zrodlo_kontener);
    DrawGridWybrane = new ui::DrawGrid(this);
    DrawGridWybrane->setObjectName(QStringLiteral("DrawGridWybrane"));
    DrawGridDostepne = new ui::DrawGrid(this);
    DrawGridDostepne->setObjectName(QStringLiteral("DrawGridDostepne"));
    UstawSiatkeListy(*DrawGridWybrane, [this] { return wybrane_.get(); }, kolumny);
    UstawSiatkeListy(*DrawGridDostepne, [this] { return dostepne_.get(); }, kolumny);
    ButtonDodaj = new QPushButton(QStringLiteral("<"), this);
    ButtonUsun = new QPushButton(QStringLiteral(">"), this);
    ButtonOk = new QPushButton(QStringLiteral("OK"), this);
    ButtonAnuluj = new QPushButton(QStringLiteral("Anuluj"), this);
    auto* srodek = new QVBoxLayout;
    srodek->addStretch();
    srodek->addWidget(ButtonDodaj);
    srodek->addWidget(ButtonUsun);
    srodek->addStretch();
    auto* listy = new QHBoxLayout;
    listy->addWidget(DrawGridWybrane);
    listy->addLayout(srodek);
    listy->addWidget(DrawGridDostepne);
    auto* przyciski = new QHBoxLayout;
    przyciski->addStretch();
    przyciski->addWidget(ButtonOk);
    przyciski->addWidget(ButtonAnuluj);
    auto* uklad = new QVBoxLayout(this);
    uklad->addLayout(listy);
    uklad->addLayout(przyciski);
    connect(ButtonDodaj, &QPushButton::clicked, this, &TFormDwieListy::ButtonDodajClick);
    connect(ButtonUsun, &QPushButton::clicked, this, &TFormDwieListy::ButtonUsunClick);
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonAnuluj, &QPushButton::clicked, this, &QDialog::reject);
}

TFormDwieListy::~TFormDwieListy() = default;

bool TFormDwieListy::Wybierz(Objects& lista) {
    wybrane_->Zapomnij();
    dostepne_->Zapomnij();
    for (int i = 0; i < lista.Rozmiar(); ++i)
        wybrane_->Dodaj(lista.Element(i));
    if (Objects* zrodlo = zrodlo_())
        for (int i = 0; i < zrodlo->Rozmiar(); ++i)
            if (!wybrane_->Znajdz(zrodlo->Element(i)->Id()))
                dostepne_->Dodaj(zrodlo->Element(i));
    wybrane_->Sortuj(0);
    dostepne_->Sortuj(0);
    ui::UstawLiczbeWierszy(*DrawGridWybrane, wybrane_->Rozmiar());
    ui::UstawLiczbeWierszy(*DrawGridDostepne, dostepne_->Rozmiar());
    if (exec() != QDialog::Accepted)
        return false;
    lista.Zapomnij();
    for (int i = 0; i < wybrane_->Rozmiar(); ++i)
        lista.Dodaj(wybrane_->Element(i));
    return true;
}

void TFormDwieListy::ButtonDodajClick() { Przenies(*DrawGridDostepne, *dostepne_, *DrawGridWybrane, *wybrane_); }

void TFormDwieListy::ButtonUsunClick() { Przenies(*DrawGridWybrane, *wybrane_, *DrawGridDostepne, *dostepne_); }

// The current entry of one list goes to the other and both are sorted again.
void TFormDwieListy::Przenies(ui::DrawGrid& z, Objects& skad, ui::DrawGrid& do_, Objects& dokad) {
    const int wiersz = z.row();
    if (wiersz < 1 || wiersz > skad.Rozmiar())
        return;
    Object* element = skad.Element(wiersz - 1);
    skad.Odlacz(element);
    dokad.Dodaj(element);
    skad.Sortuj(0);
    dokad.Sortuj(0);
    ui::UstawLiczbeWierszy(z, skad.Rozmiar());
    if (KursorZaWpisem)
        ui::UstawWierszBiezacy(do_, dokad.Rozmiar(), dokad.IndeksId(element->Id()));
    else
        ui::UstawLiczbeWierszy(do_, dokad.Rozmiar());
    z.viewport()->update();
    do_.viewport()->update();
}

void TFormDwieListy::keyPressEvent(QKeyEvent* zdarzenie) {
    if (zdarzenie->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(zdarzenie);
}
