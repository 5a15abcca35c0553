// The settings the program reads back from its registry files
// (platform/registry): the INI file of the current user, read through
// Registry as the program reads it (the values of the settings key, by the
// names the program uses and by every name the file holds, as integers,
// texts and binary data), and the autostart entry's desktop file with its
// Exec line and the program in it. The files can be edited by hand, so any
// bytes may be there. Input: a byte whose low bit chooses the file (0: the
// INI file, 1: the autostart desktop file), then the file's bytes.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>

#include "platform/registry/Registry.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

namespace fs = std::filesystem;
using platform::registry::Registry;
using platform::registry::Root;

// ui::KluczUstawien, the key the windows keep their settings under.
constexpr char settingsKey[] = "Software\\ZARVO\\Kadnoro";
// The autostart entry's name (app/UnitOptions.h).
constexpr char autostartEntry[] = "ZARVO Kadnoro";
// Names the program reads under the settings key.
constexpr const char* names[] = {
    "KodGlowny", "SystemAutostart", "FolderKopiiBezpieczenstwa", "DniKopiiBezpieczenstwa",
    "GodzinaKopiiBezpieczenstwa", "WizualizacjaMonitor", "UsuwajZdarzenia", "UsuwajZdarzeniaDni",
    "PrzyciskiSzerokosc", "PrzyciskiWysokosc", "PrzyciskiWielkoscCzcionki", "ZdarzeniaWielkoscCzcionki",
    "ZdarzeniaMalejaco", "CloudAddress", "FacilityId", "FacilityKey", "FacilityPort", "CertFile", "KeyFile",
    "EncoderPort", "MainPos", "ZCKols",
};

void Read(const Registry& registry, const std::string& name) {
    (void)registry.valueExists(name);
    (void)registry.readInteger(name);
    (void)registry.readBinary(name);
    if (const auto text = registry.readString(name))
        (void)platform::registry::AutostartProgram(*text);
}

// One folder for the run, removed when the run ends: the program's files
// are rewritten for every input.
fs::path folderOfRun;

void RemoveFolder() {
    std::error_code error;
    fs::remove_all(folderOfRun, error);
}

const fs::path& Folder() {
    if (folderOfRun.empty()) {
        char pattern[] = "/tmp/kandor-fuzz-registry-XXXXXX";
        const char* made = mkdtemp(pattern);
        fuzz::check(made != nullptr);
        folderOfRun = made;
        setenv("KANDOR_REGISTRY_DIR", made, 1);
        std::atexit(RemoveFolder);
    }
    return folderOfRun;
}

// The file holds the bytes and nothing else is there. QSettings keeps what
// it read of a file until the file's time or size changes, so every file
// gets a time of its own: a file rewritten with the same size is read again.
void Write(const fs::path& file, std::span<const std::uint8_t> bytes) {
    static time_t seconds = 1'000'000'000;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const timespec times[2] = {{++seconds, 0}, {seconds, 0}};
    utimensat(AT_FDCWD, file.c_str(), times, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const fs::path& folder = Folder();
    const fs::path ini = folder / "user" / "registry.ini";
    const fs::path desktop = Registry::autostartFolder() / (std::string(autostartEntry) + ".desktop");
    std::error_code error;
    fs::remove(ini, error);
    fs::remove(desktop, error);
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    // The files are there before the program opens them.
    Write(data[0] & 1 ? desktop : ini, bytes);
    {
        Registry registry(Root::CurrentUser);
        fuzz::check(registry.file() == ini);
        if (data[0] & 1) {
            if (registry.openKey(platform::registry::RunKey, false)) {
                for (const std::string& name : registry.valueNames())
                    Read(registry, name);
                Read(registry, autostartEntry);
            }
        } else {
            (void)registry.keyExists("Software");
            if (registry.openKey(settingsKey, false)) {
                for (const char* name : names)
                    Read(registry, name);
                for (const std::string& name : registry.valueNames())
                    Read(registry, name);
            }
        }
    }
    // The program of any command line.
    (void)platform::registry::AutostartProgram(fuzz::text(bytes));
    return 0;
}
