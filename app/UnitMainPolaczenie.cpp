// The main window's first connection: the database is opened (the role and
// the database created through the superuser when the server refuses the
// program's own login), the schema checked or built, and the installation
// brought up.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "app/PolaczenieBazy.h"
#include "app/UnitInfo.h"
#include "app/UnitMain.h"
#include "app/UnitOptions.h"
#include "core/KontrolaTekstu.h"
#include "core/TCPUMonitor.h"
#include "core/ZapiszWyjatek.h"
#include "database/Database.h"
#include "database/TDM.h"
#include "database/Wersje.h"
#include "platform/db/DbError.h"
#include "platform/ui/Dialogs.h"

namespace ui = platform::ui;

namespace {

// What the connection run has done and has still to do.
struct PrzebiegPolaczenia {
    bool PonowProbe = false;
    bool UtworzUzytkownika = false;
    bool UtworzBazeDanych = false;
    bool UzytkownikGotowy = false;
    bool BazaGotowa = false;
};

// Runs one creation statement. True when it ran or the server refused it
// because what it creates exists already.
bool UtworzNaSerwerze(const std::optional<std::string>& sql, int linia) {
    if (!sql) {
        ZapiszWyjatek("the database or user name in the options is not a valid name", "UnitMain", linia);
        return false;
    }
    try {
        DM->Query.close();
        DM->Query.setSql(*sql);
        DM->Query.execSql();
        return true;
    } catch (const db::DbError& blad) {
        ZapiszWyjatek(blad, "UnitMain", linia);
        return KodBleduBazy(blad) == KodOdmowySerwera;
    }
}

} // namespace

void TFormMain::PokazPostep(TFormInfo* info, const QString& tekst) {
    Panel0->setText(tekst);
    Panel0->repaint();
    if (info)
        info->Pokaz(tekst);
}

void TFormMain::UstawParametryPolaczenia(bool superuzytkownik) {
    db::Connection& polaczenie = DM->FDConnection;
    polaczenie.setHost(FormOptions->EditDbAddress->text().toStdString());
    polaczenie.setPort(static_cast<int>(FormOptions->PortBazy()));
    if (superuzytkownik) {
        polaczenie.setDatabase(SuperuzytkownikBaza);
        polaczenie.setUser(SuperuzytkownikNazwa);
        polaczenie.setPassword(SuperuzytkownikHaslo);
    } else {
        polaczenie.setDatabase(FormOptions->EditDbName->text().toStdString());
        polaczenie.setUser(FormOptions->EditDbUser->text().toStdString());
        polaczenie.setPassword(FormOptions->EditDbPassword->text().toStdString());
    }
}

// The run of attempts: the program's own login first; a refusal switches to
// the superuser once to create the role and once to create the database,
// and then the program's login is tried again. False with the message
// shown when the connection could not be opened.
bool TFormMain::PolaczZBaza(TFormInfo* info) {
    PrzebiegPolaczenia p;
    db::Connection& polaczenie = DM->FDConnection;
    const auto otworz = [&]() -> bool {
        for (;;) {
            try {
                polaczenie.open();
                return true;
            } catch (const db::DbError& blad) {
                const bool odmowa = KodBleduBazy(blad) == KodOdmowySerwera;
                if (odmowa && !p.UtworzUzytkownika && !p.UzytkownikGotowy) {
                    p.UtworzUzytkownika = p.UtworzBazeDanych = p.PonowProbe = true;
                    UstawParametryPolaczenia(true);
                    PokazPostep(info, QStringLiteral("Tworzę użytkownika bazy danych..."));
                    continue;
                }
                if (odmowa && !p.UtworzBazeDanych && !p.BazaGotowa) {
                    p.UtworzBazeDanych = p.PonowProbe = true;
                    UstawParametryPolaczenia(true);
                    PokazPostep(info, QStringLiteral("Tworzę bazę danych..."));
                    continue;
                }
                QString tekst = QString::fromStdString(blad.what());
                if (blad.kind() == db::DbError::ServerGone)
                    tekst = QStringLiteral("Nie można połączyć się z serwerem bazy danych %1:%2.\n\n%3")
                                .arg(QString::fromStdString(polaczenie.host()))
                                .arg(polaczenie.port())
                                .arg(tekst);
                QApplication::restoreOverrideCursor();
                ui::MessageBox(this, windowTitle(), tekst, ui::Icon::Error);
                QApplication::setOverrideCursor(Qt::WaitCursor);
                return false;
            }
        }
    };

    for (;;) {
        PokazPostep(info, QStringLiteral("Podłączanie do bazy danych..."));
        UstawParametryPolaczenia(false);
        if (!otworz())
            return false;
        Probkuj("DBOpen");
        if (!p.PonowProbe)
            return true;
        p.PonowProbe = false;
        if (p.UtworzUzytkownika &&
            UtworzNaSerwerze(SqlUtworzUzytkownika(FormOptions->EditDbUser->text().toStdString(),
                                                  FormOptions->EditDbPassword->text().toStdString()),
                             __LINE__)) {
            p.UtworzUzytkownika = false;
            p.UzytkownikGotowy = true;
        }
        if (p.UtworzBazeDanych && UtworzNaSerwerze(SqlUtworzBaze(FormOptions->EditDbName->text().toStdString(),
                                                                 FormOptions->EditDbUser->text().toStdString()),
                                                   __LINE__)) {
            p.UtworzBazeDanych = false;
            p.BazaGotowa = true;
        }
        // The program works as its own user in its own database.
        polaczenie.close();
    }
}

