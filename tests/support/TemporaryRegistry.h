#pragma once
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/TemporaryHome.h"

// A registry of the test's own: KANDOR_REGISTRY_DIR names a folder in a
// temporary home while it lives, so no test reads or writes the real
// settings or autostart entries.
class TemporaryRegistry {
public:
    TemporaryRegistry() {
        if (const char* saved = std::getenv("KANDOR_REGISTRY_DIR"))
            saved_ = saved;
        folder_ = home_.path() / "registry";
        setenv("KANDOR_REGISTRY_DIR", folder_.c_str(), 1);
    }
    ~TemporaryRegistry() {
        if (saved_)
            setenv("KANDOR_REGISTRY_DIR", saved_->c_str(), 1);
        else
            unsetenv("KANDOR_REGISTRY_DIR");
    }
    TemporaryRegistry(const TemporaryRegistry&) = delete;
    TemporaryRegistry& operator=(const TemporaryRegistry&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    const std::filesystem::path& home() const { return home_.path(); }

private:
    TemporaryHome home_;
    std::optional<std::string> saved_;
    std::filesystem::path folder_;
};
