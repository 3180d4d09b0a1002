#include "hall_paths.h"

#include <filesystem>
#include <system_error>

#include "hall_paths_config.h"

namespace korvane::hall {

namespace {

bool RunFromBuildTree() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return false;
    const std::string build = std::filesystem::weakly_canonical(KORVANE_HALL_BUILD_DIR, error);
    return !error && self.string().rfind(build + "/", 0) == 0;
}

}  // namespace

std::string DefaultDatabase() {
    return RunFromBuildTree() ? KORVANE_HALL_SOURCE_DIR "/hall.sqlite"
                              : KORVANE_HALL_INSTALLED_DATABASE;
}

std::string DefaultWebDir() {
    return RunFromBuildTree() ? KORVANE_HALL_SOURCE_DIR "/build-web"
                              : KORVANE_HALL_INSTALLED_WEB_DIR;
}

}  // namespace korvane::hall
