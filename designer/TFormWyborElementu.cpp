#include "designer/TFormWyborElementu.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Object.h"
#include "platform/ui/DrawGrid.h"

TFormWyborElementu::TFormWyborElementu(QWidget* owner, std::function<Objects*()> kontener,
                                       std::vector<KolumnaListy> kolumny)
    : QDialog(owner), kontener_(std::move(kontener)) {
    DrawGrid = new platform::ui::DrawGrid(this);
    DrawGrid->setObjectName(QStringLiteral("DrawGrid"));
    UstawSiatkeListy(*DrawGrid, kontener_, kolumny);
    PanelDol = new QWidget(this);
    PanelDol->setObjectName(QStringLiteral("PanelDol"));
    PanelDol->setFixedHeight(41);
    ButtonAnuluj = new QPushButton(QStringLiteral("Anuluj"), PanelDol);
    ButtonAnuluj->setObjectName(QStringLiteral("ButtonAnuluj"));
    ButtonAnuluj->setGeometry(8, 8, 75, 25);
    ButtonOk = new QPushButton(QStringLiteral("OK"), PanelDol);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setGeometry(0, 8, 75, 25);
    PanelDol->installEventFilter(this);
    auto* uklad = new QVBoxLayout(this);
    uklad->setContentsMargins(0, 0, 0, 0);
    uklad->addWidget(DrawGrid);
    uklad->addWidget(PanelDol);
    connect(ButtonOk, &QPushButton::clicked, this, &TFormWyborElementu::ButtonOkClick);
    connect(ButtonAnuluj, &QPushButton::clicked, this, &QDialog::reject);
    PanelDolResize();
}

Object* TFormWyborElementu::Wybrany() const {
    const Objects* kontener = kontener_();
    const int wiersz = DrawGrid->row();
    if (!kontener || wiersz < 1 || wiersz > kontener->Rozmiar())
        return nullptr;
    return kontener->Element(wiersz - 1);
}

void TFormWyborElementu::ButtonOkClick() {
    const Objects* kontener = kontener_();
    if (kontener && kontener->Rozmiar() > 0)
        accept();
}

void TFormWyborElementu::PanelDolResize() {
    ButtonOk->move(PanelDol->width() - ButtonOk->width() - ButtonAnuluj->x(), ButtonOk->y());
}

bool TFormWyborElementu::eventFilter(QObject* obiekt, QEvent* zdarzenie) {
    if (obiekt == PanelDol && zdarzenie->type() == QEvent::Resize)
        PanelDolResize();
    return QDialog::eventFilter(obiekt, zdarzenie);
}

void TFormWyborElementu::keyPressEvent(QKeyEvent* zdarzenie) {
    if (zdarzenie->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(zdarzenie);
}
