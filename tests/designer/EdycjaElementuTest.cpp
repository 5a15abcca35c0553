// The common dialog flow through a dialog made only for this test: a combo
// box with the leading empty item, one without it, a seconds field and a
// name, over a table of its own.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>
#include <sstream>

#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Objects_globals.h"
#include "core/ZapiszWyjatek.h"
#include "designer/TFormEdycji.h"
#include "platform/db/DbError.h"
#include "tests/designer/DesignerFixture.h"

namespace {

class Object_Proba : public Object {
public:
    using Object::Object;
    int IdKarty = 0;
    int IdMagistrali = 0;
    int Czas = 0;
    std::string Nazwa;
};

class Objects_Proby : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Proba(id); }
};

class TFormProbaEdycja : public TFormEdycji {
public:
    TFormProbaEdycja(db::Table& tabela, Objects_Proby& proby) {
        ComboBoxIdKarty = Lista("ComboBoxIdKarty");
        ComboBoxIdMagistrali = Lista("ComboBoxIdMagistrali");
        EditCzas = EdycjaCyfr("EditCzas", QStringLiteral("0"));
        EditNazwa = PoleTekstu("EditNazwa", QString(), 40);
        DodajWiersz("Karta", ComboBoxIdKarty);
        DodajWiersz("Magistrala", ComboBoxIdMagistrali);
        DodajWiersz("Czas [s]", EditCzas);
        DodajWiersz("Nazwa", EditNazwa);

        OpisEdycji opis;
        opis.tytulDodawania = "Dodawanie próby";
        opis.tytulEdycji = "Edycja próby";
        opis.tabela = [&tabela]() -> db::Table& { return tabela; };
        opis.klucz = "IdProby";
        opis.kontener = [&proby] { return static_cast<Objects*>(&proby); };
        opis.wybory = {
            {ComboBoxIdKarty, [] { return static_cast<Objects*>(Karty); },
             [](const Object& k) { return static_cast<const Object_Karta&>(k).Nazwa.str(); }, true, &IdKarty},
            {ComboBoxIdMagistrali, [] { return static_cast<Objects*>(Magistrale); },
             [](const Object& m) { return static_cast<const Object_Magistrala&>(m).Nazwa.str(); }, false,
             &IdMagistrali},
        };
        opis.sprawdzenia = {{[this] { return !EditNazwa->text().isEmpty(); }, "Należy wpisać nazwę.", EditNazwa}};
        opis.kolumny = {
            {"IdKarty", [this] { return db::Value(IdWyboru(Edycja.Opis().wybory[0])); }},
            {"IdMagistrali", [this] { return db::Value(IdWyboru(Edycja.Opis().wybory[1])); }},
            {"Czas", [this] { return db::Value(SekundyNaMs(LiczbaPola(*EditCzas, 0))); }},
            {"Nazwa", [this] { return db::Value(EditNazwa->text().toStdString()); }},
        };
        opis.duplikatDodawania = "Taka próba już istnieje";
        opis.duplikatEdycji = "Taka nazwa już istnieje";
        opis.resetDodawania = [this] { EditNazwa->clear(); };
        opis.wczytaj = [this](Object& e) {
            const auto& p = static_cast<const Object_Proba&>(e);
            IdKarty = p.IdKarty;
            IdMagistrali = p.IdMagistrali;
            EditCzas->setText(MsNaSekundy(p.Czas));
            EditNazwa->setText(QString::fromStdString(p.Nazwa));
        };
        opis.utworz = [this, &proby](int id) -> Object* {
            auto* p = static_cast<Object_Proba*>(proby.Nowy(id));
            Zapisz(*p);
            return p;
        };
        opis.zaktualizuj = [this](Object& e) { Zapisz(static_cast<Object_Proba&>(e)); };
        opis.zapiszPowiazane = [this](Object& e) {
            if (Powiazane)
                Powiazane(static_cast<Object_Proba&>(e));
        };
        Edycja.Opisz(std::move(opis));
    }

    Object_Proba* Dodaj() { return static_cast<Object_Proba*>(Edycja.Dodaj()); }
    bool Edytuj(int id) { return Edycja.Edytuj(id); }

    void Zapisz(Object_Proba& p) {
        p.IdKarty = IdWyboru(Edycja.Opis().wybory[0]);
        p.IdMagistrali = IdWyboru(Edycja.Opis().wybory[1]);
        p.Czas = SekundyNaMs(LiczbaPola(*EditCzas, 0));
        p.Nazwa = EditNazwa->text().toStdString();
    }

