#pragma once
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/OknoPodgladu.h"
#include "app/UnitBackupRestore.h"
#include "core/Uslugi.h"
#include "devices/SerwerEnkoderow.h"
#include "platform/messages/WindowHandle.h"

class QAction;
class QDateTime;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class OdtwarzaczDzwiekow;
class TFormInfo;
class TFormKomunikaty;
class TFormStatus;

namespace platform::registry {
class Registry;
}

// The desk's main window: an MDI frame whose menu opens every other window,
// whose status bar shows the hints, the connection's progress, the bus icon
// and the running state, and which turns the logic's and the drivers' window
// messages into refreshes of the open live windows and into event sounds.
// It connects to the database at its first show, starts and stops the
// running system and drives the 10 ms logic tick.
class TFormMain : public QMainWindow, public platform::WindowHandle, public DziennikKomunikatow {
    Q_OBJECT
public:
    // The roles of the operator accounts.
    enum Rola { Administrator = 1, ProjektantWizualizacji, ProjektantSystemowy, Raportowanie, Portier };

    // The message loop's event that carries a posted window message.
    class ZdarzenieKomunikatu;

    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;

    // The logged-in operator; 0 while nobody is.
    int IdAdministratora = 0;
    int RodzajAdministratora = 0;
    QString NazwaAdministratora;
    QString FacilityKey;

    bool KoniecSesji = false;
    bool Autostart = false;
    bool PierwszePolaczenie = true;
    bool Pokazane = false;
    bool BladMagistrali = false;
    std::unique_ptr<platform::registry::Registry> Rejestr;
    QPixmap Logo;
    // Ids of the event kinds whose sound is wanted, the newest last. Ids,
    // not elements: a start reloads the containers.
    std::vector<int> AktywneDzwieki;

    OknoPodgladu* OknoZdarzenia = nullptr;
    OknoPodgladu* OknoZdarzeniaAktywne = nullptr;
    OknoPodgladu* OknoZdarzeniaCentrali = nullptr;
    OknoPodgladu* OknoWejscia = nullptr;
    OknoPodgladu* OknoWyjscia = nullptr;
    OknoPodgladu* OknoBramy = nullptr;
    OknoPodgladu* OknoPrzejazdy = nullptr;
    OknoPodgladu* OknoPrzyciski = nullptr;
    OknoPodgladu* OknoCzytniki = nullptr;
    OknoPodgladu* OknoDiagnostyka = nullptr;
    OknoPodgladu* OknoWizualizacja = nullptr;
    OknoPodgladu* OknoMiejscaParkingowe = nullptr;
    TFormKomunikaty* OknoKomunikaty = nullptr;
    TFormStatus* OknoStatus = nullptr;

    QMdiArea* MdiArea = nullptr;
    QLabel* Panel0 = nullptr; // texts
    QLabel* Panel1 = nullptr; // the bus icon
    QLabel* Panel2 = nullptr; // running or stopped
    QTimer* TimerMozg = nullptr;
    QTimer* TimerConnect = nullptr;

