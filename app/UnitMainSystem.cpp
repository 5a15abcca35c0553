// Starting and stopping the running system, and the 10 ms logic timer with
// its statistics, rentals, scheduled backup and bus indicator.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <climits>

#include "app/Dzwieki.h"
#include "app/UnitBackupRestore.h"
#include "app/UnitMain.h"
#include "app/UnitOptions.h"
#include "app/UnitStatus.h"
#include "cloud/TDMCloud.h"
#include "core/KontrolaTekstu.h"
#include "core/Mozg.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Miejsce_Parkingowe.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Uzytkownik_Urzadzenie.h"
#include "core/Objects_globals.h"
#include "core/TCPUMonitor.h"
#include "core/ZapiszWyjatek.h"
#include "database/OdczytajBaze.h"
#include "database/TDM.h"
#include "database/Wersje.h"
#include "devices/Object_Enkoder.h"
#include "platform/db/DbError.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/IkonaTray.h"

namespace ui = platform::ui;

namespace {

constexpr int SystemUruchomiony = 27;
constexpr int SystemZatrzymany = 28;

int Liczba(const QLineEdit* pole, int zamiast) {
    return TekstNaLiczbeWZakresie(pole->text().toStdString(), INT_MIN, INT_MAX, zamiast);
}

} // namespace

bool TFormMain::UruchomZatrzymajSystem(int tryb) {
    if (FormProgramowanieCentrale) {
        ui::MessageBox(this, QStringLiteral("Błąd komunikacji"),
                       QStringLiteral("Programowanie central w trakcie.\nNie można teraz zatrzymać systemu."),
                       ui::Icon::Error);
        return false;
    }
    if (!BazaAktualna()) {
        KomunikatWersjiBazy(2);
        MenuAktualizacjaBazy->setEnabled(true);
        return false;
    }
    const bool dziala = MozgIsRunning();
    if ((tryb == 1 && dziala) || (tryb == 0 && !dziala))
        return true;
    if (dziala) {
        if (!WymagajUprawnien()) {
            ui::MessageBox(this, QStringLiteral("Zatrzymanie systemu"),
                           QStringLiteral("Trzeba się zalogować, aby zatrzymać system."), ui::Icon::Error);
            return false;
        }
        if (ui::MessageBox(this, QStringLiteral("Zatrzymanie systemu"), QStringLiteral("Czy chcesz zatrzymać system?"),
                           ui::Icon::Question, ui::Yes | ui::No, ui::Yes) != ui::Yes)
            return false;
        Zatrzymaj();
    } else if (!Uruchom()) {
        return false;
    }
    OdswiezOknaPoZmianie();
    UstawStanSystemu();
    return true;
}

// A configuration that cannot be read (the server gone, a table refused)
// leaves the system stopped with the model it had.
bool TFormMain::Uruchom() {
    Kosz->Oproznij();
    Probkuj("SystemStart");
    try {
        OdczytajBaze();
    } catch (const std::exception& wyjatek) {
        ZapiszWyjatek(wyjatek, "UnitMain", __LINE__);
        return false;
    }
    if (DMCloud)
        DMCloud->rentalsChanged = true;
    Objects_Przejazdy::ZapiszZdarzenie(SystemUruchomiony, nullptr, nullptr, nullptr, 0);
    Probkuj("OdczytajBaze");
    MozgStart();
    Probkuj("UruchomSystem");
    if (DMCloud)
        DMCloud->Start();
    Probkuj("DMCloudStart");
    Objects_Enkodery::Wznow();
    return true;
}

void TFormMain::Zatrzymaj() {
    Objects_Przejazdy::ZapiszZdarzenie(SystemZatrzymany, nullptr, nullptr, nullptr, 0);
    Objects_Enkodery::Wstrzymaj();
    if (DMCloud)
        DMCloud->Stop();
    MozgStop();
    AktywneDzwieki.clear();
    if (odtwarzacz_)
        odtwarzacz_->Zatrzymaj();
}

void TFormMain::OdswiezOknaPoZmianie() {
    if (OknoWejscia)
        OknoWejscia->UstawWiersze();
    if (OknoPrzyciski)
        OknoPrzyciski->Przeladuj();
    if (OknoWyjscia)
        OknoWyjscia->UstawWiersze();
    for (OknoPodgladu* okno : {OknoZdarzenia, OknoZdarzeniaCentrali, OknoZdarzeniaAktywne})
        if (okno)
            okno->Odswiez();
    if (OknoWizualizacja)
        OknoWizualizacja->OdswiezZdarzenia();
    for (OknoPodgladu* okno : {OknoBramy, OknoPrzejazdy, OknoCzytniki, OknoDiagnostyka})
        if (okno)
            okno->Odswiez();
}