    std::function<void(Object_Proba&)> Powiazane;
    int IdKarty = 0;
    int IdMagistrali = 0;
    QComboBox* ComboBoxIdKarty;
    QComboBox* ComboBoxIdMagistrali;
    QLineEdit* EditCzas;
    QLineEdit* EditNazwa;
};

class EdycjaElementuTest : public DesignerTest {
protected:
    void SetUp() override {
        DesignerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        exec("CREATE TABLE proba (IdProby serial PRIMARY KEY, IdKarty integer, IdMagistrali integer, "
             "Czas integer CHECK (Czas < 3600000), Nazwa varchar(40) UNIQUE)");
        table_.emplace(DM->FDConnection, "proba");
        table_->open();
        Karty->DodajRekord(11, 1, 0, 1, "K1");
        Karty->DodajRekord(12, 1, 0, 2, "K2");
        Karty->DodajRekord(13, 1, 0, 3, "K3");
        Magistrale->Dodaj(1, 1, 1, 19200, "M1");
        Magistrale->Dodaj(2, 2, 1, 19200, "M2");
        form_.emplace(*table_, proby_);
    }
    void TearDown() override {
        form_.reset();
        table_.reset();
        DesignerTest::TearDown();
    }

    Object_Proba* Add(std::function<void(TFormProbaEdycja&)> fill) {
        TFormProbaEdycja& f = *form_;
        return Play(f, {[&] { fill(f); }, [&] { f.ButtonOk->click(); }}, [&] { return f.Dodaj(); });
    }
    std::string Row(int id) {
        return scalar("SELECT concat_ws(',', IdKarty, IdMagistrali, Czas, Nazwa) FROM proba WHERE IdProby = " +
                      std::to_string(id));
    }

    Objects_Proby proby_;
    std::optional<db::Table> table_;
    std::optional<TFormProbaEdycja> form_;
};

} // namespace

TEST_F(EdycjaElementuTest, CombosMapPositionsToIdsBothWays) {
    TFormProbaEdycja& f = *form_;
    Object_Proba* p = Add([](TFormProbaEdycja& f) {
        EXPECT_EQ(f.ComboBoxIdKarty->count(), 4) << "three boards and the empty item";
        EXPECT_EQ(f.ComboBoxIdKarty->currentIndex(), 0) << "start value 0 is the empty item";
        EXPECT_EQ(f.ComboBoxIdMagistrali->count(), 2);
        EXPECT_EQ(f.ComboBoxIdMagistrali->currentIndex(), -1) << "start value 0 is no choice";
        Choose(f.ComboBoxIdKarty, 3);
        Choose(f.ComboBoxIdMagistrali, 1);
        f.EditNazwa->setText("A");
    });
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Row(p->Id()), "13,2,0,A") << "item 3 is the third board";
    EXPECT_EQ(p->IdKarty, 13);

    p = Add([](TFormProbaEdycja& f) {
        EXPECT_EQ(f.ComboBoxIdKarty->currentIndex(), 3) << "the start values keep the last choice";
        EXPECT_EQ(f.ComboBoxIdMagistrali->currentIndex(), 1);
        Choose(f.ComboBoxIdKarty, 0);
        Choose(f.ComboBoxIdMagistrali, -1);
        f.EditNazwa->setText("B");
    });
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Row(p->Id()), "0,0,0,B") << "the empty item and no choice both store 0, not NULL";

    // A start value whose element is gone: no choice in either mapping.
    f.IdKarty = 99;
    f.IdMagistrali = 99;
    Play(f, {[&] {
             EXPECT_EQ(f.ComboBoxIdKarty->currentIndex(), -1);
             EXPECT_EQ(f.ComboBoxIdMagistrali->currentIndex(), -1);
             f.reject();
         }},
         [&] { return f.Dodaj(); });
}

TEST_F(EdycjaElementuTest, SecondsAreStoredAsMillisecondsAndShownWhole) {
    TFormProbaEdycja& f = *form_;
    Object_Proba* p = Add([](TFormProbaEdycja& f) {
        f.EditCzas->setText("12");
        f.EditNazwa->setText("A");
    });
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Czas, 12000);
    EXPECT_EQ(scalar("SELECT Czas FROM proba"), "12000");

    p->Czas = 12500;
    Play(f, {[&] {
             EXPECT_EQ(f.EditCzas->text(), "12") << "the remainder is dropped";
             f.reject();
         }},
         [&] { return f.Edytuj(p->Id()); });
}