    QMenu* MenuAdministracja = nullptr;
    QAction* MenuLogin = nullptr;
    QAction* MenuZmianaHasla = nullptr;
    QAction* MenuAdministratorzy = nullptr;
    QAction* MenuOpcje = nullptr;
    QMenu* MenuBaza = nullptr;
    QAction* MenuBazaKopia = nullptr;
    QAction* MenuBazaPrzywroc = nullptr;
    QAction* MenuBazaNowa = nullptr;
    QAction* MenuImportBazy = nullptr;
    QAction* MenuAktualizacjaBazy = nullptr;
    QAction* MenuDiagnostyka = nullptr;
    QAction* MenuStatus = nullptr;
    QAction* MenuUruchamianie = nullptr;
    QMenu* MenuImport = nullptr;
    QAction* MenuImportAdmin = nullptr;
    QAction* MenuImportVendrix = nullptr;
    QMenu* MenuProjektowanie = nullptr;
    QAction* MenuProjektowanieSystemu = nullptr;
    QAction* MenuPrzejazdy = nullptr;
    QAction* MenuUzytkownicyGrupy = nullptr;
    QAction* MenuProjektowanieWizualizacji = nullptr;
    QAction* MenuMagazynIdentyfikatorow = nullptr;
    QAction* MenuMiejscaParkingowe = nullptr;
    QMenu* MenuNarzedzia = nullptr;
    QAction* MenuPowieloneTranspondery = nullptr;
    QMenu* MenuProgramowanie = nullptr;
    QAction* MenuProgramowanieCentrale = nullptr;
    QMenu* MenuNarzedziaSystemowe = nullptr;
    QAction* MenuMenedzerUrzadzen = nullptr;
    QAction* MenuZamknij = nullptr;
    QMenu* MenuPortier = nullptr;
    QAction* MenuWejscia = nullptr;
    QAction* MenuWyjscia = nullptr;
    QAction* MenuPrzyciski = nullptr;
    QAction* MenuZdarzenia = nullptr;
    QAction* MenuZdarzeniaAktywne = nullptr;
    QAction* MenuWizualizacjaBramy = nullptr;
    QAction* MenuWizualizacjaPrzejazdy = nullptr;
    QAction* MenuCzytniki = nullptr;
    QAction* MenuZdarzeniaCentrali = nullptr;
    QAction* MenuWizualizacja = nullptr;
    QAction* MenuRaport = nullptr;
    QAction* MenuRaportZmian = nullptr;
    QMenu* MenuOkna = nullptr;
    QAction* MenuRozmiesc = nullptr;
    QAction* MenuKaskada = nullptr;
    QAction* MenuRozmiescIkony = nullptr;
    QAction* MenuMinimalizuj = nullptr;
    QAction* MenuPrzywroc = nullptr;
    QMenu* Pomoc1 = nullptr;
    QAction* MenuAbout = nullptr;

    // The message-log interface of the lower layers.
    void DodajKomunikat(const std::string& tekst) override;
    void DodajKomunikat(const QString& tekst);

