#include "core/ZapiszWyjatek.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs line, as xdg-user-dirs
// writes it: a double-quoted path, absolute or starting with "$HOME",
// backslash-escaped. Nothing when the line sets another key or is malformed.
std::optional<std::string> ParseDocumentsLine(std::string_view line, const std::string& home) {
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return std::nullopt;
    line.remove_prefix(start);
    constexpr std::string_view key = "XDG_DOCUMENTS_DIR=\"";
    if (!line.starts_with(key))
        return std::nullopt;
    line.remove_prefix(key.size());

    std::string path;
    bool closed = false;
    for (std::size_t i = 0; i < line.size() && !closed; ++i) {
        if (line[i] == '\\' && i + 1 < line.size())
            path += line[++i];
        else if (line[i] == '"')
            closed = true;
        else
            path += line[i];
    }
    if (!closed)
        return std::nullopt;
    if (path == "$HOME" || path.starts_with("$HOME/"))
        return home + path.substr(5);
    if (path.starts_with('/'))
        return path;
    return std::nullopt;
}

std::optional<std::string> DocumentsFromUserDirs(const std::string& home) {
    std::string config = Env("XDG_CONFIG_HOME");
    if (!config.starts_with('/')) // the XDG rule: a relative value is ignored
        config = home + "/.config";
    std::ifstream file(config + "/user-dirs.dirs");
    std::optional<std::string> found;
    for (std::string line; std::getline(file, line);)
        if (auto path = ParseDocumentsLine(line, home))
            found = std::move(path); // the shell would keep the last assignment
    return found;
}

// mkdir -p; an existing folder is no failure.
bool MakeFolders(const std::string& path) {
    for (std::size_t pos = path.find('/', 1);; pos = path.find('/', pos + 1)) {
        const std::string part = path.substr(0, pos);
        if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (pos == std::string::npos)
            return true;
    }
}

std::string LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// Serialises the writers of this process; together with O_APPEND and one
// write per entry it keeps every entry whole even when the write comes up
// short and has to be continued.
std::mutex logLock;

void AppendEntry(const std::string& entry) {
    const std::string folder = FolderDokumentow();
    if (folder.empty() || !MakeFolders(folder))
        return;
    const std::string path = folder + "/kandor_exception.log";

    std::lock_guard lock(logLock);
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    for (std::size_t done = 0; done < entry.size();) {
        const ssize_t n = write(fd, entry.data() + done, entry.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // best effort: the rest of the entry is lost
        done += static_cast<std::size_t>(n);
    }
    close(fd);
}

} // namespace

std::string FolderDokumentow() {
    const std::string home = Env("HOME");
    if (home.empty())
        return {};
    return DocumentsFromUserDirs(home).value_or(home + "/Documents");
}

void ZapiszWyjatek(std::string_view komunikat, std::string_view zrodlo, int linia) {
    // Callers log from inside their catch handlers: nothing may escape from here.
    try {
        // Linux keeps no stack trace with an exception, so that part is empty.
        const std::string stackTrace;
        std::string entry = LocalTimeNow();
        entry += "\r\n";
        entry += zrodlo;
        entry += " : ";
        entry += std::to_string(linia);
        entry += "\r\n";
        entry += komunikat;
        entry += "\r\n";
        entry += stackTrace;
        entry += "\r\n\r\n";
        AppendEntry(entry);
    } catch (...) {
    }
}

void ZapiszWyjatek(const std::exception& wyjatek, std::string_view zrodlo, int linia) {
    ZapiszWyjatek(std::string_view(wyjatek.what()), zrodlo, linia);
}
