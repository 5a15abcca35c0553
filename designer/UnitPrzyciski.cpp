#include "designer/UnitPrzyciski.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "core/Komunikaty.h"
#include "core/Object_Przycisk.h"
#include "core/Objects_globals.h"
#include "platform/registry/Registry.h"
#include "platform/ui/Kolory.h"
#include "platform/ui/PozycjaOkna.h"

namespace ui = platform::ui;

namespace {

constexpr ui::Kolor Szary = 0x808080;

// A colour whose top byte is set names one of the system's colours; the
// tiles of buttons that were never given a colour take the face of a
// button.
ui::Kolor KolorKafelka(std::int32_t kolor, const QPalette& paleta) {
    const auto k = static_cast<ui::Kolor>(kolor);
    return (k & 0xFF000000u) ? ui::KolorZQt(paleta.color(QPalette::Button)) : k;
}

} // namespace

UkladPrzyciskow ObliczUkladPrzyciskow(float szerokosc, int minimalnaSzerokosc, int liczbaKafelkow) {
    UkladPrzyciskow uklad;
    uklad.Kolumny = minimalnaSzerokosc >= 1 ? static_cast<int>(szerokosc / static_cast<float>(minimalnaSzerokosc)) : 0;
    if (uklad.Kolumny < 1)
        uklad.Kolumny = 1;
    uklad.Wiersze = (std::max(liczbaKafelkow, 0) + uklad.Kolumny - 1) / uklad.Kolumny;
    const float w = uklad.Kolumny >= 2 ? szerokosc / static_cast<float>(uklad.Kolumny) : szerokosc;
    float reszta = szerokosc;
    for (int i = 0; i < uklad.Kolumny - 1; ++i) {
        uklad.Szerokosci.push_back(static_cast<int>(w));
        reszta -= w;
    }
    uklad.Szerokosci.push_back(static_cast<int>(reszta));
    return uklad;
}

// Rows and columns only: every cell is painted from the tiles.
class TFormPrzyciski::Model : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& rodzic = {}) const override { return rodzic.isValid() ? 0 : wiersze_; }
    int columnCount(const QModelIndex& rodzic = {}) const override { return rodzic.isValid() ? 0 : kolumny_; }
    QVariant data(const QModelIndex&, int) const override { return {}; }
    void UstawRozmiar(int wiersze, int kolumny) {
        if (wiersze == wiersze_ && kolumny == kolumny_)
            return;
        beginResetModel();
        wiersze_ = wiersze;
        kolumny_ = kolumny;
        endResetModel();
    }

private:
    int wiersze_ = 0;
    int kolumny_ = 0;
};

// The grid's client width changes with the window and with its scroll bar
// coming and going; the view hears of both.
class TFormPrzyciski::Siatka : public QTableView {
public:
    explicit Siatka(TFormPrzyciski& forma) : QTableView(&forma), forma_(forma) {}

protected:
    void resizeEvent(QResizeEvent* zdarzenie) override {
        QTableView::resizeEvent(zdarzenie);
        forma_.UstawSiatke();
    }

private:
    TFormPrzyciski& forma_;
};

class TFormPrzyciski::Delegat : public QStyledItemDelegate {
public:
    explicit Delegat(TFormPrzyciski& forma) : QStyledItemDelegate(&forma), forma_(forma) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& opcje, const QModelIndex& indeks) const override {
        painter->save();
        forma_.RysujKomorke(*painter, opcje.rect, indeks.row(), indeks.column());
        painter->restore();
    }

private:
    TFormPrzyciski& forma_;
};

TFormPrzyciski::TFormPrzyciski(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FormPrzyciski"));
    setWindowTitle(QStringLiteral("Przyciski"));
    setAttribute(Qt::WA_DeleteOnClose);
    DrawGridPrzyciski = new Siatka(*this);
    DrawGridPrzyciski->setObjectName(QStringLiteral("DrawGridPrzyciski"));
    model_ = new Model(DrawGridPrzyciski);
    DrawGridPrzyciski->setModel(model_);
    DrawGridPrzyciski->setItemDelegate(new Delegat(*this));
    DrawGridPrzyciski->horizontalHeader()->hide();
    DrawGridPrzyciski->verticalHeader()->hide();
    DrawGridPrzyciski->verticalHeader()->setMinimumSectionSize(1);
    DrawGridPrzyciski->horizontalHeader()->setMinimumSectionSize(1);
    DrawGridPrzyciski->setShowGrid(false);
    DrawGridPrzyciski->setSelectionMode(QAbstractItemView::NoSelection);
    DrawGridPrzyciski->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DrawGridPrzyciski->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DrawGridPrzyciski->installEventFilter(this);
    DrawGridPrzyciski->viewport()->installEventFilter(this);
    auto* uklad = new QVBoxLayout(this);
    uklad->setContentsMargins(0, 0, 0, 0);
    uklad->addWidget(DrawGridPrzyciski);
    installEventFilter(this);

    wstecz_ = std::make_unique<Object_Przycisk>(0);
    wstecz_->Etykieta = "Wstecz";
    wstecz_->Kolor = Szary;
    wstecz_->KolorGrupy = Szary;

    WielkoscCzcionki = DrawGridPrzyciski->font().pointSize();
    CzytajUstawienia();
    ui::PrzywrocPozycjeOkna(*this, true);
    Przeladuj();
}

