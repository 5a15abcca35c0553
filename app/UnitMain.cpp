#include "app/UnitMain.h"


#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDateTime>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QStatusTipEvent>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>

#include "app/Dzwieki.h"
#include "app/Modalnie.h"
#include "app/OknaPortiera.h"
#include "app/UnitAbout.h"
#include "app/UnitBackupRestore.h"
#include "app/UnitInfo.h"
#include "app/UnitKomunikaty.h"
#include "app/UnitLogowanie.h"
#include "app/UnitOptions.h"
#include "app/UnitStatus.h"
#include "designer/UnitCzytnikiEdycja.h"
#include "designer/UnitEnkoderyEdycja.h"
#include "designer/UnitKartyEdycja.h"
#include "designer/UnitMagistraleEdycja.h"
#include "core/Komunikaty.h"
#include "core/Mozg.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "core/TCPUMonitor.h"
#include "core/WersjaProgramu.h"
#include "core/ZapiszWyjatek.h"
#include "database/TDM.h"
#include "platform/registry/Registry.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/IkonaTray.h"
#include "platform/ui/PozycjaOkna.h"
#include "platform/ui/SingleInstance.h"

namespace ui = platform::ui;
using platform::registry::Registry;

TFormMain* FormMain = nullptr;
TFormOptions* FormOptions = nullptr;
TFormLogowanie* FormLogowanie = nullptr;
TFormZmianaHasla* FormZmianaHasla = nullptr;
QWidget* FormProgramowanieCentrale = nullptr;

namespace {

// The source line the exception log has always named for a handler's
// failure.
constexpr int LiniaObslugi = 3395;

const QEvent::Type TypKomunikatu = static_cast<QEvent::Type>(QEvent::registerEventType());

// The values that remember the live windows across runs, with their
// windows, in the order they are reopened.
struct OknoRejestru {
    const char* wartosc;
    RodzajOkna rodzaj;
};
constexpr OknoRejestru OknaRejestru[] = {
    {"OknoZdarzenia", RodzajOkna::Zdarzenia},
    {"OknoZdarzeniaAktywne", RodzajOkna::ZdarzeniaAktywne},
    {"OknoWejscia", RodzajOkna::Wejscia},
    {"OknoPrzyciski", RodzajOkna::Przyciski},
    {"OknoWyjscia", RodzajOkna::Wyjscia},
};

// The background of the MDI client: the button face with the logo.
class ObszarMdi : public QMdiArea {
public:
    ObszarMdi(const QPixmap& logo, QWidget* rodzic) : QMdiArea(rodzic), logo_(logo) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(viewport());
        painter.fillRect(viewport()->rect(), palette().color(QPalette::Button));
        painter.drawPixmap(10, 10, logo_);
        Q_UNUSED(event);
    }

private:
    const QPixmap& logo_;
};

// The logo of 255 × 98 pixels.
QPixmap RysujLogo() {
    QPixmap logo(255, 98);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x1f, 0x4e, 0x8c));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRect(0, 0, 255, 98), 12, 12);
    QFont czcionka(QStringLiteral("Sans"), 30, QFont::Bold);
    painter.setFont(czcionka);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 255, 98), Qt::AlignCenter, QStringLiteral("Kandoro"));
    return logo;
}

} // namespace

class TFormMain::ZdarzenieKomunikatu : public QEvent {
public:
    ZdarzenieKomunikatu(unsigned komunikat, std::intptr_t w, std::intptr_t l)
        : QEvent(TypKomunikatu), message(komunikat), wParam(w), lParam(l) {}
    unsigned message;
    std::intptr_t wParam;
    std::intptr_t lParam;
};

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent) {
    FormCreate();
}

TFormMain::~TFormMain() {
    FormDestroy();
}

