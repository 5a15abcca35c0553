#include "app/UnitOptions.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>

#include <climits>
#include <cstdlib>

#include "cloud/TDMCloud.h"
#include "core/KontrolaTekstu.h"
#include "core/Objects_globals.h"
#include "core/ZapiszWyjatek.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "platform/registry/Registry.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/PozycjaOkna.h"

namespace ui = platform::ui;
using platform::registry::Registry;

namespace {

const char* const kDni[7] = {"Pn", "Wt", "Śr", "Cz", "Pt", "So", "Nd"};

int Liczba(const QString& tekst, int zamiast) {
    return TekstNaLiczbeWZakresie(tekst.toStdString(), INT_MIN, INT_MAX, zamiast);
}

QLineEdit* Edycja(QWidget* rodzic, const char* nazwa, const QString& tekst, int cyfr = 0) {
    auto* edycja = new QLineEdit(tekst, rodzic);
    edycja->setObjectName(QString::fromLatin1(nazwa));
    if (cyfr > 0) {
        edycja->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edycja));
        edycja->setMaxLength(cyfr);
    }
    return edycja;
}

QCheckBox* Pole(QWidget* rodzic, const char* nazwa, const QString& tekst) {
    auto* pole = new QCheckBox(tekst, rodzic);
    pole->setObjectName(QString::fromLatin1(nazwa));
    return pole;
}

QPushButton* Przycisk(QWidget* rodzic, const char* nazwa, const QString& tekst) {
    auto* przycisk = new QPushButton(tekst, rodzic);
    przycisk->setObjectName(QString::fromLatin1(nazwa));
    return przycisk;
}

QString Tekst(const std::optional<std::string>& wartosc) {
    return QString::fromStdString(wartosc.value_or(std::string()));
}

// The program as its autostart entry names it.
QString SciezkaProgramu() {
    return QCoreApplication::applicationFilePath();
}

} // namespace

TFormOptions::TFormOptions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(QStringLiteral("Opcje"));
    Zbuduj();
    // The registry accessor lives as long as the window.
    rejestr_ = std::make_unique<Registry>();
    WczytajOpcje();
}

TFormOptions::~TFormOptions() = default;

