#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>

#include <memory>
#include <string>
#include <vector>

#include "app/ColumnSet.h"
#include "app/Modalnie.h"
#include "app/MonitorZdarzen.h"
#include "app/UnitDrawGridUstaw.h"
#include "app/UnitZdarzenia.h"
#include "app/UnitZdarzeniaAktywne.h"
#include "app/UnitZdarzeniaCentrali.h"
#include "core/Object_Grupa_Zdarzen.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Rodzaj_Zdarzenia_Wbudowane.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "database/OdczytajBaze.h"
#include "platform/registry/Registry.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/Kolory.h"
#include "platform/ui/PozycjaOkna.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TemporaryRegistry.h"
#include "tests/support/TestDataModule.h"

using platform::registry::Registry;
using platform::ui::KluczUstawien;

namespace {

std::vector<int> Entries(const ColumnSet& set) {
    std::vector<int> entries;
    for (int i = 0; i < set.Count(); ++i)
        entries.push_back(set.Get(i));
    return entries;
}

Object_Zdarzenie* LogEvent(Objects_Zdarzenia* log, int id, int builtIn, Object_Rodzaj_Zdarzenia* kind = nullptr) {
    auto* event = static_cast<Object_Zdarzenie*>(log->Nowy(id));
    event->IdRodzajZdarzeniaWbudowane = builtIn;
    event->Rodzaj = kind;
    event->IdRodzajZdarzenia = kind ? kind->Id() : 0;
    return event;
}

// Answers "Wybierz kolumny" while it lives: unticks and ticks the listed
// rows and presses OK; counts how often the dialog ran.
class ColumnChooser {
public:
    explicit ColumnChooser(std::vector<int> untick, std::vector<int> tick = {})
        : untick_(std::move(untick)), tick_(std::move(tick)) {
        UstawWykonawceModalnego([this](QDialog& dialog) {
            ++runs;
            auto* chooser = dynamic_cast<TFormDrawGridUstaw*>(&dialog);
            if (!chooser)
                return int(QDialog::Rejected);
            for (int i = 0; i < chooser->CBList->count(); ++i)
                titles.push_back(chooser->CBList->item(i)->text().toStdString());
            for (int row : untick_)
                chooser->CBList->item(row)->setCheckState(Qt::Unchecked);
            for (int row : tick_)
                chooser->CBList->item(row)->setCheckState(Qt::Checked);
            return int(QDialog::Accepted);
        });
    }
    ~ColumnChooser() { UstawWykonawceModalnego(nullptr); }
    int runs = 0;
    std::vector<std::string> titles;

private:
    std::vector<int> untick_, tick_;
};

class MonitorTest : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }

    void Store(const char* name, int value) {
        Registry registry;
        registry.openKey(KluczUstawien, true);
        registry.writeInteger(name, value);
    }
    std::optional<std::vector<std::uint8_t>> StoredColumns() {
        Registry registry;
        if (!registry.openKey(KluczUstawien, false))
            return std::nullopt;
        return registry.readBinary("ZCKols");
    }

    TemporaryRegistry registry_;
    GlobalModel model_;
};

} // namespace