void TFormMain::FormCreate() {
    setObjectName(QStringLiteral("FormMain"));
    Pokazane = false;
    UtworzSchowek();
    if (CPUMonitor)
        CPUMonitor->UstawNazweWatku(TCPUMonitor::IdBiezacegoWatku(), "Main_Thread");
    setWindowTitle(QStringLiteral("Kandoro - wersja ") + QString::fromStdString(WersjaProgramu()));

    // Losing the focus releases a pressed tile of the button panel.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState stan) {
        if (stan != Qt::ApplicationActive && OknoPrzyciski)
            Bezpiecznie([this] { OknoPrzyciski->ZwolnijPrzycisk(); });
    });
    // A later copy of the program asks this one to the front.
    connect(&ui::Instancja(), &ui::SingleInstance::raised, this, &TFormMain::AplikacjaBezczynnosc);
    // The session manager asks before the session ends.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { KoniecSesji = true; });

    Logo = RysujLogo();
    KoniecSesji = false;
    PierwszePolaczenie = true;
    odtwarzaczWlasny_ = std::make_unique<OdtwarzaczSystemowy>();
    odtwarzacz_ = odtwarzaczWlasny_.get();
    zegar_ = [] { return QDateTime::currentDateTime(); };

    MdiArea = new ObszarMdi(Logo, this);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(MdiArea);
    ZbudujMenu();
    ZbudujPasekStanu();
    TimerMozg = new QTimer(this);
    TimerMozg->setObjectName(QStringLiteral("TimerMozg"));
    TimerMozg->setTimerType(Qt::PreciseTimer);
    TimerMozg->setInterval(10);
    connect(TimerMozg, &QTimer::timeout, this, [this] { Bezpiecznie([this] { TimerMozgTimer(); }); });
    TimerConnect = new QTimer(this);
    TimerConnect->setObjectName(QStringLiteral("TimerConnect"));
    TimerConnect->setInterval(1);
    connect(TimerConnect, &QTimer::timeout, this, [this] { Bezpiecznie([this] { TimerConnectTimer(); }); });

    Rejestr = std::make_unique<Registry>();
    resize(1024, 700);
    ui::PrzywrocPozycjeOkna(*this, true);
    IdAdministratora = 0;
    RodzajAdministratora = 0;
    UstawMenuWgRoli();

    auto* info = new TFormInfo(this);
    info->Pokaz(QStringLiteral("Inicjowanie bazy danych..."));
    Probkuj("FormMain");
    // A data module made before the window (a test's) stays its maker's.
    if (!DM) {
        DM = new TDM;
        wlasnyDM_ = true;
    }
    Probkuj("DM");
    QCoreApplication::processEvents();
    ObiektyUstawOkno(this);
    UstawDziennikKomunikatow(this);
    info->Zamknij();
    delete info;

    UstawLinieKomend(QString());
    ui::IkonaTrayDodaj(this, QApplication::windowIcon(), QStringLiteral("Gotowy"));
    if (QSystemTrayIcon* ikona = ui::IkonaTray())
        connect(ikona, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason powod) {
            if (powod == QSystemTrayIcon::DoubleClick)
                Post(WM_IKONA_ZASOBNIKA, 0, 515);
            else if (powod == QSystemTrayIcon::Context)
                Post(WM_IKONA_ZASOBNIKA, 0, 517);
        });
}

void TFormMain::FormDestroy() {
    // Nothing reaches the window once it starts going; the encoders'
    // connection threads end before the model they read goes.
    ObiektyUstawOkno(nullptr);
    UstawDziennikKomunikatow(nullptr);
    Serwer.Zatrzymaj();
    if (kopia_)
        delete kopia_.data();
    ui::ZapiszPozycjeOkna(*this);
    Rejestr.reset();
    ui::IkonaTrayUsun();
    if (odtwarzacz_)
        odtwarzacz_->Zatrzymaj();
    AktywneDzwieki.clear();
    for (int i = 0; i < LiczbaRodzajowOkien; ++i)
        if (OknoPodgladu*& okno = Wskaznik(static_cast<RodzajOkna>(i)))
            delete okno->Widget();
    delete OknoKomunikaty;
    delete OknoStatus;
    if (wlasnyDM_) {
        delete DM;
        DM = nullptr;
    }
    UsunSchowek();
}

QAction* TFormMain::Polecenie(QMenu* menu, const char* nazwa, const QString& tekst, const QKeySequence& skrot,
                              std::function<void()> akcja) {
    auto* pozycja = menu->addAction(tekst);
    pozycja->setObjectName(QString::fromLatin1(nazwa));
    if (!skrot.isEmpty())
        pozycja->setShortcut(skrot);
    if (akcja)
        connect(pozycja, &QAction::triggered, this, [this, akcja = std::move(akcja)] { Bezpiecznie(akcja); });
    return pozycja;
}

void TFormMain::OknoPodgladuMenu(QMenu* menu, QAction*& pozycja, const char* nazwa, const QString& tekst,
                                 const QKeySequence& skrot, RodzajOkna rodzaj) {
    pozycja = Polecenie(menu, nazwa, tekst, skrot, [this, rodzaj] { OtworzOkno(rodzaj); });
}