void TFormOptions::Zbuduj() {
    // Start-up tests and unusual set-ups point the program at another server.
    const char* serwer = std::getenv("KANDOR_DB_HOST");
    const char* port = std::getenv("KANDOR_DB_PORT");

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));

    // "Ogólne"
    auto* ogolne = new QWidget;
    CheckBoxAutoStart = Pole(ogolne, "CheckBoxAutoStart", QStringLiteral("Uruchom Kandoro wraz ze startem Windows"));
    auto* baza = new QGroupBox(QStringLiteral("Baza danych"), ogolne);
    EditDbAddress = Edycja(baza, "EditDbAddress", serwer && *serwer ? QString::fromLocal8Bit(serwer) : "127.0.0.1");
    EditDbPort = Edycja(baza, "EditDbPort", port && *port ? QString::fromLocal8Bit(port) : "12345", 5);
    EditDbName = Edycja(baza, "EditDbName", QStringLiteral("kandor"));
    EditDbUser = Edycja(baza, "EditDbUser", QStringLiteral("kandor"));
    EditDbPassword = Edycja(baza, "EditDbPassword", QStringLiteral("vemtis"));
    EditDbPassword->setEchoMode(QLineEdit::Password);
    auto* bazaUklad = new QFormLayout(baza);
    bazaUklad->addRow(QStringLiteral("Adres serwera PostgreSQL"), EditDbAddress);
    bazaUklad->addRow(QStringLiteral("Port serwera baz danych"), EditDbPort);
    bazaUklad->addRow(QStringLiteral("Nazwa bazy"), EditDbName);
    bazaUklad->addRow(QStringLiteral("Użytkownik bazy danych"), EditDbUser);
    bazaUklad->addRow(QStringLiteral("Hasło użytkownika"), EditDbPassword);
    CheckBoxSystemAutostart =
        Pole(ogolne, "CheckBoxSystemAutostart", QStringLiteral("Uruchom system po uruchomieniu Kandoro"));
    auto* ogolneUklad = new QVBoxLayout(ogolne);
    ogolneUklad->addWidget(CheckBoxAutoStart);
    ogolneUklad->addWidget(baza);
    ogolneUklad->addWidget(CheckBoxSystemAutostart);
    ogolneUklad->addStretch();
    PageControl->addTab(ogolne, QStringLiteral("Ogólne"));

    // "Kopia bazy"
    auto* kopia = new QWidget;
    auto* folder = new QGroupBox(QStringLiteral("Wykonuj automatycznie kopie bazy do folderu"), kopia);
    EditFolderKopiiBezpieczenstwa = Edycja(folder, "EditFolderKopiiBezpieczenstwa",
                                           QString::fromStdString(FolderDokumentow()));
    ButtonFolderKopiiBezpieczenstwa = Przycisk(folder, "ButtonFolderKopiiBezpieczenstwa", QStringLiteral("&Wybierz"));
    auto* folderUklad = new QHBoxLayout(folder);
    folderUklad->addWidget(EditFolderKopiiBezpieczenstwa);
    folderUklad->addWidget(ButtonFolderKopiiBezpieczenstwa);
    auto* dni = new QGroupBox(QStringLiteral("Kopie wykonuj w dniach"), kopia);
    auto* dniUklad = new QHBoxLayout(dni);
    for (int i = 0; i < 7; ++i) {
        const std::string nazwa = "CheckBoxDz" + std::to_string(i + 1);
        CheckBoxDz[i] = Pole(dni, nazwa.c_str(), QString::fromUtf8(kDni[i]));
        dniUklad->addWidget(CheckBoxDz[i]);
    }
    auto* godzina = new QGroupBox(QStringLiteral("O godzinie"), kopia);
    EditKopiaGodzina = Edycja(godzina, "EditKopiaGodzina", QStringLiteral("0"), 2);
    EditKopiaMinuty = Edycja(godzina, "EditKopiaMinuty", QStringLiteral("0"), 2);
    auto* godzinaUklad = new QHBoxLayout(godzina);
    godzinaUklad->addWidget(EditKopiaGodzina);
    godzinaUklad->addWidget(new QLabel(QStringLiteral(":"), godzina));
    godzinaUklad->addWidget(EditKopiaMinuty);
    auto* konserwacja = new QGroupBox(QStringLiteral("Konserwacja bazy"), kopia);
    CheckBoxUsuwanieZdarzen = Pole(konserwacja, "CheckBoxUsuwanieZdarzen",
                                   QStringLiteral("Po wykonaniu kopii bazy usuń zdarzenia sprzed dni"));
    EditUsuwanieZdarzenDni = Edycja(konserwacja, "EditUsuwanieZdarzenDni", QStringLiteral("60"), 10);
    auto* konserwacjaUklad = new QHBoxLayout(konserwacja);
    konserwacjaUklad->addWidget(CheckBoxUsuwanieZdarzen);
    konserwacjaUklad->addWidget(EditUsuwanieZdarzenDni);
    auto* kopiaUklad = new QVBoxLayout(kopia);
    kopiaUklad->addWidget(folder);
    kopiaUklad->addWidget(dni);
    kopiaUklad->addWidget(godzina);
    kopiaUklad->addWidget(konserwacja);
    kopiaUklad->addStretch();
    PageControl->addTab(kopia, QStringLiteral("Kopia bazy"));

    // "Wizualizacje"
    auto* wizualizacje = new QWidget;
    auto* wizualizacja3d = new QGroupBox(QStringLiteral("Wizualizacja 3D"), wizualizacje);
    EditWizualizacjaMonitor = Edycja(wizualizacja3d, "EditWizualizacjaMonitor", QStringLiteral("1"));
    LabelMonitors = new QLabel(wizualizacja3d);
    LabelMonitors->setObjectName(QStringLiteral("LabelMonitors"));
    auto* wizualizacja3dUklad = new QFormLayout(wizualizacja3d);
    wizualizacja3dUklad->addRow(QStringLiteral("Okno wizualizacji pokaż na monitorze"), EditWizualizacjaMonitor);
    wizualizacja3dUklad->addRow(LabelMonitors);
    auto* przyciski = new QGroupBox(QStringLiteral("Parametry przycisków"), wizualizacje);
    EditPrzyciskiSzerokosc = Edycja(przyciski, "EditPrzyciskiSzerokosc", QString());
    EditPrzyciskiWysokosc = Edycja(przyciski, "EditPrzyciskiWysokosc", QString());
    BtnPrzyciskiWielkoscCzcionki = Przycisk(przyciski, "BtnPrzyciskiWielkoscCzcionki", QStringLiteral("8"));
    auto* przyciskiUklad = new QFormLayout(przyciski);
    przyciskiUklad->addRow(QStringLiteral("Minimlna szerokość przycisków"), EditPrzyciskiSzerokosc);
    przyciskiUklad->addRow(QStringLiteral("Wysokość przycisków"), EditPrzyciskiWysokosc);
    przyciskiUklad->addRow(QStringLiteral("Wielkość czcionki przycisków"), BtnPrzyciskiWielkoscCzcionki);
    auto* zdarzenia = new QGroupBox(QStringLiteral("Parametry zdarzeń"), wizualizacje);
    BtnWielkoscCzcionkiZdarzen = Przycisk(zdarzenia, "BtnWielkoscCzcionkiZdarzen", QStringLiteral("8"));
    CheckBoxZdarzeniaMalejaco =
        Pole(zdarzenia, "CheckBoxZdarzeniaMalejaco", QStringLiteral("Najnowsze zdarzenia na górze"));
    auto* zdarzeniaUklad = new QFormLayout(zdarzenia);
    zdarzeniaUklad->addRow(QStringLiteral("Wielkość czcionki"), BtnWielkoscCzcionkiZdarzen);
    zdarzeniaUklad->addRow(CheckBoxZdarzeniaMalejaco);
    auto* wizualizacjeUklad = new QVBoxLayout(wizualizacje);
    wizualizacjeUklad->addWidget(wizualizacja3d);
    wizualizacjeUklad->addWidget(przyciski);
    wizualizacjeUklad->addWidget(zdarzenia);
    wizualizacjeUklad->addStretch();
    PageControl->addTab(wizualizacje, QStringLiteral("Wizualizacje"));

    // "Chmura"
    auto* chmura = new QWidget;
    auto* identyfikacja = new QGroupBox(QStringLiteral("Identyfikacja"), chmura);
    EditCloudAddress = Edycja(identyfikacja, "EditCloudAddress", QString());
    EditFacilityId = Edycja(identyfikacja, "EditFacilityId", QString());
    EditFacilityId->setReadOnly(true);
    EditFacilityId->setMaxLength(255);
    ButtonCloudConnect = Przycisk(identyfikacja, "ButtonCloudConnect", QStringLiteral("&Połącz"));
    auto* identyfikacjaUklad = new QFormLayout(identyfikacja);
    identyfikacjaUklad->addRow(QStringLiteral("Adres chmury"), EditCloudAddress);
    identyfikacjaUklad->addRow(QStringLiteral("ID obiektu"), EditFacilityId);
    identyfikacjaUklad->addRow(ButtonCloudConnect);
    auto* https = new QGroupBox(QStringLiteral("Wbudowany serwer HTTPS do integracji"), chmura);
    EditFacilityPort = Edycja(https, "EditFacilityPort", QStringLiteral("443"), 5);
    EditFacilityPort->setToolTip(QStringLiteral("Port, na którym system nasłuchuje połączeń HTTPS (integracja z "
                                                "aplikacjami do interakcji z systemem i urządzeniami)"));
    EditCertFile = Edycja(https, "EditCertFile", QString());
    EditCertFile->setToolTip(QStringLiteral("Certyfikat SSL dla wbudowanego serwera HTTPS"));
    ButtonCertFile = Przycisk(https, "ButtonCertFile", QStringLiteral("..."));
    EditKeyFile = Edycja(https, "EditKeyFile", QString());
    EditKeyFile->setMaxLength(255);
    EditKeyFile->setToolTip(QStringLiteral("Klucz prywatny certyfikatu SSL do wbudowanego serwera HTTPS"));
    ButtonKeyFile = Przycisk(https, "ButtonKeyFile", QStringLiteral("..."));
    auto* certyfikat = new QHBoxLayout;
    certyfikat->addWidget(EditCertFile);
    certyfikat->addWidget(ButtonCertFile);
    auto* klucz = new QHBoxLayout;
    klucz->addWidget(EditKeyFile);
    klucz->addWidget(ButtonKeyFile);
    auto* httpsUklad = new QFormLayout(https);
    httpsUklad->addRow(QStringLiteral("Port zewnętrzny instalacji"), EditFacilityPort);
    httpsUklad->addRow(QStringLiteral("Plik certyfikatu SSL"), certyfikat);
    httpsUklad->addRow(QStringLiteral("Plik klucza SSL"), klucz);
    auto* aktualizacja = new QGroupBox(QStringLiteral("Aktualizacja ustawień na chmurze"), chmura);
    ButtonSendBackupSchedule = Przycisk(aktualizacja, "ButtonSendBackupSchedule", QStringLiteral("Wyślij"));
    auto* aktualizacjaUklad = new QFormLayout(aktualizacja);
    aktualizacjaUklad->addRow(QStringLiteral("Harmonogram kopii bazy"), ButtonSendBackupSchedule);
    auto* chmuraUklad = new QVBoxLayout(chmura);
    chmuraUklad->addWidget(identyfikacja);
    chmuraUklad->addWidget(https);
    chmuraUklad->addWidget(aktualizacja);
    chmuraUklad->addStretch();
    PageControl->addTab(chmura, QStringLiteral("Chmura"));

    // "Urządzenia sieciowe"
    auto* urzadzenia = new QWidget;
    auto* enkodery = new QGroupBox(QStringLiteral("Enkodery"), urzadzenia);
    EditEncoderPort = Edycja(enkodery, "EditEncoderPort", QStringLiteral("5400"), 10);
    EditEncoderPort->setToolTip(QStringLiteral("Określa port, na którym system nasłuchuje połączeń i zdarzeń od "
                                               "enkoderów w sieci lokalnej instalacji"));
    auto* enkoderyUklad = new QFormLayout(enkodery);
    enkoderyUklad->addRow(QStringLiteral("Port nasłuchiwania"), EditEncoderPort);
    auto* urzadzeniaUklad = new QVBoxLayout(urzadzenia);
    urzadzeniaUklad->addWidget(enkodery);
    urzadzeniaUklad->addStretch();
    PageControl->addTab(urzadzenia, QStringLiteral("Urządzenia sieciowe"));

    ButtonOk = Przycisk(this, "ButtonOk", QStringLiteral("OK"));
    ButtonOk->setDefault(true);
    ButtonCancel = Przycisk(this, "ButtonCancel", QStringLiteral("Anuluj"));
    auto* dol = new QHBoxLayout;
    dol->addStretch();
    dol->addWidget(ButtonOk);
    dol->addWidget(ButtonCancel);
    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(PageControl);
    uklad->addLayout(dol);

    connect(ButtonOk, &QPushButton::clicked, this, &TFormOptions::ButtonOkClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormOptions::ButtonCancelClick);
    connect(ButtonFolderKopiiBezpieczenstwa, &QPushButton::clicked, this,
            &TFormOptions::ButtonFolderKopiiBezpieczenstwaClick);
    connect(BtnPrzyciskiWielkoscCzcionki, &QPushButton::clicked, this,
            &TFormOptions::BtnPrzyciskiWielkoscCzcionkiClick);
    connect(BtnWielkoscCzcionkiZdarzen, &QPushButton::clicked, this, &TFormOptions::BtnWielkoscCzcionkiZdarzenClick);
    connect(ButtonCertFile, &QPushButton::clicked, this, &TFormOptions::ButtonCertFileClick);
    connect(ButtonKeyFile, &QPushButton::clicked, this, &TFormOptions::ButtonKeyFileClick);
    connect(ButtonCloudConnect, &QPushButton::clicked, this, &TFormOptions::ButtonCloudConnectClick);
    connect(ButtonSendBackupSchedule, &QPushButton::clicked, this, &TFormOptions::ButtonSendBackupScheduleClick);
    connect(EditCertFile, &QLineEdit::editingFinished, this, [this] { EditCertKeyFileExit(EditCertFile); });
    for (QLineEdit* edycja : {EditUsuwanieZdarzenDni, EditWizualizacjaMonitor, EditPrzyciskiSzerokosc,
                              EditPrzyciskiWysokosc, EditCloudAddress, EditFacilityId, EditFacilityPort,
                              EditEncoderPort})
        connect(edycja, &QLineEdit::editingFinished, this, &TFormOptions::EditWizualizacjaMonitorExit);
}

