#include "app/UnitLogowanie.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Modalnie.h"

namespace {

QLineEdit* Haslo(QWidget* rodzic, const char* nazwa) {
    auto* edycja = new QLineEdit(rodzic);
    edycja->setObjectName(QString::fromLatin1(nazwa));
    edycja->setEchoMode(QLineEdit::Password);
    return edycja;
}

QPushButton* Przycisk(QDialog* dialog, const char* nazwa, const QString& tekst, bool ok) {
    auto* przycisk = new QPushButton(tekst, dialog);
    przycisk->setObjectName(QString::fromLatin1(nazwa));
    przycisk->setDefault(ok);
    QObject::connect(przycisk, &QPushButton::clicked, dialog, ok ? &QDialog::accept : &QDialog::reject);
    return przycisk;
}

void Uloz(QDialog* dialog, QFormLayout* pola, QPushButton* ok, QPushButton* anuluj) {
    auto* przyciski = new QHBoxLayout;
    przyciski->addStretch();
    przyciski->addWidget(ok);
    przyciski->addWidget(anuluj);
    auto* uklad = new QVBoxLayout(dialog);
    uklad->addLayout(pola);
    uklad->addLayout(przyciski);
}

} // namespace

TFormLogowanie::TFormLogowanie(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormLogowanie"));
    setWindowTitle(QStringLiteral("Logowanie administratora"));
    EditUzytkownik = new QLineEdit(this);
    EditUzytkownik->setObjectName(QStringLiteral("EditUzytkownik"));
    EditHaslo = Haslo(this, "EditHaslo");
    ButtonZaloguj = Przycisk(this, "ButtonZaloguj", QStringLiteral("&Zaloguj"), true);
    ButtonAnuluj = Przycisk(this, "ButtonAnuluj", QStringLiteral("&Anuluj"), false);
    auto* pola = new QFormLayout;
    pola->addRow(QStringLiteral("Użytkownik"), EditUzytkownik);
    pola->addRow(QStringLiteral("Hasło"), EditHaslo);
    Uloz(this, pola, ButtonZaloguj, ButtonAnuluj);
}

int TFormLogowanie::Pokaz() {
    FormShow();
    return WykonajModalnie(*this);
}

void TFormLogowanie::FormShow() {
    EditHaslo->clear();
    EditUzytkownik->setFocus();
}

TFormZmianaHasla::TFormZmianaHasla(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormZmianaHasla"));
    setWindowTitle(QStringLiteral("Logowanie administratora"));
    EditAktualneHaslo = Haslo(this, "EditAktualneHaslo");
    EditNoweHaslo = Haslo(this, "EditNoweHaslo");
    EditNoweHaslo2 = Haslo(this, "EditNoweHaslo2");
    ButtonZmien = Przycisk(this, "ButtonZmien", QStringLiteral("&Zmień"), true);
    ButtonAnuluj = Przycisk(this, "ButtonAnuluj", QStringLiteral("&Anuluj"), false);
    auto* pola = new QFormLayout;
    pola->addRow(QStringLiteral("Aktualne hasło"), EditAktualneHaslo);
    pola->addRow(QStringLiteral("Nowe hasło"), EditNoweHaslo);
    pola->addRow(QStringLiteral("Nowe hasło ponownie"), EditNoweHaslo2);
    Uloz(this, pola, ButtonZmien, ButtonAnuluj);
}

int TFormZmianaHasla::Pokaz() {
    FormShow();
    return WykonajModalnie(*this);
}

void TFormZmianaHasla::FormShow() {
    EditAktualneHaslo->clear();
    EditNoweHaslo->clear();
    EditNoweHaslo2->clear();
    EditAktualneHaslo->setFocus();
}
