#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <thread>

#include "app/PolaczenieBazy.h"
#include "app/UnitKomunikaty.h"
#include "app/UnitStatus.h"
#include "app/UnitMain.h"
#include "app/UnitOptions.h"
#include "cloud/TDMCloud.h"
#include "core/Komunikaty.h"
#include "core/MD5.h"
#include "core/Mozg.h"
#include "core/TCPUMonitor.h"
#include "core/Object_Karta.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Wejscie.h"
#include "core/Objects_globals.h"
#include "devices/Object_Enkoder.h"
#include "database/Database.h"
#include "database/Import.h"
#include "database/TDM.h"
#include "database/Wersje.h"
#include "devices/Urzadzenia.h"
#include "platform/db/DbError.h"
#include "platform/registry/Registry.h"
#include "platform/ui/PozycjaOkna.h"
#include "tests/app/MainWindowSupport.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TemporaryHome.h"
#include "tests/support/TemporaryRegistry.h"
#include "tests/support/TestDataModule.h"

namespace ui = platform::ui;
using platform::registry::Registry;

namespace {

void Pump(int ms = 0) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

template <class Condition>
bool PumpUntil(Condition done, int ms = 60000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        Pump(5);
    }
    return true;
}

std::vector<std::string> Captions(const ScriptedDialogs& dialogs) {
    std::vector<std::string> captions;
    for (const auto& m : dialogs.messages)
        captions.push_back(m.caption.toStdString());
    return captions;
}

// What the main window's tests put in place of the program's surroundings:
// the model, the registry, the message boxes, the login, the sounds and the
// windows the menu opens.
struct StandIns {
    bool devices = (RejestrujUrzadzenia(), true);
    GlobalModel model;
    TemporaryRegistry registry;
    ScriptedDialogs dialogs;
    ScriptedLogins logins;
    RecordingSounds sounds;
    StandInWindows windows;
};

// The main window and the forms made with it, on the model and registry of
// the test; without a database.
class MainWindow : public ::testing::Test, protected StandIns {
protected:
    void SetUp() override {
        TestApplication();
        UtworzFormy();
        FormMain->UstawOdtwarzacz(&sounds);
    }
    void TearDown() override {
        if (MozgIsRunning())
            MozgStop();
        UsunFormy();
    }

};

// The same on a database of its own with the schema, the data module
// connected before the window is made, as after the first connection.
class MainWindowOnDatabase : public TestSchema, protected StandIns {
protected:
    void SetUp() override {
        TestApplication();
        TestSchema::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        WersjaBazy = KrokWersji();
        UtworzFormy();
        FormMain->UstawOdtwarzacz(&sounds);
        FormOptions->EditDbAddress->setText(QString::fromStdString(host()));
        FormOptions->EditDbPort->setText(QString::number(port()));
        FormOptions->EditDbName->setText(QString::fromStdString(database()));
        FormOptions->EditDbUser->setText(QString::fromStdString(user()));
        FormOptions->EditDbPassword->setText(QString::fromStdString(password()));
    }
    void TearDown() override {
        if (FormMain) {
            if (MozgIsRunning())
                MozgStop();
            UsunFormy();
        }
        TestSchema::TearDown();
    }

    void AddOperator(const std::string& name, const std::string& password, int role) {
        exec("INSERT INTO administratorzy (Nazwa, Haslo, Rodzaj) VALUES ('" + name + "', '" + SkrotHasla(password) +
             "', " + std::to_string(role) + ")");
    }
    int Events(int builtIn) {
        return std::stoi(scalar("SELECT count(*) FROM zdarzenia WHERE IdRodzajZdarzeniaWbudowane = " +
                                std::to_string(builtIn)));
    }

};

} // namespace