void TFormOptions::WczytajOpcje() {
    Registry& rejestr = *rejestr_;
    if (rejestr.openKey(platform::registry::RunKey, false)) {
        const auto wpis = rejestr.readString(WpisAutostartu);
        CheckBoxAutoStart->setChecked(
            wpis && QString::fromStdString(platform::registry::AutostartProgram(*wpis)) == SciezkaProgramu());
        rejestr.closeKey();
    }
    if (!rejestr.openKey(ui::KluczUstawien, false))
        return;

    const auto flaga = [&](const char* nazwa, QCheckBox* pole) {
        if (const auto wartosc = rejestr.readInteger(nazwa))
            pole->setChecked(*wartosc != 0);
    };
    const auto liczba = [&](const char* nazwa, auto* kontrolka) {
        if (const auto wartosc = rejestr.readInteger(nazwa))
            kontrolka->setText(QString::number(*wartosc));
    };
    const auto tekst = [&](const char* nazwa, QLineEdit* edycja) {
        if (const auto wartosc = rejestr.readString(nazwa))
            edycja->setText(QString::fromStdString(*wartosc));
    };

    flaga("SystemAutostart", CheckBoxSystemAutostart);
    tekst("FolderKopiiBezpieczenstwa", EditFolderKopiiBezpieczenstwa);
    const int dni = rejestr.readInteger("DniKopiiBezpieczenstwa").value_or(0);
    for (int i = 0; i < 7; ++i)
        CheckBoxDz[i]->setChecked(dni & (1 << i));
    if (const auto godzina = rejestr.readString("GodzinaKopiiBezpieczenstwa"))
        CzytajGodzine(QString::fromStdString(*godzina));
    liczba("WizualizacjaMonitor", EditWizualizacjaMonitor);
    flaga("UsuwajZdarzenia", CheckBoxUsuwanieZdarzen);
    liczba("UsuwajZdarzeniaDni", EditUsuwanieZdarzenDni);
    liczba("PrzyciskiSzerokosc", EditPrzyciskiSzerokosc);
    liczba("PrzyciskiWysokosc", EditPrzyciskiWysokosc);
    liczba("PrzyciskiWielkoscCzcionki", BtnPrzyciskiWielkoscCzcionki);
    liczba("ZdarzeniaWielkoscCzcionki", BtnWielkoscCzcionkiZdarzen);
    flaga("ZdarzeniaMalejaco", CheckBoxZdarzeniaMalejaco);
    tekst("CloudAddress", EditCloudAddress);
    if (EditCloudAddress->text().isEmpty())
        EditCloudAddress->setText(QString::fromLatin1(DomyslnyAdresChmury));
    tekst("FacilityId", EditFacilityId);
    FacilityKey = Tekst(rejestr.readString("FacilityKey"));
    liczba("FacilityPort", EditFacilityPort);
    tekst("CertFile", EditCertFile);
    tekst("KeyFile", EditKeyFile);
    liczba("EncoderPort", EditEncoderPort);
    // The controllers' master door code; a missing or impossible value
    // keeps theirs.
    if (const auto kod = rejestr.readInteger("KodGlowny"); kod && *kod >= 0 && *kod <= 0xFFFF && Centrale)
        Centrale->KodGlowny = static_cast<std::uint16_t>(*kod);
    rejestr.closeKey();
}

