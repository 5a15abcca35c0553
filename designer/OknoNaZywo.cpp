#include "designer/OknoNaZywo.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "platform/ui/DrawGrid.h"
#include "platform/ui/PozycjaOkna.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

OknoNaZywo::OknoNaZywo(const char* nazwaFormy, const char* tytul, std::vector<const char*> naglowki, QWidget* parent)
    : QWidget(parent), naglowki_(std::move(naglowki)) {
    setObjectName(QString::fromUtf8(nazwaFormy));
    setWindowTitle(QString::fromUtf8(tytul));
    setAttribute(Qt::WA_DeleteOnClose);
    Siatka = new ui::DrawGrid(this);
    Siatka->setColumnCount(static_cast<int>(naglowki_.size()));
    Siatka->setFixedColumnCount(0);
    Siatka->setCellPainter([this](QPainter& painter, int kolumna, int wiersz, const QRect& komorka) {
        RysujKomorke(painter, kolumna, wiersz, komorka);
    });
    auto* uklad = new QVBoxLayout(this);
    uklad->setContentsMargins(0, 0, 0, 0);
    uklad->setSpacing(0);
    uklad->addWidget(Siatka);
}

OknoNaZywo::~OknoNaZywo() { ui::ZapiszPozycjeOkna(*this); }

QHBoxLayout* OknoNaZywo::PanelGorny() {
    if (!panel_) {
        panel_ = new QWidget(this);
        panel_->setObjectName(QStringLiteral("PanelGorny"));
        auto* uklad = new QHBoxLayout(panel_);
        uklad->setContentsMargins(4, 4, 4, 4);
        uklad->addStretch();
        static_cast<QVBoxLayout*>(layout())->insertWidget(0, panel_);
    }
    return static_cast<QHBoxLayout*>(panel_->layout());
}

void OknoNaZywo::Odswiez() { ui::UstawLiczbeWierszy(*Siatka, LiczbaElementow()); }

void OknoNaZywo::RysujTloWiersza(QPainter& painter, int kolumna, int wiersz, const QRect& komorka) {
    if (Siatka->hasFocus())
        ui::RysujTloZaznaczenia(*Siatka, painter, kolumna, wiersz, komorka);
}

void OknoNaZywo::RysujKomorke(QPainter& painter, int kolumna, int wiersz, const QRect& komorka) {
    if (kolumna < 0 || kolumna >= static_cast<int>(naglowki_.size()))
        return;
    if (wiersz == 0) {
        painter.setPen(Siatka->palette().color(QPalette::WindowText));
        ui::RysujTekstKomorki(*Siatka, painter, komorka, QString::fromUtf8(naglowki_[kolumna]), kolumna,
                              ui::DoLewej);
        return;
    }
    RysujTloWiersza(painter, kolumna, wiersz, komorka);
    if (wiersz - 1 < LiczbaElementow())
        RysujElement(painter, kolumna, wiersz - 1, komorka);
}
