#include "hall_paths.h"

#include <filesystem>
#include <system_error>

#include "hall_paths_config.h"

namespace korvane::hall {

namespace {

std::filesystem::path Self() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
}

bool RunFromBuildTree() {
    std::error_code error;
    const std::string build = std::filesystem::weakly_canonical(KORVANE_HALL_BUILD_DIR, error);
    return !error && Self().string().rfind(build + "/", 0) == 0;
}

}  // namespace

std::string DefaultDatabase() {
    return RunFromBuildTree() ? KORVANE_HALL_SOURCE_DIR "/hall.sqlite"
                              : KORVANE_HALL_INSTALLED_DATABASE;
}

std::string DefaultWebDir() {
    if (RunFromBuildTree()) return KORVANE_HALL_SOURCE_DIR "/build-web";
    // PREFIX/bin/korvane-hall (or PREFIX/games/...): the prefix is two steps up.
    const std::filesystem::path web = KORVANE_HALL_INSTALLED_WEB_DIR;
    return web.is_absolute() ? web.string() : (Self().parent_path().parent_path() / web).string();
}

}  // namespace korvane::hall