// The hour is the text before the first ':', the minutes the two
// characters after it; without ':' the minutes are the second and third
// characters. Each is 0 when it is not a number.
void TFormOptions::CzytajGodzine(const QString& tekst) {
    const qsizetype dwukropek = tekst.indexOf(':');
    const QString godzina = dwukropek >= 0 ? tekst.left(dwukropek) : QString();
    const QString minuty = dwukropek >= 0 ? tekst.mid(dwukropek + 1, 2) : tekst.mid(1, 2);
    EditKopiaGodzina->setText(QString::number(Liczba(godzina, 0)));
    EditKopiaMinuty->setText(QString::number(Liczba(minuty, 0)));
}

int TFormOptions::MaskaDni() const {
    int maska = 0;
    for (int i = 0; i < 7; ++i)
        if (CheckBoxDz[i]->isChecked())
            maska |= 1 << i;
    return maska;
}

unsigned TFormOptions::PortBazy() const {
    return static_cast<unsigned>(TekstNaLiczbeWZakresie(EditDbPort->text().toStdString(), 0, 65535, 0));
}

void TFormOptions::ButtonOkClick() {
    const int maska = MaskaDni();
    const QString folder = EditFolderKopiiBezpieczenstwa->text();
    const QString naglowek = QStringLiteral("Wskaż folder kopii bazy danych");
    if (maska != 0 && folder.isEmpty()) {
        ui::MessageBox(this, naglowek,
                       QStringLiteral("W przypadku wybrania dnia wykonywania kopii bazy danych, należy wskazać folder "
                                      "wykonywania kopii bezpieczeństwa bazy danych."),
                       ui::Icon::Warning);
        return;
    }
    if (!QFileInfo(folder).isAbsolute() || folder.isEmpty()) {
        ui::MessageBox(this, naglowek,
                       QStringLiteral("Nalezy wskazać bezwzględną ścieżkę folderu kopii bezpieczeństwa bazy danych np. "
                                      "d:\\kopia."),
                       ui::Icon::Warning);
        return;
    }

    Registry& rejestr = *rejestr_;
    if (rejestr.openKey(platform::registry::RunKey, true)) {
        if (CheckBoxAutoStart->isChecked())
            rejestr.writeString(WpisAutostartu,
                                platform::registry::AutostartCommand(SciezkaProgramu().toStdString(), "/as"));
        else if (rejestr.valueExists(WpisAutostartu))
            rejestr.deleteValue(WpisAutostartu);
        rejestr.closeKey();
    }

    if (rejestr.openKey(ui::KluczUstawien, true)) {
        const auto liczba = [&](const char* nazwa, const QString& tekst, int zamiast) {
            rejestr.writeInteger(nazwa, Liczba(tekst, zamiast));
        };
        rejestr.writeInteger("SystemAutostart", CheckBoxSystemAutostart->isChecked() ? 1 : 0);
        rejestr.writeString("FolderKopiiBezpieczenstwa", folder.toStdString());
        rejestr.writeInteger("DniKopiiBezpieczenstwa", maska);
        rejestr.writeString("GodzinaKopiiBezpieczenstwa",
                            (EditKopiaGodzina->text() + ':' + EditKopiaMinuty->text()).toStdString());
        liczba("WizualizacjaMonitor", EditWizualizacjaMonitor->text(), 1);
        rejestr.writeInteger("UsuwajZdarzenia", CheckBoxUsuwanieZdarzen->isChecked() ? 1 : 0);
        liczba("UsuwajZdarzeniaDni", EditUsuwanieZdarzenDni->text(), 0);
        liczba("PrzyciskiSzerokosc", EditPrzyciskiSzerokosc->text(), 0);
        liczba("PrzyciskiWysokosc", EditPrzyciskiWysokosc->text(), 40);
        liczba("PrzyciskiWielkoscCzcionki", BtnPrzyciskiWielkoscCzcionki->text(),
               BtnPrzyciskiWielkoscCzcionki->font().pointSize());
        liczba("ZdarzeniaWielkoscCzcionki", BtnWielkoscCzcionkiZdarzen->text(),
               BtnWielkoscCzcionkiZdarzen->font().pointSize());
        rejestr.writeInteger("ZdarzeniaMalejaco", CheckBoxZdarzeniaMalejaco->isChecked() ? 1 : 0);
        rejestr.writeString("CloudAddress", EditCloudAddress->text().toStdString());
        if (DMCloud)
            DMCloud->SetCredentials(EditCloudAddress->text().toStdString(), EditFacilityId->text().toStdString(),
                                    FacilityKey.toStdString());
        liczba("FacilityPort", EditFacilityPort->text(), 443);
        liczba("EncoderPort", EditEncoderPort->text(), 5400);
        rejestr.writeString("CertFile", EditCertFile->text().toStdString());
        rejestr.writeString("KeyFile", EditKeyFile->text().toStdString());
        rejestr.closeKey();
    }
    accept();
}

