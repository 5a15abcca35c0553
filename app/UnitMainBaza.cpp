// The "Baza danych" commands: backup, restore, a new database, the import of
// a 1.0 SQL file, the schema upgrade, and the cloud's backup and restore
// requests.
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QLineEdit>

#include <memory>
#include <optional>

#include "app/UnitBackupRestore.h"
#include "app/UnitMain.h"
#include "app/UnitOptions.h"
#include "cloud/TDMCloud.h"
#include "core/Mozg.h"
#include "core/ZapiszWyjatek.h"
#include "database/Database.h"
#include "database/Import.h"
#include "database/TDM.h"
#include "database/Wersje.h"
#include "platform/ui/Dialogs.h"

namespace ui = platform::ui;

namespace {

const QString kFiltrKopii = QStringLiteral("Pliki bazy danych (*.kobackup)|*.kobackup|Wszystkie pliki (*.*)|*.*");
const QString kFiltrSql = QStringLiteral("Pliki SQL (*.sql)|*.sql|Wszystkie pliki (*.*)|*.*");

std::optional<QString> WybierzPlik(QWidget* okno, ui::FileDialogKind rodzaj, const QString& filtr,
                                   const QString& start = {}) {
    ui::FileDialogRequest zadanie;
    zadanie.owner = okno;
    zadanie.kind = rodzaj;
    zadanie.filter = filtr;
    zadanie.start = start;
    zadanie.existingOnly = rodzaj == ui::FileDialogKind::Open;
    return ui::FileDialog(zadanie);
}

} // namespace

void TFormMain::UstawParametryKopii(TFormBackupRestore& okno) const {
    okno.UstawParametryBazy(FormOptions->EditDbUser->text(), FormOptions->EditDbPassword->text(),
                            FormOptions->EditDbName->text(), FormOptions->EditDbAddress->text(),
                            FormOptions->PortBazy());
}

QString TFormMain::NazwaKopii() const {
    return QStringLiteral("kopia-") + zegar_().toString(QStringLiteral("yyyy-MM-dd hh-mm-ss")) +
           QStringLiteral(".kobackup");
}

void TFormMain::MenuBazaKopiaClick() {
    bool doChmury = false;
    if (DMCloud && DMCloud->IsReady())
        doChmury = ui::MessageBox(this, QStringLiteral("Integracja z chmurą"),
                                  QStringLiteral("Czy wysłać kopię bazy do chmury?"), ui::Icon::Question,
                                  ui::Yes | ui::No, ui::Yes) == ui::Yes;
    QString plik;
    if (!WykonajKopieBazy(this, &plik) || !doChmury)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        DMCloud->QueueSendBackup(plik.toStdString(), 0, 0, 0);
    } catch (const std::exception& wyjatek) {
        ZapiszWyjatek(wyjatek, "UnitMain", __LINE__);
    }
    QApplication::restoreOverrideCursor();
}

bool TFormMain::WykonajKopieBazy(QWidget* okno, QString* sciezka) {
    const auto plik = WybierzPlik(okno, ui::FileDialogKind::Save, kFiltrKopii, NazwaKopii());
    if (!plik)
        return false;
    if (sciezka)
        *sciezka = *plik;
    auto kopia = std::make_unique<TFormBackupRestore>(this);
    UstawParametryKopii(*kopia);
    return kopia->WykonajKopie(*plik, false);
}

bool TFormMain::KopiaBazyDoFolderu(QWidget* wlasciciel, QString& sciezka) {
    auto kopia = std::make_unique<TFormBackupRestore>(wlasciciel);
    UstawParametryKopii(*kopia);
    sciezka = FormOptions->EditFolderKopiiBezpieczenstwa->text() + QStringLiteral("/") + NazwaKopii();
    return kopia->WykonajKopie(sciezka, true);
}

// A restore or an import replaces every table under the running logic, so
// the operator is offered the stop first; refusing it ends the command.
bool TFormMain::ZatrzymajPrzedZmianaBazy() {
    return !MozgIsRunning() || UruchomZatrzymajSystem(0);
}

void TFormMain::MenuBazaPrzywrocClick() {
    const auto plik = WybierzPlik(this, ui::FileDialogKind::Open, kFiltrKopii);
    if (!plik || !ZatrzymajPrzedZmianaBazy())
        return;
    {
        auto przywracanie = std::make_unique<TFormBackupRestore>(this);
        UstawParametryKopii(*przywracanie);
        przywracanie->PrzywrocKopie(*plik, false);
    }
    WersjaBazy = KrokWersji();
    if (BazaZnana() && BazaRozpoznana() && !BazaAktualna()) {
        KomunikatWersjiBazy(2);
        MenuAktualizacjaBazy->setEnabled(true);
    }
}

