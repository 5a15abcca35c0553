#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Objects_globals.h"
#include "designer/UnitKartyEdycja.h"
#include "designer/UnitMagistraleEdycja.h"
#include "tests/designer/DesignerFixture.h"

namespace {

class MagistraleEdycjaTest : public DesignerTest {
protected:
    Object_Magistrala* Add(std::function<void()> fill) {
        return Play(form, {fill, [&] { form.ButtonOk->click(); }}, [&] { return form.Dodaj(); });
    }
    std::string Row(int id) {
        return scalar("SELECT concat_ws(',', Com, Wersja, Predkosc, Nazwa) FROM magistrale WHERE IdMagistrali = " +
                      std::to_string(id));
    }
    TFormMagistraleEdycja form;
};

class KartyEdycjaTest : public DesignerTest {
protected:
    void SetUp() override {
        DesignerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        exec("INSERT INTO magistrale (IdMagistrali, Com, Wersja, Predkosc, Nazwa) VALUES (1, 1, 1, 19200, 'M1'), "
             "(2, 2, 2, 19200, 'M2')");
        Magistrale->Dodaj(1, 1, 1, 19200, "M1");
        Magistrale->Dodaj(2, 2, 2, 19200, "M2");
    }
    Object_Karta* Add(std::function<void()> fill) {
        return Play(form, {fill, [&] { form.ButtonOk->click(); }}, [&] { return form.Dodaj(); });
    }
    std::string Row(int id) {
        return scalar("SELECT concat_ws(',', IdRodzajKarty, IdMagistrali, Adres, Nazwa) FROM karty WHERE IdKarty = " +
                      std::to_string(id));
    }
    TFormKartyEdycja form;
};

} // namespace

TEST_F(MagistraleEdycjaTest, ComIsCheckedAndVersionAndSpeedFallBack) {
    Object_Magistrala* m = Play(form,
                                {[&] {
                                     EXPECT_EQ(form.windowTitle(), "Dodawanie magistrali");
                                     EXPECT_EQ(form.EditCom->text(), "1");
                                     EXPECT_EQ(form.ComboBoxWersjaMagistrali->currentIndex(), -1);
                                     EXPECT_TRUE(form.EditCom->hasFocus() || !form.isActiveWindow());
                                     form.EditCom->setText("0");
                                     form.ButtonOk->click();
                                 },
                                 [&] {
                                     form.EditCom->setText("256");
                                     form.ButtonOk->click();
                                 },
                                 [&] {
                                     form.EditCom->setText("99999999999");
                                     form.ButtonOk->click();
                                 },
                                 [&] {
                                     form.EditCom->setText("3");
                                     form.ComboBoxPredkoscMagistrali->setEditText("");
                                     form.EditNazwa->setText("Parking");
                                     form.ButtonOk->click();
                                 }},
                                [&] { return form.Dodaj(); });
    ASSERT_NE(m, nullptr);
    const QString com = "Numer portu COM musi być z zakresu 1 do 255.";
    EXPECT_EQ(Messages(), (std::vector<QString>{com, com, com}));
    ExpectErrorBoxes();
    EXPECT_EQ(Row(m->Id()), "3,0,19200,Parking") << "no version chosen stores 0; an empty speed 19200";
    EXPECT_EQ(m->Com, 3);
    EXPECT_EQ(Magistrale->Znajdz(m->Id()), m);

    const std::pair<const char*, int> speeds[] = {{"bez liczby", 19200}, {"250000", 250000}, {"9600", 9600}};
    int com_ = 10;
    for (const auto& [text, stored] : speeds) {
        SCOPED_TRACE(text);
        Object_Magistrala* bus = Add([&] {
            form.EditCom->setText(QString::number(++com_));
            Choose(form.ComboBoxWersjaMagistrali, 1);
            form.ComboBoxPredkoscMagistrali->setEditText(text);
        });
        ASSERT_NE(bus, nullptr);
        EXPECT_EQ(bus->Predkosc, stored);
        EXPECT_EQ(bus->Wersja, 2);
        EXPECT_EQ(scalar("SELECT Predkosc FROM magistrale WHERE IdMagistrali = " + std::to_string(bus->Id())),
                  std::to_string(stored));
    }
}

