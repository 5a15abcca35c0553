#include "app/UnitAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/WersjaProgramu.h"

namespace {

QLabel* Etykieta(QWidget* rodzic, const char* nazwa, const QString& tekst) {
    auto* etykieta = new QLabel(tekst, rodzic);
    etykieta->setObjectName(QString::fromLatin1(nazwa));
    return etykieta;
}

// A link label: blue, underlined, under a hand; the desktop opens it.
QLabel* Odnosnik(QWidget* rodzic, const char* nazwa, const QString& adres) {
    auto* etykieta =
        Etykieta(rodzic, nazwa, QStringLiteral("<a href=\"%1\" style=\"color:blue\">%1</a>").arg(adres));
    etykieta->setTextFormat(Qt::RichText);
    etykieta->setOpenExternalLinks(true);
    etykieta->setCursor(Qt::PointingHandCursor);
    return etykieta;
}

} // namespace

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("O programie"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    LabelName = Etykieta(this, "LabelName", QStringLiteral("Kandoro"));
    QFont duza = LabelName->font();
    duza.setPointSize(24);
    duza.setBold(true);
    LabelName->setFont(duza);
    LabelVer = Etykieta(this, "LabelVer", QStringLiteral("Wersja ") + QString::fromStdString(WersjaProgramu()));
    LabelZarvo = Etykieta(this, "LabelZarvo",
                          QStringLiteral("ZARVO Systemy Kontroli Dostępu - Jan Zarvowski\nWarszawa\nul. Przykładowa 1"));
    LabelMelvor = Etykieta(this, "LabelMelvor",
                           QStringLiteral("Program wykonała na zlecenie ZARVO firma\nMELVOR Oprogramowanie - Anna Melvor"));
    Label2 = Odnosnik(this, "Label2", QStringLiteral("http://www.zarvo.invalid"));
    Label3 = Odnosnik(this, "Label3", QStringLiteral("http://www.melvor.invalid"));
    ButtonOk = new QPushButton(QStringLiteral("&OK"), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    auto* uklad = new QVBoxLayout(this);
    for (QWidget* w : {static_cast<QWidget*>(LabelName), static_cast<QWidget*>(LabelVer),
                       static_cast<QWidget*>(LabelZarvo), static_cast<QWidget*>(Label2),
                       static_cast<QWidget*>(LabelMelvor), static_cast<QWidget*>(Label3),
                       static_cast<QWidget*>(ButtonOk)})
        uklad->addWidget(w);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}
