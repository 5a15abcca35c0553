#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>

#include <string>
#include <vector>

#include "core/Komunikaty.h"
#include "core/Mozg.h"
#include "core/Object_Przycisk.h"
#include "core/Objects_globals.h"
#include "designer/UnitPrzyciski.h"
#include "platform/registry/Registry.h"
#include "platform/ui/PozycjaOkna.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TemporaryRegistry.h"

namespace {

TEST(UkladPrzyciskowTest, ColumnsShareTheWidthWithTheFractionsDropped) {
    struct Case {
        const char* name;
        float width;
        int minimal;
        int tiles;
        int rows;
        std::vector<int> widths;
    };
    const Case cases[] = {
        {"three of 333", 1000, 300, 7, 3, {333, 333, 333}},
        {"four of 250", 1000, 240, 7, 2, {250, 250, 250, 250}},
        {"narrower than one tile", 250, 300, 2, 2, {250}},
        {"no minimal width", 1000, 0, 3, 3, {1000}},
        {"a negative minimal width", 1000, -5, 1, 1, {1000}},
        {"no tiles", 1000, 300, 0, 0, {333, 333, 333}},
        {"a few pixels short", 1001, 500, 4, 2, {500, 500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const UkladPrzyciskow uklad = ObliczUkladPrzyciskow(c.width, c.minimal, c.tiles);
        EXPECT_EQ(uklad.Kolumny, static_cast<int>(c.widths.size()));
        EXPECT_EQ(uklad.Wiersze, c.rows);
        EXPECT_EQ(uklad.Szerokosci, c.widths);
    }
}

// The running model's buttons: group A with A1 (itself a group of A1x) and
// A2, a plain B, and C shown on every level.
class PrzyciskiTest : public ::testing::Test {
protected:
    void SetUp() override {
        Fill(*Przyciski);
        ASSERT_TRUE(MozgStart());
    }
    void TearDown() override { MozgStop(); }

    static void Fill(Objects_Przyciski& przyciski) {
        przyciski.DodajRekord(A, "A", "", Object_Przycisk::Klik, 0x0000FF, 0, 0, 0, false);
        przyciski.DodajRekord(B, "B", "", Object_Przycisk::Klik, 0x00FF00, 0, 0, 0, false);
        przyciski.DodajRekord(A1, "A1", "", Object_Przycisk::Klik, 0x00FFFF, 0, 0, A, false);
        przyciski.DodajRekord(A2, "A2", "", Object_Przycisk::Klik, 0x00FFFF, 0, 0, A, false);
        przyciski.DodajRekord(A1x, "A1x", "", Object_Przycisk::Klik, 0x00FFFF, 0, 0, A1, false);
        przyciski.DodajRekord(C, "C", "", Object_Przycisk::Klik, 0xFF0000, 0, 0, 0, true);
    }
    static Object_Przycisk* Button(int id) { return static_cast<Object_Przycisk*>(Przyciski->Znajdz(id)); }

    // The labels of the tiles, "Wstecz" included.
    static std::vector<std::string> Labels(const TFormPrzyciski& panel) {
        std::vector<std::string> labels;
        for (int i = 0; i < panel.LiczbaKafelkow(); ++i)
            labels.push_back(panel.Kafelek(i) ? panel.Kafelek(i)->Etykieta.str() : "?");
        return labels;
    }
    // One column: tile i is row i.
    static QPoint At(TFormPrzyciski& panel, int tile) {
        return panel.DrawGridPrzyciski->visualRect(panel.DrawGridPrzyciski->model()->index(tile, 0)).center();
    }
    static void Mouse(TFormPrzyciski& panel, QEvent::Type type, QPoint point) {
        QMouseEvent event(type, point, panel.DrawGridPrzyciski->viewport()->mapToGlobal(point), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel.DrawGridPrzyciski->viewport(), &event);
    }
    static void Click(TFormPrzyciski& panel, int tile) {
        Mouse(panel, QEvent::MouseButtonPress, At(panel, tile));
        Mouse(panel, QEvent::MouseButtonRelease, At(panel, tile));
    }
    static void Key(TFormPrzyciski& panel, QEvent::Type type, int key) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QApplication::sendEvent(panel.DrawGridPrzyciski, &event);
    }
    int Refreshes() const { return okno_.count(WM_ODSWIEZ_PRZYCISKI); }

    static constexpr int A = 1, B = 2, C = 3, A1 = 4, A2 = 5, A1x = 6;
    using Labels_ = std::vector<std::string>;

    bool application_ = (TestApplication(), true);
    TemporaryRegistry registry_;
    GlobalModel model_;
    RecordingWindow okno_;
};

TEST_F(PrzyciskiTest, SettingsAreReadOnceAndTheGridFollowsTheWidth) {
    platform::registry::Registry registry;
    ASSERT_TRUE(registry.openKey(platform::ui::KluczUstawien, true));
    registry.writeInteger("PrzyciskiSzerokosc", 120);
    registry.writeInteger("PrzyciskiWysokosc", 44);
    registry.writeInteger("PrzyciskiWielkoscCzcionki", 13);
    TFormPrzyciski panel;
    registry.writeInteger("PrzyciskiWysokosc", 10);
    panel.Przeladuj();
    EXPECT_EQ(panel.SzerokoscPrzycisku, 120);
    EXPECT_EQ(panel.WysokoscPrzycisku, 44);
    EXPECT_EQ(panel.DrawGridPrzyciski->font().pointSize(), 13);

    panel.resize(500, 300);
    panel.show();
    QApplication::processEvents();
    QTableView& grid = *panel.DrawGridPrzyciski;
    const UkladPrzyciskow expected =
        ObliczUkladPrzyciskow(static_cast<float>(grid.viewport()->width()), 120, panel.LiczbaKafelkow());
    ASSERT_EQ(grid.model()->columnCount(), expected.Kolumny);
    EXPECT_EQ(grid.model()->rowCount(), expected.Wiersze);
    for (int k = 0; k < expected.Kolumny; ++k)
        EXPECT_EQ(grid.columnWidth(k), expected.Szerokosci[static_cast<std::size_t>(k)]);
    EXPECT_EQ(grid.rowHeight(0), 44);
}

TEST_F(PrzyciskiTest, WithoutSettingsOneColumnOfDefaultHeight) {
    TFormPrzyciski panel;
    EXPECT_EQ(panel.SzerokoscPrzycisku, 0);
    EXPECT_EQ(panel.WysokoscPrzycisku, 30);
    EXPECT_EQ(panel.DrawGridPrzyciski->model()->columnCount(), 1);
    EXPECT_EQ(Labels(panel), (Labels_{"A", "B", "C"}));
}

TEST_F(PrzyciskiTest, GroupsOpenTheirLevelAndWsteczAndEscGoBack) {
    TFormPrzyciski panel;
    panel.resize(200, 400);
    panel.show();
    QApplication::processEvents();

    Click(panel, 1);
    EXPECT_EQ(Labels(panel), (Labels_{"A", "B", "C"})) << "a button without children leaves the level";
    EXPECT_EQ(Refreshes(), 1);

    Click(panel, 0);
    EXPECT_EQ(Labels(panel), (Labels_{"Wstecz", "A1", "A2", "C"}));
    EXPECT_EQ(panel.StosPowrotu, std::vector<int>{0});
    Click(panel, 1);
    EXPECT_EQ(Labels(panel), (Labels_{"Wstecz", "A1x", "C"}));
    EXPECT_EQ(panel.StosPowrotu, (std::vector<int>{0, A}));
    EXPECT_EQ(Refreshes(), 3) << "every release";

    Click(panel, 0);
    EXPECT_EQ(Labels(panel), (Labels_{"Wstecz", "A1", "A2", "C"}));
    Click(panel, 0);
    EXPECT_EQ(Labels(panel), (Labels_{"A", "B", "C"}));
    EXPECT_EQ(panel.Grupa, 0);

    // Space on the current cell opens a group as a click does; Esc goes back.
    panel.DrawGridPrzyciski->setCurrentIndex(panel.DrawGridPrzyciski->model()->index(0, 0));
    Key(panel, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(Button(A)->Wcisniety);
    EXPECT_EQ(panel.WierszZapamietany, -1) << "Space remembers no tile";
    Key(panel, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_FALSE(Button(A)->Wcisniety);
    EXPECT_EQ(panel.Grupa, A);
    Key(panel, QEvent::KeyRelease, Qt::Key_Escape);
    EXPECT_EQ(panel.Grupa, 0);
    EXPECT_EQ(Labels(panel), (Labels_{"A", "B", "C"}));
    Key(panel, QEvent::KeyRelease, Qt::Key_Escape);
    EXPECT_EQ(panel.Grupa, 0) << "nothing to go back to";
}

TEST_F(PrzyciskiTest, DraggingOffATileReleasesItOnceAndPressesNothingElse) {
    TFormPrzyciski panel;
    panel.resize(200, 400);
    panel.show();
    QApplication::processEvents();

    Mouse(panel, QEvent::MouseButtonPress, At(panel, 1));
    EXPECT_TRUE(Button(B)->Wcisniety);
    Mouse(panel, QEvent::MouseMove, At(panel, 2));
    EXPECT_FALSE(Button(B)->Wcisniety) << "dragged off";
    EXPECT_FALSE(Button(C)->Wcisniety) << "the tile under the mouse is not pressed";
    EXPECT_EQ(Refreshes(), 1);

    Click(panel, 1);
    const int afterRelease = Refreshes();
    Mouse(panel, QEvent::MouseMove, At(panel, 2));
    EXPECT_EQ(Refreshes(), afterRelease) << "a tile released on mouse up is not released again";
}

TEST_F(PrzyciskiTest, LosingTheWindowReleasesTheHeldTile) {
    TFormPrzyciski panel;
    panel.resize(200, 400);
    panel.show();
    QApplication::processEvents();

    Mouse(panel, QEvent::MouseButtonPress, At(panel, 1));
    ASSERT_TRUE(Button(B)->Wcisniety);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&panel, &deactivate);
    EXPECT_FALSE(Button(B)->Wcisniety);
    EXPECT_EQ(Refreshes(), 1);
    EXPECT_EQ(panel.WierszZapamietany, -1);

    Mouse(panel, QEvent::MouseButtonPress, At(panel, 1));
    panel.ZwolnijPrzycisk(); // as the main window does when the program loses the focus
    EXPECT_FALSE(Button(B)->Wcisniety);
    EXPECT_EQ(Refreshes(), 2);
    panel.ZwolnijPrzycisk();
    EXPECT_EQ(Refreshes(), 2) << "nothing held any more";
}

TEST_F(PrzyciskiTest, AReloadLeavesNoTileOrLevelOfAButtonThatIsGone) {
    TFormPrzyciski panel;
    panel.resize(200, 400);
    panel.show();
    QApplication::processEvents();
    Click(panel, 0);
    Click(panel, 1);
    ASSERT_EQ(panel.Grupa, A1);
    Mouse(panel, QEvent::MouseButtonPress, At(panel, 1));
    ASSERT_TRUE(Button(A1x)->Wcisniety);
    const int refreshes = Refreshes();

    // The start reloads the buttons into a fresh container, without A's
    // subtree; the panel hears of it only later.
    NoweKontenery nowe{};
    auto* przyciski = static_cast<Objects_Przyciski*>(UtworzKontener(NrPrzyciski));
    przyciski->DodajRekord(B, "B", "", Object_Przycisk::Klik, 0, 0, 0, 0, false);
    przyciski->DodajRekord(C, "C", "", Object_Przycisk::Klik, 0, 0, 0, 0, true);
    nowe[NrPrzyciski] = przyciski;
    ZamienKontenery(nowe);

    panel.ZwolnijPrzycisk();
    EXPECT_EQ(Refreshes(), refreshes) << "the held tile was a button that is gone";
    EXPECT_EQ(panel.Grupa, 0);
    EXPECT_EQ(Labels(panel), (Labels_{"B", "C"}));
    EXPECT_EQ(panel.StosPowrotu, std::vector<int>{0}) << "A's level is gone from the back stack";
    panel.grab();

    panel.Przeladuj();
    EXPECT_EQ(panel.Kafelek(0), Button(B)) << "the tiles are the new container's buttons";
    Key(panel, QEvent::KeyRelease, Qt::Key_Escape);
    EXPECT_EQ(Labels(panel), (Labels_{"B", "C"}));
}

TEST_F(PrzyciskiTest, ABistableButtonHeldWithSpaceTogglesOnce) {
    Button(B)->Rodzaj = Object_Przycisk::Bistabilny;
    TFormPrzyciski panel;
    panel.DrawGridPrzyciski->setCurrentIndex(panel.DrawGridPrzyciski->model()->index(1, 0));
    const auto space = [&](QEvent::Type type, bool repeat) {
        QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QString(" "), repeat);
        QApplication::sendEvent(panel.DrawGridPrzyciski, &event);
    };
    space(QEvent::KeyPress, false);
    space(QEvent::KeyRelease, true);
    space(QEvent::KeyPress, true);
    space(QEvent::KeyRelease, false);
    EXPECT_TRUE(Button(B)->Wcisniety) << "the key's repeats are no presses of their own";
    EXPECT_EQ(Refreshes(), 1);
}

} // namespace
