#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

#include "app/UnitOptions.h"
#include "core/Objects_globals.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "devices/Urzadzenia.h"
#include "platform/registry/Registry.h"
#include "platform/ui/PozycjaOkna.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TemporaryRegistry.h"

using platform::registry::Registry;
using platform::registry::RunKey;
using platform::ui::KluczUstawien;

namespace {

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }

    std::optional<std::int32_t> Integer(const char* name) {
        Registry registry;
        if (!registry.openKey(KluczUstawien, false))
            return std::nullopt;
        return registry.readInteger(name);
    }
    std::optional<std::string> Text(const char* name) {
        Registry registry;
        if (!registry.openKey(KluczUstawien, false))
            return std::nullopt;
        return registry.readString(name);
    }
    void Store(const std::function<void(Registry&)>& write) {
        Registry registry;
        registry.openKey(KluczUstawien, true);
        write(registry);
    }

    TemporaryRegistry registry_;
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(OptionsTest, FirstRunShowsDefaultsAndWritesNothing) {
    TFormOptions form;
    EXPECT_FALSE(form.CheckBoxAutoStart->isChecked());
    EXPECT_EQ(form.EditDbAddress->text(), "127.0.0.1");
    EXPECT_EQ(form.EditDbPort->text(), "12345");
    EXPECT_EQ(form.PortBazy(), 12345u);
    EXPECT_EQ(form.EditDbName->text(), "kandor");
    EXPECT_EQ(form.EditDbUser->text(), "kandor");
    EXPECT_EQ(form.EditDbPassword->text(), "vemtis");
    EXPECT_EQ(form.EditDbPassword->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(form.EditFolderKopiiBezpieczenstwa->text().endsWith("/Documents"));
    EXPECT_EQ(form.MaskaDni(), 0);
    EXPECT_EQ(form.EditKopiaGodzina->text(), "0");
    EXPECT_EQ(form.EditUsuwanieZdarzenDni->text(), "60");
    EXPECT_EQ(form.EditWizualizacjaMonitor->text(), "1");
    EXPECT_EQ(form.EditPrzyciskiSzerokosc->text(), "");
    EXPECT_EQ(form.BtnPrzyciskiWielkoscCzcionki->text(), "8");
    EXPECT_EQ(form.EditCloudAddress->text(), "") << "no settings yet: no default host either";
    EXPECT_EQ(form.EditFacilityPort->text(), "443");
    EXPECT_EQ(form.EditEncoderPort->text(), "5400");
    EXPECT_FALSE(std::filesystem::exists(Registry().file())) << "nothing is written before OK";
}

TEST_F(OptionsTest, OkThenRestartReadsEverythingBack) {
    {
        TFormOptions form;
        form.CheckBoxSystemAutostart->setChecked(true);
        form.EditFolderKopiiBezpieczenstwa->setText("/srv/kopie");
        form.CheckBoxDz[0]->setChecked(true);
        form.CheckBoxDz[6]->setChecked(true);
        form.EditKopiaGodzina->setText("2");
        form.EditKopiaMinuty->setText("5");
        form.CheckBoxUsuwanieZdarzen->setChecked(true);
        form.EditUsuwanieZdarzenDni->setText("30");
        form.EditWizualizacjaMonitor->setText("2");
        form.EditPrzyciskiSzerokosc->setText("120");
        form.EditPrzyciskiWysokosc->setText("50");
        form.BtnPrzyciskiWielkoscCzcionki->setText("12");
        form.BtnWielkoscCzcionkiZdarzen->setText("10");
        form.CheckBoxZdarzeniaMalejaco->setChecked(true);
        form.EditFacilityPort->setText("8443");
        form.EditCertFile->setText("/etc/ssl/kandor.crt");
        form.EditKeyFile->setText("/etc/ssl/kandor.key");
        form.EditEncoderPort->setText("5500");
        form.ButtonOk->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    EXPECT_EQ(Integer("DniKopiiBezpieczenstwa"), 0x41);
    EXPECT_EQ(Text("GodzinaKopiiBezpieczenstwa"), "2:5");
    EXPECT_EQ(Text("CloudAddress"), "") << "the first OK stores the empty address";

    TFormOptions form;
    EXPECT_TRUE(form.CheckBoxSystemAutostart->isChecked());
    EXPECT_EQ(form.EditFolderKopiiBezpieczenstwa->text(), "/srv/kopie");
    EXPECT_EQ(form.MaskaDni(), 0x41);
    EXPECT_EQ(form.EditKopiaGodzina->text(), "2");
    EXPECT_EQ(form.EditKopiaMinuty->text(), "5");
    EXPECT_TRUE(form.CheckBoxUsuwanieZdarzen->isChecked());
    EXPECT_EQ(form.EditUsuwanieZdarzenDni->text(), "30");
    EXPECT_EQ(form.EditWizualizacjaMonitor->text(), "2");
    EXPECT_EQ(form.EditPrzyciskiSzerokosc->text(), "120");
    EXPECT_EQ(form.EditPrzyciskiWysokosc->text(), "50");
    EXPECT_EQ(form.BtnPrzyciskiWielkoscCzcionki->text(), "12");
    EXPECT_EQ(form.BtnWielkoscCzcionkiZdarzen->text(), "10");
    EXPECT_TRUE(form.CheckBoxZdarzeniaMalejaco->isChecked());
    EXPECT_EQ(form.EditCloudAddress->text(), DomyslnyAdresChmury) << "settings exist: the default host";
    EXPECT_EQ(form.EditFacilityPort->text(), "8443");
    EXPECT_EQ(form.EditCertFile->text(), "/etc/ssl/kandor.crt");
    EXPECT_EQ(form.EditKeyFile->text(), "/etc/ssl/kandor.key");
    EXPECT_EQ(form.EditEncoderPort->text(), "5500");
    EXPECT_EQ(form.EditDbPort->text(), "12345") << "database values are never stored";
}

TEST_F(OptionsTest, CancelWritesNothingAndKeepsTypedValues) {
    TFormOptions form;
    form.EditDbPort->setText("5433");
    form.CheckBoxDz[2]->setChecked(true);
    form.ButtonCancel->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(form.PortBazy(), 5433u) << "the next backup of the run uses the typed port";
    EXPECT_EQ(form.MaskaDni(), 4);
    EXPECT_FALSE(std::filesystem::exists(Registry().file()));
}

TEST_F(OptionsTest, TextsThatAreNotNumbersSaveTheirFallbacks) {
    TFormOptions form;
    for (QLineEdit* edit : {form.EditUsuwanieZdarzenDni, form.EditWizualizacjaMonitor, form.EditPrzyciskiSzerokosc,
                            form.EditPrzyciskiWysokosc, form.EditFacilityPort, form.EditEncoderPort}) {
        edit->setValidator(nullptr); // as if typed past the filter, or left empty
        edit->setText("x");
    }
    form.BtnPrzyciskiWielkoscCzcionki->setText("duża");
    QFont font = form.BtnWielkoscCzcionkiZdarzen->font();
    font.setPointSize(13);
    form.BtnWielkoscCzcionkiZdarzen->setFont(font);
    form.BtnWielkoscCzcionkiZdarzen->setText("");
    form.ButtonOk->click();

    const struct {
        const char* value;
        int fallback;
    } cases[] = {
        {"UsuwajZdarzeniaDni", 0},
        {"WizualizacjaMonitor", 1},
        {"PrzyciskiSzerokosc", 0},
        {"PrzyciskiWysokosc", 40},
        {"PrzyciskiWielkoscCzcionki", form.BtnPrzyciskiWielkoscCzcionki->font().pointSize()},
        {"ZdarzeniaWielkoscCzcionki", 13},
        {"FacilityPort", 443},
        {"EncoderPort", 5400},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Integer(c.value), c.fallback) << c.value;
    EXPECT_EQ(form.PortBazy(), 12345u);
    form.EditDbPort->setText("");
    EXPECT_EQ(form.PortBazy(), 0u) << "a database port that is not a number is 0";
}

TEST_F(OptionsTest, BackupTimeForms) {
    const struct {
        const char* stored;
        const char* hour;
        const char* minutes;
    } cases[] = {
        {"2:5", "2", "5"},   {"7", "0", "0"},     {"12:345", "12", "34"}, {"ab:cd", "0", "0"},
        {"x15", "0", "15"},  {":30", "0", "30"},  {"", "0", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        Store([&](Registry& r) { r.writeString("GodzinaKopiiBezpieczenstwa", c.stored); });
        TFormOptions form;
        EXPECT_EQ(form.EditKopiaGodzina->text(), c.hour);
        EXPECT_EQ(form.EditKopiaMinuty->text(), c.minutes);
    }
    EXPECT_EQ(TFormOptions::LinieHarmonogramu(0x41, 2, 5), (QStringList{"1 02:05", "7 02:05"}));
    EXPECT_TRUE(TFormOptions::LinieHarmonogramu(0, 2, 5).isEmpty());
}

TEST_F(OptionsTest, FolderChecksStopTheSaveBeforeAnythingIsWritten) {
    const struct {
        const char* name;
        const char* folder;
        int days;
        const char* message;
    } cases[] = {
        {"days without folder", "", 1,
         "W przypadku wybrania dnia wykonywania kopii bazy danych, należy wskazać folder wykonywania kopii "
         "bezpieczeństwa bazy danych."},
        {"relative folder, no day", "kopie", 0,
         "Nalezy wskazać bezwzględną ścieżkę folderu kopii bezpieczeństwa bazy danych np. d:\\kopia."},
        {"empty folder, no day", "", 0,
         "Nalezy wskazać bezwzględną ścieżkę folderu kopii bezpieczeństwa bazy danych np. d:\\kopia."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.messages.clear();
        TFormOptions form;
        form.EditFolderKopiiBezpieczenstwa->setText(c.folder);
        form.CheckBoxDz[0]->setChecked(c.days != 0);
        form.CheckBoxAutoStart->setChecked(true);
        form.show();
        form.ButtonOk->click();
        EXPECT_TRUE(form.isVisible()) << "the window stays open";
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].caption, "Wskaż folder kopii bazy danych");
        EXPECT_EQ(dialogs.messages[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(dialogs.messages[0].icon, platform::ui::Icon::Warning);
        EXPECT_FALSE(std::filesystem::exists(Registry().file()));
        EXPECT_FALSE(std::filesystem::exists(Registry::autostartFolder()));
    }
}

TEST_F(OptionsTest, AutostartEntryNamesThisProgramQuoted) {
    {
        TFormOptions form;
        form.CheckBoxAutoStart->setChecked(true);
        form.ButtonOk->click();
    }
    Registry run;
    ASSERT_TRUE(run.openKey(RunKey, false));
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    EXPECT_EQ(run.readString(WpisAutostartu), "\"" + program + "\" /as");
    EXPECT_TRUE(TFormOptions().CheckBoxAutoStart->isChecked());

    run.writeString(WpisAutostartu, "\"/opt/inny/kandor\" /as");
    EXPECT_FALSE(TFormOptions().CheckBoxAutoStart->isChecked()) << "another copy's entry";

    TFormOptions form;
    form.CheckBoxAutoStart->setChecked(false);
    form.ButtonOk->click();
    EXPECT_FALSE(run.valueExists(WpisAutostartu));
}

TEST_F(OptionsTest, MasterCodeGoesToTheControllers) {
    RejestrujUrzadzenia();
    GlobalModel model;
    ASSERT_NE(Centrale, nullptr);
    TFormOptions().WczytajOpcje();
    EXPECT_EQ(Centrale->KodGlowny, 6035) << "missing: the controllers keep theirs";

    Store([](Registry& r) { r.writeInteger("KodGlowny", 1234); });
    TFormOptions form;
    EXPECT_EQ(Centrale->KodGlowny, 1234);

    Store([](Registry& r) { r.writeInteger("KodGlowny", 70000); });
    TFormOptions().WczytajOpcje();
    EXPECT_EQ(Centrale->KodGlowny, 1234) << "not a 16-bit code";
}

TEST_F(OptionsTest, FontDialogSetsOnlyTheSize) {
    TFormOptions form;
    form.BtnWielkoscCzcionkiZdarzen->setText("nie");
    dialogs.fontAnswers = {QFont("DejaVu Sans", 14)};
    form.BtnWielkoscCzcionkiZdarzen->click();
    ASSERT_EQ(dialogs.fonts.size(), 1u);
    EXPECT_EQ(dialogs.fonts[0].initial.family(), "Tahoma");
    EXPECT_EQ(dialogs.fonts[0].initial.pointSize(), 8) << "a caption that is not a number starts at 8";
    EXPECT_EQ(form.BtnWielkoscCzcionkiZdarzen->text(), "14");

    form.BtnPrzyciskiWielkoscCzcionki->click(); // cancelled
    EXPECT_EQ(form.BtnPrzyciskiWielkoscCzcionki->text(), "8");
}

TEST_F(OptionsTest, CertificateAndKeyEditsTurnRedWithoutAFile) {
    TFormOptions form;
    form.EditCertFile->setText("  /nie/ma/takiego.crt ");
    form.EditKeyFile->setText(QString::fromStdString(Registry::autostartFolder().parent_path().string()));
    form.show();
    EXPECT_EQ(form.EditCertFile->text(), "/nie/ma/takiego.crt") << "trimmed";
    EXPECT_EQ(form.EditCertFile->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_EQ(form.EditKeyFile->palette().color(QPalette::Base), QColor(Qt::red)) << "a folder is not a file";

    dialogs.fileAnswers = {QCoreApplication::applicationFilePath()};
    form.ButtonCertFile->click();
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_EQ(dialogs.files[0].filter, "*.crt|*.crt");
    EXPECT_NE(form.EditCertFile->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_EQ(form.LabelMonitors->text(), "Wykryto monitorów: 1");
}

TEST_F(OptionsTest, MonitorNumberKeptAtOneOrMore) {
    TFormOptions form;
    for (const char* text : {"0", "", "-3"}) {
        form.EditWizualizacjaMonitor->setValidator(nullptr);
        form.EditWizualizacjaMonitor->setText(text);
        form.EditWizualizacjaMonitorExit();
        EXPECT_EQ(form.EditWizualizacjaMonitor->text(), "1") << text;
    }
    form.EditWizualizacjaMonitor->setText("2");
    form.EditWizualizacjaMonitorExit();
    EXPECT_EQ(form.EditWizualizacjaMonitor->text(), "2");
}

TEST_F(OptionsTest, ScheduleSendAndConnectReportTheMissingCloudLink) {
    TFormOptions form;
    form.ButtonSendBackupSchedule->click();
    form.ButtonCloudConnect->click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].caption, "Błąd integracji");
    EXPECT_EQ(dialogs.messages[0].text, "Nie udało się zaktualizować harmonogramu kopii w chmurze.");
    EXPECT_EQ(dialogs.messages[1].text, "Połączenie z chmurą nie jest dostępne.");
}