TEST(CommandLine, OnlyTheSwitchAfterAQuotedProgramSetsAutostart) {
    struct Case {
        const char* line;
        bool autostart;
    };
    const Case cases[] = {
        {"\"/opt/kandor/kandor\"  /AS", true},
        {"\"/opt/kandor/kandor\" /as", true},
        {"\"/opt/kandor/kandor\" /as now", false},
        {"\"/opt/kandor/kandor\"", false},
        {"/opt/kandor/kandor /as", false},
        {"\"/opt/kandor/kandor /as", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(TFormMain::PrzelacznikAutostartu(c.line), c.autostart);
    }
}

TEST(ConnectionStatements, NamesAreCheckedAndQuoted) {
    EXPECT_EQ(SqlUtworzUzytkownika("kandor", "it's"), "CREATE USER \"kandor\" WITH PASSWORD 'it''s'");
    EXPECT_EQ(SqlUtworzBaze("kandor", "Kandor_1"),
              "CREATE DATABASE \"kandor\" OWNER \"Kandor_1\" ENCODING 'UTF8' TEMPLATE template0");
    for (const char* bad : {"", "1abc", "kandor; DROP TABLE x", "a\"b", "ka ndor"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(SqlUtworzUzytkownika(bad, "x"));
        EXPECT_FALSE(SqlUtworzBaze(bad, "kandor"));
        EXPECT_FALSE(SqlUtworzBaze("kandor", bad));
    }
    EXPECT_FALSE(NazwaIdentyfikatora(std::string(64, 'a')));

    using platform::db::DbError;
    for (const char* refusal : {"28P01", "28000", "3D000", "42710", "42P04"})
        EXPECT_EQ(KodBleduBazy(DbError(refusal, "")), KodOdmowySerwera) << refusal;
    EXPECT_NE(KodBleduBazy(DbError("08001", "unreachable")), KodOdmowySerwera);
}

TEST_F(MainWindow, MenuItemsFollowTheRole) {
    TFormMain& m = *FormMain;
    // Roles as bits, bit n for role n; 0 for nobody logged in.
    const struct {
        QAction* item;
        unsigned roles;
    } items[] = {
        {m.MenuZmianaHasla, 0b111110},
        {m.MenuAdministratorzy, 0b10},
        {m.MenuBaza->menuAction(), 0b10},
        {m.MenuImportAdmin, 0b1010},
        {m.MenuImportVendrix, 0b1010},
        {m.MenuProjektowanieSystemu, 0b1010},
        {m.MenuPrzejazdy, 0b1010},
        {m.MenuUzytkownicyGrupy, 0b1010},
        {m.MenuProjektowanieWizualizacji, 0b110},
        {m.MenuMagazynIdentyfikatorow, 0b110},
        {m.MenuMiejscaParkingowe, 0b110},
        {m.MenuPowieloneTranspondery, 0b110},
        {m.MenuProgramowanieCentrale, 0b1010},
        {m.MenuRaport, 0b10010},
        {m.MenuRaportZmian, 0b10010},
        {m.MenuOpcje, 0b111111},
        {m.MenuStatus, 0b111111},
        {m.MenuUruchamianie, 0b111111},
        {m.MenuWejscia, 0b111111},
    };
    for (int role = 0; role <= 5; ++role) {
        m.IdAdministratora = role ? 10 + role : 0;
        m.RodzajAdministratora = role;
        m.UstawMenuWgRoli();
        for (const auto& i : items) {
            SCOPED_TRACE("role " + std::to_string(role) + " " + i.item->objectName().toStdString());
            EXPECT_EQ(i.item->isEnabled(), ((i.roles >> role) & 1) != 0);
        }
        EXPECT_EQ(m.MenuLogin->text(), role ? "Wyloguj" : "Logowanie");
    }
    EXPECT_FALSE(m.MenuDiagnostyka->isEnabled()) << "only a start from the menu enables it";
    EXPECT_FALSE(m.MenuAktualizacjaBazy->isEnabled());
}

TEST_F(MainWindow, MessagesReachTheOpenLiveWindowsAndOnlyThose) {
    TFormMain& m = *FormMain;
    m.OtworzOkno(RodzajOkna::Bramy);
    m.OtworzOkno(RodzajOkna::Diagnostyka);
    OknoPodgladu* bramy = m.OknoBramy;
    ASSERT_NE(bramy, nullptr);
    m.OtworzOkno(RodzajOkna::Bramy);
    EXPECT_EQ(m.OknoBramy, bramy) << "one instance";

    m.Post(WM_BRAMA, 0, 0);
    m.Post(WM_PRZEJAZD, 0, 0); // the passages window is closed
    m.Post(WM_STAN_KARTY, 7, 300);
    EXPECT_TRUE(windows.log.empty()) << "posted messages wait for the message loop";
    Pump();
    EXPECT_EQ(windows.log, (std::vector<std::string>{"Bramy:Odswiez", "Diagnostyka:OdswiezKarte 7 300"}));

    windows.log.clear();
    m.Send(WM_BRAMA, 0, 0);
    EXPECT_EQ(windows.log, std::vector<std::string>{"Bramy:Odswiez"}) << "sent on the main thread: at once";
    windows.log.clear();
    std::thread([&] { m.Send(WM_BRAMA, 0, 0); }).join();
    EXPECT_TRUE(windows.log.empty()) << "sent from a thread: delivered as posted";
    Pump();
    EXPECT_EQ(windows.log, std::vector<std::string>{"Bramy:Odswiez"});

    bramy->Widget()->close();
    Pump();
    EXPECT_EQ(m.OknoBramy, nullptr) << "a closed window is forgotten";
    windows.log.clear();
    m.Send(WM_BRAMA, 0, 0);
    EXPECT_TRUE(windows.log.empty());
}

TEST_F(MainWindow, InputsRefreshOnlyForABoardInputInThePaintedRange) {
    Karty->DodajRekord(1, 1, 1, 5, "Karta");
    Wejscia->DodajRekord(1, 0, 1, "Bez karty");
    Wejscia->DodajRekord(2, 1, 1, "Na karcie");
    ObiektyInicjalizuj();
    TFormMain& m = *FormMain;
    m.OtworzOkno(RodzajOkna::Wejscia);
    auto* wejscia = dynamic_cast<StandInWindow*>(m.OknoWejscia);
    ASSERT_NE(wejscia, nullptr);
    struct Case {
        int first, end;
        bool refreshed;
    };
    for (const Case c : {Case{0, 1, false}, Case{0, 2, true}, Case{1, 5, true}, Case{2, 5, false}}) {
        SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.end));
        windows.log.clear();
        wejscia->first = c.first;
        wejscia->end = c.end;
        m.Send(WM_WEJSCIA_WYJSCIA, 0, 0);
        EXPECT_EQ(!windows.log.empty(), c.refreshed);
    }
}

