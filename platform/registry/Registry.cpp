#include "platform/registry/Registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <charconv>
#include <cstdlib>
#include <fstream>

namespace platform::registry {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> Env(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::string(value);
}

fs::path ConfigHome() {
    if (auto config = Env("XDG_CONFIG_HOME"))
        return *config;
    return fs::path(Env("HOME").value_or("/")) / ".config";
}

fs::path RootFolder(Root root) {
    if (auto moved = Env("KANDOR_REGISTRY_DIR"))
        return fs::path(*moved) / (root == Root::CurrentUser ? "user" : "machine");
    return root == Root::CurrentUser ? ConfigHome() / "kandor" : fs::path("/etc/kandor");
}

mode_t FileMode(Root root) {
    return root == Root::CurrentUser ? 0600 : 0644;
}

// Backslashes separate the registry's key names; QSettings groups use '/'.
std::string GroupOf(std::string_view path) {
    std::string group;
    for (char c : path)
        group += c == '\\' ? '/' : c;
    while (!group.empty() && group.front() == '/')
        group.erase(group.begin());
    while (!group.empty() && group.back() == '/')
        group.pop_back();
    return group;
}

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::int32_t> ParseInteger(const std::string& text) {
    std::int32_t value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

// A desktop file's string values escape backslashes and line ends.
std::string EscapeDesktopString(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out;
}

std::string UnescapeDesktopString(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 's': out += ' '; break;
        default: out += text[i];
        }
    }
    return out;
}

// The Exec value of a desktop file, if it has one.
std::optional<std::string> ReadExec(const fs::path& file) {
    std::ifstream in(file);
    if (!in)
        return std::nullopt;
    std::string line;
    bool inEntry = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (inEntry && line.rfind("Exec=", 0) == 0)
            return UnescapeDesktopString(std::string_view(line).substr(5));
    }
    return std::nullopt;
}

} // namespace

Registry::Registry(Root root) : root_(root) {
    const fs::path file = RootFolder(root) / "registry.ini";
    settings_ = std::make_unique<QSettings>(QString::fromStdString(file.string()), QSettings::IniFormat);
}

Registry::~Registry() = default;

fs::path Registry::file() const {
    return fs::path(settings_->fileName().toStdString());
}

fs::path Registry::autostartFolder() {
    if (auto moved = Env("KANDOR_REGISTRY_DIR"))
        return fs::path(*moved) / "autostart";
    return ConfigHome() / "autostart";
}

bool Registry::runKeyOpen() const {
    return root_ == Root::CurrentUser && key_ && *key_ == GroupOf(RunKey);
}

fs::path Registry::desktopFile(std::string_view name) const {
    std::string base(name);
    for (char& c : base)
        if (c == '/')
            c = '_';
    return autostartFolder() / (base + ".desktop");
}

bool Registry::keyExists(std::string_view path) const {
    const std::string group = GroupOf(path);
    if (root_ == Root::CurrentUser && group == GroupOf(RunKey))
        return fs::is_directory(autostartFolder());
    if (group.empty())
        return true;
    settings_->beginGroup(Q(group));
    const bool exists = !settings_->allKeys().isEmpty();
    settings_->endGroup();
    return exists;
}

bool Registry::openKey(std::string_view path, bool create) {
    if (!create && !keyExists(path))
        return false;
    key_ = GroupOf(path);
    return true;
}

void Registry::closeKey() {
    key_.reset();
}

bool Registry::deleteKey(std::string_view path) {
    const std::string group = GroupOf(path);
    if (group.empty() || !keyExists(path))
        return false;
    settings_->remove(Q(group));
    if (key_ && (*key_ == group || key_->rfind(group + "/", 0) == 0))
        key_.reset();
    return flush();
}

bool Registry::valueExists(std::string_view name) const {
    if (!key_)
        return false;
    if (runKeyOpen())
        return ReadExec(desktopFile(name)).has_value();
    return settings_->contains(Q(*key_ + "/" + std::string(name)));
}

