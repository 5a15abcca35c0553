// The list window, the pick list, the two-list picker and the working
// lists' temporary ids, over the boards and their dialog.
#include <QPainter>
#include <QPushButton>

#include "core/Object_Czytnik.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Objects_globals.h"
#include "designer/ListaElementow.h"
#include "designer/ListaRobocza.h"
#include "designer/TFormDwieListy.h"
#include "designer/TFormWyborElementu.h"
#include "designer/UnitKartyEdycja.h"
#include "platform/ui/DrawGrid.h"
#include "tests/designer/GridCell.h"
#include "tests/designer/DesignerFixture.h"

namespace {

std::vector<KolumnaListy> BoardColumns() {
    return {
        {"Nazwa", [](const Object& k) { return QString::fromStdString(static_cast<const Object_Karta&>(k).Nazwa.str()); },
         platform::ui::DoLewej, 0},
        {"Adres", [](const Object& k) { return QString::number(static_cast<const Object_Karta&>(k).Adres); },
         platform::ui::DoPrawej, 2},
        {"Rodzaj", [](const Object& k) { return QString::number(static_cast<const Object_Karta&>(k).IdRodzajKarty); }},
    };
}

std::vector<std::string> Names(const Objects& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.Rozmiar(); ++i)
        names.push_back(static_cast<const Object_Karta*>(list.Element(i))->Nazwa.str());
    return names;
}

class ListyTest : public DesignerTest {
protected:
    void SetUp() override {
        DesignerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        exec("INSERT INTO magistrale (IdMagistrali, Com, Wersja, Predkosc, Nazwa) VALUES (1, 1, 2, 19200, 'M1')");
        exec("INSERT INTO karty (IdKarty, IdRodzajKarty, IdMagistrali, Adres, Nazwa) VALUES "
             "(1, 1, 1, 30, 'Brama'), (2, 1, 1, 10, 'Szlaban'), (3, 1, 1, 20, 'Furtka')");
        exec("SELECT setval('karty_idkarty_seq', 3)");
        DM->TableKarty.refresh();
        Magistrale->Dodaj(1, 1, 2, 19200, "M1");
        Karty->DodajRekord(1, 1, 1, 30, "Brama");
        Karty->DodajRekord(2, 1, 1, 10, "Szlaban");
        Karty->DodajRekord(3, 1, 1, 20, "Furtka");
        Karty->Sortuj(0);
    }

    OpisListy Description() {
        OpisListy opis;
        opis.kontener = [] { return static_cast<Objects*>(Karty); };
        opis.kolumny = BoardColumns();
        opis.tabela = []() -> db::Table& { return DM->TableKarty; };
        opis.klucz = "IdKarty";
        opis.dodaj = [this] { return form.Dodaj(); };
        opis.edytuj = [this](int id) { return form.Edytuj(id); };
        opis.odwolania = {{"SELECT count(*) FROM czytniki WHERE IdKarty = :Id", "Karta ma czytnik."}};
        opis.pytanie = [](const Object& k) {
            return QStringLiteral("Czy na pewno usunąć kartę %1?")
                .arg(QString::fromStdString(static_cast<const Object_Karta&>(k).Nazwa.str()));
        };
        return opis;
    }

    TFormKartyEdycja form;
};

} // namespace

TEST_F(ListyTest, ListWindowSortsByHeaderAndEditsOnADataCell) {
    platform::ui::DrawGrid grid;
    ListaElementow list(grid, Description());
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(grid.columnCount(), 4) << "L.p. and the three columns";
    EXPECT_EQ(grid.columnWidth(0), 10);
    EXPECT_EQ(Names(*Karty), (std::vector<std::string>{"Brama", "Furtka", "Szlaban"}));

    emit grid.headerClicked(2);
    EXPECT_EQ(Names(*Karty), (std::vector<std::string>{"Szlaban", "Furtka", "Brama"})) << "Adres sorts by kind 2";
    for (int column : {0, 3}) {
        emit grid.headerClicked(column);
        EXPECT_EQ(Karty->RodzajSortowania(), 2) << "column " << column << " sorts nothing";
    }

    // The header row and the row-number column open nothing.
    emit grid.cellDoubleClicked(1, 0);
    emit grid.cellDoubleClicked(0, 2);
    EXPECT_TRUE(dialogs.messages.empty());

    grid.setRow(2);
    EXPECT_TRUE(Play(form,
                     {[&] {
                          EXPECT_EQ(form.windowTitle(), "Edycja karty");
                          EXPECT_EQ(form.EditNazwa->text(), "Furtka");
                          form.EditAdres->setText("5");
                          form.ButtonOk->click();
                      }},
                     [&] {
                         emit grid.cellDoubleClicked(1, 2);
                         return true;
                     }));
    EXPECT_EQ(Names(*Karty), (std::vector<std::string>{"Furtka", "Szlaban", "Brama"})) << "sorted again after the edit";

    Play(form,
         {[&] {
              EXPECT_EQ(form.windowTitle(), "Dodawanie karty");
              form.EditAdres->setText("15");
              form.EditNazwa->setText("Nowa");
              form.ButtonOk->click();
          }},
         [&] {
             list.Dodaj();
             return true;
         });
    EXPECT_EQ(grid.rowCount(), 5);
    EXPECT_EQ(Names(*Karty), (std::vector<std::string>{"Furtka", "Szlaban", "Nowa", "Brama"}));
}