TEST_F(MainWindow, TheNewestActiveKindsSoundLoopsUntilItsEventEnds) {
    RodzajeZdarzen->DodajRekord(1, "A", 1, 0, 0, 0, 0, "/sounds/a.wav");
    RodzajeZdarzen->DodajRekord(2, "B", 1, 0, 0, 0, 0, "/sounds/b.wav");
    RodzajeZdarzen->DodajRekord(3, "Cisza", 1, 0, 0, 0, 0, "");
    TFormMain& m = *FormMain;
    m.OtworzOkno(RodzajOkna::Zdarzenia);
    const auto event = [&](int kind, int lParam) { m.Send(WM_ZDARZENIE, kind, lParam); };

    event(1, 1);
    event(2, 1);
    EXPECT_EQ(sounds.playing, "/sounds/b.wav");
    event(3, 1);
    event(1, 1);
    EXPECT_EQ(m.AktywneDzwieki, (std::vector<int>{1, 2})) << "no sound, no entry; a kind enters once";
    EXPECT_EQ(sounds.playing, "/sounds/b.wav");
    event(2, 0);
    EXPECT_EQ(sounds.playing, "/sounds/a.wav");
    event(27, 2);
    EXPECT_EQ(sounds.playing, "/sounds/a.wav") << "a built-in event plays nothing";
    event(99, 1);
    EXPECT_EQ(m.AktywneDzwieki, std::vector<int>{1}) << "an unknown kind plays nothing";
    event(1, 0);
    EXPECT_EQ(sounds.playing, std::nullopt);
    EXPECT_TRUE(m.AktywneDzwieki.empty());
    EXPECT_EQ(std::count(windows.log.begin(), windows.log.end(), "Zdarzenia:Odswiez"), 8)
        << "every event message refreshes the monitor";
}

TEST_F(MainWindow, RememberedWindowsOpenAgainAtStartUp) {
    {
        Registry r;
        r.openKey(ui::KluczUstawien, true);
        r.writeInteger("OknoWejscia", 1);
        r.writeInteger("OknoWyjscia", 0);
    }
    TFormMain& m = *FormMain;
    m.OtworzOknaZRejestru();
    EXPECT_NE(m.OknoWejscia, nullptr);
    EXPECT_EQ(m.OknoPrzyciski, nullptr);
    EXPECT_EQ(m.OknoWyjscia, nullptr);
    EXPECT_EQ(m.OknoZdarzenia, nullptr);

    m.OtworzOkno(RodzajOkna::Zdarzenia);
    m.OknoWejscia->Widget()->close();
    Pump();
    m.ZapiszOknaDoRejestru();
    Registry r;
    ASSERT_TRUE(r.openKey(ui::KluczUstawien, false));
    EXPECT_EQ(r.readInteger("OknoZdarzenia"), 1);
    EXPECT_EQ(r.readInteger("OknoWejscia"), 0);
    EXPECT_EQ(r.readInteger("OknoPrzyciski"), 0);
}

TEST_F(MainWindow, TheMessageLogCollectsLinesAndTheBusIconAClickWhileStoppedDoesNothing) {
    TFormMain& m = *FormMain;
    DodajKomunikat("Nie udało się połączyć z magistralami.");
    ASSERT_NE(m.OknoKomunikaty, nullptr);
    m.DodajKomunikat(std::string("drugi"));
    const QStringList lines = m.OknoKomunikaty->MemoKomunikaty->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(" Nie udało się połączyć z magistralami."));

    m.StatusBarClick();
    EXPECT_EQ(m.OknoDiagnostyka, nullptr);
}

TEST_F(MainWindowOnDatabase, WymagajUprawnienPassesAnyLoginInItsDialog) {
    AddOperator("portier", "p", TFormMain::Portier);
    TFormMain& m = *FormMain;

    m.IdAdministratora = 2;
    m.RodzajAdministratora = TFormMain::Raportowanie;
    EXPECT_TRUE(m.WymagajUprawnien());
    EXPECT_TRUE(logins.shown.empty()) << "roles 1-4 pass without a dialog";

    m.IdAdministratora = 7;
    m.RodzajAdministratora = TFormMain::Portier;
    logins.logins = {std::nullopt};
    EXPECT_FALSE(m.WymagajUprawnien());
    EXPECT_EQ(m.IdAdministratora, 7);
    EXPECT_EQ(m.RodzajAdministratora, TFormMain::Portier) << "the porter stays logged in";

    m.IdAdministratora = 0;
    m.RodzajAdministratora = 0;
    logins.logins = {ScriptedLogins::Login{"portier", "p"}};
    EXPECT_TRUE(m.WymagajUprawnien()) << "a porter's login in the dialog passes";
    EXPECT_EQ(m.RodzajAdministratora, TFormMain::Portier);
}

TEST_F(MainWindowOnDatabase, LoginChecksNameAndPasswordExactly) {
    exec("DELETE FROM administratorzy");
    TFormMain& m = *FormMain;
    logins.logins = {ScriptedLogins::Login{"Tusko", "tusko"}};
    m.ZalogujWyloguj();
    EXPECT_EQ(m.IdAdministratora, 0) << "the name's letter case counts";
    EXPECT_EQ(Captions(dialogs), std::vector<std::string>{"Błąd logowania"});
    EXPECT_EQ(scalar("SELECT count(*) FROM administratorzy"), "1") << "an empty table gets the default account";

    logins.logins = {ScriptedLogins::Login{"tusko", "tusko"}};
    m.ZalogujWyloguj();
    EXPECT_NE(m.IdAdministratora, 0);
    EXPECT_EQ(m.RodzajAdministratora, TFormMain::Administrator);
    EXPECT_EQ(m.NazwaAdministratora, "tusko");
    EXPECT_EQ(m.MenuLogin->text(), "Wyloguj");
    EXPECT_TRUE(m.MenuAdministratorzy->isEnabled());

    dialogs.messageAnswers = {ui::No};
    m.ZalogujWyloguj();
    EXPECT_NE(m.IdAdministratora, 0) << "logout needs a Yes";
    dialogs.messageAnswers = {ui::Yes};
    m.ZalogujWyloguj();
    EXPECT_EQ(m.IdAdministratora, 0);
    EXPECT_FALSE(m.MenuAdministratorzy->isEnabled());
    EXPECT_EQ(m.MenuLogin->text(), "Logowanie");
}

