#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <atomic>
#include <thread>

#include "core/Objects_globals.h"
#include "designer/UnitEnkoderyEdycja.h"
#include "devices/MigawkaEnkoderow.h"
#include "devices/Object_Enkoder.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "tests/designer/DesignerFixture.h"

namespace {

class EnkoderyEdycjaTest : public DesignerTest {
protected:
    void SetUp() override {
        DesignerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        static_cast<Object_Zarvo_Centrala*>(Centrale->Nowy(5))->Nazwa = "Klatka A";
        static_cast<Object_Zarvo_Centrala*>(Centrale->Nowy(6))->Nazwa = "Klatka B";
    }
    void Fill(const char* ip) {
        form.EditNazwa->setText("Furtka");
        form.EditIp->setText(ip);
        form.EditPortOut->setText("5000");
        form.EditPortOutForwarded->setText("5001");
        form.EditPortIn->setText("443");
        form.EditPortInForwarded->setText("4443");
        Choose(form.ComboBoxIdCentraliZarvoGsm, 0);
    }
    Object_Enkoder* Add(const char* ip) {
        return Play(form, {[&] { Fill(ip); }, [&] { form.ButtonOk->click(); }}, [&] { return form.Dodaj(); });
    }
    std::string Row(int id) {
        return scalar("SELECT concat_ws(',', Nazwa, IPv4, PortOut, PortOutForwarded, PortIn, PortInForwarded, "
                      "IdCentralaZarvoGsm) FROM enkodery WHERE IdEnkodera = " +
                      std::to_string(id));
    }
    TFormEnkoderyEdycja form;
};

} // namespace

TEST_F(EnkoderyEdycjaTest, ChecksRunInOrder) {
    // Each step mends what the one before was refused for.
    struct Step {
        std::function<void(TFormEnkoderyEdycja&)> mend;
        const char* message;
    };
    const Step steps[] = {
        {[](auto&) {}, "Należy wpisać nazwę enkodera."},
        {[](auto& f) { f.EditNazwa->setText("Furtka"); }, "Należy wpisać poprawny adres IP enkodera."},
        {[](auto& f) { f.EditIp->setText("192.168.1.300"); }, "Należy wpisać poprawny adres IP enkodera."},
        {[](auto& f) { f.EditIp->setText("192.168.1"); }, "Należy wpisać poprawny adres IP enkodera."},
        {[](auto& f) { f.EditIp->setText("192.168.1.20"); },
         "Należy wpisać port wyjściowego strumienia nasłuchiwania enkodera."},
        {[](auto& f) { f.EditPortOut->setText("70000"); },
         "Należy wpisać port wejściowego strumienia nasłuchiwania enkodera."},
        {[](auto& f) { f.EditPortIn->setText("443"); },
         "Należy wpisać port wyjściowego strumienia dostępnego z zewnątrz (przekierowany) do enkodera."},
        {[](auto& f) { f.EditPortOutForwarded->setText("5001"); },
         "Należy wpisać port wejściowego strumienia dostępnego z zewnątrz (przekierowany) do enkodera."},
        {[](auto& f) { f.EditPortInForwarded->setText("4443"); }, "Port wych. musi być z zakresu 0 do 65535."},
        {[](auto& f) { f.EditPortOut->setText("65535"); }, "Należy wybrać centralę ZARVO enkodera."},
    };
    std::vector<std::function<void()>> play;
    std::vector<QString> expected;
    for (const Step& step : steps) {
        play.push_back([&] {
            step.mend(form);
            form.ButtonOk->click();
        });
        expected.push_back(step.message);
    }
    play.push_back([&] {
        Choose(form.ComboBoxIdCentraliZarvoGsm, 1);
        form.ButtonOk->click();
    });
    Object_Enkoder* e = Play(form, play, [&] { return form.Dodaj(); });
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(Messages(), expected);
    ExpectErrorBoxes();
    EXPECT_EQ(Row(e->Id()), "Furtka," + std::to_string(0xC0A80114u) + ",65535,5001,443,4443,6")
        << "the first part in the top byte";
    EXPECT_EQ(e->IPv4, 0xC0A80114u);
    EXPECT_EQ(e->Centrala, Centrale->Znajdz(6));
}

TEST_F(EnkoderyEdycjaTest, EveryPortAbove65535IsRefused) {
    QLineEdit* TFormEnkoderyEdycja::*ports[] = {&TFormEnkoderyEdycja::EditPortOut,
                                                &TFormEnkoderyEdycja::EditPortIn,
                                                &TFormEnkoderyEdycja::EditPortOutForwarded,
                                                &TFormEnkoderyEdycja::EditPortInForwarded};
    for (auto port : ports) {
        dialogs.messages.clear();
        EXPECT_EQ(Play(form,
                       {[&] {
                            Fill("10.0.0.1");
                            (form.*port)->setText("65536");
                            form.ButtonOk->click();
                        },
                        [&] { form.reject(); }},
                       [&] { return form.Dodaj(); }),
                  nullptr);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialogs.messages[0].text.endsWith("musi być z zakresu 0 do 65535."));
    }
    EXPECT_EQ(Rows("enkodery"), 0);
}