void TFormMain::UstawStanSystemu() {
    const bool dziala = MozgIsRunning();
    const QString stan = dziala ? QStringLiteral("Uruchomiony") : QStringLiteral("Zatrzymany");
    ui::IkonaTrayZmien(QApplication::windowIcon(), stan);
    Panel2->setText(stan);
    MenuUruchamianie->setText(dziala ? QStringLiteral("Zatrzymaj system") : QStringLiteral("Uruchom system"));
}

// Only the operator's command opens the diagnostics and asks the cloud
// checks: a start by autostart or by the cloud leaves them as they were.
void TFormMain::MenuUruchamianieClick() {
    Probkuj("Uruchamianie");
    UruchomZatrzymajSystem(255);
    MenuDiagnostyka->setEnabled(MozgIsRunning());
    if (!MozgIsRunning())
        return;
    Probkuj("SystemAktywny");
    UruchomSerwerEnkoderow();
    Probkuj("NasłuchiwanieEnkoderow");
    SprawdzMiejscaDoSynchronizacji();
    SprawdzUrzadzeniaDoSynchronizacji();
}

void TFormMain::SprawdzWatki() {
    Probkuj("SprawdzWatki");
    if (OknoStatus && CPUMonitor)
        OknoStatus->OdswiezStatus(*CPUMonitor);
}

void TFormMain::SprawdzMiejscaDoSynchronizacji() {
    if (!DMCloud || !MiejscaParkingowe)
        return;
    for (int i = 0; i < MiejscaParkingowe->Rozmiar(); ++i) {
        const auto* m = static_cast<const Object_Miejsce_Parkingowe*>(MiejscaParkingowe->Element(i));
        if ((m->DoWynajecia && m->IdParkingPlaceCloud == 0) || (!m->DoWynajecia && m->IdParkingPlaceCloud > 0)) {
            DMCloud->parkingPlacesChanged = true;
            return;
        }
    }
}

void TFormMain::SprawdzUrzadzeniaDoSynchronizacji() {
    if (!DMCloud || !UzytkownicyUrzadzenia)
        return;
    for (int i = 0; i < UzytkownicyUrzadzenia->Rozmiar(); ++i) {
        const auto* u = static_cast<const Object_Uzytkownik_Urzadzenie*>(UzytkownicyUrzadzenia->Element(i));
        if (u->IdUserDeviceCloud == 0 || u->Email.empty() || u->DataCzasAktualizacji == DataCzas{}) {
            DMCloud->usersDevicesChanged = true;
            return;
        }
    }
}

void TFormMain::UstawStanBazy() {
    const bool nieodpowiada = DM && DM->Pisarz.SerwerNieodpowiada();
    if (nieodpowiada == bazaNieodpowiada_)
        return;
    bazaNieodpowiada_ = nieodpowiada;
    Panel0->setText(nieodpowiada
                        ? QStringLiteral("Serwer bazy danych nie odpowiada: zdarzenia czekają na zapis.")
                        : QStringLiteral("Serwer bazy danych znów odpowiada."));
}

void TFormMain::TimerMozgTimer() {
    UstawStanBazy();
    if (!MozgIsRunning())
        return;
    QDateTime teraz = zegar_();
    ++takty_;
    if (teraz.time().second() != sekunda_) {
        // The status window shows the counters of the second before.
        SprawdzWatki();
        sekunda_ = teraz.time().second();
        if (OknoStatus) {
            OknoStatus->TaktyNaSekunde = takty_;
            OknoStatus->SredniCzasTaktu = czasTaktow_ / takty_;
            OknoStatus->CzasSynchronizacji = czasWynajmu_;
        }
        takty_ = czasTaktow_ = czasWynajmu_ = 0;
    }
    if (teraz.time().minute() != minuta_) {
        if (DMCloud)
            DMCloud->rentalsChanged = true;
        minuta_ = teraz.time().minute();
    }
    if (DMCloud && DMCloud->rentalsChanged) {
        QElapsedTimer czas;
        czas.start();
        DM->SynchronizujWynajemMiejsc();
        if (OknoMiejscaParkingowe)
            OknoMiejscaParkingowe->Odswiez();
        czasWynajmu_ = static_cast<int>(czas.elapsed());
        DMCloud->rentalsChanged = false;
    }
    QElapsedTimer krok;
    krok.start();
    MozgTick();
    czasTaktow_ += static_cast<int>(krok.elapsed());

    teraz = zegar_();
    KopiaZaplanowana(teraz);

    const bool byl = BladMagistrali;
    BladMagistrali = false;
    for (int i = 0; i < Magistrale->Rozmiar() && !BladMagistrali; ++i) {
        const auto* m = static_cast<const Object_Magistrala*>(Magistrale->Element(i));
        BladMagistrali = m->BladWPrzebiegu || !m->PortOtwarty();
    }
    if (BladMagistrali != byl)
        UstawPanel1();
}