TEST(ColumnSetTest, MovesAsTheGridMovesItsColumns) {
    struct Case {
        const char* name;
        int from, to;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"last to first", 4, 0, {4, 0, 1, 2, 3}},
        {"first to last", 0, 4, {1, 2, 3, 4, 0}},
        {"inner forwards", 1, 3, {0, 2, 3, 1, 4}},
        {"inner backwards", 3, 1, {0, 3, 1, 2, 4}},
        {"onto itself", 2, 2, {0, 1, 2, 3, 4}},
        {"past the end", 1, 5, {0, 1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ColumnSet set;
        set.SetCount(5);
        set.Move(c.from, c.to);
        EXPECT_EQ(Entries(set), c.expected);
    }
    ColumnSet set;
    set.SetCount(4);
    set.Move(3, 0);
    set.SetCount(2);
    set.SetCount(4);
    EXPECT_EQ(Entries(set), (std::vector<int>{3, 0, 2, 3})) << "kept entries stay, new ones show their position";
}

TEST(MonitorRowsTest, NewestOnTopMapsRowsFromTheEnd) {
    struct Case {
        int row, count;
        bool newestOnTop;
        int position;
    };
    const Case cases[] = {
        {1, 3, false, 0}, {3, 3, false, 2}, {1, 3, true, 2}, {3, 3, true, 0},
        {4, 3, false, -1}, {4, 3, true, -1}, {1, 0, false, -1}, {1, 0, true, -1}, {0, 3, true, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " of " << c.count << (c.newestOnTop ? " newest on top" : ""));
        EXPECT_EQ(PozycjaZdarzenia(c.row, c.count, c.newestOnTop), c.position);
    }
}

TEST_F(MonitorTest, RowColoursFollowTheKindAndTheControllerEvents) {
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(250, 250, 240));
    palette.setColor(QPalette::Text, QColor(10, 20, 30));
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    auto* black = RodzajeZdarzen->DodajRekord(1, "Pożar", 0, 0, 0x000000, 0, 0, "");
    auto* yellow = RodzajeZdarzen->DodajRekord(2, "Zalanie", 0, 0, 0x00FFFF, 0, 0, "");
    auto* grey = RodzajeZdarzen->DodajRekord(3, "Średni", 0, 0, 0x7F7F7F, 0, 0, "");
    struct Case {
        const char* name;
        Object_Rodzaj_Zdarzenia* kind;
        int builtIn;
        QColor background, text;
    };
    const Case cases[] = {
        {"black kind: white text", black, 0, Qt::black, Qt::white},
        {"yellow kind: window text", yellow, 0, QColor(255, 255, 0), QColor(10, 20, 30)},
        {"just below half bright: white text", grey, 0, QColor(127, 127, 127), Qt::white},
        {"built-in 16: blue on the window", nullptr, 16, QColor(250, 250, 240), QColor(0, 0, 255)},
        {"built-in 14 over a kind: red", yellow, 14, QColor(255, 255, 0), QColor(255, 0, 0)},
        {"built-in 23: grey", nullptr, 23, QColor(250, 250, 240), QColor(128, 128, 128)},
        {"built-in 22: green", nullptr, 22, QColor(250, 250, 240), QColor(0, 128, 0)},
        {"built-in 25 keeps the window text", nullptr, 25, QColor(250, 250, 240), QColor(10, 20, 30)},
        {"built-in 13 keeps the window text", nullptr, 13, QColor(250, 250, 240), QColor(10, 20, 30)},
    };
    int id = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const KoloryWiersza colours = KoloryZdarzenia(*LogEvent(Zdarzenia, ++id, c.builtIn, c.kind), palette);
        EXPECT_EQ(colours.Tlo, c.background);
        EXPECT_EQ(colours.Tekst, c.text);
    }
}

TEST_F(MonitorTest, EventsWindowFollowsTheLogAndTheSettings) {
    {
        SCOPED_TRACE("no events, default settings");
        TFormZdarzenia window;
        EXPECT_EQ(window.DrawGridZdazrenia->rowCount(), 2) << "the header and one empty row";
        EXPECT_TRUE(window.CheckBoxAutoprzewijanie->isChecked());
        EXPECT_FALSE(window.Malejaco());
        EXPECT_EQ(window.ZdarzenieWiersza(1), nullptr);
        // The popup item on the empty row reads nothing past the log.
        window.DrawGridZdazrenia->setRow(1);
        EXPECT_EQ(window.ZnajdzUzytkownikaClick(), 0);
        window.grab();

        LogEvent(Zdarzenia, 1, 27);
        Object_Zdarzenie* newest = LogEvent(Zdarzenia, 2, 10);
        window.Odswiez();
        EXPECT_EQ(window.DrawGridZdazrenia->rowCount(), 3);
        EXPECT_EQ(window.DrawGridZdazrenia->row(), 2) << "the newest, at the bottom, is current";
        EXPECT_EQ(window.ZdarzenieWiersza(2), newest);
        newest->IdUzytkownika = 7;
        EXPECT_EQ(window.ZnajdzUzytkownikaClick(), 7);
    }
    Store("ZdarzeniaMalejaco", 1);
    Store("ZdarzeniaWielkoscCzcionki", 17);
    TFormZdarzenia window;
    EXPECT_TRUE(window.Malejaco());
    EXPECT_EQ(window.DrawGridZdazrenia->font().pointSize(), 17);
    EXPECT_EQ(window.DrawGridZdazrenia->verticalHeader()->defaultSectionSize(),
              QFontMetrics(window.DrawGridZdazrenia->font()).height() + 4);
    for (int id = 3; id <= 5; ++id) {
        Object_Zdarzenie* newest = LogEvent(Zdarzenia, id, 11);
        window.Odswiez();
        SCOPED_TRACE(id);
        EXPECT_EQ(window.DrawGridZdazrenia->row(), 1);
        EXPECT_EQ(window.ZdarzenieWiersza(1), newest);
    }
    window.CheckBoxAutoprzewijanie->setChecked(false);
    window.DrawGridZdazrenia->setRow(3);
    LogEvent(Zdarzenia, 6, 11);
    window.Odswiez();
    EXPECT_EQ(window.DrawGridZdazrenia->row(), 3) << "without autoscroll the current row stays";
    window.grab();
}

