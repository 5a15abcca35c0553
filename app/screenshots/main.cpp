// Renders the desk's windows offscreen into PNG files, for people to look
// at (scripts/screenshots):
//   kandor_screenshots FOLDER
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include "app/UnitBackupRestore.h"
#include "app/UnitLogowanie.h"
#include "app/UnitMain.h"
#include "app/UnitOptions.h"
#include "app/UnitStatus.h"
#include "app/UnitZdarzenia.h"
#include "app/UnitZdarzeniaAktywne.h"
#include "app/UnitZdarzeniaCentrali.h"
#include "core/Object_Gfx_Symbol.h"
#include "core/Object_Grupa_Zdarzen.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Rodzaj_Zdarzenia_Wbudowane.h"
#include "core/Object_Zdarzenie.h"
#include "core/Mozg.h"
#include "core/Objects_globals.h"
#include "core/TCPUMonitor.h"
#include "devices/Urzadzenia.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "designer/UnitCzytniki.h"
#include "designer/UnitCzytnikiEdycja.h"
#include "designer/UnitEnkoderyEdycja.h"
#include "designer/UnitKartyEdycja.h"
#include "designer/UnitMagistraleEdycja.h"
#include "designer/UnitBramy.h"
#include "designer/UnitPrzejazdy.h"
#include "designer/UnitPrzyciski.h"
#include "designer/UnitWejscia.h"
#include "designer/UnitWyjscia.h"
#include "core/Object_Brama.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Przycisk.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "devices/Object_Enkoder.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "platform/registry/Registry.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/PozycjaOkna.h"
#include "platform/ui/Kolory.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

