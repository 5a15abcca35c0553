#pragma once
#include <filesystem>
#include <optional>
#include <string>

// A home folder of the test's own while it lives, with XDG_CONFIG_HOME
// inside it, so the exception log and other per-user files stay out of the
// real one; the previous values come back and the folder goes afterwards.
class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    const std::filesystem::path& path() const { return home_; }

private:
    std::optional<std::string> savedHome_;
    std::optional<std::string> savedConfig_;
    std::filesystem::path home_;
};