// The commands of windows other folders build are here with their rights;
// until those windows exist their items do nothing.
void TFormMain::ZbudujMenu() {
    QMenuBar* pasek = menuBar();
    const auto podmenu = [&](QMenu* rodzic, const char* nazwa, const QString& tekst) {
        QMenu* menu = rodzic ? rodzic->addMenu(tekst) : pasek->addMenu(tekst);
        menu->setObjectName(QString::fromLatin1(nazwa));
        return menu;
    };

    MenuAdministracja = podmenu(nullptr, "MenuAdministracja", QStringLiteral("Administracja"));
    MenuLogin = Polecenie(MenuAdministracja, "MenuLogin", QStringLiteral("Logowanie"), QKeySequence(QStringLiteral("Ctrl+L")),
                          [this] { MenuLoginClick(); });
    // There is nobody to log in against until the database answers.
    MenuLogin->setEnabled(false);
    MenuZmianaHasla = Polecenie(MenuAdministracja, "MenuZmianaHasla", QStringLiteral("Zmiana hasła"), {},
                                [this] { MenuZmianaHaslaClick(); });
    MenuAdministratorzy = Polecenie(MenuAdministracja, "MenuAdministratorzy", QStringLiteral("Administratorzy"), {}, {});
    MenuOpcje = Polecenie(MenuAdministracja, "MenuOpcje", QStringLiteral("Opcje"), {}, [] {
        if (FormOptions)
            FormOptions->exec();
    });
    MenuBaza = podmenu(MenuAdministracja, "MenuBaza", QStringLiteral("Baza danych"));
    MenuBazaKopia = Polecenie(MenuBaza, "MenuBazaKopia", QStringLiteral("Utwórz kopię bazy"), {},
                              [this] { MenuBazaKopiaClick(); });
    MenuBazaPrzywroc = Polecenie(MenuBaza, "MenuBazaPrzywroc", QStringLiteral("Przywróc bazę z kopii"), {},
                                 [this] { MenuBazaPrzywrocClick(); });
    MenuBaza->addSeparator();
    MenuBazaNowa =
        Polecenie(MenuBaza, "MenuBazaNowa", QStringLiteral("Nowa baza"), {}, [this] { MenuBazaNowaClick(); });
    MenuBaza->addSeparator();
    MenuImportBazy = Polecenie(MenuBaza, "MenuImportBazy", QStringLiteral("Importuj dane z innej bazy"), {},
                                [this] { MenuImportBazyClick(); });
    MenuAktualizacjaBazy =
        Polecenie(MenuBaza, "MenuAktualizacjaBazy", QStringLiteral("Aktualizacja bazy danych"), {},
                  [this] { MenuAktualizacjaBazyClick(); });
    MenuAktualizacjaBazy->setEnabled(false);
    MenuAdministracja->addSeparator();
    MenuDiagnostyka = Polecenie(MenuAdministracja, "MenuDiagnostyka", QStringLiteral("Diagnostyka"), {},
                                [this] { OtworzOkno(RodzajOkna::Diagnostyka); });
    MenuDiagnostyka->setEnabled(false);
    MenuStatus = Polecenie(MenuAdministracja, "MenuStatus", QStringLiteral("Status systemu"), {}, [this] { PokazStatus(); });
    MenuUruchamianie = Polecenie(MenuAdministracja, "MenuUruchamianie", QStringLiteral("Uruchom system"),
                                 QKeySequence(QStringLiteral("Ctrl+F12")), [this] { MenuUruchamianieClick(); });
    MenuAdministracja->addSeparator();
    MenuImport = podmenu(MenuAdministracja, "MenuImport", QStringLiteral("Import"));
    MenuImportAdmin = Polecenie(MenuImport, "MenuImportAdmin", QStringLiteral("Plik bazy programu ADMIN"), {}, {});
    MenuImportVendrix = Polecenie(MenuImport, "MenuImportVendrix", QStringLiteral("Baza Vendrix"), {}, {});
    MenuProjektowanie = podmenu(MenuAdministracja, "MenuProjektowanie", QStringLiteral("Projektowanie"));
    MenuProjektowanieSystemu = Polecenie(MenuProjektowanie, "MenuProjektowanieSystemu", QStringLiteral("Projektowanie systemu"),
                                         QKeySequence(QStringLiteral("Ctrl+D")), {});
    MenuPrzejazdy = Polecenie(MenuProjektowanie, "MenuPrzejazdy", QStringLiteral("Przejazdy, bramy"),
                              QKeySequence(QStringLiteral("Alt+B")), {});
    MenuUzytkownicyGrupy = Polecenie(MenuProjektowanie, "MenuUzytkownicyGrupy",
                                     QStringLiteral("Użytkownicy, grupy, adresy i obszary"),
                                     QKeySequence(QStringLiteral("Alt+U")), {});
    MenuProjektowanieWizualizacji =
        Polecenie(MenuProjektowanie, "MenuProjektowanieWizualizacji", QStringLiteral("Projektowanie wizualizacji"),
                  QKeySequence(QStringLiteral("Alt+D")), {});
    MenuMagazynIdentyfikatorow = Polecenie(MenuProjektowanie, "MenuMagazynIdentyfikatorow",
                                           QStringLiteral("Magazyn Identyfikatorów"), QKeySequence(QStringLiteral("Alt+I")), {});
    MenuMiejscaParkingowe = Polecenie(MenuProjektowanie, "MenuMiejscaParkingowe", QStringLiteral("Miejsca parkingowe"),
                                      QKeySequence(QStringLiteral("Alt+P")), {});
    MenuNarzedzia = podmenu(MenuAdministracja, "MenuNarzedzia", QStringLiteral("Narzędzia"));
    MenuPowieloneTranspondery = Polecenie(MenuNarzedzia, "MenuPowieloneTranspondery",
                                          QStringLiteral("Wyszukaj powielone transpondery"), {}, {});
    MenuProgramowanie = podmenu(MenuAdministracja, "MenuProgramowanie", QStringLiteral("Programowanie"));
    MenuProgramowanieCentrale =
        Polecenie(MenuProgramowanie, "MenuProgramowanieCentrale", QStringLiteral("Centrale ZARVO"), {}, {});
    MenuNarzedziaSystemowe = podmenu(MenuAdministracja, "MenuNarzedziaSystemowe", QStringLiteral("Narzędzia systemowe"));
    MenuMenedzerUrzadzen =
        Polecenie(MenuNarzedziaSystemowe, "MenuMenedzerUrzadzen", QStringLiteral("Menedżer urządzeń"), {}, {});
    MenuAdministracja->addSeparator();
    MenuZamknij = Polecenie(MenuAdministracja, "MenuZamknij", QStringLiteral("Zamknij"), {}, [this] { close(); });

    MenuPortier = podmenu(nullptr, "MenuPortier", QStringLiteral("Portier"));
    OknoPodgladuMenu(MenuPortier, MenuWejscia, "MenuWejscia", QStringLiteral("Wizualizacja wejść"),
                     QKeySequence(QStringLiteral("Ctrl+E")), RodzajOkna::Wejscia);
    OknoPodgladuMenu(MenuPortier, MenuWyjscia, "MenuWyjscia", QStringLiteral("Wizualizacja wyjść"),
                     QKeySequence(QStringLiteral("Ctrl+Y")), RodzajOkna::Wyjscia);
    OknoPodgladuMenu(MenuPortier, MenuPrzyciski, "MenuPrzyciski", QStringLiteral("Przyciski"),
                     QKeySequence(QStringLiteral("Ctrl+P")), RodzajOkna::Przyciski);
    OknoPodgladuMenu(MenuPortier, MenuZdarzenia, "MenuZdarzenia", QStringLiteral("Zdarzenia"),
                     QKeySequence(QStringLiteral("Ctrl+Z")), RodzajOkna::Zdarzenia);
    OknoPodgladuMenu(MenuPortier, MenuZdarzeniaAktywne, "MenuZdarzeniaAktywne", QStringLiteral("Zdarzenia aktywne"),
                     QKeySequence(QStringLiteral("Ctrl+A")), RodzajOkna::ZdarzeniaAktywne);
    OknoPodgladuMenu(MenuPortier, MenuWizualizacjaBramy, "MenuWizualizacjaBramy", QStringLiteral("Bramy"),
                     QKeySequence(QStringLiteral("Ctrl+B")), RodzajOkna::Bramy);
    OknoPodgladuMenu(MenuPortier, MenuWizualizacjaPrzejazdy, "MenuWizualizacjaPrzejazdy", QStringLiteral("Przejazdy"),
                     QKeySequence(QStringLiteral("Ctrl+J")), RodzajOkna::Przejazdy);
    OknoPodgladuMenu(MenuPortier, MenuCzytniki, "MenuCzytniki", QStringLiteral("Czytniki"),
                     QKeySequence(QStringLiteral("Ctrl+C")), RodzajOkna::Czytniki);
    MenuPortier->addSeparator();
    OknoPodgladuMenu(MenuPortier, MenuZdarzeniaCentrali, "MenuZdarzeniaCentrali", QStringLiteral("Zdarzenia centrali"),
                     QKeySequence(QStringLiteral("Alt+Z")), RodzajOkna::ZdarzeniaCentrali);
    MenuPortier->addSeparator();
    OknoPodgladuMenu(MenuPortier, MenuWizualizacja, "MenuWizualizacja", QStringLiteral("Wizualizacja 3D"),
                     QKeySequence(QStringLiteral("Ctrl+O")), RodzajOkna::Wizualizacja);
    MenuPortier->addSeparator();
    MenuRaport = Polecenie(MenuPortier, "MenuRaport", QStringLiteral("Raport"), QKeySequence(QStringLiteral("Ctrl+R")), {});
    MenuRaportZmian = Polecenie(MenuPortier, "MenuRaportZmian", QStringLiteral("Raport zmian"),
                                QKeySequence(QStringLiteral("Ctrl+Shift+R")), {});

    MenuOkna = podmenu(nullptr, "MenuOkna", QStringLiteral("Okna"));
    MenuRozmiesc = Polecenie(MenuOkna, "MenuRozmiesc", QStringLiteral("Rozmieść równo"), {}, [this] { MdiArea->tileSubWindows(); });
    MenuKaskada = Polecenie(MenuOkna, "MenuKaskada", QStringLiteral("Ułóż kaskadowo"), {}, [this] { MdiArea->cascadeSubWindows(); });
    MenuRozmiescIkony = Polecenie(MenuOkna, "MenuRozmiescIkony", QStringLiteral("Rozmieść ikony"), {}, [this] {
        for (QMdiSubWindow* okno : MdiArea->subWindowList())
            if (okno->isMinimized())
                okno->showMinimized();
    });
    MenuMinimalizuj = Polecenie(MenuOkna, "MenuMinimalizuj", QStringLiteral("Minimalizuj"), {}, [this] {
        const auto okna = MdiArea->subWindowList();
        for (auto it = okna.rbegin(); it != okna.rend(); ++it)
            (*it)->showMinimized();
    });
    MenuPrzywroc = Polecenie(MenuOkna, "MenuPrzywroc", QStringLiteral("Przywróć"), {}, [this] {
        for (QMdiSubWindow* okno : MdiArea->subWindowList())
            okno->showNormal();
    });

    Pomoc1 = podmenu(nullptr, "Pomoc1", QStringLiteral("Pomoc"));
    MenuAbout = Polecenie(Pomoc1, "MenuAbout", QStringLiteral("O programie"), QKeySequence(QStringLiteral("Ctrl+F1")),
                          [this] { PokazInformacje(); });
}