TEST_F(MagistraleEdycjaTest, ASecondBusOnOneComIsRefusedAndNothingIsWritten) {
    ASSERT_NE(Add([&] { form.EditCom->setText("4"); }), nullptr);
    EXPECT_EQ(Add([&] { form.EditNazwa->setText("Druga"); }), nullptr);
    EXPECT_EQ(Messages(), std::vector<QString>{"Taka magistrala już istnieje"});
    ExpectErrorBoxes();
    EXPECT_EQ(Rows("magistrale"), 1);
    EXPECT_EQ(Magistrale->Ilosc(), 1);

    Object_Magistrala* other = Add([&] { form.EditCom->setText("5"); });
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(Play(form, {[&] { form.EditCom->setText("4"); }, [&] { form.ButtonOk->click(); }},
                      [&] { return form.Edytuj(other->Id()); }));
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(other->Com, 5);
    EXPECT_EQ(Row(other->Id()), "5,0,19200,Druga");
}

TEST_F(MagistraleEdycjaTest, EditLoadsTheBusAndAddStartsFromIt) {
    Object_Magistrala* m = Add([&] {
        form.EditCom->setText("7");
        Choose(form.ComboBoxWersjaMagistrali, 1);
        form.ComboBoxPredkoscMagistrali->setEditText("57600");
        form.EditNazwa->setText("Garaż");
    });
    ASSERT_NE(m, nullptr);
    Add([&] {
        form.EditCom->setText("8");
        Choose(form.ComboBoxWersjaMagistrali, 0);
        form.ComboBoxPredkoscMagistrali->setEditText("9600");
        form.EditNazwa->setText("Inna");
    });

    EXPECT_TRUE(Play(form,
                     {[&] {
                          EXPECT_EQ(form.windowTitle(), "Edycja magistrali");
                          EXPECT_EQ(form.EditCom->text(), "7");
                          EXPECT_EQ(form.ComboBoxWersjaMagistrali->currentIndex(), 1);
                          EXPECT_EQ(form.ComboBoxPredkoscMagistrali->currentText(), "57600");
                          EXPECT_EQ(form.EditNazwa->text(), "Garaż");
                          form.EditNazwa->setText("Garaż A");
                          form.ButtonOk->click();
                      }},
                     [&] { return form.Edytuj(m->Id()); }));
    EXPECT_EQ(m->Nazwa.str(), "Garaż A");
    EXPECT_EQ(Row(m->Id()), "7,2,57600,Garaż A");

    Object_Magistrala* next = Add([&] {
        EXPECT_EQ(form.ComboBoxWersjaMagistrali->currentIndex(), 1);
        EXPECT_EQ(form.ComboBoxPredkoscMagistrali->currentText(), "57600");
        EXPECT_EQ(form.EditNazwa->text(), "Garaż A");
        form.EditCom->setText("9");
    });
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(Row(next->Id()), "9,2,57600,Garaż A");
}