TEST_F(EdycjaElementuTest, AddStartsFromTheEditedElementExceptWhatItResets) {
    TFormProbaEdycja& f = *form_;
    Object_Proba* first = Add([](TFormProbaEdycja& f) {
        Choose(f.ComboBoxIdKarty, 2);
        Choose(f.ComboBoxIdMagistrali, 0);
        f.EditCzas->setText("7");
        f.EditNazwa->setText("A");
    });
    ASSERT_NE(first, nullptr);
    // Something else shown in between.
    Add([](TFormProbaEdycja& f) {
        Choose(f.ComboBoxIdKarty, 0);
        f.EditCzas->setText("1");
        f.EditNazwa->setText("B");
    });

    EXPECT_EQ(Play(f, {[&] { f.ButtonOk->click(); }}, [&] { return f.Edytuj(first->Id()); }), true);
    Object_Proba* next = Add([](TFormProbaEdycja& f) {
        EXPECT_EQ(f.windowTitle(), "Dodawanie próby");
        EXPECT_EQ(f.ComboBoxIdKarty->currentIndex(), 2);
        EXPECT_EQ(f.ComboBoxIdMagistrali->currentIndex(), 0);
        EXPECT_EQ(f.EditCzas->text(), "7");
        EXPECT_EQ(f.EditNazwa->text(), "") << "the one control this dialog's Add resets";
        f.EditNazwa->setText("C");
    });
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(Row(next->Id()), "12,1,7000,C");
}

TEST_F(EdycjaElementuTest, CancelAndEscapeWriteNothing) {
    TFormProbaEdycja& f = *form_;
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"Anuluj", [&] { f.ButtonCancel->click(); }},
        {"Escape in a field", [&] { PressEscape(f.EditNazwa); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Play(f, {[&] { f.EditNazwa->setText("A"); }, close}, [&] { return f.Dodaj(); }), nullptr);
    }
    Object_Proba* p = Add([](TFormProbaEdycja& f) { f.EditNazwa->setText("A"); });
    ASSERT_NE(p, nullptr);
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Play(f, {[&] { f.EditNazwa->setText("B"); }, close}, [&] { return f.Edytuj(p->Id()); }));
    }
    EXPECT_EQ(Rows("proba"), 1);
    EXPECT_EQ(p->Nazwa, "A");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EdycjaElementuTest, AFailedCheckKeepsTheDialogOpenWithWhatWasTyped) {
    TFormProbaEdycja& f = *form_;
    Object_Proba* p = Play(f,
                           {[&] { f.EditCzas->setText("5"); },
                            [&] { f.ButtonOk->click(); },
                            [&] {
                                EXPECT_EQ(f.EditCzas->text(), "5");
                                f.EditNazwa->setText("A");
                                f.ButtonOk->click();
                            }},
                           [&] { return f.Dodaj(); });
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Messages(), std::vector<QString>{"Należy wpisać nazwę."});
    ExpectErrorBoxes();
}

TEST_F(EdycjaElementuTest, ADuplicateShowsItsMessageAndStoresNothing) {
    TFormProbaEdycja& f = *form_;
    Object_Proba* a = Add([](TFormProbaEdycja& f) { f.EditNazwa->setText("A"); });
    Object_Proba* b = Add([](TFormProbaEdycja& f) { f.EditNazwa->setText("B"); });
    ASSERT_TRUE(a && b);
    EXPECT_EQ(Add([](TFormProbaEdycja& f) { f.EditNazwa->setText("A"); }), nullptr);
    EXPECT_FALSE(Play(f, {[&] { f.EditNazwa->setText("A"); }, [&] { f.ButtonOk->click(); }},
                      [&] { return f.Edytuj(b->Id()); }));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Taka próba już istnieje", "Taka nazwa już istnieje"}));
    ExpectErrorBoxes();
    EXPECT_EQ(proby_.Ilosc(), 2);
    EXPECT_EQ(b->Nazwa, "B");
    EXPECT_EQ(Row(b->Id()), "0,0,0,B");
    EXPECT_EQ(table_->state(), db::TableState::Browse) << "the refused row was cancelled";
    // The table goes on working.
    EXPECT_NE(Add([](TFormProbaEdycja& f) { f.EditNazwa->setText("C"); }), nullptr);
}