TEST_F(MainWindowOnDatabase, WithoutTheAccountsTableOnlyAMissingOrUnknownSchemaLetsEveryoneIn) {
    exec("DROP TABLE administratorzy");
    TFormMain& m = *FormMain;
    logins.logins = {ScriptedLogins::Login{"ktokolwiek", "x"}};
    m.ZalogujWyloguj();
    EXPECT_EQ(m.IdAdministratora, 0) << "a known schema that lost the table lets nobody in";

    WersjaBazy = 0;
    logins.logins = {ScriptedLogins::Login{"ktokolwiek", "x"}};
    m.ZalogujWyloguj();
    EXPECT_EQ(m.IdAdministratora, 1);
    EXPECT_EQ(m.RodzajAdministratora, TFormMain::Administrator);
}

TEST_F(MainWindowOnDatabase, PasswordChange) {
    AddOperator("ala", "stare", TFormMain::Portier);
    TFormMain& m = *FormMain;
    logins.logins = {ScriptedLogins::Login{"ala", "stare"}};
    m.ZalogujWyloguj();
    ASSERT_NE(m.IdAdministratora, 0);
    const auto stored = [&] { return scalar("SELECT Haslo FROM administratorzy WHERE Nazwa = 'ala'"); };

    struct Case {
        const char* name;
        std::optional<ScriptedLogins::PasswordChange> change;
        std::vector<std::string> captions;
        std::string digest;
    };
    const Case cases[] = {
        {"cancelled", std::nullopt, {}, SkrotHasla("stare")},
        {"new ones differ", ScriptedLogins::PasswordChange{"stare", "a", "b"}, {"Błędne nowe hasła"}, SkrotHasla("stare")},
        {"current wrong", ScriptedLogins::PasswordChange{"zle", "a", "a"}, {"Błędne aktualne hasło"}, SkrotHasla("stare")},
        {"empty new password", ScriptedLogins::PasswordChange{"stare", "", ""}, {"Zmiana hasła"}, SkrotHasla("")},
        {"changed again", ScriptedLogins::PasswordChange{"", "nowe", "nowe"}, {"Zmiana hasła"}, SkrotHasla("nowe")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.messages.clear();
        logins.changes = {c.change};
        m.MenuZmianaHaslaClick();
        EXPECT_EQ(Captions(dialogs), c.captions);
        EXPECT_EQ(stored(), c.digest);
    }
}

TEST_F(MainWindowOnDatabase, StartAndStopLogTheirEventsAndStoppingNeedsALoginAndAYes) {
    TFormMain& m = *FormMain;
    EXPECT_TRUE(m.UruchomZatrzymajSystem(1));
    EXPECT_TRUE(MozgIsRunning());
    EXPECT_TRUE(dialogs.messages.empty()) << "starting needs no login";
    EXPECT_TRUE(PumpUntil([&] { return Events(27) == 1; }, 5000));
    EXPECT_EQ(m.Panel2->text(), "Uruchomiony");
    EXPECT_EQ(m.MenuUruchamianie->text(), "Zatrzymaj system");
    EXPECT_TRUE(m.UruchomZatrzymajSystem(1)) << "already running";

    // A porter is offered the login; cancelled, the stop is refused.
    m.IdAdministratora = 9;
    m.RodzajAdministratora = TFormMain::Portier;
    logins.logins = {std::nullopt};
    EXPECT_FALSE(m.UruchomZatrzymajSystem(255));
    EXPECT_EQ(Captions(dialogs), std::vector<std::string>{"Zatrzymanie systemu"});
    EXPECT_EQ(dialogs.messages.back().text, "Trzeba się zalogować, aby zatrzymać system.");
    EXPECT_TRUE(MozgIsRunning());

    m.RodzajAdministratora = TFormMain::Administrator;
    dialogs.messages.clear();
    dialogs.messageAnswers = {ui::No};
    EXPECT_FALSE(m.UruchomZatrzymajSystem(0));
    EXPECT_TRUE(MozgIsRunning());
    dialogs.messageAnswers = {ui::Yes};
    EXPECT_TRUE(m.UruchomZatrzymajSystem(0));
    EXPECT_FALSE(MozgIsRunning());
    EXPECT_EQ(Events(28), 1);
    EXPECT_EQ(m.Panel2->text(), "Zatrzymany");
    EXPECT_EQ(m.MenuUruchamianie->text(), "Uruchom system");
    dialogs.messages.clear();
    EXPECT_TRUE(m.UruchomZatrzymajSystem(0)) << "already stopped";
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowOnDatabase, StartAndStopAreRefusedDuringProgrammingOrOnAnOldSchema) {
    TFormMain& m = *FormMain;
    QWidget programming;
    FormProgramowanieCentrale = &programming;
    EXPECT_FALSE(m.UruchomZatrzymajSystem(1));
    FormProgramowanieCentrale = nullptr;
    EXPECT_EQ(Captions(dialogs), std::vector<std::string>{"Błąd komunikacji"});

    WersjaBazy = 41;
    EXPECT_FALSE(m.UruchomZatrzymajSystem(255));
    EXPECT_EQ(dialogs.messages.back().caption, "Baza danych nieaktualna");
    EXPECT_TRUE(m.MenuAktualizacjaBazy->isEnabled());
    EXPECT_FALSE(MozgIsRunning());
    EXPECT_EQ(Events(27), 0);
}

TEST_F(MainWindowOnDatabase, TheMenuCommandOpensTheDiagnosticsAndTheLiveWindowsFollow) {
    TFormMain& m = *FormMain;
    m.OtworzOkno(RodzajOkna::Wejscia);
    m.OtworzOkno(RodzajOkna::Bramy);
    windows.log.clear();
    m.MenuUruchamianieClick();
    EXPECT_TRUE(m.MenuDiagnostyka->isEnabled());
    EXPECT_EQ(windows.log, (std::vector<std::string>{"Wejscia:UstawWiersze", "Bramy:Odswiez"}));
    m.RodzajAdministratora = TFormMain::Administrator;
    m.IdAdministratora = 1;
    dialogs.messageAnswers = {ui::Yes};
    m.MenuUruchamianieClick();
    EXPECT_FALSE(MozgIsRunning());
    EXPECT_FALSE(m.MenuDiagnostyka->isEnabled());
}

namespace {

// A fixed local time for the timer: a Wednesday at 23:59:30.
const QDateTime kWednesday(QDate(2026, 12, 9), QTime(23, 59, 30));

} // namespace

class ScheduledBackup : public MainWindowOnDatabase {
protected:
    void SetUp() override {
        MainWindowOnDatabase::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(folder.isValid());
        FormMain->UstawZegar([this] { return now; });
        FormOptions->EditFolderKopiiBezpieczenstwa->setText(folder.path());
        FormOptions->EditKopiaGodzina->setText("23");
        FormOptions->EditKopiaMinuty->setText("59");
        FormOptions->CheckBoxDz[2]->setChecked(true); // Wednesday
        FormOptions->CheckBoxUsuwanieZdarzen->setChecked(true);
        ASSERT_TRUE(FormMain->UruchomZatrzymajSystem(1));
        exec("INSERT INTO zdarzenia (IdRodzajZdarzeniaWbudowane, DataCzasWystapienie) VALUES "
             "(1, CURRENT_DATE - 100), (1, CURRENT_DATE - 20), (1, now())");
    }
    int Backups() { return static_cast<int>(QDir(folder.path()).entryList({"kopia-*.kobackup"}).size()); }
    int OldEvents() {
        return std::stoi(scalar("SELECT count(*) FROM zdarzenia WHERE IdRodzajZdarzeniaWbudowane = 1"));
    }
    void Tick() { FormMain->TimerMozgTimer(); }
    bool BackupEnded() { return PumpUntil([&] { return FormMain->KopiaWToku() == nullptr; }); }

    QTemporaryDir folder;
    QDateTime now = kWednesday;
};

TEST_F(ScheduledBackup, OneBackupADayThenTheOldEventsGo) {
    FormOptions->EditUsuwanieZdarzenDni->setText("30");
    now = kWednesday.addSecs(-60);
    Tick();
    EXPECT_EQ(FormMain->KopiaWToku(), nullptr) << "not yet the time";

    now = kWednesday;
    Tick();
    ASSERT_NE(FormMain->KopiaWToku(), nullptr);
    EXPECT_EQ(OldEvents(), 3) << "nothing is deleted while the backup runs";
    Tick();
    ASSERT_TRUE(BackupEnded());
    EXPECT_EQ(Backups(), 1);
    EXPECT_EQ(QDir(folder.path()).entryList({"kopia-*"}).value(0), "kopia-2026-12-09 23-59-30.kobackup");
    EXPECT_EQ(OldEvents(), 2) << "only the event older than 30 days";

    now = kWednesday.addSecs(10);
    Tick();
    EXPECT_EQ(FormMain->KopiaWToku(), nullptr) << "once a day";
}

TEST_F(ScheduledBackup, AFailedBackupDeletesNoEvent) {
    FormOptions->EditUsuwanieZdarzenDni->setText("30");
    FormOptions->EditFolderKopiiBezpieczenstwa->setText(folder.path() + "/nie-ma-takiego-folderu");
    now = kWednesday;
    Tick();
    ASSERT_TRUE(BackupEnded());
    EXPECT_EQ(Backups(), 0);
    EXPECT_EQ(OldEvents(), 3);
}

TEST_F(ScheduledBackup, DaysThatAreNotAPositiveNumberDeleteNothing) {
    for (const char* days : {"abc", "0", "-5", ""}) {
        SCOPED_TRACE(days);
        FormOptions->EditUsuwanieZdarzenDni->setText(days);
        now = now.addDays(7);
        Tick();
        ASSERT_TRUE(BackupEnded());
        EXPECT_EQ(OldEvents(), 3);
    }
    EXPECT_EQ(Backups(), 4);
}

TEST_F(ScheduledBackup, NoBackupOnAnUncheckedDayOrWhileTheOptionsAreOpen) {
    FormOptions->EditUsuwanieZdarzenDni->setText("1");
    now = kWednesday.addDays(1); // Thursday
    Tick();
    EXPECT_EQ(FormMain->KopiaWToku(), nullptr);
    FormOptions->show();
    now = kWednesday.addDays(7);
    Tick();
    EXPECT_EQ(FormMain->KopiaWToku(), nullptr);
    FormOptions->hide();
    Pump(10);
    EXPECT_EQ(Backups(), 0);
    EXPECT_EQ(OldEvents(), 3) << "no backup, no deletion";
}

TEST_F(MainWindowOnDatabase, TheTimerCountsTheTicksOfEachSecondAndShowsABusThatDidNotOpen) {
    exec("INSERT INTO magistrale VALUES (1, 96, 2, 19200, 'Bez portu')");
    exec("INSERT INTO karty VALUES (10, 1, 1, 300, 'Karta')");
    TFormMain& m = *FormMain;
    QDateTime now(QDate(2026, 12, 9), QTime(10, 0, 0));
    m.UstawZegar([&] { return now; });
    m.TimerMozgTimer();
    EXPECT_FALSE(m.BladMagistrali) << "the timer does nothing while the system is stopped";

    ASSERT_TRUE(m.UruchomZatrzymajSystem(1));
    m.PokazStatus();
    ASSERT_NE(m.OknoStatus, nullptr);
    m.TimerMozgTimer();
    EXPECT_TRUE(m.BladMagistrali) << "from the first tick after the start";
    m.TimerMozgTimer();
    m.TimerMozgTimer();
    now = now.addSecs(1);
    m.TimerMozgTimer();
    // The first tick of a second closes the count of the one before.
    EXPECT_EQ(m.OknoStatus->TaktyNaSekunde, 4);
    now = now.addSecs(1);
    m.TimerMozgTimer();
    EXPECT_EQ(m.OknoStatus->TaktyNaSekunde, 1);
}

TEST_F(MainWindowOnDatabase, ClosingAsksForALoginAndAYesButNotAtTheSessionsEnd) {
    TFormMain& m = *FormMain;
    logins.logins = {std::nullopt};
    EXPECT_FALSE(m.close()) << "nobody of roles 1-4 logged in and the login cancelled";
    EXPECT_EQ(logins.shown, std::vector<std::string>{"FormLogowanie"});
    EXPECT_TRUE(dialogs.messages.empty());

    m.IdAdministratora = 1;
    m.RodzajAdministratora = TFormMain::Administrator;
    dialogs.messageAnswers = {ui::No};
    EXPECT_FALSE(m.close());
    EXPECT_EQ(Captions(dialogs), std::vector<std::string>{"Zamykanie programu"});

    // The session ends while the system runs: no question, the logic stops
    // with its poll threads, and no stop event is logged.
    ASSERT_TRUE(m.UruchomZatrzymajSystem(1));
    dialogs.messages.clear();
    m.KoniecSesji = true;
    EXPECT_TRUE(m.close());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(MozgIsRunning());
    EXPECT_FALSE(m.TimerMozg->isActive());
    EXPECT_EQ(Events(28), 0);
}

TEST_F(MainWindowOnDatabase, AConfigurationThatCannotBeReadLeavesTheSystemStopped) {
    exec("DROP TABLE bramy");
    EXPECT_FALSE(FormMain->UruchomZatrzymajSystem(1));
    EXPECT_FALSE(MozgIsRunning());
    EXPECT_EQ(Events(27), 0);
    EXPECT_EQ(FormMain->Panel2->text(), "");
}

TEST_F(MainWindow, TheEncodersServerListensOnTheOptionsPort) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    FormOptions->EditEncoderPort->setText(QString::number(port));
    EXPECT_FALSE(FormMain->UruchomSerwerEnkoderow()) << "no encoder, no server";
    Enkodery->Dodaj(1, "Furtka", 0x7F000001, 1, 1, 1, 1, 0);
    ASSERT_TRUE(FormMain->UruchomSerwerEnkoderow());
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(socket.waitForConnected(5000));
    FormMain->Serwer.Zatrzymaj();
}