TEST_F(MonitorTest, CellTextsOfBothLogs) {
    GrupyZdarzen->DodajRekord(1, "Alarm", 1);
    auto* kind = RodzajeZdarzen->DodajRekord(1, "Pożar", 1, 0, 0x0000FF, 0, 0, "");
    kind->Polacz();
    RodzajeZdarzenWbudowane->DodajRekord(15, "Wywołanie lokalu", 0, 0xFFFFFF);
    auto* user = static_cast<Object_Uzytkownik*>(Uzytkownicy->Nowy(3));
    user->Imie = "Jan";
    user->Nazwisko = "Kowalski";

    Object_Zdarzenie* alarm = LogEvent(Zdarzenia, 1, 0, kind);
    alarm->Uzytkownik = user;
    alarm->Transponder = 0x1A2B;
    alarm->Przycisk = 2;
    Object_Zdarzenie* call = LogEvent(ZdarzeniaCentrali, 2, 15);
    call->Polacz();
    call->Klawiatura = 4;
    call->Lokal = 12;
    call->KlatkaZrodlo = 3;
    call->KlatkaCel = 0xFFFF;
    call->KodPin = 0;

    struct Case {
        const char* name;
        bool controller;
        Object_Zdarzenie* event;
        int column;
        const char* text;
    };
    const Case cases[] = {
        {"events: kind's name", false, alarm, 2, "Pożar"},
        {"events: user", false, alarm, 3, "Jan Kowalski"},
        {"events: unknown transponder in hexadecimal", false, alarm, 5, "1a2b"},
        {"events: button", false, alarm, 6, "2"},
        {"events: group of the kind", false, alarm, 7, "Alarm"},
        {"events: no end time", false, alarm, 1, ""},
        {"controller: built-in kind's name", true, call, 2, "Wywołanie lokalu"},
        {"controller: no user", true, call, 3, ""},
        {"controller: keypad without its element shows the number", true, call, 8, "4"},
        {"controller: flat number without the flat", true, call, 7, "12"},
        {"controller: calling staircase", true, call, 10, "3"},
        {"controller: no target staircase", true, call, 11, ""},
        {"controller: no code", true, call, 12, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = c.controller ? TFormZdarzeniaCentrali::TekstPola(c.column, *c.event)
                                          : TFormZdarzenia::TekstPola(c.column, *c.event);
        EXPECT_EQ(text.toStdString(), c.text);
    }
    EXPECT_FALSE(TFormZdarzenia::TekstPola(0, *alarm).isEmpty());

    // A transponder the register knows shows nothing in the events window's
    // identifier column, as only remote controls and plates are named there;
    // the controller window names it by its serial.
    auto* tag = Identyfikatory->DodajRekord(9, 0, 0, 2, "00ab", 0, 0, {}, {}, {});
    ASSERT_NE(tag, nullptr);
    alarm->Identyfikator = tag;
    call->Identyfikator = tag;
    EXPECT_EQ(TFormZdarzenia::TekstPola(5, *alarm).toStdString(), "");
    EXPECT_EQ(TFormZdarzeniaCentrali::TekstPola(4, *call).toStdString(), "00ab");
}

TEST_F(MonitorTest, ControllerColumnsRoundTripThroughTheRegistry) {
    const auto administrator = [] { return 1; };
    {
        TFormZdarzeniaCentrali window(administrator);
        QHeaderView* header = window.DrawGridZdazrenia->horizontalHeader();
        for (int column = 0; column < TFormZdarzeniaCentrali::LiczbaKolumn; ++column) {
            EXPECT_FALSE(header->isSectionHidden(column));
            EXPECT_EQ(header->sectionSize(column), 40);
        }
        header->resizeSection(3, 120);
        ColumnChooser chooser({12});
        window.ButtonKolumny->click();
        EXPECT_EQ(chooser.runs, 1);
        ASSERT_EQ(chooser.titles.size(), 13u);
        EXPECT_EQ(chooser.titles.front(), "Data");
        EXPECT_EQ(chooser.titles.back(), "Kod");
        EXPECT_TRUE(header->isSectionHidden(12));
    }
    const auto stored = StoredColumns();
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->size(), 40u);
    EXPECT_EQ((*stored)[6], 120);
    EXPECT_EQ((*stored)[7], 0x80) << "width 120, shown, low byte first";
    EXPECT_EQ((*stored)[24], 0x28);
    EXPECT_EQ((*stored)[25], 0x00) << "Kod hidden, its width kept";
    EXPECT_EQ((*stored)[38], 0x28);
    EXPECT_EQ((*stored)[39], 0x80) << "unused entries keep the default";
    {
        TFormZdarzeniaCentrali window(administrator);
        QHeaderView* header = window.DrawGridZdazrenia->horizontalHeader();
        EXPECT_TRUE(header->isSectionHidden(12)) << "Kod stays hidden";
        EXPECT_EQ(header->sectionSize(3), 120);

        // Shown again, it gets its last width back.
        ColumnChooser chooser({}, {12});
        window.ButtonKolumny->click();
        EXPECT_FALSE(header->isSectionHidden(12));
        EXPECT_EQ(header->sectionSize(12), 40);
    }
}

