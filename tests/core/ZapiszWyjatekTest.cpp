#include "core/ZapiszWyjatek.h"
#include "tests/support/TemporaryHome.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A home folder of the test's own, with XDG_CONFIG_HOME inside it.
class ExceptionLog : public ::testing::Test {
protected:

    void WriteUserDirs(const std::string& text) {
        fs::create_directories(home_ / "config");
        std::ofstream(home_ / "config" / "user-dirs.dirs") << text;
    }

    std::string ReadLog() {
        std::ifstream file(home_ / "Documents" / "kandor_exception.log", std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    TemporaryHome temporaryHome_;
    const fs::path& home_ = temporaryHome_.path();
};

std::string LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// "YYYY-MM-DD hh:nn:ss"
bool IsTimestamp(std::string_view text) {
    constexpr std::string_view shape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i])
            return false;
    return true;
}

TEST_F(ExceptionLog, DocumentsFolderFollowsUserDirs) {
    struct Case { std::string_view name; std::optional<std::string> userDirs; std::string expected; };
    const Case cases[] = {
        {"no settings file", std::nullopt, home_ / "Documents"},
        {"relative to home", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\"\n", home_ / "Dokumenty"},
        {"absolute", "XDG_DOCUMENTS_DIR=\"/srv/desk docs\"\n", "/srv/desk docs"},
        {"among comments and other keys",
         "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Pulpit\"\n"
         "  XDG_DOCUMENTS_DIR=\"$HOME/Moje \\\"dok\\\"\"\nXDG_MUSIC_DIR=\"$HOME/Muzyka\"\n",
         home_ / "Moje \"dok\""},
        {"commented out", "#XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\"\n", home_ / "Documents"},
        {"neither absolute nor from home", "XDG_DOCUMENTS_DIR=\"Dokumenty\"\n", home_ / "Documents"},
        {"unterminated quote", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\n", home_ / "Documents"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(home_ / "config");
        if (c.userDirs)
            WriteUserDirs(*c.userDirs);
        EXPECT_EQ(FolderDokumentow(), c.expected);
    }
}

TEST_F(ExceptionLog, ConfigFolderDefaultsToDotConfig) {
    unsetenv("XDG_CONFIG_HOME");
    fs::create_directories(home_ / ".config");
    std::ofstream(home_ / ".config" / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\"\n";
    EXPECT_EQ(FolderDokumentow(), (home_ / "Dokumenty").string());
}

TEST_F(ExceptionLog, NoHomeMeansNoFolderAndNoEntry) {
    unsetenv("HOME");
    EXPECT_EQ(FolderDokumentow(), "");
    ZapiszWyjatek(std::runtime_error("lost"), "S", 1);
    EXPECT_TRUE(fs::is_empty(home_));
}

TEST_F(ExceptionLog, EntryHasFourCrlfLinesAndCreatesTheFolder) {
    ASSERT_FALSE(fs::exists(home_ / "Documents"));
    const std::string before = LocalTimeText();
    ZapiszWyjatek(std::runtime_error("Błąd zapisu bramy"), "S", 155);
    const std::string after = LocalTimeText();

    const std::string log = ReadLog();
    const std::string tail = "\r\nS : 155\r\nBłąd zapisu bramy\r\n\r\n\r\n";
    ASSERT_EQ(log.size(), 19 + tail.size()) << log;
    EXPECT_EQ(log.substr(19), tail);
    const std::string time = log.substr(0, 19);
    EXPECT_TRUE(IsTimestamp(time)) << time;
    EXPECT_GE(time, before);
    EXPECT_LE(time, after);
}

TEST_F(ExceptionLog, EntriesAreAppendedInNestedMissingFolders) {
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/a/b/Dokumenty\"\n");
    ZapiszWyjatek("pierwszy", "TDM.cpp", 7);
    ZapiszWyjatek(std::logic_error("drugi\r\nz dwiema liniami"), "Mozg.cpp", -1);

    std::ifstream file(home_ / "a" / "b" / "Dokumenty" / "kandor_exception.log", std::ios::binary);
    const std::string log{std::istreambuf_iterator<char>(file), {}};
    const std::string first = "\r\nTDM.cpp : 7\r\npierwszy\r\n\r\n\r\n";
    const std::string second = "\r\nMozg.cpp : -1\r\ndrugi\r\nz dwiema liniami\r\n\r\n\r\n";
    ASSERT_EQ(log.size(), 19 + first.size() + 19 + second.size()) << log;
    EXPECT_TRUE(IsTimestamp(log.substr(0, 19)));
    EXPECT_EQ(log.substr(19, first.size()), first);
    EXPECT_TRUE(IsTimestamp(log.substr(19 + first.size(), 19)));
    EXPECT_EQ(log.substr(19 + first.size() + 19), second);
}

TEST_F(ExceptionLog, UnwritableLogIsSilent) {
    // a folder where the file should be: open() fails, the call returns
    fs::create_directories(home_ / "Documents" / "kandor_exception.log");
    ZapiszWyjatek("lost", "S", 1);
    // the documents path is a file: the folder cannot be made
    fs::remove_all(home_ / "Documents");
    std::ofstream(home_ / "Documents") << "x";
    ZapiszWyjatek("lost", "S", 1);
    EXPECT_EQ(fs::file_size(home_ / "Documents"), 1u);
}

TEST_F(ExceptionLog, ConcurrentWritersNeverInterleave) {
    constexpr int threads = 8, perThread = 200;
    // long messages make a torn write likely to show if entries were split
    const std::string padding(700, '.');
    std::vector<std::thread> writers;
    for (int t = 0; t < threads; ++t)
        writers.emplace_back([t, &padding] {
            for (int i = 0; i < perThread; ++i)
                ZapiszWyjatek("wpis " + std::to_string(t) + "/" + std::to_string(i) + padding,
                              "W" + std::to_string(t), i);
        });
    for (auto& w : writers)
        w.join();

    const std::string log = ReadLog();
    const std::string separator = "\r\n\r\n\r\n";
    std::set<std::pair<int, int>> seen;
    for (std::size_t pos = 0; pos < log.size();) {
        const auto end = log.find(separator, pos);
        ASSERT_NE(end, std::string::npos) << "torn entry at byte " << pos;
        const std::string text = log.substr(pos, end - pos);
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(text.c_str() + std::min<std::size_t>(19, text.size()), "\r\nW%d : %d", &t, &i), 2)
            << text;
        const std::string expected = "\r\nW" + std::to_string(t) + " : " + std::to_string(i) + "\r\nwpis " +
                                     std::to_string(t) + "/" + std::to_string(i) + padding;
        EXPECT_TRUE(IsTimestamp(text.substr(0, 19)) && text.substr(19) == expected) << text;
        EXPECT_TRUE(seen.emplace(t, i).second) << text;
        pos = end + separator.size();
    }
    EXPECT_EQ(seen.size(), std::size_t(threads * perThread));
}

} // namespace