void TFormOptions::ButtonCancelClick() {
    reject();
}

void TFormOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LabelMonitors->setText(QStringLiteral("Wykryto monitorów: %1").arg(ui::LiczbaMonitorow()));
    EditCertKeyFileExit(EditCertFile);
    EditCertKeyFileExit(EditKeyFile);
}

void TFormOptions::ButtonFolderKopiiBezpieczenstwaClick() {
    const auto folder =
        ui::FolderDialog({this, QStringLiteral("Wybierz folder do tworzenia kopii zapasowych"),
                          QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)});
    if (folder)
        EditFolderKopiiBezpieczenstwa->setText(*folder);
}

void TFormOptions::WybierzCzcionke(QPushButton* przycisk) {
    const int wielkosc = Liczba(przycisk->text(), 8);
    if (const auto czcionka = ui::FontDialog({this, QFont(QStringLiteral("Tahoma"), wielkosc)}))
        przycisk->setText(QString::number(czcionka->pointSize()));
}

void TFormOptions::BtnPrzyciskiWielkoscCzcionkiClick() {
    WybierzCzcionke(BtnPrzyciskiWielkoscCzcionki);
}

void TFormOptions::BtnWielkoscCzcionkiZdarzenClick() {
    WybierzCzcionke(BtnWielkoscCzcionkiZdarzen);
}