TEST_F(MainWindowOnDatabase, AnUnknownOrOldSchemaStopsTheStartUpButNotTheTimer) {
    {
        Registry r;
        r.openKey(ui::KluczUstawien, true);
        r.writeInteger("OknoWejscia", 1);
    }
    struct Case {
        const char* name;
        const char* version; // the wersja row
        const char* caption;
        bool updateEnabled;
    };
    const Case cases[] = {
        {"unknown", "DELETE FROM wersja", "Kandoro", false},
        {"old", "INSERT INTO wersja (major, minor) VALUES (9, 2)", "Baza danych nieaktualna", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        exec(c.version);
        UsunFormy();
        UtworzFormy();
        FormMain->Autostart = true;
        dialogs.messages.clear();
        FormMain->TimerConnectTimer();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialogs.messages[0].caption.startsWith(c.caption)) << dialogs.messages[0].caption.toStdString() << ": " << dialogs.messages[0].text.toStdString();
        EXPECT_EQ(FormMain->MenuAktualizacjaBazy->isEnabled(), c.updateEnabled);
        EXPECT_FALSE(MozgIsRunning()) << "no autostart";
        EXPECT_EQ(FormMain->OknoWejscia, nullptr) << "no windows from the registry";
        EXPECT_TRUE(FormMain->TimerMozg->isActive());
    }
}

