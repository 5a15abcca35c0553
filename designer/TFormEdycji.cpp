#include "designer/TFormEdycji.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

TFormEdycji::TFormEdycji(QWidget* parent) : QDialog(parent) {
    uklad_ = new QFormLayout;
    ButtonOk = new QPushButton(QStringLiteral("OK"), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("Anuluj"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    auto* przyciski = new QHBoxLayout;
    przyciski->addStretch();
    przyciski->addWidget(ButtonOk);
    przyciski->addWidget(ButtonCancel);
    auto* uklad = new QVBoxLayout(this);
    uklad->addLayout(uklad_);
    uklad->addStretch();
    uklad->addLayout(przyciski);
    connect(ButtonOk, &QPushButton::clicked, this, &TFormEdycji::ButtonOkClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormEdycji::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TFormEdycji::keyPressEvent(QKeyEvent* event) {
    FormKeyDown(event->key());
    if (isVisible())
        QDialog::keyPressEvent(event);
}

// Escape anywhere in the dialog cancels it.
void TFormEdycji::FormKeyDown(int klawisz) {
    if (klawisz == Qt::Key_Escape)
        reject();
}

void TFormEdycji::DodajWiersz(const QString& etykieta, QWidget* kontrolka) { uklad_->addRow(etykieta, kontrolka); }

QLineEdit* TFormEdycji::PoleTekstu(const char* nazwa, const QString& tekst, int maksimum) {
    auto* edycja = new QLineEdit(tekst, this);
    edycja->setObjectName(QString::fromLatin1(nazwa));
    if (maksimum > 0)
        edycja->setMaxLength(maksimum);
    return edycja;
}

QLineEdit* TFormEdycji::EdycjaCyfr(const char* nazwa, const QString& tekst, int maksimum) {
    QLineEdit* edycja = PoleTekstu(nazwa, tekst, maksimum);
    edycja->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edycja));
    return edycja;
}

QComboBox* TFormEdycji::Lista(const char* nazwa, bool edytowalna) {
    auto* lista = new QComboBox(this);
    lista->setObjectName(QString::fromLatin1(nazwa));
    lista->setEditable(edytowalna);
    if (edytowalna)
        lista->setInsertPolicy(QComboBox::NoInsert);
    return lista;
}
