#include "app/UnitDrawGridUstaw.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/Modalnie.h"

TFormDrawGridUstaw::TFormDrawGridUstaw(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormDrawGridUstaw"));
    setWindowTitle(QStringLiteral("Wybierz kolumny"));
    CBList = new QListWidget(this);
    CBList->setObjectName(QStringLiteral("CBList"));
    ButtonAnuluj = new QPushButton(QStringLiteral("&Anuluj"), this);
    ButtonAnuluj->setObjectName(QStringLiteral("ButtonAnuluj"));
    ButtonOk = new QPushButton(QStringLiteral("&OK"), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    connect(ButtonAnuluj, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* przyciski = new QHBoxLayout;
    przyciski->addStretch();
    przyciski->addWidget(ButtonAnuluj);
    przyciski->addWidget(ButtonOk);
    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(CBList);
    uklad->addLayout(przyciski);
    resize(240, 360);
}

bool TFormDrawGridUstaw::Wybierz(const QStringList& nazwy, std::span<bool> flagi, int ilosc) {
    const int n = std::max(0, std::min({ilosc, static_cast<int>(nazwy.size()), static_cast<int>(flagi.size())}));
    CBList->clear();
    for (int i = 0; i < n; ++i) {
        auto* pozycja = new QListWidgetItem(nazwy[i], CBList);
        pozycja->setFlags(pozycja->flags() | Qt::ItemIsUserCheckable);
        pozycja->setCheckState(flagi[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    }
    if (WykonajModalnie(*this) != QDialog::Accepted)
        return false;
    for (int i = 0; i < n; ++i)
        flagi[static_cast<std::size_t>(i)] = CBList->item(i)->checkState() == Qt::Checked;
    return true;
}
