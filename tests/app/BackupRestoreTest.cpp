#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <optional>
#include <string>

#include "app/UnitBackupRestore.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDataModule.h"

namespace ui = platform::ui;

namespace {

// The server's own tools when the version folder is there, so the dump and
// the restore match the test server.
const QString kToolFolder = QStringLiteral("/usr/lib/postgresql/15/bin");

std::optional<std::string> PasswordInOurEnvironment() {
    const char* value = std::getenv("PGPASSWORD");
    return value ? std::optional<std::string>(value) : std::nullopt;
}

// Runs the event loop until the operation has ended (at most 60 s).
bool WaitUntilFinished(TFormBackupRestore& form) {
    QElapsedTimer timer;
    timer.start();
    while (form.Trwa()) {
        if (timer.elapsed() > 60000)
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

QStringList Lines(const TFormBackupRestore& form) {
    return form.Memo->toPlainText().split('\n');
}

// A stand-in for a tool: a shell script of the given body in a folder of
// its own.
class StandIn {
public:
    StandIn(const QString& name, const QByteArray& body) {
        QFile script(folder.filePath(name));
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\n" + body);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path() const { return folder.path(); }

private:
    QTemporaryDir folder;
};

class BackupRestoreTest : public TestSchema {
protected:
    void SetUp() override {
        TestApplication();
        TestSchema::SetUp();
    }

    void Configure(TFormBackupRestore& form, const std::string& password) {
        form.UstawParametryBazy(QString::fromStdString(user()), QString::fromStdString(password),
                                QString::fromStdString(database()), QString::fromStdString(host()),
                                static_cast<unsigned>(port()));
        if (QDir(kToolFolder).exists())
            form.UstawFolderNarzedzi(kToolFolder);
    }

    int PublicTables() { return std::stoi(scalar("SELECT count(*) FROM pg_tables WHERE schemaname='public'")); }

    QTemporaryDir files;
};

} // namespace

TEST(BackupRestoreTool, LinesSplitAcrossWritesArriveWholeAndTheTickGoesOn) {
    TestApplication();
    StandIn tool("pg_dump",
                 "printf 'pierwsza lin'\n"
                 "sleep 0.3\n"
                 "printf 'ia\\r\\ndruga\\n'\n"
                 "printf 'haslo=%s\\n' \"$PGPASSWORD\"\n"
                 "printf 'bez konca'\n");
    const auto before = PasswordInOurEnvironment();
    TFormBackupRestore form;
    form.UstawParametryBazy("kandor", "vemtis", "kandor", "127.0.0.1", 12345);
    form.UstawFolderNarzedzi(tool.path());

    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(10);
    ASSERT_TRUE(form.RozpocznijKopie("/tmp/nie-powstanie.kobackup", true));
    ASSERT_TRUE(WaitUntilFinished(form));

    EXPECT_EQ(form.Wynik(), 0);
    EXPECT_EQ(Lines(form), (QStringList{"pierwsza linia", "druga", "haslo=vemtis", "bez konca", "",
                                        "Proces zwrócił rezultat 0", "Sukces"}));
    EXPECT_GE(ticks, 10) << "the 10 ms timer kept running while the tool worked";
    EXPECT_EQ(PasswordInOurEnvironment(), before) << "the password went to the tool only";
}

TEST(BackupRestoreTool, SilentToolWithoutOutputOrMissingTool) {
    TestApplication();
    ScriptedDialogs dialogs;
    {
        StandIn tool("pg_dump", "exit 3\n");
        TFormBackupRestore form;
        form.UstawFolderNarzedzi(tool.path());
        EXPECT_FALSE(form.WykonajKopie("/tmp/nie-powstanie.kobackup", true));
        EXPECT_EQ(form.Wynik(), 3);
        EXPECT_EQ(Lines(form), (QStringList{"", "Proces zwrócił rezultat 3"}));
    }
    {
        QTemporaryDir empty;
        TFormBackupRestore form;
        form.UstawFolderNarzedzi(empty.path());
        const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
        setenv("PATH", empty.path().toLocal8Bit().constData(), 1);
        const bool ok = form.WykonajKopie("/tmp/nie-powstanie.kobackup", true);
        setenv("PATH", path.c_str(), 1);
        EXPECT_FALSE(ok);
        EXPECT_EQ(form.Wynik(), 1);
        EXPECT_EQ(form.Memo->toPlainText(), "") << "a tool that never started logs nothing";
    }
    {
        TFormBackupRestore form;
        EXPECT_FALSE(form.WykonajKopie("", false)) << "no file, nothing runs";
    }
    EXPECT_TRUE(dialogs.messages.empty()) << "silent operations show no message";
}

TEST_F(BackupRestoreTest, BackupAndRestoreRoundTrip) {
    exec("CREATE TABLE dane_testu (x integer)");
    exec("INSERT INTO dane_testu VALUES (7)");
    const QString file = files.filePath("kopia-2026-12-11 06-30-00.kobackup");
    const auto before = PasswordInOurEnvironment();
    {
        TFormBackupRestore form;
        Configure(form, password());
        ASSERT_TRUE(form.WykonajKopie(file, true)) << form.Memo->toPlainText().toStdString();
        EXPECT_TRUE(QFile::exists(file));
        EXPECT_EQ(Lines(form).last(), "Sukces");
        EXPECT_EQ(Lines(form).at(Lines(form).size() - 2), "Proces zwrócił rezultat 0");
    }
    const int tables = PublicTables();
    exec("UPDATE dane_testu SET x = 8");
    exec("CREATE TABLE obca (y integer)");
    exec("CREATE VIEW obca_widok AS SELECT y FROM obca");
    {
        TFormBackupRestore form;
        Configure(form, password());
        ASSERT_TRUE(form.PrzywrocKopie(file, true)) << form.Memo->toPlainText().toStdString();
        EXPECT_EQ(Lines(form).last(), "Sukces");
    }
    EXPECT_EQ(scalar("SELECT x FROM dane_testu"), "7");
    EXPECT_EQ(scalar("SELECT to_regclass('public.obca') IS NULL"), "t") << "tables outside the archive go";
    EXPECT_EQ(PublicTables(), tables);
    EXPECT_EQ(PasswordInOurEnvironment(), before);
}

TEST_F(BackupRestoreTest, WrongPasswordFailsTheBackupAndSaysSo) {
    ScriptedDialogs dialogs;
    TFormBackupRestore form;
    Configure(form, "zle-haslo");
    const QString file = files.filePath("kopia.kobackup");
    ASSERT_TRUE(form.RozpocznijKopie(file, false));
    ASSERT_TRUE(WaitUntilFinished(form));

    EXPECT_NE(form.Wynik(), 0);
    const QStringList lines = Lines(form);
    EXPECT_TRUE(lines.last().startsWith("Proces zwrócił rezultat ")) << lines.join('\n').toStdString();
    EXPECT_NE(lines.last(), "Proces zwrócił rezultat 0");
    EXPECT_FALSE(lines.contains("Sukces"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Wystąpił błąd podczas tworzenia kopii bazy danych.");
    EXPECT_EQ(dialogs.messages[0].icon, ui::Icon::Error);
    EXPECT_TRUE(form.isVisible()) << "the log stays until the operator closes it";
    form.ButtonClose->click();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(BackupRestoreTest, RestoreRefusesBeforeDroppingAnything) {
    const QString good = files.filePath("dobra.kobackup");
    {
        TFormBackupRestore form;
        Configure(form, password());
        ASSERT_TRUE(form.WykonajKopie(good, true));
    }
    const QString notAnArchive = files.filePath("tekst.kobackup");
    {
        QFile text(notAnArchive);
        text.open(QIODevice::WriteOnly);
        text.write("to nie jest kopia\n");
    }
    struct Case {
        const char* name;
        QString database;
        unsigned port;
        std::string password;
        QString file;
        const char* reason;
    };
    const QString ours = QString::fromStdString(database());
    const Case cases[] = {
        {"another database", "inna_baza", static_cast<unsigned>(port()), password(), good, "inną bazę"},
        {"another port", ours, static_cast<unsigned>(port()) + 1, password(), good, "inną bazę"},
        {"wrong password", ours, static_cast<unsigned>(port()), "zle-haslo", good, "zalogować"},
        {"not an archive", ours, static_cast<unsigned>(port()), password(), notAnArchive, "czytelną kopią"},
    };
    const int tables = PublicTables();
    ScriptedDialogs dialogs;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TFormBackupRestore form;
        Configure(form, c.password);
        form.UstawParametryBazy(QString::fromStdString(user()), QString::fromStdString(c.password), c.database,
                                QString::fromStdString(host()), c.port);
        ASSERT_TRUE(form.RozpocznijPrzywracanie(c.file, false));
        ASSERT_TRUE(WaitUntilFinished(form));
        EXPECT_EQ(form.Wynik(), 1);
        EXPECT_TRUE(form.Memo->toPlainText().contains(QString::fromUtf8(c.reason)))
            << form.Memo->toPlainText().toStdString();
        EXPECT_EQ(PublicTables(), tables) << "nothing dropped";
        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_EQ(dialogs.messages.back().text, "Wystąpił błąd podczas przywracania kopii bazy danych.");
    }
}