    // Window messages: a message sent from the main thread is handled at
    // once; from any other thread, and every posted one, it is queued to
    // the message loop, so no thread waits for the main thread.
    void Post(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t Send(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t ObsluzKomunikat(unsigned message, std::intptr_t wParam, std::intptr_t lParam);

    // Start-up and closing.
    void FormShow();
    void TimerConnectTimer();
    bool BazaZnana();
    void KomunikatWersjiBazy(int rodzaj);
    // The command line after the program, as the autostart entry gives it.
    void UstawLinieKomend(const QString& argumenty);
    static bool PrzelacznikAutostartu(const std::string& liniaKomend);
    void AplikacjaBezczynnosc();

    // Running and stopping.
    bool UruchomZatrzymajSystem(int tryb);
    void MenuUruchamianieClick();
    void TimerMozgTimer();
    void SprawdzWatki();
    void SprawdzMiejscaDoSynchronizacji();
    void SprawdzUrzadzeniaDoSynchronizacji();
    // The tray tip, the status panel and the menu caption as the running
    // state says.
    void UstawStanSystemu();
    // The encoders' server on the options' port; only while encoders exist.
    bool UruchomSerwerEnkoderow();
    SerwerEnkoderow Serwer;

    // Roles and login.
    bool WymagajUprawnien();
    void ZalogujWyloguj();
    void MenuLoginClick() { ZalogujWyloguj(); }
    void MenuZmianaHaslaClick();
    // The menu items as the logged-in role allows.
    void UstawMenuWgRoli();

    // The live windows.
    OknoPodgladu*& Wskaznik(RodzajOkna rodzaj);
    void OtworzOkno(RodzajOkna rodzaj);
    void ZamknijOknaPodgladu();
    void OtworzOknaZRejestru();
    void ZapiszOknaDoRejestru();
    void PokazStatus();
    void PokazInformacje();

    // Window messages.
    void NaZdarzenie(std::intptr_t wParam, std::intptr_t lParam);
    void NaWejsciaWyjscia();
    void NaIkoneZasobnika(std::intptr_t lParam);

    void StatusBarClick();
    void UstawOdtwarzacz(OdtwarzaczDzwiekow* odtwarzacz);
    // The local time the timer reads; tests set their own.
    void UstawZegar(std::function<QDateTime()> zegar);

    // The database commands of the "Baza danych" menu.
    void MenuBazaKopiaClick();
    void MenuBazaPrzywrocClick();
    void MenuBazaNowaClick();
    void MenuImportBazyClick();
    void MenuAktualizacjaBazyClick();
    // A backup into a file the operator chooses; the file in sciezka when
    // one is given.
    bool WykonajKopieBazy(QWidget* okno, QString* sciezka);
    // A backup into the options' backup folder without questions; the
    // cloud's backup task calls it.
    bool KopiaBazyDoFolderu(QWidget* wlasciciel, QString& sciezka);
    // A restore the cloud asks for: stop, restore silently, upgrade
    // silently, start again when it ran. True when all of it succeeded.
    bool PrzywrocBazeZdalnie(QWidget* okno, const QString& sciezka);
    bool AktualizujBaze(QWidget* okno, bool bezKopii, bool cichy);
    bool ZamknijPolaczenie();

    // The scheduled backup while it runs, else null.
    TFormBackupRestore* KopiaWToku() const { return kopia_; }

signals:
    // The operator closed the window and the program ends.
    void Zamknieto();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* obiekt, QEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    bool FormCloseQuery();
    void FormClose();
    void ZbudujMenu();
    void ZbudujPasekStanu();
    QAction* Polecenie(QMenu* menu, const char* nazwa, const QString& tekst, const QKeySequence& skrot,
                       std::function<void()> akcja);
    void OknoPodgladuMenu(QMenu* menu, QAction*& pozycja, const char* nazwa, const QString& tekst,
                          const QKeySequence& skrot, RodzajOkna rodzaj);
    // Runs a handler; what it throws goes to the exception log, unseen.
    void Bezpiecznie(const std::function<void()>& obsluga);

    bool PolaczZBaza(TFormInfo* info);
    void PokazPostep(TFormInfo* info, const QString& tekst);
    void UstawParametryPolaczenia(bool superuzytkownik);
    bool Uruchom();
    void Zatrzymaj();
    void OdswiezOknaPoZmianie();
    void KopiaZaplanowana(const QDateTime& teraz);
    void PoKopii(TFormBackupRestore* kopia, const QString& plik, bool udana);
    void UsunStareZdarzenia();
    void UstawParametryKopii(TFormBackupRestore& okno) const;
    QString NazwaKopii() const;
    bool ZatrzymajPrzedZmianaBazy();
    void OdtworzDzwieki();
    void UstawPanel1();
    // Says in the status bar when the database server stops answering the
    // writer, and when it answers again.
    void UstawStanBazy();

    std::unique_ptr<OdtwarzaczDzwiekow> odtwarzaczWlasny_;
    OdtwarzaczDzwiekow* odtwarzacz_ = nullptr;
    std::function<QDateTime()> zegar_;
    QPointer<TFormBackupRestore> kopia_;
    bool wlasnyDM_ = false;

    // Between ticks: the current second's tick count and step time, the
    // rental time, the second and minute last handled, the date of the last
    // backup check that matched the time.
    int takty_ = 0;
    int czasTaktow_ = 0;
    int czasWynajmu_ = 0;
    int sekunda_ = 0;
    bool bazaNieodpowiada_ = false;
    int minuta_ = 0;
    int dzienKopii_ = 0, miesiacKopii_ = 0, rokKopii_ = 0;
};

// The auto-created forms; null while they do not exist.
class TFormOptions;
class TFormLogowanie;
class TFormZmianaHasla;
extern TFormMain* FormMain;
extern TFormOptions* FormOptions;
extern TFormLogowanie* FormLogowanie;
extern TFormZmianaHasla* FormZmianaHasla;
// The controller programming window while it is open: no start or stop
// then.
extern QWidget* FormProgramowanieCentrale;

// Creates the forms the program makes at start, the main window first, in
// the order the program has always made them; UsunFormy frees them.
void UtworzFormy();
void UsunFormy();