TEST_F(EdycjaElementuTest, AnotherDatabaseErrorIsReportedAndLoggedNotSwallowed) {
    Object_Proba* p = Add([](TFormProbaEdycja& f) {
        f.EditCzas->setText("4000"); // past the table's check
        f.EditNazwa->setText("A");
    });
    EXPECT_EQ(p, nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("Zapis do bazy danych nie powiódł się")) << dialogs.messages[0].text.toStdString();
    ExpectErrorBoxes();
    EXPECT_EQ(proby_.Ilosc(), 0);
    EXPECT_EQ(Rows("proba"), 0);
    EXPECT_EQ(table_->state(), db::TableState::Browse);
    std::ifstream log(FolderDokumentow() + "/kandor_exception.log");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(text.str().find("proba"), std::string::npos) << "the refusal is in the exception log";
}

TEST_F(EdycjaElementuTest, OnlyAUniqueViolationAnywhereInTheListShowsTheDuplicateMessage) {
    using db::DbError;
    using db::DbErrorItem;
    struct Case {
        const char* name;
        std::vector<DbErrorItem> errors;
        bool duplicate;
    };
    const Case cases[] = {
        {"in the middle, twice", {{DbError::Other, "XX000", "a"}, {4, "23505", "b"}, {4, "23505", "c"}}, true},
        {"first", {{4, "23505", "a"}}, true},
        {"none", {{DbError::ServerGone, "08006", "a"}, {DbError::Other, "XX000", "b"}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.messages.clear();
        EdycjaElementu::ZglosBladBazy(nullptr, DbError(c.errors), "Duplikat");
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text == "Duplikat", c.duplicate);
    }
}

TEST_F(EdycjaElementuTest, EditingARowDeletedMeanwhileTellsTheOperator) {
    TFormProbaEdycja& f = *form_;
    Object_Proba* p = Add([](TFormProbaEdycja& f) { f.EditNazwa->setText("A"); });
    ASSERT_NE(p, nullptr);
    exec("DELETE FROM proba");
    EXPECT_FALSE(Play(f, {[&] { f.EditNazwa->setText("B"); }, [&] { f.ButtonOk->click(); }},
                      [&] { return f.Edytuj(p->Id()); }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("usunięty"));
    EXPECT_EQ(p->Nazwa, "A");
    EXPECT_EQ(Rows("proba"), 0) << "nothing written back";
    EXPECT_EQ(table_->state(), db::TableState::Browse);
}

TEST_F(EdycjaElementuTest, ARowWrittenElsewhereIsFoundForEditing) {
    TFormProbaEdycja& f = *form_;
    exec("INSERT INTO proba (IdProby, Nazwa) VALUES (50, 'X')");
    auto* p = static_cast<Object_Proba*>(proby_.Nowy(50));
    p->Nazwa = "X";
    EXPECT_TRUE(Play(f, {[&] { f.EditNazwa->setText("Y"); }, [&] { f.ButtonOk->click(); }},
                     [&] { return f.Edytuj(50); }));
    EXPECT_EQ(Row(50), "0,0,0,Y");
    EXPECT_EQ(p->Nazwa, "Y");
    EXPECT_FALSE(f.Edytuj(51)) << "an id no element has";
}

TEST_F(EdycjaElementuTest, FollowUpWritesRunOnceTheElementIsStored) {
    TFormProbaEdycja& f = *form_;
    std::vector<std::string> seen;
    f.Powiazane = [&](Object_Proba& p) { seen.push_back(p.Nazwa + " " + Row(p.Id())); };
    Object_Proba* p = Add([](TFormProbaEdycja& f) { f.EditNazwa->setText("A"); });
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(Play(f, {[&] { f.EditNazwa->setText("B"); }, [&] { f.ButtonOk->click(); }},
                     [&] { return f.Edytuj(p->Id()); }));
    EXPECT_EQ(seen, (std::vector<std::string>{"A 0,0,0,A", "B 0,0,0,B"})) << "after the row and the element";

    // A refused child row is reported; the element it hangs on stays.
    f.Powiazane = [](Object_Proba&) { throw db::DbError("23505", "duplicate key"); };
    Object_Proba* q = Add([](TFormProbaEdycja& f) { f.EditNazwa->setText("C"); });
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(Messages(), std::vector<QString>{"Taka próba już istnieje"});
    EXPECT_EQ(proby_.Ilosc(), 2);
}
