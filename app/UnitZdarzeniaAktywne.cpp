#include "app/UnitZdarzeniaAktywne.h"

#include <QHeaderView>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

#include "app/MonitorZdarzen.h"
#include "core/Object_Grupa_Zdarzen.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Objects_globals.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/Kolory.h"
#include "platform/ui/PozycjaOkna.h"

namespace ui = platform::ui;

namespace {

constexpr int OdstepTekstu = 38;
constexpr int PrzerwaTekstow = 10;
constexpr int WielkoscCzcionki = 16;

// One line, vertically centred in the row; the x where the next text may
// start.
int RysujTekst(QPainter& painter, int x, const QRect& komorka, const QString& tekst) {
    const int szerokosc = painter.fontMetrics().horizontalAdvance(tekst);
    painter.drawText(QRect(x, komorka.top(), szerokosc + 1, komorka.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, tekst);
    return x + szerokosc + PrzerwaTekstow;
}

} // namespace

TFormZdarzeniaAktywne::TFormZdarzeniaAktywne(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FormZdarzeniaAktywne"));
    setWindowTitle(QStringLiteral("Zdarzenia aktywne"));
    setAttribute(Qt::WA_DeleteOnClose);

    DrawGridZdazreniaAktywne = new ui::DrawGrid(this);
    DrawGridZdazreniaAktywne->setObjectName(QStringLiteral("DrawGridZdazreniaAktywne"));
    DrawGridZdazreniaAktywne->setColumnCount(1);
    // No title row: every row is a kind.
    DrawGridZdazreniaAktywne->horizontalHeader()->hide();
    DrawGridZdazreniaAktywne->horizontalHeader()->setStretchLastSection(true);
    DrawGridZdazreniaAktywne->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DrawGridZdazreniaAktywne->verticalHeader()->setMinimumSectionSize(1);
    DrawGridZdazreniaAktywne->verticalHeader()->setDefaultSectionSize(WysokoscWiersza);
    QFont czcionka(QStringLiteral("MS Sans Serif"));
    czcionka.setPointSize(WielkoscCzcionki);
    DrawGridZdazreniaAktywne->setFont(czcionka);
    DrawGridZdazreniaAktywne->setCellPainter([this](QPainter& painter, int kolumna, int wiersz, const QRect& komorka) {
        DrawGridZdazreniaAktywneDrawCell(painter, kolumna, wiersz, komorka);
    });

    auto* uklad = new QVBoxLayout(this);
    uklad->setContentsMargins(0, 0, 0, 0);
    uklad->addWidget(DrawGridZdazreniaAktywne);
    resize(420, 260);
    ui::PrzywrocPozycjeOkna(*this, true);
    Odswiez();
}

TFormZdarzeniaAktywne::~TFormZdarzeniaAktywne() { ui::ZapiszPozycjeOkna(*this); }

void TFormZdarzeniaAktywne::Odswiez() {
    rodzaje_.clear();
    if (RodzajeZdarzen)
        for (int i = 0; i < RodzajeZdarzen->Rozmiar(); ++i)
            if (const auto* rodzaj = static_cast<const Object_Rodzaj_Zdarzenia*>(RodzajeZdarzen->Element(i));
                rodzaj->Aktywny())
                rodzaje_.push_back(rodzaj->Id());
    // The kinds and one blank row below them, two blank rows when none;
    // the grid counts its hidden title row too.
    const int wiersze = std::max(static_cast<int>(rodzaje_.size()) + 1, 2);
    DrawGridZdazreniaAktywne->setRowCount(wiersze + 1);
    DopasujKolumne();
    DrawGridZdazreniaAktywne->viewport()->update();
}

void TFormZdarzeniaAktywne::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    DopasujKolumne();
}

void TFormZdarzeniaAktywne::DopasujKolumne() {
    DrawGridZdazreniaAktywne->setColumnWidth(0, DrawGridZdazreniaAktywne->viewport()->width());
}

void TFormZdarzeniaAktywne::DrawGridZdazreniaAktywneDrawCell(QPainter& painter, int, int wiersz,
                                                             const QRect& komorka) {
    const QPalette& paleta = DrawGridZdazreniaAktywne->palette();
    const std::size_t indeks = static_cast<std::size_t>(wiersz - 1);
    // A kind the last reload took away paints as an empty row until the
    // next refresh lists the kinds again.
    const auto* rodzaj = wiersz >= 1 && indeks < rodzaje_.size()
                             ? Polaczony<Object_Rodzaj_Zdarzenia>(RodzajeZdarzen, rodzaje_[indeks])
                             : nullptr;
    if (!rodzaj) {
        painter.fillRect(komorka, paleta.color(QPalette::Base));
        return;
    }
    painter.fillRect(komorka, ui::KolorQt(static_cast<ui::Kolor>(rodzaj->Kolor)));
    const QPixmap ikona = IkonaSymbolu(rodzaj->Symbol, 32);
    if (!ikona.isNull())
        painter.drawPixmap(komorka.left() + 1, komorka.top() + 1, ikona);
    painter.setPen(paleta.color(QPalette::Text));
    painter.setClipRect(komorka);
    int x = komorka.left() + OdstepTekstu;
    if (rodzaj->GrupaZdarzen)
        x = RysujTekst(painter, x, komorka, TekstZModelu(rodzaj->GrupaZdarzen->Nazwa));
    RysujTekst(painter, x, komorka, TekstZModelu(rodzaj->Nazwa));
}