void TFormMain::ZbudujPasekStanu() {
    const auto panel = [&](const char* nazwa, int szerokosc) {
        auto* etykieta = new QLabel(this);
        etykieta->setObjectName(QString::fromLatin1(nazwa));
        etykieta->setFrameShape(QFrame::Panel);
        etykieta->setFrameShadow(QFrame::Sunken);
        if (szerokosc > 0)
            etykieta->setFixedWidth(szerokosc);
        return etykieta;
    };
    Panel0 = panel("Panel0", 0);
    Panel1 = panel("Panel1", 20);
    Panel2 = panel("Panel2", 100);
    statusBar()->addWidget(Panel0, 1);
    statusBar()->addPermanentWidget(Panel1);
    statusBar()->addPermanentWidget(Panel2);
    Panel1->installEventFilter(this);
}

void TFormMain::Bezpiecznie(const std::function<void()>& obsluga) {
    try {
        obsluga();
    } catch (const std::exception& wyjatek) {
        ZapiszWyjatek(wyjatek, "UnitMain", LiniaObslugi);
    } catch (...) {
        ZapiszWyjatek("unknown exception", "UnitMain", LiniaObslugi);
    }
}

// ---------------------------------------------------------------- messages

void TFormMain::Post(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    QCoreApplication::postEvent(this, new ZdarzenieKomunikatu(message, wParam, lParam));
}