void TFormOptions::EditWizualizacjaMonitorExit() {
    if (Liczba(EditWizualizacjaMonitor->text(), 0) <= 0)
        EditWizualizacjaMonitor->setText(QStringLiteral("1"));
}

void TFormOptions::WybierzPlik(QLineEdit* edycja, const QString& filtr) {
    ui::FileDialogRequest prosba;
    prosba.owner = this;
    prosba.kind = ui::FileDialogKind::Open;
    prosba.filter = filtr;
    prosba.start = edycja->text();
    prosba.existingOnly = true;
    if (const auto plik = ui::FileDialog(prosba)) {
        edycja->setText(*plik);
        EditCertKeyFileExit(edycja);
    }
}

void TFormOptions::ButtonCertFileClick() {
    WybierzPlik(EditCertFile, QStringLiteral("*.crt|*.crt"));
}

void TFormOptions::ButtonKeyFileClick() {
    WybierzPlik(EditKeyFile, QStringLiteral("*.key|*.key"));
}

// A warning only: the value is saved as it stands.
void TFormOptions::EditCertKeyFileExit(QLineEdit* edycja) {
    const QString tekst = edycja->text().trimmed();
    edycja->setText(tekst);
    QPalette paleta = EditFacilityPort->palette();
    if (tekst.isEmpty() || !QFileInfo(tekst).isFile())
        paleta.setColor(QPalette::Base, Qt::red);
    edycja->setPalette(paleta);
}