TEST(StatusWindow, ShowsTheCountersAndEveryThreadWithItsNameOrNone) {
    TestApplication();
    TemporaryHome home;
    TCPUMonitor monitor;
    const int self = TCPUMonitor::IdBiezacegoWatku();
    monitor.UstawNazweWatku(self, "Main_Thread");
    std::thread unnamed([] { std::this_thread::sleep_for(std::chrono::milliseconds(200)); });
    monitor.Probkuj("Pierwsza");
    TFormStatus status;
    status.TaktyNaSekunde = 100;
    status.SredniCzasTaktu = 2;
    status.CzasSynchronizacji = 3;
    status.OdswiezStatus(monitor);
    unnamed.join();

    const QStringList lines = status.MemoThreads->toPlainText().split('\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"PPS: 100", "PT AVG: 2", "PUC: 3"}));
    EXPECT_TRUE(status.LabelCPU->text().startsWith("CPU: "));
    EXPECT_TRUE(status.LabelCPU->text().endsWith("%"));
    const QString own = QStringLiteral(") Main_Thread %1").arg(self);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [&](const QString& l) { return l.endsWith(own); }), 1);
    EXPECT_TRUE(std::any_of(lines.begin() + 3, lines.end(), [](const QString& l) {
        return l.contains("(Pierwsza)  ") && !l.contains("Main_Thread");
    })) << "a thread without a name: two blanks before its id";
}