// The order is not stored: what the first position held next applies to
// "Data" once the window is opened again.
TEST_F(MonitorTest, MovedColumnsComeBackInTheDefaultOrder) {
    {
        TFormZdarzeniaCentrali window([] { return 3; });
        QHeaderView* header = window.DrawGridZdazrenia->horizontalHeader();
        header->resizeSection(12, 77);
        header->moveSection(12, 0);
        header->moveSection(5, 2);
        for (int position = 0; position < TFormZdarzeniaCentrali::LiczbaKolumn; ++position)
            EXPECT_EQ(window.Kolejnosc.Get(position), header->logicalIndex(position)) << position;
        EXPECT_EQ(window.Kolejnosc.Get(0), 12);
        ColumnChooser chooser({0});
        window.ButtonKolumny->click();
        ASSERT_EQ(chooser.titles.size(), 13u);
        EXPECT_EQ(chooser.titles.front(), "Kod") << "titles in display order";
        EXPECT_TRUE(header->isSectionHidden(12));
        window.grab();
    }
    TFormZdarzeniaCentrali window([] { return 1; });
    QHeaderView* header = window.DrawGridZdazrenia->horizontalHeader();
    for (int position = 0; position < TFormZdarzeniaCentrali::LiczbaKolumn; ++position)
        EXPECT_EQ(header->logicalIndex(position), position);
    EXPECT_TRUE(header->isSectionHidden(0)) << "Data takes the first position's entry";
    EXPECT_FALSE(header->isSectionHidden(12));
}

TEST_F(MonitorTest, OnlyAdministratorsAndSystemDesignersChooseColumns) {
    for (int role : {0, 2, 4, 5}) {
        SCOPED_TRACE(role);
        TFormZdarzeniaCentrali window([role] { return role; });
        ColumnChooser chooser({0});
        window.ButtonKolumny->click();
        EXPECT_EQ(chooser.runs, 0);
        EXPECT_FALSE(window.DrawGridZdazrenia->horizontalHeader()->isSectionHidden(0));
    }
}

