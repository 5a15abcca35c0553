// The first connection of the desk program creates cluster-wide roles, so
// these tests run one at a time.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/UnitMain.h"
#include "app/UnitOptions.h"
#include "core/Mozg.h"
#include "core/Objects_globals.h"
#include "core/ZapiszWyjatek.h"
#include "database/TDM.h"
#include "database/Wersje.h"
#include "devices/Urzadzenia.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TemporaryRegistry.h"
#include "tests/support/TestDatabase.h"

namespace {

// The program's role and database under names of the test's own, on the
// test server reached through KANDOR_DB_HOST and KANDOR_DB_PORT as the
// options window reads them; both are dropped afterwards.
class ConnectionRun : public TestDatabase {
protected:
    void SetUp() override {
        TestApplication();
        TestDatabase::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        setenv("KANDOR_DB_HOST", host().c_str(), 1);
        setenv("KANDOR_DB_PORT", std::to_string(port()).c_str(), 1);
        UtworzFormy();
        FormOptions->EditDbUser->setText(QString::fromStdString(role));
        FormOptions->EditDbName->setText(QString::fromStdString(name));
        FormOptions->EditDbPassword->setText("ha'slo");
        admin = connect();
    }
    void TearDown() override {
        if (FormMain) {
            if (MozgIsRunning())
                MozgStop();
            UsunFormy();
        }
        if (admin) {
            Admin("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
            Admin("DROP ROLE IF EXISTS " + role);
        }
        unsetenv("KANDOR_DB_HOST");
        unsetenv("KANDOR_DB_PORT");
        TestDatabase::TearDown();
    }
    void Admin(const std::string& sql) {
        PGresult* r = PQexec(admin, sql.c_str());
        if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
            ADD_FAILURE() << sql << ": " << PQerrorMessage(admin);
        PQclear(r);
    }
    std::string AdminValue(const std::string& sql) {
        PGresult* r = PQexec(admin, sql.c_str());
        std::string value = PQntuples(r) > 0 ? PQgetvalue(r, 0, 0) : "";
        PQclear(r);
        return value;
    }
    std::string ExceptionLog() {
        std::ifstream file(FolderDokumentow() + "/kandor_exception.log");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    static int Count(const std::string& text, const std::string& part) {
        int n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    }

    bool devices = (RejestrujUrzadzenia(), true);
    GlobalModel model;
    TemporaryRegistry registry;
    ScriptedDialogs dialogs;
    std::string role = uniqueName("kr");
    std::string name = uniqueName("kd");
    PGconn* admin = nullptr;
};

} // namespace

TEST_F(ConnectionRun, AnEmptyServerGetsTheRoleTheDatabaseAndTheSchema) {
    FormMain->TimerConnectTimer();
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_TRUE(DM->FDConnection.connected());
    EXPECT_EQ(DM->FDConnection.user(), role) << "the program works as its own user";
    EXPECT_EQ(DM->FDConnection.database(), name);
    EXPECT_EQ(AdminValue("SELECT pg_get_userbyid(datdba) FROM pg_database WHERE datname = '" + name + "'"), role);
    EXPECT_EQ(AdminValue("SELECT pg_encoding_to_char(encoding) FROM pg_database WHERE datname = '" + name + "'"),
              "UTF8");
    EXPECT_EQ(WersjaBazy, KrokAktualny) << "the schema is built at once";
    EXPECT_TRUE(FormMain->MenuLogin->isEnabled());
    EXPECT_TRUE(FormMain->TimerMozg->isActive());
    EXPECT_FALSE(FormMain->PierwszePolaczenie);
    EXPECT_FALSE(MozgIsRunning()) << "no autostart asked for";
}

TEST_F(ConnectionRun, AnExistingRoleWithoutItsDatabaseGetsTheDatabase) {
    Admin("CREATE ROLE " + role + " LOGIN PASSWORD 'ha''slo'");
    FormOptions->CheckBoxSystemAutostart->setChecked(true);
    FormMain->TimerConnectTimer();
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_TRUE(DM->FDConnection.connected());
    EXPECT_EQ(DM->FDConnection.database(), name);
    EXPECT_EQ(Count(ExceptionLog(), "already exists"), 1) << "the role step was refused and counted as done";
    EXPECT_TRUE(MozgIsRunning()) << "the autostart option starts the system on a current schema";
    EXPECT_FALSE(FormMain->MenuDiagnostyka->isEnabled()) << "only the menu command enables it";
}

TEST_F(ConnectionRun, AWrongPasswordEndsAfterOneRoundWithTheServersMessage) {
    Admin("CREATE ROLE " + role + " LOGIN PASSWORD 'inne'");
    Admin("CREATE DATABASE " + name + " OWNER " + role);
    FormMain->TimerConnectTimer();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("password authentication failed"));
    EXPECT_EQ(dialogs.messages[0].icon, platform::ui::Icon::Error);
    EXPECT_EQ(Count(ExceptionLog(), "already exists"), 2) << "the role and the database step ran once each";
    EXPECT_FALSE(DM->FDConnection.connected());
    EXPECT_FALSE(FormMain->TimerMozg->isActive());
    EXPECT_FALSE(FormMain->MenuLogin->isEnabled());
}

TEST_F(ConnectionRun, AnUnreachableServerIsSaidSoWithoutTheSuperuser) {
    FormOptions->EditDbPort->setText("1");
    FormMain->TimerConnectTimer();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("Nie można połączyć się z serwerem bazy danych"));
    EXPECT_EQ(AdminValue("SELECT count(*) FROM pg_roles WHERE rolname = '" + role + "'"), "0");
}