TEST_F(ListyTest, ListWindowPaintsRowNumbersAndColumns) {
    platform::ui::DrawGrid grid;
    ListaElementow list(grid, Description());
    for (int column = 0; column < 4; ++column) {
        SCOPED_TRACE(column);
        EXPECT_TRUE(Painted(grid, column, 0));
        EXPECT_TRUE(Painted(grid, column, 3));
    }
    Karty->Wyczysc();
    list.Odswiez();
    EXPECT_EQ(grid.rowCount(), 2) << "the header and one empty row";
    EXPECT_FALSE(Painted(grid, 0, 1));
}

TEST_F(ListyTest, DeletionIsGuardedThenAsked) {
    platform::ui::DrawGrid grid;
    ListaElementow list(grid, Description());
    exec("INSERT INTO czytniki (IdKarty, Czytnik, Nazwa) VALUES (1, 1, 'C')");
    grid.setRow(1); // "Brama", which has a reader

    list.Usun();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Karta ma czytnik.");
    EXPECT_EQ(dialogs.messages[0].icon, platform::ui::Icon::Warning);
    EXPECT_EQ(Karty->Ilosc(), 3);

    exec("DELETE FROM czytniki");
    dialogs.messages.clear();
    dialogs.messageAnswers = {platform::ui::No};
    list.Usun();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Czy na pewno usunąć kartę Brama?");
    EXPECT_EQ(dialogs.messages[0].icon, platform::ui::Icon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, platform::ui::Yes | platform::ui::No);
    EXPECT_EQ(Karty->Ilosc(), 3);
    EXPECT_EQ(Rows("karty"), 3);

    dialogs.messageAnswers = {platform::ui::Yes};
    list.Usun();
    EXPECT_EQ(Karty->Znajdz(1), nullptr);
    EXPECT_EQ(Rows("karty"), 2);
    EXPECT_EQ(grid.rowCount(), 3);
}

TEST_F(ListyTest, PickListClosesOnOkOnlyOverElements) {
    TFormWyborElementu pick(nullptr, [] { return static_cast<Objects*>(Karty); }, BoardColumns());
    pick.resize(300, 200);
    pick.show();
    QApplication::processEvents();
    EXPECT_EQ(pick.PanelDol->width() - pick.ButtonOk->geometry().right() - 1, pick.ButtonAnuluj->x())
        << "OK keeps the margin Anuluj keeps";
    pick.hide();

    const int accepted = Play(pick,
                              {[&] {
                                   pick.DrawGrid->setRow(2);
                                   pick.ButtonOk->click();
                               }},
                              [&] { return pick.exec(); });
    EXPECT_EQ(accepted, QDialog::Accepted);
    ASSERT_NE(pick.Wybrany(), nullptr);
    EXPECT_EQ(static_cast<Object_Karta*>(pick.Wybrany())->Nazwa.str(), "Furtka");

    Karty->Wyczysc();
    const int cancelled = Play(pick,
                               {[&] { pick.ButtonOk->click(); }, [&] { PressEscape(&pick); },
                                [&] { pick.ButtonAnuluj->click(); }},
                               [&] { return pick.exec(); });
    EXPECT_EQ(cancelled, QDialog::Rejected) << "neither OK over an empty container nor Escape closes it";
    EXPECT_EQ(pick.Wybrany(), nullptr);
}

TEST_F(ListyTest, TwoListPickerMovesEntriesAndOnlyOkChangesTheCallersList) {
    Objects chosen; // borrows, as a working list does
    chosen.Dodaj(Karty->Znajdz(2));
    TFormDwieListy picker(nullptr, [] { return static_cast<Objects*>(Karty); }, BoardColumns());
    picker.KursorZaWpisem = true;

    const auto moveBramaIn = [&] {
        EXPECT_EQ(picker.DrawGridWybrane->rowCount(), 2);
        EXPECT_EQ(picker.DrawGridDostepne->rowCount(), 3);
        picker.DrawGridDostepne->setRow(1); // "Brama"
        picker.ButtonDodaj->click();
        EXPECT_EQ(picker.DrawGridWybrane->rowCount(), 3);
        EXPECT_EQ(picker.DrawGridWybrane->row(), 1) << "the cursor follows the entry moved";
    };
    EXPECT_FALSE(Play(picker, {moveBramaIn, [&] { picker.ButtonAnuluj->click(); }},
                      [&] { return picker.Wybierz(chosen); }));
    EXPECT_EQ(Names(chosen), std::vector<std::string>{"Szlaban"});

    EXPECT_TRUE(Play(picker,
                     {moveBramaIn,
                      [&] {
                          picker.DrawGridWybrane->setRow(2); // "Szlaban" back
                          picker.ButtonUsun->click();
                          picker.ButtonOk->click();
                      }},
                     [&] { return picker.Wybierz(chosen); }));
    EXPECT_EQ(Names(chosen), std::vector<std::string>{"Brama"});
    EXPECT_EQ(Karty->Ilosc(), 3) << "nothing destroyed";
    chosen.Zapomnij();
}

TEST(ListaRobocza, TemporaryIdsStayBelowEveryIdOfTheList) {
    Objects list;
    EXPECT_EQ(IdTymczasowe(list), -1);
    list.Nowy(7);
    EXPECT_EQ(IdTymczasowe(list), -1) << "stored entries keep their keys";
    list.Nowy(IdTymczasowe(list));
    list.Nowy(IdTymczasowe(list));
    EXPECT_EQ(Ids(list), (std::vector<int>{7, -1, -2}));
    list.Usun(-1);
    EXPECT_EQ(Ids(list), (std::vector<int>{7, -2}));
    EXPECT_EQ(IdTymczasowe(list), -3);
}
