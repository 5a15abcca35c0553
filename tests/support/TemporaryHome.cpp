#include "tests/support/TemporaryHome.h"

#include <cstdlib>
#include <stdexcept>

namespace {

std::optional<std::string> Get(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value) {
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

} // namespace

TemporaryHome::TemporaryHome() : savedHome_(Get("HOME")), savedConfig_(Get("XDG_CONFIG_HOME")) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kandor-home-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary home folder");
    home_ = pattern;
    setenv("HOME", home_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home_ / "config").c_str(), 1);
}

TemporaryHome::~TemporaryHome() {
    Restore("HOME", savedHome_);
    Restore("XDG_CONFIG_HOME", savedConfig_);
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
}