namespace {

// The database commands of the main window on the test's own database; the
// operator is an administrator.
class DatabaseCommands : public MainWindowOnDatabase {
protected:
    void SetUp() override {
        MainWindowOnDatabase::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(folder.isValid());
        FormMain->IdAdministratora = 1;
        FormMain->RodzajAdministratora = TFormMain::Administrator;
        FormOptions->EditFolderKopiiBezpieczenstwa->setText(folder.path());
    }
    bool Marked() { return scalar("SELECT to_regclass('public.znacznik') IS NOT NULL") == "t"; }
    // An empty 1.0 SQL file: its import leaves the 1.0 schema.
    QString EmptyFile(const QString& name) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName();
    }
    std::string ExceptionLog() {
        QFile log(QDir(qEnvironmentVariable("HOME")).filePath("Documents/kandor_exception.log"));
        return log.open(QIODevice::ReadOnly) ? log.readAll().toStdString() : std::string();
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const auto& m : dialogs.messages)
            texts.push_back(m.text.toStdString());
        return texts;
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(DatabaseCommands, TheUpgradeReportsACurrentDatabaseStopsAtACancelledBackupAndFailsWithItsMigration) {
    TFormMain& m = *FormMain;
    m.MenuAktualizacjaBazy->setEnabled(true);
    EXPECT_TRUE(m.AktualizujBaze(&m, false, false));
    EXPECT_EQ(Texts(), std::vector<std::string>{"Baza danych jest aktualna."});
    EXPECT_FALSE(m.MenuAktualizacjaBazy->isEnabled());

    // A real schema of version 1.0: an empty 1.0 file imported.
    const QString sql = EmptyFile("dane.sql");
    ASSERT_TRUE(ImportujBaze(sql.toStdString()));
    WersjaBazy = KrokWersji();
    ASSERT_EQ(WersjaBazy, 1);
    dialogs.messages.clear();
    dialogs.messageAnswers = {ui::Yes};
    dialogs.fileAnswers = {std::nullopt};
    EXPECT_FALSE(m.AktualizujBaze(&m, false, false)) << "the backup's file dialog cancelled";
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_EQ(dialogs.files[0].kind, ui::FileDialogKind::Save);
    EXPECT_TRUE(dialogs.files[0].start.startsWith("kopia-")) << dialogs.files[0].start.toStdString();
    EXPECT_TRUE(dialogs.files[0].start.endsWith(".kobackup"));
    EXPECT_EQ(KrokWersji(), 1) << "no migration";

    UstawPrzerwanieKroku(5);
    dialogs.messages.clear();
    dialogs.messageAnswers = {ui::No};
    EXPECT_FALSE(m.AktualizujBaze(&m, false, false));
    EXPECT_EQ(Texts().back(), "Aktualizacja bazy danych nie powiodła się.");
    EXPECT_EQ(WersjaBazy, KrokWersji());
    EXPECT_EQ(WersjaBazy, 5) << "the step that failed";
    EXPECT_TRUE(m.MenuAktualizacjaBazy->isEnabled());
    UstawPrzerwanieKroku(0);

    dialogs.messages.clear();
    dialogs.messageAnswers = {ui::No};
    EXPECT_TRUE(m.AktualizujBaze(&m, false, false));
    EXPECT_EQ(Texts().back(), "Konwersja bazy została zakończona.");
    EXPECT_EQ(WersjaBazy, KrokAktualny);
    EXPECT_TRUE(m.MenuAktualizacjaBazy->isEnabled()) << "stays until the next upgrade finds it current";
    m.MenuAktualizacjaBazyClick();
    EXPECT_FALSE(m.MenuAktualizacjaBazy->isEnabled());
}

TEST_F(DatabaseCommands, ANewDatabaseIsRefusedWhileRunningAndAfterANo) {
    TFormMain& m = *FormMain;
    exec("CREATE TABLE znacznik (x integer)");
    ASSERT_TRUE(m.UruchomZatrzymajSystem(1));
    m.MenuBazaNowaClick();
    EXPECT_EQ(Captions(dialogs), std::vector<std::string>{"System pracuje"});
    ASSERT_TRUE(m.UruchomZatrzymajSystem(0));
    dialogs.messages.clear();
    dialogs.messageAnswers = {ui::No};
    m.MenuBazaNowaClick();
    EXPECT_EQ(Captions(dialogs), std::vector<std::string>{"Tworzenie nowej bazy"});
    EXPECT_TRUE(Marked());

    dialogs.messages.clear();
    dialogs.messageAnswers = {ui::Yes};
    m.MenuBazaNowaClick();
    EXPECT_EQ(Texts().back(), "Nowa baza została utworzona.");
    EXPECT_FALSE(Marked());
    EXPECT_EQ(WersjaBazy, KrokAktualny);
}

TEST_F(DatabaseCommands, RestoreAndImportWhileRunningOfferTheStopAndARefusalChangesNothing) {
    TFormMain& m = *FormMain;
    const QString sql = EmptyFile("dane.sql");
    exec("CREATE TABLE znacznik (x integer)");
    ASSERT_TRUE(m.UruchomZatrzymajSystem(1));

    dialogs.fileAnswers = {folder.filePath("nieistotna.kobackup")};
    dialogs.messageAnswers = {ui::No};
    m.MenuBazaPrzywrocClick();
    EXPECT_EQ(Captions(dialogs), std::vector<std::string>{"Zatrzymanie systemu"});

    dialogs.messages.clear();
    dialogs.fileAnswers = {sql};
    dialogs.messageAnswers = {ui::Yes, ui::No};
    m.MenuImportBazyClick();
    EXPECT_EQ(Captions(dialogs), (std::vector<std::string>{"Import danych", "Zatrzymanie systemu"}));
    EXPECT_TRUE(MozgIsRunning());
    EXPECT_TRUE(Marked());

    // Stopped, the import of an empty 1.0 file runs and the chain brings it
    // up to date.
    dialogs.messages.clear();
    dialogs.fileAnswers = {sql};
    dialogs.messageAnswers = {ui::Yes, ui::Yes};
    m.MenuImportBazyClick();
    EXPECT_FALSE(MozgIsRunning());
    EXPECT_FALSE(Marked());
    EXPECT_EQ(Texts().back(), "Dane zostały zaimpotowane");
    EXPECT_EQ(WersjaBazy, KrokAktualny);
}

TEST_F(DatabaseCommands, AFailedMigrationAfterAnImportLeavesTheStepItReached) {
    TFormMain& m = *FormMain;
    const QString sql = EmptyFile("dane.sql");
    UstawPrzerwanieKroku(5);
    dialogs.fileAnswers = {sql};
    dialogs.messageAnswers = {ui::Yes};
    m.MenuImportBazyClick();
    UstawPrzerwanieKroku(0);
    EXPECT_EQ(Texts().back(), "Bazę zaimportowano, ale konwersja danych do aktualnej wersji nie powiodła się.");
    EXPECT_EQ(WersjaBazy, KrokWersji());
    EXPECT_LT(WersjaBazy, KrokAktualny);
    EXPECT_TRUE(m.MenuAktualizacjaBazy->isEnabled());
}

TEST_F(DatabaseCommands, ARemoteRestoreNeedsTheStopThenUpgradesAnOlderArchiveAndStartsAgain) {
    TFormMain& m = *FormMain;
    // An archive of the 1.0 schema: an empty 1.0 file imported, backed up.
    const QString sql = EmptyFile("dane.sql");
    ASSERT_TRUE(ImportujBaze(sql.toStdString()));
    QString archiwum;
    ASSERT_TRUE(m.KopiaBazyDoFolderu(&m, archiwum));
    EXPECT_TRUE(archiwum.startsWith(folder.path() + "/kopia-")) << archiwum.toStdString();
    EXPECT_TRUE(QFile::exists(archiwum));
    ASSERT_TRUE(UtworzBaze());
    WersjaBazy = KrokWersji();
    exec("CREATE TABLE znacznik (x integer)");
    ASSERT_TRUE(m.UruchomZatrzymajSystem(1));

    dialogs.messageAnswers = {ui::No};
    EXPECT_FALSE(m.PrzywrocBazeZdalnie(&m, archiwum));
    EXPECT_TRUE(MozgIsRunning());
    EXPECT_TRUE(Marked());

    dialogs.messages.clear();
    dialogs.messageAnswers = {ui::Yes};
    EXPECT_TRUE(m.PrzywrocBazeZdalnie(&m, archiwum));
    EXPECT_EQ(Captions(dialogs), std::vector<std::string>{"Zatrzymanie systemu"}) << "silent otherwise";
    EXPECT_FALSE(Marked()) << "restored";
    EXPECT_EQ(WersjaBazy, KrokAktualny);
    EXPECT_TRUE(MozgIsRunning()) << "started again";
    EXPECT_NE(ExceptionLog().find(archiwum.toStdString()), std::string::npos);
}

TEST_F(DatabaseCommands, AFailedRemoteRestoreClosesItsWindowAndIsLogged) {
    TFormMain& m = *FormMain;
    const QString brak = folder.filePath("brak.kobackup");
    EXPECT_FALSE(m.PrzywrocBazeZdalnie(&m, brak));
    EXPECT_TRUE(m.findChildren<TFormBackupRestore*>().isEmpty());
    const std::string log = ExceptionLog();
    EXPECT_NE(log.find("failed"), std::string::npos) << log;
}

TEST_F(DatabaseCommands, TheMenusBackUpToTheChosenFileAndRestoreItWithTheirWindowsShown) {
    TFormMain& m = *FormMain;
    // The operator closes each window once its tool has ended.
    QTimer closer;
    int closed = 0;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (auto* okno : m.findChildren<TFormBackupRestore*>())
            if (okno->isVisible() && !okno->Trwa() && okno->Wynik() != 1) {
                okno->ButtonClose->click();
                ++closed;
            }
    });
    closer.start(20);
    exec("CREATE TABLE znacznik (x integer)");
    const QString plik = folder.filePath("wybrana.kobackup");
    dialogs.fileAnswers = {plik};
    m.MenuBazaKopiaClick();
    EXPECT_TRUE(QFile::exists(plik));
    EXPECT_TRUE(dialogs.messages.empty()) << "no cloud, no question";

    exec("DROP TABLE znacznik");
    dialogs.fileAnswers = {plik};
    m.MenuBazaPrzywrocClick();
    ASSERT_EQ(dialogs.files.size(), 2u);
    EXPECT_EQ(dialogs.files[1].kind, ui::FileDialogKind::Open);
    EXPECT_TRUE(dialogs.files[1].existingOnly);
    EXPECT_TRUE(Marked()) << "restored";
    EXPECT_EQ(closed, 2);
    EXPECT_EQ(WersjaBazy, KrokAktualny);
    EXPECT_TRUE(dialogs.messages.empty()) << "both succeeded";
}

TEST_F(DatabaseCommands, AReadyCloudLinkAsksWhetherToSendTheBackupBeforeTheFileIsChosen) {
    TDMCloud chmura;
    chmura.SetCredentials("https://127.0.0.1:1", "1", "klucz");
    DMCloud = &chmura;
    dialogs.messageAnswers = {ui::Yes};
    dialogs.fileAnswers = {std::nullopt};
    FormMain->MenuBazaKopiaClick();
    DMCloud = nullptr;
    ASSERT_EQ(Captions(dialogs), std::vector<std::string>{"Integracja z chmurą"});
    EXPECT_EQ(dialogs.messages[0].text, "Czy wysłać kopię bazy do chmury?");
    EXPECT_EQ(dialogs.files.size(), 1u);
    EXPECT_TRUE(QDir(folder.path()).isEmpty()) << "cancelled, nothing made";
}