TEST_F(EnkoderyEdycjaTest, EditLoadsTheEncoderAndAddStartsFromIt) {
    Object_Enkoder* e = Add("10.1.2.3");
    ASSERT_NE(e, nullptr);
    Add("10.9.9.9");
    EXPECT_TRUE(Play(form,
                     {[&] {
                          EXPECT_EQ(form.windowTitle(), "Edycja enkodera");
                          EXPECT_EQ(form.EditIp->text(), "10.1.2.3");
                          EXPECT_EQ(form.EditPortOut->text(), "5000");
                          EXPECT_EQ(form.EditPortInForwarded->text(), "4443");
                          EXPECT_EQ(form.ComboBoxIdCentraliZarvoGsm->currentIndex(), 0);
                          form.EditPortIn->setText("8443");
                          Choose(form.ComboBoxIdCentraliZarvoGsm, 1);
                          form.ButtonOk->click();
                      }},
                     [&] { return form.Edytuj(e->Id()); }));
    EXPECT_EQ(e->PortIn, 8443);
    EXPECT_EQ(e->Centrala, Centrale->Znajdz(6)) << "linked again";
    EXPECT_EQ(Row(e->Id()), "Furtka," + std::to_string(0x0A010203u) + ",5000,5001,8443,4443,6");

    Object_Enkoder* next = Play(form,
                                {[&] {
                                     EXPECT_EQ(form.EditIp->text(), "10.1.2.3");
                                     EXPECT_EQ(form.EditPortIn->text(), "8443");
                                     EXPECT_EQ(form.ComboBoxIdCentraliZarvoGsm->currentIndex(), 1);
                                     form.ButtonOk->click();
                                 }},
                                [&] { return form.Dodaj(); });
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(Row(next->Id()), Row(e->Id())) << "the same values under a new key";
}

TEST_F(EnkoderyEdycjaTest, EditingAnEncoderDeletedMeanwhileTellsTheOperator) {
    Object_Enkoder* e = Add("10.1.2.3");
    ASSERT_NE(e, nullptr);
    exec("DELETE FROM enkodery");
    EXPECT_FALSE(Play(form, {[&] { form.EditIp->setText("10.1.2.4"); }, [&] { form.ButtonOk->click(); }},
                      [&] { return form.Edytuj(e->Id()); }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("usunięty"));
    EXPECT_EQ(e->IPv4, 0x0A010203u);
    EXPECT_NE(MigawkaEnkoderowTeraz()->ZnajdzIPv4(0x0A010203u), nullptr);
}

// The encoder threads look encoders up in the published snapshot while the
// operator adds and edits them: they see each change once the dialog has
// written it, and never a torn one.
TEST_F(EnkoderyEdycjaTest, TheEncoderThreadsSeeAddsAndEditsThroughTheSnapshot) {
    constexpr std::uint32_t first = 0x0A000001, moved = 0x0A000002;
    std::atomic<bool> stop{false};
    std::atomic<int> passes{0};
    std::atomic<bool> torn{false};
    std::thread reader([&] {
        while (!stop) {
            const auto snapshot = MigawkaEnkoderowTeraz();
            for (const EnkoderMigawki& e : snapshot->Enkodery)
                if (!e.Stan || (e.IPv4 == moved && e.PortIn != 8443))
                    torn = true;
            ++passes;
        }
    });

    Object_Enkoder* e = Add("10.0.0.1");
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(Objects_Enkodery::WatekDziala()) << "the first encoder starts the health thread";
    const EnkoderMigawki* seen = MigawkaEnkoderowTeraz()->ZnajdzIPv4(first);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->IdCentralaZarvoGsm, 5);
    const auto state = seen->Stan;

    EXPECT_TRUE(Play(form,
                     {[&] {
                          form.EditIp->setText("10.0.0.2");
                          form.EditPortIn->setText("8443");
                          form.ButtonOk->click();
                      }},
                     [&] { return form.Edytuj(e->Id()); }));
    const auto after = MigawkaEnkoderowTeraz();
    EXPECT_EQ(after->ZnajdzIPv4(first), nullptr);
    ASSERT_NE(after->ZnajdzIPv4(moved), nullptr);
    EXPECT_EQ(after->ZnajdzIPv4(moved)->PortIn, 8443);
    EXPECT_EQ(after->ZnajdzIPv4(moved)->Stan, state) << "the encoder keeps its token and health";

    const int before = passes;
    while (passes < before + 10)
        std::this_thread::yield();
    stop = true;
    reader.join();
    EXPECT_FALSE(torn);
}