TFormPrzyciski::~TFormPrzyciski() { ui::ZapiszPozycjeOkna(*this); }

void TFormPrzyciski::CzytajUstawienia() {
    platform::registry::Registry rejestr;
    if (!rejestr.openKey(ui::KluczUstawien, false))
        return;
    SzerokoscPrzycisku = rejestr.readInteger("PrzyciskiSzerokosc").value_or(SzerokoscPrzycisku);
    WysokoscPrzycisku = rejestr.readInteger("PrzyciskiWysokosc").value_or(WysokoscPrzycisku);
    WielkoscCzcionki = rejestr.readInteger("PrzyciskiWielkoscCzcionki").value_or(WielkoscCzcionki);
}

void TFormPrzyciski::Przeladuj() {
    if (WielkoscCzcionki > 0) {
        QFont czcionka = DrawGridPrzyciski->font();
        czcionka.setPointSize(WielkoscCzcionki);
        DrawGridPrzyciski->setFont(czcionka);
    }
    DrawGridPrzyciski->verticalHeader()->setDefaultSectionSize(std::max(WysokoscPrzycisku, 1));
    OczyscStos();
    Zapomnij();
    Grupa = 0;
    kafelki_.clear();
    PokazPoziom(0);
    ZapamietajPrzyciski();
    UstawSiatke();
    DrawGridPrzyciski->viewport()->update();
}

// After a reload the ids on the back stack may name buttons that are gone:
// only the levels still there stay.
void TFormPrzyciski::OczyscStos() {
    std::erase_if(StosPowrotu, [](int id) { return id > 0 && (!Przyciski || !Przyciski->Znajdz(id)); });
}

bool TFormPrzyciski::PokazPoziom(int grupa) {
    if (!Przyciski)
        return false;
    bool jest = false;
    for (int i = 0; i < Przyciski->Rozmiar() && !jest; ++i)
        jest = static_cast<const Object_Przycisk*>(Przyciski->Element(i))->IdPrzyciskuRodzic == grupa;
    if (!jest)
        return false;
    kafelki_.clear();
    if (grupa > 0)
        kafelki_.push_back(wstecz_->Id());
    for (int i = 0; i < Przyciski->Rozmiar(); ++i) {
        const auto* przycisk = static_cast<const Object_Przycisk*>(Przyciski->Element(i));
        if (przycisk->IdPrzyciskuRodzic == grupa || przycisk->WszystkieWarstwy)
            kafelki_.push_back(przycisk->Id());
    }
    ZapamietajPrzyciski();
    return true;
}

// New rows may bring the scroll bar or take it away, which changes the
// client width while the grid is being laid out; the view reports no resize
// from inside its own, so the layout runs once more for the width it now
// has. Only once: a width that flips the scroll bar back would otherwise
// lay the grid out for ever.
void TFormPrzyciski::UstawSiatke() {
    const int szerokosc = DrawGridPrzyciski->viewport()->width();
    UlozSiatke();
    if (DrawGridPrzyciski->viewport()->width() != szerokosc)
        QTimer::singleShot(0, this, &TFormPrzyciski::UlozSiatke);
}

void TFormPrzyciski::UlozSiatke() {
    const UkladPrzyciskow uklad = ObliczUkladPrzyciskow(static_cast<float>(DrawGridPrzyciski->viewport()->width()),
                                                        SzerokoscPrzycisku, LiczbaKafelkow());
    const QModelIndex biezacy = DrawGridPrzyciski->currentIndex();
    model_->UstawRozmiar(uklad.Wiersze, uklad.Kolumny);
    if (!DrawGridPrzyciski->currentIndex().isValid() && uklad.Wiersze > 0)
        DrawGridPrzyciski->setCurrentIndex(model_->index(std::clamp(biezacy.row(), 0, uklad.Wiersze - 1),
                                                         std::clamp(biezacy.column(), 0, uklad.Kolumny - 1)));
    for (int k = 0; k < uklad.Kolumny; ++k)
        DrawGridPrzyciski->setColumnWidth(k, uklad.Szerokosci[static_cast<std::size_t>(k)]);
    DrawGridPrzyciski->verticalHeader()->setDefaultSectionSize(std::max(WysokoscPrzycisku, 1));
}