void TFormMain::TimerConnectTimer() {
    TimerConnect->stop();
    Probkuj("TimerConnect");
    std::unique_ptr<TFormInfo> info;
    if (!DM->FDConnection.connected()) {
        info = std::make_unique<TFormInfo>(this);
        info->Pokaz(QStringLiteral("Inicjalizacja..."));
        Probkuj("Inicjalizacja");
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool polaczony = PolaczZBaza(info.get());
        if (polaczony)
            MenuLogin->setEnabled(true);
        QApplication::restoreOverrideCursor();
        Panel0->clear();
    }
    if (DM->FDConnection.connected()) {
        MenuLogin->setEnabled(true);
        QCoreApplication::processEvents();
        if (info)
            info->Pokaz(QStringLiteral("Przygotowuje bazę danych..."));
        WersjaBazy = KrokWersji();
        if (WersjaBazy == -1) {
            UtworzBaze();
            WersjaBazy = KrokWersji();
        }
        if (!BazaZnana()) {
            PierwszePolaczenie = false;
        } else if (BazaRozpoznana() && !BazaAktualna()) {
            KomunikatWersjiBazy(2);
            MenuAktualizacjaBazy->setEnabled(true);
            PierwszePolaczenie = false;
        }
        if (PierwszePolaczenie) {
            if ((Autostart || FormOptions->CheckBoxSystemAutostart->isChecked()) && BazaAktualna())
                UruchomZatrzymajSystem(255);
            PierwszePolaczenie = false;
            OtworzOknaZRejestru();
            Probkuj("DBInit");
            UruchomSerwerEnkoderow();
            Probkuj("NasłuchiwanieEnkoderow");
        }
        TimerMozg->start();
    }
    if (info)
        info->Zamknij();
}

bool TFormMain::BazaZnana() {
    if (WersjaBazy != 0)
        return true;
    KomunikatWersjiBazy(1);
    return false;
}

void TFormMain::KomunikatWersjiBazy(int rodzaj) {
    if (rodzaj == 1)
        ui::MessageBox(this, windowTitle(), QStringLiteral("Nieznana wersja bazy danych."), ui::Icon::Information);
    else if (rodzaj == 2)
        ui::MessageBox(this, QStringLiteral("Baza danych nieaktualna"),
                       QStringLiteral("Baza danych nie jest aktualna. Zaloguj się jako administrator i użyj opcji "
                                      "Administracja->Baza->Aktualizacja bazy danych, aby dostosować bazę do nowej "
                                      "wersji progrmamu."),
                       ui::Icon::Warning);
}

// The command line as the desk has always read it: a quoted program path,
// blanks, then the rest, which must be "/as" in any letter case. An
// unquoted path is compared whole and never matches.
bool TFormMain::PrzelacznikAutostartu(const std::string& liniaKomend) {
    // The buffer of old held 511 characters and the terminator.
    std::string bufor = liniaKomend.substr(0, 511);
    if (!bufor.empty() && bufor[0] == '"') {
        const std::size_t koniec = bufor.find('"', 1);
        std::size_t reszta = koniec == std::string::npos ? bufor.size() : koniec + 1;
        while (reszta < bufor.size() && bufor[reszta] == ' ')
            ++reszta;
        bufor = bufor.substr(reszta);
    }
    return bufor.size() == 3 && bufor[0] == '/' && (bufor[1] == 'a' || bufor[1] == 'A') &&
           (bufor[2] == 's' || bufor[2] == 'S');
}

void TFormMain::UstawLinieKomend(const QString& argumenty) {
    const std::string linia =
        '"' + QCoreApplication::applicationFilePath().toStdString() + "\" " + argumenty.toStdString();
    Autostart = PrzelacznikAutostartu(linia);
}

bool TFormMain::UruchomSerwerEnkoderow() {
    SerwerEnkoderow::Opcje opcje;
    opcje.port = static_cast<std::uint16_t>(
        TekstNaLiczbeWZakresie(FormOptions->EditEncoderPort->text().toStdString(), 1, 65535, DomyslnyPortEnkoderow));
    return Serwer.UruchomSerwerEnkoderow(opcje);
}