// At most once a calendar day, at the options' hour and minute: the date is
// stored at the first matching tick even when the day is not chosen. The
// backup runs beside the timer, which goes on ticking.
void TFormMain::KopiaZaplanowana(const QDateTime& teraz) {
    if (!FormOptions || FormOptions->isVisible())
        return;
    if (teraz.time().hour() != Liczba(FormOptions->EditKopiaGodzina, 2) ||
        teraz.time().minute() != Liczba(FormOptions->EditKopiaMinuty, 0))
        return;
    const QDate data = teraz.date();
    if (data.day() == dzienKopii_ && data.month() == miesiacKopii_ && data.year() == rokKopii_)
        return;
    dzienKopii_ = data.day();
    miesiacKopii_ = data.month();
    rokKopii_ = data.year();
    // Qt counts Monday as 1 and Sunday as 7.
    if (!FormOptions->CheckBoxDz[data.dayOfWeek() - 1]->isChecked() || kopia_)
        return;

    auto* kopia = new TFormBackupRestore(nullptr);
    kopia_ = kopia;
    const QString plik = FormOptions->EditFolderKopiiBezpieczenstwa->text() + QStringLiteral("/kopia-") +
                         zegar_().toString(QStringLiteral("yyyy-MM-dd hh-mm-ss")) + QStringLiteral(".kobackup");
    try {
        kopia->UstawParametryBazy(FormOptions->EditDbUser->text(), FormOptions->EditDbPassword->text(),
                                  FormOptions->EditDbName->text(), FormOptions->EditDbAddress->text(),
                                  FormOptions->PortBazy());
        connect(kopia, &TFormBackupRestore::Zakonczono, this,
                [this, kopia, plik](int wynik) { Bezpiecznie([&] { PoKopii(kopia, plik, wynik == 0); }); });
        if (kopia->RozpocznijKopie(plik, true))
            return;
    } catch (const std::exception& wyjatek) {
        ZapiszWyjatek(wyjatek, "UnitMain", 1994);
    }
    PoKopii(kopia, plik, false);
}

// The upload goes to the running cloud module, whose worker sends it; the
// deletion of old events waits until the backup has ended, and happens only
// when it succeeded: a failed backup does not hold the events it would
// delete.
void TFormMain::PoKopii(TFormBackupRestore* kopia, const QString& plik, bool udana) {
    if (udana && DMCloud && DMCloud->IsReady()) {
        try {
            DMCloud->QueueSendBackup(plik.toStdString(), 0, 0, 0);
        } catch (const std::exception& wyjatek) {
            ZapiszWyjatek(wyjatek, "UnitMain", 1985);
        }
    }
    kopia->deleteLater();
    if (kopia_ == kopia)
        kopia_ = nullptr;
    if (udana && FormOptions->CheckBoxUsuwanieZdarzen->isChecked())
        UsunStareZdarzenia();
}

// The days are bound as an integer; a text that is not a positive number
// deletes nothing rather than everything up to today.
void TFormMain::UsunStareZdarzenia() {
    const QString tekst = FormOptions->EditUsuwanieZdarzenDni->text();
    const int dni = TekstNaLiczbeWZakresie(tekst.trimmed().toStdString(), 1, INT_MAX, 0);
    if (dni <= 0) {
        ZapiszWyjatek("events not deleted: the number of days \"" + tekst.toStdString() +
                          "\" is not a positive whole number",
                      "UnitMain", 2008);
        return;
    }
    // A large log takes a while to delete: the writer does it, beside the
    // tick and after the rows handed to it before.
    DM->Pisarz.Wykonaj("DELETE FROM zdarzenia WHERE dataczaswystapienie<=CURRENT_DATE-" + std::to_string(dni),
                       std::chrono::minutes(10), "UnitMain", 2008);
}
