#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>

#include <chrono>
#include <functional>
#include <thread>

#include "core/Mozg.h"
#include "core/Object_Brama.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "designer/UnitBramy.h"
#include "designer/UnitPrzejazdy.h"
#include "designer/UnitWejscia.h"
#include "designer/UnitWyjscia.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "devices/Urzadzenia.h"
#include "platform/registry/Registry.h"
#include "platform/ui/DrawGrid.h"
#include "tests/designer/GridCell.h"
#include "platform/ui/PozycjaOkna.h"
#include "tests/support/BoardSimulator.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TemporaryRegistry.h"
#include "tests/support/TickUntil.h"

namespace {

namespace ui = platform::ui;

const QColor White(Qt::white);
const QColor Red(255, 0, 0);
const QColor Green(0, 128, 0);

// The colour of a corner of the cell the texts do not reach.
QColor Background(ui::DrawGrid& grid, int column, int row) {
    const QImage image = GridCell(grid, column, row);
    return image.pixelColor(image.width() - 2, image.height() - 2);
}

// An installation on a simulated bus: boards at 300 and 301, an input and an
// output on each, a controller output, a gate driven by two more outputs of
// board 300, and an ordinary and an intermediate passage through it. The
// system is started by the test, so a window can be opened before.
class OknaNaZywoTest : public ::testing::Test {
protected:
    void SetUp() override {
        simulator.addBoard(300, 1);
        simulator.addBoard(301, 1);
        Magistrale->Dodaj(1, peer.com(), 2, 19200, "Wjazd");
        karta = Karty->DodajRekord(10, 1, 1, 300, "Karta wjazdu");
        Karty->DodajRekord(11, 1, 1, 301, "Karta wyjazdu");
        static_cast<Object_Zarvo_Centrala*>(Centrale->Nowy(5))->Nazwa = "Klatka A";
        start = Wejscia->DodajRekord(31, 10, 1, "Przed bramą");
        Wejscia->DodajRekord(32, 11, 1, "Za bramą");
        Wyjscia->DodajRekord(41, 10, 0, 1, "Otwórz", 0, 0);
        Wyjscia->DodajRekord(42, 10, 0, 2, "Zamknij", 0, 0);
        lampa = Wyjscia->DodajRekord(43, 10, 0, 3, "Lampa", 0, 0);
        Wyjscia->DodajRekord(44, 0, 5, 1, "Drzwi klatki", 0, 0);
        brama = Bramy->DodajRekord(50, "Szlaban", 41, 42, 300, 300, 100, 100, 0, 0, 0, 0);
        zwykly = Przejazdy->DodajRekord(100, "Wjazd", 50, true, 0, 31, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, false,
                                        false, "");
        posredni = Przejazdy->DodajRekord(101, "Wjazd dalej", 50, true, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, true,
                                          false, "");
    }
    void TearDown() override { MozgStop(); }
    void Start() { ASSERT_TRUE(MozgStart()); }