std::intptr_t TFormMain::Send(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    if (QThread::currentThread() != thread()) {
        Post(message, wParam, lParam);
        return 0;
    }
    std::intptr_t wynik = 0;
    Bezpiecznie([&] { wynik = ObsluzKomunikat(message, wParam, lParam); });
    return wynik;
}

bool TFormMain::event(QEvent* event) {
    if (event->type() == TypKomunikatu) {
        auto* k = static_cast<ZdarzenieKomunikatu*>(event);
        Bezpiecznie([&] { ObsluzKomunikat(k->message, k->wParam, k->lParam); });
        return true;
    }
    // The hints go to the first panel, as the desk has always shown them.
    if (event->type() == QEvent::StatusTip) {
        Panel0->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

std::intptr_t TFormMain::ObsluzKomunikat(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    const auto odswiez = [](OknoPodgladu* okno) {
        if (okno)
            okno->Odswiez();
    };
    switch (message) {
    case WM_IKONA_ZASOBNIKA:
        NaIkoneZasobnika(lParam);
        break;
    case WM_ODSWIEZ_PRZYCISKI:
        for (OknoPodgladu* okno : {OknoPrzyciski, OknoWizualizacja})
            if (okno)
                okno->Widget()->update();
        break;
    case WM_ZDARZENIE:
        NaZdarzenie(wParam, lParam);
        break;
    case WM_WEJSCIA_WYJSCIA:
        NaWejsciaWyjscia();
        break;
    case WM_ODCZYT_IDENTYFIKATORA:
        odswiez(OknoCzytniki);
        break;
    case WM_BRAMA:
        odswiez(OknoBramy);
        break;
    case WM_PRZEJAZD:
        odswiez(OknoPrzejazdy);
        break;
    case WM_ZDARZENIE_CENTRALI:
        odswiez(OknoZdarzeniaCentrali);
        break;
    case WM_STAN_KARTY:
        if (OknoDiagnostyka)
            OknoDiagnostyka->OdswiezKarte(static_cast<int>(wParam), static_cast<int>(lParam));
        break;
    default:
        break;
    }
    return 0;
}

void TFormMain::NaIkoneZasobnika(std::intptr_t lParam) {
    if (lParam == 515) {
        showNormal();
        raise();
        activateWindow();
    } else if (lParam == 517) {
        // The icon's pop-up menu has no items.
    }
}

void TFormMain::NaZdarzenie(std::intptr_t wParam, std::intptr_t lParam) {
    if (lParam == 0 || lParam == 1) {
        const auto* rodzaj = Polaczony<Object_Rodzaj_Zdarzenia>(RodzajeZdarzen, static_cast<int>(wParam));
        if (rodzaj && !rodzaj->Dzwiek.empty()) {
            const int id = rodzaj->Id();
            const auto jest = std::find(AktywneDzwieki.begin(), AktywneDzwieki.end(), id);
            if (lParam == 1 && jest == AktywneDzwieki.end())
                AktywneDzwieki.push_back(id);
            else if (lParam == 0 && jest != AktywneDzwieki.end())
                AktywneDzwieki.erase(jest);
            OdtworzDzwieki();
        }
    }
    if (OknoZdarzenia)
        OknoZdarzenia->Odswiez();
    if (OknoZdarzeniaAktywne)
        OknoZdarzeniaAktywne->Odswiez();
    if (OknoWizualizacja)
        OknoWizualizacja->OdswiezZdarzenia();
}

void TFormMain::OdtworzDzwieki() {
    if (!odtwarzacz_)
        return;
    const auto* rodzaj =
        AktywneDzwieki.empty() ? nullptr : Polaczony<Object_Rodzaj_Zdarzenia>(RodzajeZdarzen, AktywneDzwieki.back());
    if (rodzaj)
        odtwarzacz_->Odtwarzaj(QString::fromUtf8(rodzaj->Dzwiek.c_str()));
    else
        odtwarzacz_->Zatrzymaj();
}

void TFormMain::UstawOdtwarzacz(OdtwarzaczDzwiekow* odtwarzacz) {
    odtwarzacz_ = odtwarzacz ? odtwarzacz : odtwarzaczWlasny_.get();
}

void TFormMain::UstawZegar(std::function<QDateTime()> zegar) {
    zegar_ = zegar ? std::move(zegar) : [] { return QDateTime::currentDateTime(); };
}

// A window is refreshed only when one of the rows it paints belongs to a
// board: the controllers' outputs change without the bus.
void TFormMain::NaWejsciaWyjscia() {
    const auto widoczneNaKarcie = [](OknoPodgladu* okno, Objects* kontener, auto naKarcie) {
        if (!okno || !kontener || kontener->Rozmiar() == 0)
            return false;
        const int koniec = std::min(okno->KoniecWidocznych(), kontener->Rozmiar());
        for (int i = std::max(okno->PierwszyWidoczny(), 0); i < koniec; ++i)
            if (Object* element = kontener->Element(i); element && naKarcie(element))
                return true;
        return false;
    };
    if (widoczneNaKarcie(OknoWejscia, Wejscia, [](Object* e) { return static_cast<Object_Wejscie*>(e)->Karta != nullptr; }))
        OknoWejscia->Odswiez();
    if (widoczneNaKarcie(OknoWyjscia, Wyjscia, [](Object* e) { return static_cast<Object_Wyjscie*>(e)->Karta != nullptr; }))
        OknoWyjscia->Odswiez();
}

// ---------------------------------------------------------------- windows

OknoPodgladu*& TFormMain::Wskaznik(RodzajOkna rodzaj) {
    switch (rodzaj) {
    case RodzajOkna::Zdarzenia: return OknoZdarzenia;
    case RodzajOkna::ZdarzeniaAktywne: return OknoZdarzeniaAktywne;
    case RodzajOkna::ZdarzeniaCentrali: return OknoZdarzeniaCentrali;
    case RodzajOkna::Wejscia: return OknoWejscia;
    case RodzajOkna::Wyjscia: return OknoWyjscia;
    case RodzajOkna::Bramy: return OknoBramy;
    case RodzajOkna::Przejazdy: return OknoPrzejazdy;
    case RodzajOkna::Przyciski: return OknoPrzyciski;
    case RodzajOkna::Czytniki: return OknoCzytniki;
    case RodzajOkna::Diagnostyka: return OknoDiagnostyka;
    case RodzajOkna::Wizualizacja: return OknoWizualizacja;
    case RodzajOkna::MiejscaParkingowe: break;
    }
    return OknoMiejscaParkingowe;
}

// One instance each: a second command shows the open window. The
// controller-event monitor is a window of its own, the others are MDI
// children.
void TFormMain::OtworzOkno(RodzajOkna rodzaj) {
    OknoPodgladu*& wskaznik = Wskaznik(rodzaj);
    if (wskaznik) {
        QWidget* okno = wskaznik->Widget();
        if (auto* ramka = qobject_cast<QMdiSubWindow*>(okno->parentWidget()))
            MdiArea->setActiveSubWindow(ramka);
        okno->show();
        okno->raise();
        return;
    }
    const FabrykaOkna& fabryka = FabrykaOknaRodzaju(rodzaj);
    if (!fabryka)
        return;
    OknoPodgladu* nowe = fabryka();
    if (!nowe)
        return;
    wskaznik = nowe;
    QWidget* okno = nowe->Widget();
    okno->setAttribute(Qt::WA_DeleteOnClose);
    connect(okno, &QObject::destroyed, this, [this, rodzaj, nowe] {
        if (Wskaznik(rodzaj) == nowe)
            Wskaznik(rodzaj) = nullptr;
    });
    if (rodzaj == RodzajOkna::ZdarzeniaCentrali)
        okno->setWindowFlag(Qt::Window);
    else
        MdiArea->addSubWindow(okno)->setAttribute(Qt::WA_DeleteOnClose);
    okno->show();
}

void TFormMain::ZamknijOknaPodgladu() {
    for (RodzajOkna rodzaj :
         {RodzajOkna::Wizualizacja, RodzajOkna::Wejscia, RodzajOkna::Przyciski, RodzajOkna::Wyjscia,
          RodzajOkna::Zdarzenia, RodzajOkna::ZdarzeniaAktywne, RodzajOkna::Bramy, RodzajOkna::Przejazdy,
          RodzajOkna::Czytniki, RodzajOkna::ZdarzeniaCentrali, RodzajOkna::Diagnostyka,
          RodzajOkna::MiejscaParkingowe})
        if (OknoPodgladu* okno = Wskaznik(rodzaj))
            okno->Widget()->close();
    if (OknoKomunikaty)
        OknoKomunikaty->close();
    if (OknoStatus)
        OknoStatus->close();
}

void TFormMain::OtworzOknaZRejestru() {
    if (!Rejestr || !Rejestr->openKey(ui::KluczUstawien, false))
        return;
    for (const OknoRejestru& o : OknaRejestru)
        if (Rejestr->readInteger(o.wartosc).value_or(0) != 0)
            OtworzOkno(o.rodzaj);
    Rejestr->closeKey();
}

void TFormMain::ZapiszOknaDoRejestru() {
    if (!Rejestr || !Rejestr->openKey(ui::KluczUstawien, true))
        return;
    for (const OknoRejestru& o : OknaRejestru)
        Rejestr->writeInteger(o.wartosc, Wskaznik(o.rodzaj) ? 1 : 0);
    Rejestr->closeKey();
}

void TFormMain::DodajKomunikat(const std::string& tekst) {
    DodajKomunikat(QString::fromStdString(tekst));
}

void TFormMain::DodajKomunikat(const QString& tekst) {
    if (OknoKomunikaty) {
        OknoKomunikaty->show();
    } else {
        OknoKomunikaty = new TFormKomunikaty;
        connect(OknoKomunikaty, &QObject::destroyed, this, [this] { OknoKomunikaty = nullptr; });
        MdiArea->addSubWindow(OknoKomunikaty)->setAttribute(Qt::WA_DeleteOnClose);
        OknoKomunikaty->show();
    }
    OknoKomunikaty->Dodaj(tekst);
}

void TFormMain::PokazStatus() {
    if (!OknoStatus) {
        OknoStatus = new TFormStatus;
        connect(OknoStatus, &QObject::destroyed, this, [this] { OknoStatus = nullptr; });
    }
    OknoStatus->show();
    if (CPUMonitor)
        OknoStatus->OdswiezStatus(*CPUMonitor);
}

void TFormMain::PokazInformacje() {
    TFormAbout about(this);
    WykonajModalnie(about);
}

// ---------------------------------------------------------------- status bar

bool TFormMain::eventFilter(QObject* obiekt, QEvent* event) {
    if (obiekt == Panel1 && event->type() == QEvent::MouseButtonRelease) {
        StatusBarClick();
        return true;
    }
    return QMainWindow::eventFilter(obiekt, event);
}

void TFormMain::StatusBarClick() {
    if (MenuDiagnostyka->isEnabled())
        MenuDiagnostyka->trigger();
}

void TFormMain::UstawPanel1() {
    if (BladMagistrali)
        Panel1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
    else
        Panel1->clear();
}

// ---------------------------------------------------------------- closing

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Bezpiecznie([this] { FormShow(); });
}

void TFormMain::FormShow() {
    Probkuj("FormMainShow");
    if (Pokazane)
        return;
    Pokazane = true;
    SprawdzWatki();
    TimerConnect->start();
}

void TFormMain::closeEvent(QCloseEvent* event) {
    bool wolno = false;
    Bezpiecznie([&] { wolno = FormCloseQuery(); });
    if (!wolno) {
        event->ignore();
        return;
    }
    Bezpiecznie([this] { FormClose(); });
    event->accept();
    emit Zamknieto();
}

bool TFormMain::FormCloseQuery() {
    if (KoniecSesji)
        return true;
    // Without a connection there is no account to check.
    const bool polaczony = DM && DM->FDConnection.connected();
    if (polaczony && !WymagajUprawnien())
        return false;
    return ui::MessageBox(this, QStringLiteral("Zamykanie programu"), QStringLiteral("Czy zakończyć pracę programu?"),
                          ui::Icon::Question, ui::Yes | ui::No, ui::Yes) == ui::Yes;
}

// Only the logic stops: no stop event is logged, and the cloud link and
// the encoders are left to the end of the process. The buses' poll threads
// end here, with the runtime.
void TFormMain::FormClose() {
    TimerMozg->stop();
    if (MozgIsRunning())
        MozgStop();
    ZapiszOknaDoRejestru();
}

void TFormMain::AplikacjaBezczynnosc() {
    setVisible(true);
    showNormal();
    raise();
    activateWindow();
}

// ---------------------------------------------------------------- forms

void UtworzFormy() {
    FormMain = new TFormMain;
    FormOptions = new TFormOptions(FormMain);
    FormZmianaHasla = new TFormZmianaHasla(FormMain);
    FormLogowanie = new TFormLogowanie(FormMain);
    UtworzDialogiEdycji(FormMain);
}

void UsunFormy() {
    // The dialogs belong to the main window.
    delete FormMain;
    FormMain = nullptr;
    FormOptions = nullptr;
    FormZmianaHasla = nullptr;
    FormLogowanie = nullptr;
    FormMagistraleEdycja = nullptr;
    FormKartyEdycja = nullptr;
    FormCzytnikiEdycja = nullptr;
    FormEnkoderyEdycja = nullptr;
}