// Joining needs the cloud link's integration, which this build does not
// have yet.
void TFormOptions::ButtonCloudConnectClick() {
    ui::MessageBox(this, QStringLiteral("Integracja"), QStringLiteral("Połączenie z chmurą nie jest dostępne."),
                   ui::Icon::Warning);
}

QStringList TFormOptions::LinieHarmonogramu(int maskaDni, int godzina, int minuty) {
    QStringList linie;
    for (int dzien = 0; dzien < 7; ++dzien)
        if (maskaDni & (1 << dzien))
            linie << QString::asprintf("%d %02d:%02d", dzien + 1, godzina, minuty);
    return linie;
}

void TFormOptions::ButtonSendBackupScheduleClick() {
    const QStringList linie = LinieHarmonogramu(MaskaDni(), Liczba(EditKopiaGodzina->text(), 0),
                                                Liczba(EditKopiaMinuty->text(), 0));
    // The schedule goes through the cloud link's UpdateBackupSchedule; until
    // it exists nothing can be sent and the operator is told so.
    const bool wyslany = false;
    Q_UNUSED(linie);
    if (wyslany)
        ui::MessageBox(this, QStringLiteral("Integracja"),
                       QStringLiteral("Harmonogram został pomyślnie przesłany do chmury."));
    else
        ui::MessageBox(this, QStringLiteral("Błąd integracji"),
                       QStringLiteral("Nie udało się zaktualizować harmonogramu kopii w chmurze."));
}