TEST_F(MagistraleEdycjaTest, EditingABusDeletedMeanwhileTellsTheOperator) {
    Object_Magistrala* m = Add([&] { form.EditCom->setText("6"); });
    ASSERT_NE(m, nullptr);
    exec("DELETE FROM magistrale");
    EXPECT_FALSE(Play(form, {[&] { form.EditCom->setText("16"); }, [&] { form.ButtonOk->click(); }},
                      [&] { return form.Edytuj(m->Id()); }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("usunięty"));
    EXPECT_EQ(m->Com, 6);
    EXPECT_EQ(Rows("magistrale"), 0);
}

TEST_F(KartyEdycjaTest, ChecksRunInOrderAndTheAddressMustSuitTheBus) {
    Object_Karta* k = Play(form,
                           {[&] {
                                EXPECT_EQ(form.windowTitle(), "Dodawanie karty");
                                EXPECT_EQ(form.ComboBoxIdMagistrali->count(), 2);
                                EXPECT_EQ(form.EditAdres->text(), "0");
                                form.ButtonOk->click();
                            },
                            [&] {
                                Choose(form.ComboBoxIdRodzajKarty, 0);
                                form.ButtonOk->click();
                            },
                            [&] {
                                Choose(form.ComboBoxIdMagistrali, 0);
                                form.EditAdres->setText("65536");
                                form.ButtonOk->click();
                            },
                            [&] {
                                form.EditAdres->setText("128");
                                form.ButtonOk->click();
                            },
                            [&] {
                                form.EditAdres->setText("127");
                                form.EditNazwa->setText("Wjazd");
                                form.ButtonOk->click();
                            }},
                           [&] { return form.Dodaj(); });
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(Messages(), (std::vector<QString>{
                              "Nalezy wybrać rodzaj karty.",
                              "Nalezy wybrać magistralę, do której podłączona jest karta.",
                              "Adres karty musi być z zakresu 0 do 65535.",
                              "Magistrala „M1” obsługuje 128 kart: adres karty musi być z zakresu 0 do 127.",
                          }));
    ExpectErrorBoxes();
    EXPECT_EQ(Row(k->Id()), "1,1,127,Wjazd");
    EXPECT_EQ(k->Magistrala, Magistrale->Znajdz(1)) << "the new board is linked";

    // The version 2 bus polls the whole image, and no more.
    struct Case {
        const char* address;
        bool accepted;
    };
    const Case cases[] = {{"128", true}, {"4095", true}, {"4096", false}, {"65535", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        dialogs.messages.clear();
        std::vector<std::function<void()>> steps = {[&] {
            Choose(form.ComboBoxIdMagistrali, 1);
            form.EditAdres->setText(c.address);
            form.ButtonOk->click();
        }};
        if (!c.accepted)
            steps.push_back([&] { form.reject(); });
        Object_Karta* board = Play(form, steps, [&] { return form.Dodaj(); });
        if (c.accepted) {
            EXPECT_NE(board, nullptr);
            EXPECT_TRUE(dialogs.messages.empty());
        } else {
            EXPECT_EQ(board, nullptr);
            EXPECT_EQ(Messages(), std::vector<QString>{"Magistrala „M2” obsługuje 4096 kart: adres karty musi być z "
                                                       "zakresu 0 do 4095."});
        }
    }
}

TEST_F(KartyEdycjaTest, OneAddressPerBus) {
    const auto add = [&](int bus) {
        return Add([&, bus] {
            Choose(form.ComboBoxIdRodzajKarty, 0);
            Choose(form.ComboBoxIdMagistrali, bus);
            form.EditAdres->setText("5");
        });
    };
    ASSERT_NE(add(0), nullptr);
    EXPECT_EQ(add(0), nullptr);
    EXPECT_EQ(Messages(), std::vector<QString>{"Taka karta już istnieje"});
    EXPECT_EQ(Rows("karty"), 1);
    EXPECT_EQ(Karty->Ilosc(), 1);
    EXPECT_NE(add(1), nullptr) << "the same address on another bus";
    EXPECT_EQ(Rows("karty"), 2);
}

TEST_F(KartyEdycjaTest, ThePresetBusAndTheEditedBoardCarryIntoTheNextAdd) {
    form.IdMagistrali = 2; // as the designer's "Dodaj kartę" of a bus
    Object_Karta* k = Add([&] {
        EXPECT_EQ(form.ComboBoxIdMagistrali->currentIndex(), 1);
        Choose(form.ComboBoxIdRodzajKarty, 1);
        form.EditAdres->setText("300");
        form.EditNazwa->setText("Tablice");
    });
    ASSERT_NE(k, nullptr);
    form.IdMagistrali = 1;
    form.IdRodzajKarty = 3;

    EXPECT_TRUE(Play(form,
                     {[&] {
                          EXPECT_EQ(form.windowTitle(), "Edycja karty");
                          EXPECT_EQ(form.ComboBoxIdRodzajKarty->currentIndex(), 1);
                          EXPECT_EQ(form.ComboBoxIdMagistrali->currentIndex(), 1);
                          EXPECT_EQ(form.EditAdres->text(), "300");
                          form.EditAdres->setText("301");
                          form.ButtonOk->click();
                      }},
                     [&] { return form.Edytuj(k->Id()); }));
    EXPECT_EQ(k->Adres, 301);
    EXPECT_EQ(Row(k->Id()), "2,2,301,Tablice");

    Object_Karta* next = Add([&] {
        EXPECT_EQ(form.ComboBoxIdRodzajKarty->currentIndex(), 1);
        EXPECT_EQ(form.ComboBoxIdMagistrali->currentIndex(), 1);
        EXPECT_EQ(form.EditNazwa->text(), "Tablice");
        form.EditAdres->setText("302");
    });
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(Row(next->Id()), "2,2,302,Tablice");
}

TEST_F(KartyEdycjaTest, EditingABoardDeletedMeanwhileTellsTheOperator) {
    Object_Karta* k = Add([&] {
        Choose(form.ComboBoxIdRodzajKarty, 0);
        Choose(form.ComboBoxIdMagistrali, 0);
    });
    ASSERT_NE(k, nullptr);
    exec("DELETE FROM karty");
    EXPECT_FALSE(Play(form, {[&] { form.EditAdres->setText("9"); }, [&] { form.ButtonOk->click(); }},
                      [&] { return form.Edytuj(k->Id()); }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("usunięty"));
    EXPECT_EQ(k->Adres, 0);
    EXPECT_EQ(Rows("karty"), 0);
}
