#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QSettings;

namespace platform::registry {

// The two roots the program keeps settings under.
enum class Root { CurrentUser, LocalMachine };

// The program's settings in the registry's shape: a root, keys named by
// paths with backslashes ("Software\ZARVO\Kadnoro"), and named values that
// are integers, texts or binary data.
//
// Each root is one INI file:
// - CurrentUser: $XDG_CONFIG_HOME/kandor/registry.ini (~/.config when the
//   variable is unset), mode 0600, since it holds the cloud's facility key;
// - LocalMachine: /etc/kandor/registry.ini, mode 0644, so every account of
//   the desk can read what the installation wrote there.
// KANDOR_REGISTRY_DIR moves both, to <dir>/user and <dir>/machine, so tests
// never touch the real files.
//
// The key "Software\Microsoft\Windows\CurrentVersion\Run" of CurrentUser is
// the autostart list of the desktop: each of its values is an XDG autostart
// file "<value name>.desktop" in $XDG_CONFIG_HOME/autostart (or
// <KANDOR_REGISTRY_DIR>/autostart) whose Exec line is the value's text, a
// command line in the desktop's quoting (see AutostartCommand).
//
// INI files keep no types: an integer value is its decimal text, and
// readInteger of a value that is not a decimal integer fails. Key paths are
// absolute; a key exists while it or a key below it holds a value.
//
// One accessor belongs to one thread; several accessors of one root in one
// process see each other's writes.
class Registry {
public:
    explicit Registry(Root root = Root::CurrentUser);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Makes the key current. Without create, false when the key does not
    // exist; with it, the key comes into being with its first value.
    bool openKey(std::string_view path, bool create);
    void closeKey();
    bool keyExists(std::string_view path) const;
    // The key with its values and every key below it.
    bool deleteKey(std::string_view path);

    // Values of the current key; every call fails while no key is open.
    bool valueExists(std::string_view name) const;
    std::optional<std::int32_t> readInteger(std::string_view name) const;
    std::optional<std::string> readString(std::string_view name) const;
    std::optional<std::vector<std::uint8_t>> readBinary(std::string_view name) const;
    bool writeInteger(std::string_view name, std::int32_t value);
    bool writeString(std::string_view name, std::string_view value);
    bool writeBinary(std::string_view name, const std::vector<std::uint8_t>& value);
    bool deleteValue(std::string_view name);
    std::vector<std::string> valueNames() const;

    // The file of this root, and the autostart folder.
    std::filesystem::path file() const;
    static std::filesystem::path autostartFolder();

private:
    bool runKeyOpen() const;
    std::filesystem::path desktopFile(std::string_view name) const;
    // Writes what changed to the file and keeps its mode.
    bool flush();

    Root root_;
    std::unique_ptr<QSettings> settings_;
    std::optional<std::string> key_; // current key as an INI group
};

// The Run value's name and its command line, with the program's path quoted
// for the desktop's Exec line ("/usr/bin/kandor" /as), so a path with blanks
// stays one argument.
inline constexpr std::string_view RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
std::string AutostartCommand(std::string_view program, std::string_view arguments);
// The program of such a command line: its first argument without the
// quoting; empty when the line has none.
std::string AutostartProgram(std::string_view command);

} // namespace platform::registry