int TFormPrzyciski::IndeksKomorki(int wiersz, int kolumna) const {
    if (wiersz < 0 || kolumna < 0 || kolumna >= model_->columnCount())
        return -1;
    return wiersz * model_->columnCount() + kolumna;
}

Object_Przycisk* TFormPrzyciski::Kafelek(int indeks) const {
    if (indeks < 0 || indeks >= LiczbaKafelkow())
        return nullptr;
    const int id = kafelki_[static_cast<std::size_t>(indeks)];
    if (id == wstecz_->Id())
        return wstecz_.get();
    return Przyciski ? static_cast<Object_Przycisk*>(Przyciski->Znajdz(id)) : nullptr;
}

bool TFormPrzyciski::PrzyciskiZmienione() const {
    return Przyciski != kontener_ || (Przyciski && Przyciski->Zmiany() != zmiany_);
}

void TFormPrzyciski::ZapamietajPrzyciski() {
    kontener_ = Przyciski;
    zmiany_ = Przyciski ? Przyciski->Zmiany() : 0;
}

// The level shown stays when its group is still there; otherwise the top
// level. A tile held meanwhile may now be another button: it is forgotten.
void TFormPrzyciski::SprawdzPrzyciski() {
    if (!PrzyciskiZmienione())
        return;
    OczyscStos();
    Zapomnij();
    kafelki_.clear();
    if (!PokazPoziom(Grupa)) {
        Grupa = 0;
        PokazPoziom(0);
    }
    ZapamietajPrzyciski();
    UstawSiatke();
    DrawGridPrzyciski->viewport()->update();
}

void TFormPrzyciski::RysujKomorke(QPainter& painter, const QRect& komorka, int wiersz, int kolumna) const {
    // Painting changes nothing: a change of the buttons found here is laid
    // out once the paint is over.
    if (PrzyciskiZmienione())
        QTimer::singleShot(0, const_cast<TFormPrzyciski*>(this), &TFormPrzyciski::SprawdzPrzyciski);
    const QPalette& paleta = DrawGridPrzyciski->palette();
    const Object_Przycisk* przycisk = Kafelek(IndeksKomorki(wiersz, kolumna));
    if (!przycisk) {
        painter.fillRect(komorka, paleta.color(QPalette::Base));
        return;
    }
    const bool wcisniety = przycisk->Wcisniety;
    ui::RysujRamke3D(painter, komorka, 2, wcisniety ? -80 : 80, KolorKafelka(przycisk->Kolor, paleta), 0);
    QRect tekst = komorka.adjusted(3, 3, -3, -3);
    if (wcisniety)
        tekst.translate(2, 2);
    painter.setFont(DrawGridPrzyciski->font());
    painter.setPen(paleta.color(QPalette::WindowText));
    painter.drawText(tekst, Qt::AlignCenter | Qt::TextWordWrap, QString::fromStdString(przycisk->Etykieta.str()));
    const QModelIndex biezacy = DrawGridPrzyciski->currentIndex();
    if (DrawGridPrzyciski->hasFocus() && biezacy.row() == wiersz && biezacy.column() == kolumna) {
        QStyleOptionFocusRect opcje;
        opcje.initFrom(DrawGridPrzyciski);
        opcje.rect = komorka;
        DrawGridPrzyciski->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opcje, &painter, DrawGridPrzyciski);
    }
}

void TFormPrzyciski::Zapamietaj(int wiersz, int kolumna) {
    WierszZapamietany = wiersz;
    KolumnaZapamietana = kolumna;
}

Object_Przycisk* TFormPrzyciski::Zapamietany() const {
    return Kafelek(IndeksKomorki(WierszZapamietany, KolumnaZapamietana));
}

void TFormPrzyciski::Zwolnij(Object_Przycisk& przycisk) {
    przycisk.Zwolnij(true);
    PostujDoOkna(WM_ODSWIEZ_PRZYCISKI, 0, 0);
    DrawGridPrzyciski->viewport()->update();
}

void TFormPrzyciski::ZwolnijPrzycisk() {
    SprawdzPrzyciski();
    if (Object_Przycisk* przycisk = Zapamietany())
        Zwolnij(*przycisk);
    Zapomnij();
}