    bool application_ = (TestApplication(), true);
    TemporaryRegistry registry_;
    bool urzadzenia_ = (RejestrujUrzadzenia(), true); // before the containers are made
    PtyPeer peer{9};
    BoardSimulator simulator{peer, 2};
    GlobalModel model_;
    RecordingWindow okno_;
    Object_Karta* karta = nullptr;
    Object_Wejscie* start = nullptr;
    Object_Wyjscie* lampa = nullptr;
    Object_Brama* brama = nullptr;
    Object_Przejazd* zwykly = nullptr;
    Object_Przejazd* posredni = nullptr;
};

TEST_F(OknaNaZywoTest, TheGateWindowShowsTheStateAndItsButtonsMoveTheGate) {
    Start();
    TFormBramy window;
    EXPECT_EQ(window.windowTitle(), "Bramy");
    EXPECT_EQ(window.DrawGridBramy->rowCount(), 2);
    EXPECT_EQ(window.DrawGridBramy->row(), 1);
    EXPECT_EQ(window.DrawGridBramy->columnWidth(0), 30);
    EXPECT_STREQ(TFormBramy::TekstStanu(*brama), "Zamknięta");
    EXPECT_FALSE(Painted(*window.DrawGridBramy, 2, 1)) << "no passage holds the gate";

    window.ButtonOtworz->click();
    EXPECT_STREQ(TFormBramy::TekstStanu(*brama), "Otwieranie");
    ASSERT_TRUE(TickUntil([&] { return simulator.board(300).outputs.value_or(0) & 0b01; }))
        << "the open output in a poll frame to the board";
    ASSERT_TRUE(TickUntil([&] { return brama->Otwarta; }));
    EXPECT_STREQ(TFormBramy::TekstStanu(*brama), "Otwarta");

    window.ButtonZamknij->click();
    EXPECT_STREQ(TFormBramy::TekstStanu(*brama), "Zamykanie");
    ASSERT_TRUE(TickUntil([&] { return simulator.board(300).outputs.value_or(0) & 0b10; }));
    ASSERT_TRUE(TickUntil([&] { return !brama->Otwiera() && !brama->Zamyka(); }));
    EXPECT_STREQ(TFormBramy::TekstStanu(*brama), "Zamknięta");

    brama->Zajeta = true;
    EXPECT_TRUE(Painted(*window.DrawGridBramy, 2, 1)) << "Trwa przejazd";
}

TEST_F(OknaNaZywoTest, WithoutElementsTheWindowsShowOneEmptyRowAndTheButtonsDoNothing) {
    Bramy->Wyczysc();
    Przejazdy->Wyczysc();
    Start();
    TFormBramy bramy;
    TFormPrzejazdy przejazdy;
    EXPECT_EQ(bramy.DrawGridBramy->rowCount(), 2);
    EXPECT_EQ(przejazdy.DrawGridPrzejazdy->rowCount(), 2);
    bramy.ButtonOtworz->click();
    bramy.ButtonZamknij->click();
    przejazdy.ButtonAnuluj->click();
    for (int column = 0; column < 3; ++column)
        EXPECT_FALSE(Painted(*bramy.DrawGridBramy, column, 1));
    EXPECT_TRUE(Painted(*bramy.DrawGridBramy, 0, 0)) << "the header";
}

TEST_F(OknaNaZywoTest, ThePassageStatusFollowsTheStateOnlyWhileUnderWay) {
    struct Case {
        int state;
        const char* text;
    };
    const Case cases[] = {
        {0, ""},
        {2, ""},
        {3, "Otwieranie bramy"},
        {4, "Otwieranie bramy"},
        {5, "Można jechać"},
        {6, "Wjedź na czujnik końcowy"},
        {7, "Zjedź z czujnika końcowego"},
        {8, ""},
        {9, ""},
        {90, "Oczekiwanie na zakończenie przejazdu macierzystego"},
        {91, "Wycofywanie pojazdu"},
        {100, ""},
        {101, ""},
        {1000, ""},
    };
    Start();
    TFormPrzejazdy window;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        zwykly->Stan = c.state;
        EXPECT_STREQ(TFormPrzejazdy::TekstStatusu(*zwykly), c.text);
        EXPECT_EQ(Painted(*window.DrawGridPrzejazdy, 2, 1), *c.text != '\0');
    }
    EXPECT_TRUE(Painted(*window.DrawGridPrzejazdy, 1, 1)) << "the gate's name";
    EXPECT_FALSE(Painted(*window.DrawGridPrzejazdy, 3, 1)) << "no user";
    EXPECT_TRUE(Painted(*window.DrawGridPrzejazdy, 4, 1)) << "the start sensor's name";
    EXPECT_FALSE(Painted(*window.DrawGridPrzejazdy, 4, 2)) << "no start sensor";
}

TEST_F(OknaNaZywoTest, CancelActsOnlyOnAnOrdinaryPassage) {
    Start();
    TFormPrzejazdy window;
    ASSERT_EQ(window.DrawGridPrzejazdy->rowCount(), 3);
    zwykly->Stan = 5;
    posredni->Stan = 5;
    const int rowOf = Przejazdy->IndeksId(posredni->Id()) + 1;
    const int rowOfOrdinary = Przejazdy->IndeksId(zwykly->Id()) + 1;

    window.DrawGridPrzejazdy->setRow(rowOf);
    EXPECT_FALSE(window.ButtonAnuluj->isEnabled());
    window.DrawGridPrzejazdy->setRow(rowOfOrdinary);
    EXPECT_TRUE(window.ButtonAnuluj->isEnabled());

    window.DrawGridPrzejazdy->setRow(rowOf);
    window.ButtonAnuluj->setEnabled(true);
    window.ButtonAnuluj->click();
    EXPECT_EQ(posredni->Stan, 5) << "an intermediate passage is never cancelled here";

    window.DrawGridPrzejazdy->setRow(rowOfOrdinary);
    window.ButtonAnuluj->click();
    EXPECT_EQ(zwykly->Stan, 1000);
    EXPECT_TRUE(brama->Zamyka()) << "cancelling closes the gate";
    EXPECT_FALSE(window.ButtonUzytkownik->isVisible());
}