namespace {

bool Save(QWidget& window, const QDir& folder, const QString& name) {
    if (window.layout() != nullptr)
        window.layout()->activate();
    // The first rendering lets the cell painters widen their columns.
    window.grab();
    QApplication::processEvents();
    const QString file = folder.filePath(name + ".png");
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

// A small installation for the designer's dialogs and windows to show.
void WypelnijModel() {
    RejestrujUrzadzenia();
    ObiektyUtworz();
    Magistrale->Dodaj(1, 1, 2, 19200, "Magistrala parkingu");
    Magistrale->Dodaj(2, 2, 1, 9600, "Magistrala bram");
    Karty->DodajRekord(1, 1, 1, 5, "Wjazd główny")->Polacz();
    Karty->DodajRekord(2, 2, 1, 6, "Kamera tablic")->Polacz();
    static_cast<Object_Zarvo_Centrala*>(Centrale->Nowy(1))->Nazwa = "Klatka A";
    Czytniki->DodajRekord(1, 1, 1, "Czytnik wjazdu")->Polacz();
    auto* czytnik = Czytniki->DodajRekord(2, 2, 1, "Czytnik tablic");
    czytnik->Polacz();
    czytnik->OstatniKod = "wz12345";
    czytnik->Licznik = 12;
    czytnik->Przycisk = 1;
    czytnik->CzasOdczytu = TerazLokalnie();
}

// A window of its own at the given size, saved under its object name and
// deleted.
bool SaveAndDelete(QWidget* window, const QDir& folder, int width, int height) {
    window->resize(width, height);
    window->show();
    const bool ok = Save(*window, folder, window->objectName());
    delete window;
    return ok;
}

// The dialog as its show leaves it, then with the values typed.
template <class Form, class Fill>
bool SaveDialog(Form& form, const QDir& folder, const QString& caption, Fill fill) {
    form.setWindowTitle(caption);
    form.show();
    fill(form);
    const bool ok = Save(form, folder, form.objectName());
    form.hide();
    return ok;
}

// The main window with an administrator logged in and the system running
// (on an empty model, without a database), the login dialog and the status
// window.
bool DeskWindows(const QDir& folder) {
    bool ok = true;
    InicjujGlobalne();
    RejestrujUrzadzenia();
    ObiektyUtworz();
    UtworzFormy();
    {
        TFormMain& main = *FormMain;
        main.Pokazane = true; // no connection attempt
        main.resize(900, 560);
        main.IdAdministratora = 1;
        main.RodzajAdministratora = TFormMain::Administrator;
        main.NazwaAdministratora = QStringLiteral("tusko");
        main.UstawMenuWgRoli();
        MozgStart();
        main.UstawStanSystemu();
        main.MenuDiagnostyka->setEnabled(true);
        ok &= Save(main, folder, QStringLiteral("FormMain"));

        FormLogowanie->EditUzytkownik->setText(QStringLiteral("tusko"));
        FormLogowanie->EditHaslo->setText(QStringLiteral("tusko"));
        ok &= Save(*FormLogowanie, folder, QStringLiteral("FormLogowanie"));

        for (const char* etykieta : {"Application", "FormMain", "SprawdzWatki"})
            Probkuj(etykieta);
        TFormStatus status;
        status.TaktyNaSekunde = 100;
        status.SredniCzasTaktu = 1;
        status.ZapisDozwolony = false; // nothing goes to the thread log
        status.OdswiezStatus(*CPUMonitor);
        ok &= Save(status, folder, QStringLiteral("FormStatus"));
        MozgStop();
    }
    UsunFormy();
    ObiektyUsun();
    ZwolnijGlobalne();
    return ok;
}


// The porter's live windows over the model of WypelnijModel, started: its
// bus ports are not there, so what the boards reported is written into the
// bus image here, and the board "Kamera tablic" does not answer.
bool OknaPortiera(const QDir& folder) {
    Wejscia->DodajRekord(1, 1, 1, "Pętla przed szlabanem");
    Wejscia->DodajRekord(2, 1, 2, "Pętla za szlabanem");
    Wejscia->DodajRekord(3, 2, 1, "Fotokomórka");
    Wyjscia->DodajRekord(1, 1, 0, 1, "Otwórz szlaban", 0, 0);
    Wyjscia->DodajRekord(2, 1, 0, 2, "Zamknij szlaban", 0, 0);
    Wyjscia->DodajRekord(3, 0, 1, 1, "Drzwi klatki A", 0, 0);
    Bramy->DodajRekord(1, "Szlaban wjazdowy", 1, 2, 500, 500, 8000, 8000, 2, 0, 0, 0);
    Bramy->DodajRekord(2, "Brama garażu", 0, 0, 500, 500, 8000, 8000, 0, 0, 0, 0);
    Uzytkownicy->DodajRekord(1, 0, "Anna", "Nowak", "", "", "", "", 0, false, "");
    Przejazdy->DodajRekord(1, "Wjazd", 1, false, 1, 1, 30000, 2, 0, 0, 0, 0, 0, 0, 0, 0, false, false, "");
    Przejazdy->DodajRekord(2, "Wjazd do garażu", 2, true, 0, 3, 30000, 0, 0, 0, 0, 0, 0, 0, 0, 0, true, false, "");
    Przyciski->DodajRekord(1, "Otwórz szlaban", "", Object_Przycisk::Klik, 0x40C040, 0, 0, 0, false);
    Przyciski->DodajRekord(2, "Oświetlenie parkingu", "", Object_Przycisk::Bistabilny, 0x40A0F0, 0, 0, 0, false);
    Przyciski->DodajRekord(3, "Furtki", "", Object_Przycisk::Klik, 0xC08040, 0, 0, 0, false);
    Przyciski->DodajRekord(4, "Furtka północna", "", Object_Przycisk::Klik, 0xC08040, 0, 0, 3, false);
    Przyciski->DodajRekord(5, "Alarm", "", Object_Przycisk::Klik, 0x4040E0, 0, 0, 0, true);
    MozgStart();
    auto* magistrala = static_cast<Object_Magistrala*>(Magistrale->Znajdz(1));
    magistrala->ZmienWpis(5, [](WpisKarty& w) {
        w.Wejscia = 0b01;
        w.WyjsciaPotwierdzone = 0b01;
    });
    magistrala->ZmienWpis(6, [](WpisKarty& w) { w.Status = StatusBrakOdpowiedzi; });
    static_cast<Object_Wejscie*>(Wejscia->Znajdz(1))->Stan = true;
    auto* brama = static_cast<Object_Brama*>(Bramy->Znajdz(1));
    brama->Otwarta = true;
    brama->Zamknieta = false;
    brama->Zajeta = true;
    auto* przejazd = static_cast<Object_Przejazd*>(Przejazdy->Znajdz(1));
    przejazd->Stan = 5;
    przejazd->Uzytkownik = static_cast<Object_Uzytkownik*>(Uzytkownicy->Znajdz(1));
    static_cast<Object_Przycisk*>(Przyciski->Znajdz(2))->Nacisnij();

    bool ok = true;
    const auto zapisz = [&](QWidget* okno, int szerokosc, int wysokosc) {
        ok &= SaveAndDelete(okno, folder, szerokosc, wysokosc);
    };
    zapisz(new TFormBramy, 420, 140);
    zapisz(new TFormPrzejazdy, 860, 140);
    zapisz(new TFormWejscia, 420, 140);
    zapisz(new TFormWyjscia, 520, 160);
    platform::registry::Registry rejestr;
    if (rejestr.openKey(ui::KluczUstawien, true)) {
        rejestr.writeInteger("PrzyciskiSzerokosc", 150);
        rejestr.writeInteger("PrzyciskiWysokosc", 48);
    }
    zapisz(new TFormPrzyciski, 480, 140);
    MozgStop();
    return ok;
}


// The three event monitors over a few events of the model above, with
// the symbols' icons from the program's icon folder.
bool MonitoryZdarzen(const QDir& folder) {
    Symbole->Wczytaj();
    GrupyZdarzen->DodajRekord(1, "Alarm", 1);
    GrupyZdarzen->DodajRekord(4, "Informacja", 4);
    auto* pozar = RodzajeZdarzen->DodajRekord(1, "Pożar w garażu", 1, 8, 0x0000C0, 0, 0, "");
    auto* zalanie = RodzajeZdarzen->DodajRekord(2, "Zalanie piwnicy", 1, 6, 0xF0C060, 0, 0, "");
    auto* drzwi = RodzajeZdarzen->DodajRekord(3, "Drzwi otwarte", 4, 1, 0x80FFFF, 0, 0, "");
    for (auto* rodzaj : {pozar, zalanie, drzwi})
        rodzaj->Polacz();
    pozar->Wlacz();
    drzwi->Wlacz();
    for (auto [id, nazwa] : {std::pair{10, "Przejazd utworzony"}, std::pair{27, "System uruchomiony"},
                             std::pair{15, "Wywołanie lokalu"}, std::pair{16, "Rozmowa z lokatorem"},
                             std::pair{21, "Nieudana próba otwarcia identyfikatorem"},
                             std::pair{22, "Otwarcie rygla identyfikatorem"}})
        RodzajeZdarzenWbudowane->DodajRekord(id, nazwa, 0, 0xFFFFFF);

    const DataCzas teraz = std::chrono::floor<std::chrono::seconds>(TerazLokalnie());
    int id = 0;
    const auto zdarzenie = [&](Objects_Zdarzenia* dziennik, int wbudowane, int rodzaj, int minut) {
        auto* z = static_cast<Object_Zdarzenie*>(dziennik->Nowy(++id));
        z->IdRodzajZdarzeniaWbudowane = wbudowane;
        z->IdRodzajZdarzenia = rodzaj;
        z->DataCzasWystapienie = teraz - std::chrono::minutes(minut);
        return z;
    };
    zdarzenie(Zdarzenia, 27, 0, 50);
    auto* przejazd = zdarzenie(Zdarzenia, 10, 0, 42);
    przejazd->IdUzytkownika = 1;
    przejazd->IdBramy = 1;
    przejazd->Transponder = 0x1A2B;
    przejazd->Przycisk = 2;
    zdarzenie(Zdarzenia, 0, 2, 30)->DataCzasZakonczenie = teraz - std::chrono::minutes(25);
    zdarzenie(Zdarzenia, 0, 3, 12);
    zdarzenie(Zdarzenia, 0, 1, 3);
    const auto centrali = [&](int wbudowane, int minut, int lokal, int klatka, int kod) {
        auto* z = zdarzenie(ZdarzeniaCentrali, wbudowane, 0, minut);
        z->IdCentralaZarvoGsm = 1;
        z->Lokal = lokal;
        z->Klawiatura = 1;
        z->KlatkaZrodlo = klatka;
        z->KlatkaCel = 0xFFFF;
        z->KodPin = kod;
        return z;
    };
    centrali(15, 20, 12, 1, 0);
    centrali(16, 19, 12, 1, 0);
    centrali(21, 8, 0, 2, 0)->Transponder = 0x00C0FFEE;
    centrali(22, 2, 7, 1, 0)->IdUzytkownika = 1;
    for (Objects_Zdarzenia* dziennik : {Zdarzenia, ZdarzeniaCentrali})
        for (int i = 0; i < dziennik->Rozmiar(); ++i)
            dziennik->Element(i)->Polacz();
    for (int i = 0; i < ZdarzeniaCentrali->Rozmiar(); ++i)
        static_cast<Object_Zdarzenie*>(ZdarzeniaCentrali->Element(i))->Centrala = Centrale->Znajdz(1);

    bool ok = true;
    const auto zapisz = [&](QWidget* okno, int szerokosc, int wysokosc) {
        ok &= SaveAndDelete(okno, folder, szerokosc, wysokosc);
    };
    zapisz(new TFormZdarzenia, 1180, 200);
    zapisz(new TFormZdarzeniaAktywne, 420, 130);
    zapisz(new TFormZdarzeniaCentrali([] { return 1; }), 760, 160);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    if (!QDir().mkpath(folder.path()))
        return 1;
    bool ok = true;

    TFormOptions options;
    options.resize(560, 460);
    for (int tab = 0; tab < options.PageControl->count(); ++tab) {
        options.PageControl->setCurrentIndex(tab);
        ok &= Save(options, folder, QStringLiteral("FormOptions-%1").arg(tab + 1));
    }

    // The log as a finished backup leaves it; the window is not shown, so
    // no tool runs.
    TFormBackupRestore backup;
    backup.Memo->setPlainText(QStringLiteral("pg_dump: last built-in OID is 16383\n"
                                             "pg_dump: reading extensions\n"
                                             "pg_dump: saving encoding = UTF8\n"
                                             "pg_dump: dumping contents of table \"public.bramy\"\n\n"
                                             "Proces zwrócił rezultat 0\nSukces"));
    ok &= Save(backup, folder, QStringLiteral("FormBackupRestore"));

    // A list grid as every list window paints it, with coloured tiles.
    ui::DrawGrid grid;
    grid.resize(420, 180);
    grid.setColumnCount(3);
    grid.setFixedColumnCount(1);
    const QStringList names = {"Brama wjazdowa", "Szlaban garaż", "Furtka"};
    grid.setCellPainter([&](QPainter& painter, int column, int row, const QRect& cell) {
        ui::RysujTloZaznaczenia(grid, painter, column, row, cell);
        if (row == 0) {
            static const char* const headers[] = {"Id", "Nazwa", "Aktywna"};
            ui::RysujTekstKomorki(grid, painter, cell, QString::fromUtf8(headers[column]), column, ui::DoSrodka);
        } else if (column == 0) {
            ui::RysujKafelek(painter, cell.adjusted(2, 2, -2, -2), false, 0x0040A040, row == 2 ? 1 : 0);
            ui::RysujLiczbeKomorki(grid, painter, cell, row, column, ui::DoPrawej);
        } else if (column == 1) {
            ui::RysujTekstKomorki(grid, painter, cell, names[row - 1], column, ui::DoLewej);
        } else {
            ui::RysujTakNieKomorki(grid, painter, cell, row != 2, column, ui::DoSrodka);
        }
    });
    ui::UstawWierszBiezacy(grid, names.size(), 1);
    grid.show();
    ok &= Save(grid, folder, QStringLiteral("DrawGrid"));

    // The readers window saves its placement when it goes; into a registry
    // of its own here, not the settings of whoever renders the pictures.
    QTemporaryDir rejestr;
    setenv("KANDOR_REGISTRY_DIR", qPrintable(rejestr.path()), 1);
    WypelnijModel();
    TFormMagistraleEdycja magistrala;
    ok &= SaveDialog(magistrala, folder, QStringLiteral("Dodawanie magistrali"), [](TFormMagistraleEdycja& f) {
        f.EditCom->setText(QStringLiteral("3"));
        f.ComboBoxWersjaMagistrali->setCurrentIndex(1);
        f.ComboBoxPredkoscMagistrali->setEditText(QStringLiteral("19200"));
        f.EditNazwa->setText(QStringLiteral("Magistrala garażu"));
    });
    TFormKartyEdycja karta;
    karta.IdRodzajKarty = 1;
    karta.IdMagistrali = 1;
    ok &= SaveDialog(karta, folder, QStringLiteral("Dodawanie karty"), [](TFormKartyEdycja& f) {
        f.EditAdres->setText(QStringLiteral("7"));
        f.EditNazwa->setText(QStringLiteral("Wyjazd"));
    });
    TFormCzytnikiEdycja czytnik;
    czytnik.IdKarty = 1;
    ok &= SaveDialog(czytnik, folder, QStringLiteral("Edycja czytnika"), [](TFormCzytnikiEdycja& f) {
        f.EditNazwa->setText(QStringLiteral("Czytnik wyjazdu"));
    });
    TFormEnkoderyEdycja enkoder;
    enkoder.IdCentraliZarvoGsm = 1;
    ok &= SaveDialog(enkoder, folder, QStringLiteral("Dodawanie enkodera"), [](TFormEnkoderyEdycja& f) {
        f.EditNazwa->setText(QStringLiteral("Furtka"));
        f.EditIp->setText(QStringLiteral("192.168.1.20"));
        f.EditPortOut->setText(QStringLiteral("5000"));
        f.EditPortOutForwarded->setText(QStringLiteral("5001"));
        f.EditPortIn->setText(QStringLiteral("443"));
        f.EditPortInForwarded->setText(QStringLiteral("4443"));
    });

    auto* czytniki = new TFormCzytniki;
    czytniki->resize(560, 120);
    czytniki->show();
    ok &= Save(*czytniki, folder, QStringLiteral("FormCzytniki"));
    delete czytniki;
    // No bus port of the machine that renders the pictures is touched.
    setenv("KANDOR_COM_DIR", qPrintable(rejestr.path()), 1);
    ok &= OknaPortiera(folder);
    ok &= MonitoryZdarzen(folder);
    ObiektyUsun();

    ok &= DeskWindows(folder);
    return ok ? 0 : 1;
}
