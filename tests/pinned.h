#pragma once
// Pinned expected files (the test card, the sounds, the windows): compared exactly. After an
// intended change, KORVANE_UPDATE_GOLDEN=<test name> rewrites the file of that one test
// (named as ctest lists it, e.g. sound.EmbeddedSounds.EachIs...); never when CI is set.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace korvane::pinned {

inline std::string TestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

// Whether KORVANE_UPDATE_GOLDEN names the running test (with or without ctest's prefix).
inline bool UpdateRequested() {
    const char* asked = std::getenv("KORVANE_UPDATE_GOLDEN");
    const std::string name = TestName();
    if (!asked || !(asked == name || std::string(asked).ends_with("." + name))) return false;
    if (std::getenv("CI")) {
        ADD_FAILURE() << "KORVANE_UPDATE_GOLDEN is refused when CI is set";
        return false;
    }
    return true;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Compares what the test got with the pinned file, or rewrites the file when asked.
inline void Check(const std::string& path, const std::string& got) {
    if (UpdateRequested()) {
        std::ofstream(path, std::ios::binary) << got;
        std::printf("rewrote %s: review it with git diff before committing\n", path.c_str());
        return;
    }
    EXPECT_EQ(ReadFile(path), got) << path << " differs; after an intended change rewrite it "
                                   << "with KORVANE_UPDATE_GOLDEN=" << TestName();
}

}  // namespace korvane::pinned