TEST_F(OknaNaZywoTest, InputsShowRowsOnlyWhileRunningAndColourByBoardAndState) {
    TFormWejscia window;
    EXPECT_EQ(window.windowTitle(), "Wizualizacja wejść");
    EXPECT_EQ(window.DrawGridWejscia->rowCount(), 2) << "stopped: the header and one empty row";
    EXPECT_FALSE(Painted(*window.DrawGridWejscia, 1, 1));

    Start();
    window.UstawWiersze();
    ui::DrawGrid& grid = *window.DrawGridWejscia;
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.row(), 2) << "the last row selected";
    EXPECT_EQ(grid.columnWidth(0), 30);
    const int row = Wejscia->IndeksId(start->Id()) + 1;
    const int other = 3 - row;

    simulator.setInputs(300, 0b1);
    ASSERT_TRUE(TickUntil([&] { return start->Stan; }));
    EXPECT_EQ(Background(grid, 1, row), Green) << "active";
    EXPECT_EQ(Background(grid, 1, other), White) << "inactive on an answering board";

    simulator.setAnswer(300, BoardSimulator::Answer::Silent);
    ASSERT_TRUE(TickUntil([&] { return karta->Status() != StatusOk; }));
    EXPECT_TRUE(start->Stan) << "an input keeps its last state";
    EXPECT_EQ(Background(grid, 1, row), Red) << "the board does not answer";
    EXPECT_EQ(Background(grid, 1, other), White);

    MozgStop();
    window.UstawWiersze();
    EXPECT_EQ(grid.rowCount(), 2);
}

TEST_F(OknaNaZywoTest, OutputsShowTheAcknowledgedStateOfBoardOutputsOnly) {
    Start();
    TFormWyjscia window;
    ui::DrawGrid& grid = *window.DrawGridWyjscia;
    EXPECT_EQ(window.windowTitle(), "Wizualizacja wyjść");
    ASSERT_EQ(grid.rowCount(), 5);
    const int boardRow = Wyjscia->IndeksId(lampa->Id()) + 1;
    const int controllerRow = Wyjscia->IndeksId(44) + 1;

    EXPECT_TRUE(Painted(grid, 0, boardRow)) << "the board";
    EXPECT_FALSE(Painted(grid, 1, boardRow));
    EXPECT_FALSE(Painted(grid, 0, controllerRow));
    EXPECT_TRUE(Painted(grid, 1, controllerRow)) << "the controller";
    EXPECT_TRUE(Painted(grid, 3, boardRow)) << "Nie";
    EXPECT_FALSE(Painted(grid, 3, controllerRow)) << "a controller reports no state";

    lampa->Wlacz();
    ASSERT_TRUE(TickUntil([&] { return lampa->StanKarty(); })) << "the board acknowledged the output";
    EXPECT_EQ(Background(grid, 2, boardRow), Green);
    EXPECT_EQ(Background(grid, 2, controllerRow), White);
}

TEST_F(OknaNaZywoTest, TheVisibleRangeFollowsScrolling) {
    for (int i = 0; i < 38; ++i)
        Wejscia->DodajRekord(200 + i, 10, 2, "Wejście " + std::to_string(i));
    Start();
    TFormWejscia window;
    ui::DrawGrid& grid = *window.DrawGridWejscia;
    ASSERT_EQ(grid.rowCount(), 41);
    window.show();
    // Exactly twenty rows in view.
    const int rowHeight = grid.rowHeight(0);
    window.resize(400, window.height() + 20 * rowHeight - grid.viewport()->height());
    QApplication::processEvents();
    ASSERT_EQ(grid.viewport()->height(), 20 * rowHeight);

    grid.verticalScrollBar()->setValue(0);
    window.grab();
    EXPECT_EQ(window.PierwszyWidoczny, 0);
    EXPECT_EQ(window.KoniecWidocznych, 20);

    grid.verticalScrollBar()->setValue(10);
    ASSERT_EQ(grid.rowAt(0), 10) << "rows 11 to 30 in view";
    window.grab();
    EXPECT_EQ(window.PierwszyWidoczny, 10);
    EXPECT_EQ(window.KoniecWidocznych, 30);
}

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(OknaNaZywoTest, ABurstOfRefreshesPaintsOnce) {
    Start();
    TFormWejscia window;
    window.show();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    PaintCounter counter;
    window.DrawGridWejscia->viewport()->installEventFilter(&counter);
    for (int i = 0; i < 100; ++i)
        window.Odswiez();
    EXPECT_EQ(counter.paints, 0) << "a refresh only schedules the paint";
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
}

TEST_F(OknaNaZywoTest, AWindowKeepsItsPlaceAndIsFreedWhenClosed) {
    auto* window = new TFormPrzejazdy;
    QPointer<TFormPrzejazdy> alive(window);
    window->setGeometry(40, 50, 640, 300);
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());

    platform::registry::Registry registry;
    ASSERT_TRUE(registry.openKey(ui::KluczUstawien, false));
    EXPECT_TRUE(registry.valueExists("PrzejazdyPos"));
    TFormPrzejazdy again;
    EXPECT_EQ(again.size(), QSize(640, 300));
}

} // namespace