void TFormPrzyciski::Nawiguj(const Object_Przycisk& przycisk) {
    if (&przycisk == wstecz_.get()) {
        Wroc();
        return;
    }
    if (przycisk.Id() > 0 && PokazPoziom(przycisk.Id())) {
        StosPowrotu.push_back(Grupa);
        Grupa = przycisk.Id();
        UstawSiatke();
        DrawGridPrzyciski->viewport()->update();
    }
}

// An empty stack (the levels on it were gone after a reload) leads to the
// top level.
void TFormPrzyciski::Wroc() {
    int grupa = 0;
    if (!StosPowrotu.empty()) {
        grupa = StosPowrotu.back();
        StosPowrotu.pop_back();
    }
    if (PokazPoziom(grupa))
        Grupa = grupa;
    UstawSiatke();
    DrawGridPrzyciski->viewport()->update();
}

bool TFormPrzyciski::eventFilter(QObject* obiekt, QEvent* zdarzenie) {
    if (obiekt == DrawGridPrzyciski->viewport()) {
        Mysz(zdarzenie);
    } else if (obiekt == DrawGridPrzyciski) {
        if (zdarzenie->type() == QEvent::FocusOut)
            ZwolnijPrzycisk();
        else if (Klawisz(zdarzenie))
            return true;
    } else if (obiekt == this && zdarzenie->type() == QEvent::WindowDeactivate) {
        ZwolnijPrzycisk();
    }
    return QWidget::eventFilter(obiekt, zdarzenie);
}

// Any mouse button. A double click comes as its own event in place of the
// second press, and presses the tile like any press.
void TFormPrzyciski::Mysz(QEvent* zdarzenie) {
    const auto typ = zdarzenie->type();
    if (typ != QEvent::MouseButtonPress && typ != QEvent::MouseButtonDblClick && typ != QEvent::MouseButtonRelease &&
        typ != QEvent::MouseMove)
        return;
    SprawdzPrzyciski();
    const QPoint punkt = static_cast<QMouseEvent*>(zdarzenie)->position().toPoint();
    const int wiersz = DrawGridPrzyciski->rowAt(punkt.y());
    const int kolumna = DrawGridPrzyciski->columnAt(punkt.x());
    Object_Przycisk* przycisk = Kafelek(IndeksKomorki(wiersz, kolumna));
    switch (typ) {
    case QEvent::MouseMove:
        if ((WierszZapamietany >= 0 || KolumnaZapamietana >= 0) &&
            (wiersz != WierszZapamietany || kolumna != KolumnaZapamietana)) {
            if (Object_Przycisk* zapamietany = Zapamietany())
                Zwolnij(*zapamietany);
            Zapamietaj(wiersz, kolumna);
        }
        break;
    case QEvent::MouseButtonRelease:
        // Released is done with: a later move must not release it again.
        if (przycisk) {
            Zwolnij(*przycisk);
            Nawiguj(*przycisk);
        }
        Zapomnij();
        break;
    default:
        if (przycisk) {
            Zapamietaj(wiersz, kolumna);
            przycisk->Nacisnij();
            DrawGridPrzyciski->viewport()->update();
        }
        break;
    }
}

// Space presses and releases the current cell's tile, Esc goes one level
// back. The keyboard's own repeats of a held key are no new presses.
bool TFormPrzyciski::Klawisz(QEvent* zdarzenie) {
    const auto typ = zdarzenie->type();
    if (typ != QEvent::KeyPress && typ != QEvent::KeyRelease)
        return false;
    const auto* klawisz = static_cast<QKeyEvent*>(zdarzenie);
    if (klawisz->key() != Qt::Key_Space && klawisz->key() != Qt::Key_Escape)
        return false;
    if (klawisz->isAutoRepeat())
        return true;
    SprawdzPrzyciski();
    if (klawisz->key() == Qt::Key_Escape) {
        if (typ == QEvent::KeyRelease && !StosPowrotu.empty())
            Wroc();
        return true;
    }
    const QModelIndex biezacy = DrawGridPrzyciski->currentIndex();
    Object_Przycisk* przycisk = Kafelek(IndeksKomorki(biezacy.row(), biezacy.column()));
    if (!przycisk)
        return true;
    if (typ == QEvent::KeyPress) {
        przycisk->Nacisnij();
        DrawGridPrzyciski->viewport()->update();
    } else {
        Zwolnij(*przycisk);
        Nawiguj(*przycisk);
    }
    return true;
}