std::optional<std::string> Registry::readString(std::string_view name) const {
    if (!key_)
        return std::nullopt;
    if (runKeyOpen())
        return ReadExec(desktopFile(name));
    const QVariant value = settings_->value(Q(*key_ + "/" + std::string(name)));
    if (!value.isValid() || value.typeId() == QMetaType::QByteArray)
        return std::nullopt;
    // A hand-written value with commas and without quotes comes back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(',').toStdString();
    return value.toString().toStdString();
}

std::optional<std::int32_t> Registry::readInteger(std::string_view name) const {
    if (runKeyOpen())
        return std::nullopt;
    auto text = readString(name);
    if (!text)
        return std::nullopt;
    return ParseInteger(*text);
}

std::optional<std::vector<std::uint8_t>> Registry::readBinary(std::string_view name) const {
    if (!key_ || runKeyOpen())
        return std::nullopt;
    const QVariant value = settings_->value(Q(*key_ + "/" + std::string(name)));
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    const QByteArray bytes = value.toByteArray();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool Registry::writeString(std::string_view name, std::string_view value) {
    if (!key_)
        return false;
    if (runKeyOpen()) {
        std::error_code error;
        fs::create_directories(autostartFolder(), error);
        const fs::path target = desktopFile(name);
        const fs::path temporary = target.string() + ".new";
        {
            std::ofstream out(temporary, std::ios::trunc);
            out << "[Desktop Entry]\nType=Application\nName=" << EscapeDesktopString(name)
                << "\nExec=" << EscapeDesktopString(value) << "\nX-GNOME-Autostart-enabled=true\n";
            if (!out.flush())
                return false;
        }
        fs::rename(temporary, target, error);
        return !error;
    }
    settings_->setValue(Q(*key_ + "/" + std::string(name)), Q(value));
    return flush();
}

bool Registry::writeInteger(std::string_view name, std::int32_t value) {
    if (runKeyOpen())
        return false;
    return writeString(name, std::to_string(value));
}

bool Registry::writeBinary(std::string_view name, const std::vector<std::uint8_t>& value) {
    if (!key_ || runKeyOpen())
        return false;
    const QByteArray bytes(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size()));
    settings_->setValue(Q(*key_ + "/" + std::string(name)), bytes);
    return flush();
}

bool Registry::deleteValue(std::string_view name) {
    if (!valueExists(name))
        return false;
    if (runKeyOpen()) {
        std::error_code error;
        return fs::remove(desktopFile(name), error);
    }
    settings_->remove(Q(*key_ + "/" + std::string(name)));
    return flush();
}

std::vector<std::string> Registry::valueNames() const {
    std::vector<std::string> names;
    if (!key_)
        return names;
    if (runKeyOpen()) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(autostartFolder(), error))
            if (entry.path().extension() == ".desktop")
                names.push_back(entry.path().stem().string());
        return names;
    }
    settings_->beginGroup(Q(*key_));
    for (const QString& key : settings_->childKeys())
        names.push_back(key.toStdString());
    settings_->endGroup();
    return names;
}

bool Registry::flush() {
    const fs::path path = file();
    std::error_code error;
    if (!fs::exists(path.parent_path(), error)) {
        fs::create_directories(path.parent_path(), error);
        if (root_ == Root::CurrentUser)
            ::chmod(path.parent_path().c_str(), 0700);
    }
    // Made with its final mode before the first write; QSettings keeps the
    // mode of the file it replaces.
    const mode_t mode = FileMode(root_);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, mode);
    if (fd >= 0)
        ::close(fd);
    settings_->sync();
    ::chmod(path.c_str(), mode);
    return settings_->status() == QSettings::NoError;
}

std::string AutostartCommand(std::string_view program, std::string_view arguments) {
    std::string command = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            command += '\\';
        command += c;
    }
    command += '"';
    if (!arguments.empty()) {
        command += ' ';
        command += arguments;
    }
    return command;
}

std::string AutostartProgram(std::string_view command) {
    std::size_t i = command.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return {};
    std::string program;
    if (command[i] != '"') {
        const std::size_t end = command.find(' ', i);
        return std::string(command.substr(i, end == std::string_view::npos ? end : end - i));
    }
    for (++i; i < command.size() && command[i] != '"'; ++i) {
        if (command[i] == '\\' && i + 1 < command.size())
            ++i;
        program += command[i];
    }
    return program;
}

} // namespace platform::registry