TEST_F(MonitorTest, ActiveEventsListTheActiveKinds) {
    TFormZdarzeniaAktywne window;
    EXPECT_TRUE(window.Rodzaje().empty());
    EXPECT_EQ(window.DrawGridZdazreniaAktywne->rowCount(), 3) << "two empty rows below the hidden title";
    auto* fire = RodzajeZdarzen->DodajRekord(1, "Pożar", 0, 0, 0x0000FF, 0, 0, "");
    RodzajeZdarzen->DodajRekord(2, "Zalanie", 0, 0, 0xFF0000, 0, 0, "");
    auto* smoke = RodzajeZdarzen->DodajRekord(3, "Dym", 0, 0, 0x808080, 0, 0, "");
    fire->Wlacz();
    smoke->Wlacz();
    window.Odswiez();
    EXPECT_EQ(window.Rodzaje(), (std::vector<int>{1, 3}));
    EXPECT_EQ(window.DrawGridZdazreniaAktywne->rowCount(), 4);
    EXPECT_EQ(window.DrawGridZdazreniaAktywne->rowHeight(0), TFormZdarzeniaAktywne::WysokoscWiersza);
    window.resize(500, 300);
    window.show();
    EXPECT_EQ(window.DrawGridZdazreniaAktywne->columnWidth(0), window.DrawGridZdazreniaAktywne->viewport()->width());
    window.grab();
    fire->Wylacz();
    window.Odswiez();
    EXPECT_EQ(window.Rodzaje(), (std::vector<int>{3}));
}

TEST_F(MonitorTest, FactoriesOpenTheRealMonitors) {
    ZarejestrujMonitoryZdarzen([] { return 1; });
    for (RodzajOkna kind : {RodzajOkna::Zdarzenia, RodzajOkna::ZdarzeniaAktywne, RodzajOkna::ZdarzeniaCentrali}) {
        ASSERT_TRUE(FabrykaOknaRodzaju(kind));
        std::unique_ptr<OknoPodgladu> window(FabrykaOknaRodzaju(kind)());
        ASSERT_NE(window, nullptr);
        window->Odswiez();
        window.release()->Widget()->deleteLater();
    }
    auto* controller = dynamic_cast<TFormZdarzeniaCentrali*>(FabrykaOknaRodzaju(RodzajOkna::ZdarzeniaCentrali)());
    ASSERT_NE(controller, nullptr);
    ColumnChooser chooser({});
    controller->ButtonKolumny->click();
    EXPECT_EQ(chooser.runs, 1) << "the role comes from the registration";
    delete controller;
    for (RodzajOkna kind : {RodzajOkna::Zdarzenia, RodzajOkna::ZdarzeniaAktywne, RodzajOkna::ZdarzeniaCentrali})
        UstawFabrykeOkna(kind, nullptr);
}

namespace {

class MonitorReloadTest : public TestSchema {
protected:
    void SetUp() override {
        TestApplication();
        TestSchema::SetUp();
        exec("INSERT INTO rodzaj_zdarzenia (IdRodzajZdarzenia, Nazwa, Grupa, Kolor) VALUES (1, 'Pożar', 1, 255),"
             " (2, 'Zalanie', 2, 16711680)");
    }
    TemporaryRegistry registry_;
    GlobalModel model_;
};

} // namespace

// A start reloads every container while the window is open: it paints the
// kinds of the new load, never the freed ones, until its refresh.
TEST_F(MonitorReloadTest, ActiveEventsWindowOutlivesAReload) {
    OdczytajBaze();
    static_cast<Object_Rodzaj_Zdarzenia*>(RodzajeZdarzen->Znajdz(1))->Wlacz();
    static_cast<Object_Rodzaj_Zdarzenia*>(RodzajeZdarzen->Znajdz(2))->Wlacz();
    TFormZdarzeniaAktywne window;
    window.resize(400, 200);
    window.show();
    EXPECT_EQ(window.Rodzaje(), (std::vector<int>{1, 2}));

    exec("DELETE FROM rodzaj_zdarzenia WHERE IdRodzajZdarzenia = 2");
    OdczytajBaze();
    window.grab();
    window.Odswiez();
    EXPECT_TRUE(window.Rodzaje().empty()) << "the new load's kinds are not held on";
    window.grab();
}
