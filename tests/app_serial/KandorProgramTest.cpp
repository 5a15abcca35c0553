// The desk program itself, started as the autostart entry starts it, on the
// test server and a board simulated on a pseudo-terminal. It works in the
// database named "kandor", so this runs one at a time with the other tests
// that touch the cluster's roles.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <thread>

#include "database/Database.h"
#include "database/TDM.h"
#include "tests/support/BoardSimulator.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TestDatabase.h"

namespace {

bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

constexpr std::uint8_t StartSensor = 0b000001;

// The entry of an estate: a reader board at address 300 with the start and
// end sensors and the gate's outputs, and a resident whose remote may open
// the gate.
const char* const kEstate[] = {
    "INSERT INTO magistrale VALUES (1, %COM%, 2, 19200, 'Wjazd')",
    "INSERT INTO karty VALUES (10, 1, 1, 300, 'Karta wjazdu')",
    "INSERT INTO czytniki VALUES (20, 10, 1, 'Czytnik wjazdu')",
    "INSERT INTO wejscia VALUES (31, 10, 1, 'Przed bramą'), (32, 10, 2, 'Za bramą')",
    "INSERT INTO wyjscia VALUES (41, 10, 0, 1, 'Otwórz', 0, 0), (42, 10, 0, 2, 'Zamknij', 0, 0)",
    "INSERT INTO bramy VALUES (50, 41, 42, 500, 500, 100, 100, 0, 0, 'Szlaban', 0, 0)",
    "INSERT INTO grupy_uzytkownikow VALUES (60, 'Mieszkańcy', 0)",
    "INSERT INTO uzytkownicy (IdUzytkownika, IdGrupyUzytkownikow, Imie, Nazwisko, Rodzaj, Wynajmujacy) "
    "VALUES (70, 60, 'Anna', 'Nowak', 0, false)",
    "INSERT INTO identyfikatory (IdIdentyfikatora, Rodzaj, NumerSeryjny, Licznik, IdUzytkownika, IdLokalu, "
    "LicznikUzycia) VALUES (80, 1, 'a1b2c3', 0, 70, 0, 0)",
    "INSERT INTO grupy_uzytkownikow_bramy VALUES (90, 60, 1, 50)",
    "INSERT INTO przejazdy VALUES (100, 'Wjazd', 50, 0, 20, 31, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, false, false, '')",
};

class KandorProgram : public TestDatabase {
protected:
    void SetUp() override {
        TestApplication();
        TestDatabase::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        admin = connect();
        Admin("DROP DATABASE IF EXISTS kandor WITH (FORCE)");
        if (Value(admin, "SELECT count(*) FROM pg_roles WHERE rolname = 'kandor'") == "0")
            Admin("CREATE ROLE kandor LOGIN");
        Admin("ALTER ROLE kandor PASSWORD 'vemtis'");
        Admin("CREATE DATABASE kandor OWNER kandor ENCODING 'UTF8' TEMPLATE template0");
        BuildEstate();
        simulator.addBoard(300, 1);
        simulator.setInputs(300, StartSensor);
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
        if (kandor)
            PQfinish(kandor);
        if (admin)
            Admin("DROP DATABASE IF EXISTS kandor WITH (FORCE)");
        TestDatabase::TearDown();
    }

    // The schema as the program builds it, and the estate's rows, written as
    // the program's own user.
    void BuildEstate() {
        DM = new TDM;
        DM->FDConnection.setHost(host());
        DM->FDConnection.setPort(port());
        DM->FDConnection.setDatabase("kandor");
        DM->FDConnection.setUser("kandor");
        DM->FDConnection.setPassword("vemtis");
        DM->FDConnection.open();
        EXPECT_TRUE(UtworzBaze());
        for (std::string sql : kEstate) {
            if (const auto at = sql.find("%COM%"); at != std::string::npos)
                sql.replace(at, 5, std::to_string(peer.com()));
            EXPECT_TRUE(WykonajSql(sql)) << sql;
        }
        delete DM;
        DM = nullptr;
        kandor = PQconnectdb(("host=" + host() + " port=" + std::to_string(port()) +
                              " dbname=kandor user=kandor password=vemtis")
                                 .c_str());
        ASSERT_EQ(PQstatus(kandor), CONNECTION_OK) << PQerrorMessage(kandor);
    }

    void Admin(const std::string& sql) {
        PGresult* r = PQexec(admin, sql.c_str());
        if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
            ADD_FAILURE() << sql << ": " << PQerrorMessage(admin);
        PQclear(r);
    }
    static std::string Value(PGconn* conn, const std::string& sql) {
        PGresult* r = PQexec(conn, sql.c_str());
        std::string value = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0 && !PQgetisnull(r, 0, 0)
                                ? PQgetvalue(r, 0, 0)
                                : "";
        PQclear(r);
        return value;
    }
    // The built-in ids of the event rows in the order they were written.
    std::string Events() {
        return Value(kandor,
                     "SELECT string_agg(IdRodzajZdarzeniaWbudowane::text, ' ' ORDER BY IdZdarzenia) FROM zdarzenia");
    }

    void Start() {
        ASSERT_TRUE(home.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KANDOR_DB_HOST", QString::fromStdString(host()));
        env.insert("KANDOR_DB_PORT", QString::number(port()));
        env.insert("KANDOR_COM_DIR", QString::fromStdString(PtyPeer::folder()));
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/.config");
        env.insert("KANDOR_REGISTRY_DIR", home.path() + "/registry");
        // The single-instance socket lives here, apart from any other copy.
        env.insert("TMPDIR", home.path());
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.setStandardOutputFile(QProcess::nullDevice());
        program.start(KANDOR_PROGRAM, {"/as"});
        ASSERT_TRUE(program.waitForStarted(10000));
    }

    PtyPeer peer{11};
    BoardSimulator simulator{peer, 2};
    QTemporaryDir home;
    QProcess program;
    PGconn* admin = nullptr;
    PGconn* kandor = nullptr;
};

} // namespace

TEST_F(KandorProgram, StartsWithTheSystemRunningLogsAPassageAndClosesCleanly) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return Events() == "27 1"; }, std::chrono::seconds(30)))
        << "the start and the start sensor, seen by the poll of the board; events: " << Events();

    simulator.setPendingReading(300, {"a1b2c3", 7, 1});
    ASSERT_TRUE(WaitFor([&] { return Events().starts_with("27 1 10"); }, std::chrono::seconds(10)))
        << "the passage created by the resident's code; events: " << Events();
    EXPECT_EQ(Value(kandor, "SELECT IdUzytkownika || ' ' || IdIdentyfikatora || ' ' || IdBramy "
                            "FROM zdarzenia WHERE IdRodzajZdarzeniaWbudowane = 10"),
              "70 80 50");
    EXPECT_TRUE(WaitFor([&] { return (simulator.board(300).outputs.value_or(0) & 1) != 0; }, std::chrono::seconds(5)))
        << "the gate's open output reached the board";

    // The session's end: no question, the poll thread stops, no stop event.
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(15000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(Value(kandor, "SELECT count(*) FROM zdarzenia WHERE IdRodzajZdarzeniaWbudowane = 28"), "0");
    // Counted from the exit, not from the signal: the board is polled while
    // the program shuts down, however long a busy machine makes that. The
    // simulator may still be reading the frame the program sent last.
    const std::size_t polls = simulator.board(300).polls;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_LE(simulator.board(300).polls, polls + 1) << "nobody polls after the exit";
}
