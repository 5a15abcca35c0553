#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "core/Object_Czytnik.h"
#include "core/Object_Karta.h"
#include "core/Objects_globals.h"
#include "designer/UnitCzytniki.h"
#include "designer/UnitCzytnikiEdycja.h"
#include "platform/registry/Registry.h"
#include "platform/ui/DrawGrid.h"
#include "tests/designer/GridCell.h"
#include "platform/ui/PozycjaOkna.h"
#include "tests/designer/DesignerFixture.h"

namespace {

class CzytnikiEdycjaTest : public DesignerTest {
protected:
    void SetUp() override {
        DesignerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Karty->DodajRekord(21, 1, 0, 1, "Wjazd");
        Karty->DodajRekord(22, 1, 0, 2, "Wyjazd");
    }
    Object_Czytnik* Add(std::function<void()> fill) {
        return Play(form, {fill, [&] { form.ButtonOk->click(); }}, [&] { return form.Dodaj(); });
    }
    std::string Row(int id) {
        return scalar("SELECT concat_ws(',', IdKarty, Czytnik, Nazwa) FROM czytniki WHERE IdCzytnika = " +
                      std::to_string(id));
    }
    TFormCzytnikiEdycja form;
};

class CzytnikiOknoTest : public ::testing::Test {
protected:
    bool Painted(TFormCzytniki& window, int column, int row) { return ::Painted(*window.DrawGridCzytniki, column, row); }

    bool application_ = (TestApplication(), true);
    TemporaryRegistry registry_;
    GlobalModel model_;
};

} // namespace

TEST_F(CzytnikiEdycjaTest, TheNumberMustBeOneAndABoardChosen) {
    Object_Czytnik* c = Play(form,
                             {[&] {
                                  EXPECT_EQ(form.windowTitle(), "Dodawanie czytnika");
                                  EXPECT_EQ(form.EditCzytnik->text(), "1");
                                  Choose(form.ComboBoxIdKarty, 1);
                                  form.EditCzytnik->setText("2");
                                  form.ButtonOk->click();
                              },
                              [&] {
                                  form.EditCzytnik->setText("1");
                                  Choose(form.ComboBoxIdKarty, -1);
                                  form.ButtonOk->click();
                              },
                              [&] {
                                  Choose(form.ComboBoxIdKarty, 1);
                                  form.EditNazwa->setText("Czytnik wyjazdu");
                                  form.ButtonOk->click();
                              }},
                             [&] { return form.Dodaj(); });
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Messages(), (std::vector<QString>{"Numer czytnika musi być 1.",
                                                "Nalezy wybrać kartę, której czytnik jest użyty."}));
    ExpectErrorBoxes();
    EXPECT_EQ(Row(c->Id()), "22,1,Czytnik wyjazdu");
    EXPECT_EQ(c->Karta, Karty->Znajdz(22)) << "linked to its board";
}

TEST_F(CzytnikiEdycjaTest, EditLoadsTheReaderAndAddStartsFromIt) {
    Object_Czytnik* c = Add([&] {
        Choose(form.ComboBoxIdKarty, 0);
        form.EditNazwa->setText("A");
    });
    ASSERT_NE(c, nullptr);
    Add([&] {
        Choose(form.ComboBoxIdKarty, 1);
        form.EditNazwa->setText("B");
    });
    EXPECT_TRUE(Play(form,
                     {[&] {
                          EXPECT_EQ(form.windowTitle(), "Edycja czytnika");
                          EXPECT_EQ(form.ComboBoxIdKarty->currentIndex(), 0);
                          EXPECT_EQ(form.EditNazwa->text(), "A");
                          Choose(form.ComboBoxIdKarty, 1);
                          form.ButtonOk->click();
                      }},
                     [&] { return form.Edytuj(c->Id()); }));
    EXPECT_EQ(c->Karta, Karty->Znajdz(22)) << "linked again";
    EXPECT_EQ(Row(c->Id()), "22,1,A");

    Object_Czytnik* next = Add([&] {
        EXPECT_EQ(form.ComboBoxIdKarty->currentIndex(), 1);
        EXPECT_EQ(form.EditNazwa->text(), "A");
    });
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(Row(next->Id()), "22,1,A");
}

TEST_F(CzytnikiEdycjaTest, EditingAReaderDeletedMeanwhileTellsTheOperator) {
    Object_Czytnik* c = Add([&] { Choose(form.ComboBoxIdKarty, 0); });
    ASSERT_NE(c, nullptr);
    exec("DELETE FROM czytniki");
    EXPECT_FALSE(Play(form, {[&] { Choose(form.ComboBoxIdKarty, 1); }, [&] { form.ButtonOk->click(); }},
                      [&] { return form.Edytuj(c->Id()); }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("usunięty"));
    EXPECT_EQ(c->IdKarty, 21);
}

TEST_F(CzytnikiOknoTest, RowsFollowTheReadersAndOnlyAReadingFillsTheColumns) {
    auto* window = new TFormCzytniki;
    QPointer<TFormCzytniki> alive(window);
    EXPECT_EQ(window->DrawGridCzytniki->rowCount(), 2) << "the header and one empty row";
    EXPECT_EQ(window->DrawGridCzytniki->columnWidth(0), 30);

    auto* never = Czytniki->DodajRekord(1, 0, 1, "Wjazd");
    auto* read = Czytniki->DodajRekord(2, 0, 1, "Wyjazd");
    read->OstatniKod = "a1b2c3";
    read->Licznik = 17;
    read->Przycisk = 2;
    read->CzasOdczytu = TerazLokalnie();
    window->Odswiez();
    EXPECT_EQ(window->DrawGridCzytniki->rowCount(), 3);

    EXPECT_TRUE(Painted(*window, 0, 1)) << "the name";
    for (int column = 1; column <= 4; ++column) {
        SCOPED_TRACE(column);
        EXPECT_FALSE(Painted(*window, column, 1)) << never->Nazwa.str() << " has read nothing";
        EXPECT_TRUE(Painted(*window, column, 2));
        EXPECT_TRUE(Painted(*window, column, 0)) << "the header";
    }

    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull()) << "closing frees the window";
    platform::registry::Registry settings;
    ASSERT_TRUE(settings.openKey(platform::ui::KluczUstawien, false));
    EXPECT_TRUE(settings.readString("CzytnikiPos").has_value()) << "and saves its placement";
}