bool TFormMain::PrzywrocBazeZdalnie(QWidget* okno, const QString& sciezka) {
    // Somebody far away replaced the database: the log says who and with what.
    ZapiszWyjatek("database restore requested by the cloud from \"" + sciezka.toStdString() + '"', "UnitMain",
                  __LINE__);
    const bool dzialal = MozgIsRunning();
    if (!UruchomZatrzymajSystem(0)) {
        ZapiszWyjatek("cloud restore refused: the system was not stopped", "UnitMain", __LINE__);
        return false;
    }
    {
        auto przywracanie = std::make_unique<TFormBackupRestore>(okno);
        UstawParametryKopii(*przywracanie);
        if (!przywracanie->PrzywrocKopie(sciezka, true)) {
            ZapiszWyjatek("cloud restore from \"" + sciezka.toStdString() + "\" failed", "UnitMain", __LINE__);
            return false;
        }
    }
    WersjaBazy = KrokWersji();
    if (!BazaZnana())
        return false;
    AktualizujBaze(okno, true, true);
    WersjaBazy = KrokWersji();
    if (BazaRozpoznana() && !BazaAktualna()) {
        MenuAktualizacjaBazy->setEnabled(true);
        return false;
    }
    return !dzialal || UruchomZatrzymajSystem(1);
}

void TFormMain::MenuBazaNowaClick() {
    const QString tytul = QStringLiteral("Tworzenie nowej bazy");
    if (MozgIsRunning()) {
        ui::MessageBox(this, QStringLiteral("System pracuje"),
                       QStringLiteral("System musi zostać zatrzymany, aby utworzyć nową bazę."), ui::Icon::Warning);
        return;
    }
    if (ui::MessageBox(this, tytul,
                       QStringLiteral("Aktualna baza zostanie bezpowrotnie usunięta. Czy na pweno chcesz utworzyć "
                                      "nową bazę?"),
                       ui::Icon::Question, ui::Yes | ui::No, ui::Yes) != ui::Yes)
        return;
    if (ZamknijPolaczenie() && UtworzBaze()) {
        WersjaBazy = KrokWersji();
        ui::MessageBox(this, tytul, QStringLiteral("Nowa baza została utworzona."), ui::Icon::Information);
    } else {
        ui::MessageBox(this, tytul, QStringLiteral("Tworzenie nowej bazy danych nie powiodło się."), ui::Icon::Error);
    }
}

void TFormMain::MenuImportBazyClick() {
    const QString tytul = QStringLiteral("Import danych");
    if (ui::MessageBox(this, tytul, QStringLiteral("Wszystkie aktualne dane zostaną usunięte. Czy chcesz kontynuować?"),
                       ui::Icon::Question, ui::Yes | ui::No, ui::Yes) != ui::Yes)
        return;
    const auto plik = WybierzPlik(this, ui::FileDialogKind::Open, kFiltrSql);
    if (!plik || !ZatrzymajPrzedZmianaBazy())
        return;
    if (!ImportujBaze(plik->toStdString())) {
        ui::MessageBox(this, tytul, QStringLiteral("Import danych zakończył się błędem"), ui::Icon::Error);
        return;
    }
    WersjaBazy = KrokWersji();
    const bool zmigrowana = AktualizujStrukture(WersjaBazy);
    // A migration that stopped halfway leaves the step of the step that
    // failed, and the start and the update item must see that one.
    WersjaBazy = KrokWersji();
    if (zmigrowana) {
        ui::MessageBox(this, tytul, QStringLiteral("Dane zostały zaimpotowane"), ui::Icon::Information);
    } else {
        ui::MessageBox(this, windowTitle(),
                       QStringLiteral("Bazę zaimportowano, ale konwersja danych do aktualnej wersji nie powiodła się."),
                       ui::Icon::Error);
        if (BazaRozpoznana() && !BazaAktualna())
            MenuAktualizacjaBazy->setEnabled(true);
    }
}

void TFormMain::MenuAktualizacjaBazyClick() {
    AktualizujBaze(this, false, false);
}

bool TFormMain::AktualizujBaze(QWidget* okno, bool bezKopii, bool cichy) {
    const QString tytul = okno ? okno->windowTitle() : windowTitle();
    if (BazaAktualna()) {
        if (!cichy)
            ui::MessageBox(okno, tytul, QStringLiteral("Baza danych jest aktualna."), ui::Icon::Information);
        MenuAktualizacjaBazy->setEnabled(false);
        return true;
    }
    if (!bezKopii &&
        ui::MessageBox(okno, tytul,
                       QStringLiteral("Przed wykonaniem aktualizacji bazy zalecane jest wykonanie kopii aktualnej "
                                      "bazy danych. Jeśli masz aktualną kopię bazy możesz pominąć ten krok.\nCzy "
                                      "chcesz rozpocząć wykonywanie kopii bazy?"),
                       ui::Icon::Warning, ui::Yes | ui::No, ui::Yes) == ui::Yes &&
        !WykonajKopieBazy(okno, nullptr))
        return false;
    const bool udana = AktualizujStrukture(WersjaBazy);
    if (!cichy) {
        if (udana)
            ui::MessageBox(okno, tytul, QStringLiteral("Konwersja bazy została zakończona."), ui::Icon::Information);
        else
            ui::MessageBox(okno, tytul, QStringLiteral("Aktualizacja bazy danych nie powiodła się."), ui::Icon::Error);
    }
    WersjaBazy = KrokWersji();
    MenuAktualizacjaBazy->setEnabled(BazaZnana());
    return udana;
}

bool TFormMain::ZamknijPolaczenie() {
    DM->FDConnection.close();
    return !DM->FDConnection.connected();
}
