#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "platform/registry/Registry.h"
#include "tests/support/TemporaryRegistry.h"

using platform::registry::AutostartCommand;
using platform::registry::AutostartProgram;
using platform::registry::Registry;
using platform::registry::Root;
using platform::registry::RunKey;

namespace {

constexpr char kKey[] = "Software\\ZARVO\\Kadnoro";

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(Registry, ValuesKeepTheirKindAcrossAccessors) {
    TemporaryRegistry temporary;
    {
        Registry registry;
        EXPECT_FALSE(registry.openKey(kKey, false)) << "the key does not exist yet";
        ASSERT_TRUE(registry.openKey(kKey, true));
        EXPECT_TRUE(registry.writeInteger("DniKopiiBezpieczenstwa", -5));
        EXPECT_TRUE(registry.writeString("FolderKopiiBezpieczenstwa", "/home/ąę/kopie, nowe"));
        EXPECT_TRUE(registry.writeString("MainPos", "10,20,800,600,1"));
        EXPECT_TRUE(registry.writeString("Pusta", ""));
        EXPECT_TRUE(registry.writeString("Malpa", "@ByteArray(x)"));
        EXPECT_TRUE(registry.writeBinary("ZCKols", {0, 1, 0xFF, '\n'}));
    }
    Registry registry;
    ASSERT_TRUE(registry.openKey(kKey, false));
    EXPECT_EQ(registry.readInteger("DniKopiiBezpieczenstwa"), -5);
    EXPECT_EQ(registry.readString("FolderKopiiBezpieczenstwa"), "/home/ąę/kopie, nowe");
    EXPECT_EQ(registry.readString("MainPos"), "10,20,800,600,1");
    EXPECT_EQ(registry.readString("Pusta"), "");
    EXPECT_EQ(registry.readString("Malpa"), "@ByteArray(x)") << "a text is never taken for binary";
    EXPECT_EQ(registry.readBinary("ZCKols"), (std::vector<std::uint8_t>{0, 1, 0xFF, '\n'}));
    EXPECT_EQ(registry.readInteger("FolderKopiiBezpieczenstwa"), std::nullopt) << "a text is not a number";
    EXPECT_EQ(registry.readString("ZCKols"), std::nullopt);
    EXPECT_EQ(registry.readBinary("MainPos"), std::nullopt);
    EXPECT_EQ(registry.readInteger("Brak"), std::nullopt);
    EXPECT_FALSE(registry.valueExists("Brak"));
    EXPECT_TRUE(registry.valueExists("Pusta"));
}

TEST(Registry, DeletesValuesAndKeys) {
    TemporaryRegistry temporary;
    Registry registry;
    ASSERT_TRUE(registry.openKey("Software\\ZARVO\\Kadnoro\\Okna", true));
    registry.writeInteger("A", 1);
    ASSERT_TRUE(registry.openKey(kKey, true));
    registry.writeInteger("B", 2);
    registry.writeInteger("C", 3);

    EXPECT_TRUE(registry.deleteValue("B"));
    EXPECT_FALSE(registry.deleteValue("B")) << "already gone";
    EXPECT_EQ(registry.valueNames(), std::vector<std::string>{"C"});
    EXPECT_TRUE(registry.keyExists("Software\\ZARVO\\Kadnoro\\Okna"));

    EXPECT_TRUE(registry.deleteKey("Software\\ZARVO"));
    EXPECT_FALSE(registry.keyExists(kKey));
    EXPECT_FALSE(registry.keyExists("Software\\ZARVO\\Kadnoro\\Okna"));
    EXPECT_FALSE(registry.writeInteger("C", 3)) << "the deleted key was the current one";
}

TEST(Registry, UserFileIsPrivateAndRootsAreApart) {
    TemporaryRegistry temporary;
    Registry user(Root::CurrentUser);
    Registry machine(Root::LocalMachine);
    ASSERT_TRUE(user.openKey(kKey, true));
    ASSERT_TRUE(user.writeString("FacilityKey", "tajne"));
    EXPECT_EQ(user.file(), temporary.folder() / "user" / "registry.ini");
    struct stat info {};
    ASSERT_EQ(stat(user.file().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    EXPECT_FALSE(machine.keyExists(kKey));
    EXPECT_EQ(machine.file(), temporary.folder() / "machine" / "registry.ini");
}

TEST(Registry, UserFileIsInTheConfigFolderWhenNotMoved) {
    TemporaryRegistry temporary;
    unsetenv("KANDOR_REGISTRY_DIR");
    Registry user;
    EXPECT_EQ(user.file(), temporary.home() / "config" / "kandor" / "registry.ini");
    EXPECT_EQ(Registry::autostartFolder(), temporary.home() / "config" / "autostart");
    Registry machine(Root::LocalMachine);
    EXPECT_EQ(machine.file(), std::filesystem::path("/etc/kandor/registry.ini"));
}

TEST(Registry, RunEntryIsAnAutostartFile) {
    TemporaryRegistry temporary;
    const std::string program = "/opt/kandor \"nowy\"/kandor";
    const std::string command = AutostartCommand(program, "/as");
    EXPECT_EQ(command, "\"/opt/kandor \\\"nowy\\\"/kandor\" /as");
    EXPECT_EQ(AutostartProgram(command), program);
    EXPECT_EQ(AutostartProgram("/usr/bin/kandor /as"), "/usr/bin/kandor");

    Registry registry;
    ASSERT_TRUE(registry.openKey(RunKey, true));
    EXPECT_FALSE(registry.valueExists("ZARVO Kadnoro"));
    ASSERT_TRUE(registry.writeString("ZARVO Kadnoro", command));

    const auto file = temporary.folder() / "autostart" / "ZARVO Kadnoro.desktop";
    const std::string text = ReadFile(file);
    EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Type=Application\n"), std::string::npos) << text;
    // The desktop file's own escaping doubles the backslashes of the quoting.
    EXPECT_NE(text.find("Exec=\"/opt/kandor \\\\\"nowy\\\\\"/kandor\" /as\n"), std::string::npos) << text;

    Registry other;
    ASSERT_TRUE(other.openKey(RunKey, false));
    EXPECT_EQ(other.readString("ZARVO Kadnoro"), command);
    EXPECT_TRUE(other.deleteValue("ZARVO Kadnoro"));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(other.valueExists("ZARVO Kadnoro"));
}
