#pragma once
// Real inputs made by other programs (Word's clipboard HTML, ...) live in the shared fixtures
// folder beside the project, not in it. CMake hands its place in, found from the project root, so
// a clone anywhere finds it; a test that cannot find it skips and says so.
#include <string>

namespace quorallion::testing {

// The fixtures folder with a trailing separator, as this build's programs spell paths: under
// Wine the Unix root is drive Z:.
inline std::string SharedFixturesFolder() {
    std::string folder = QUORALLION_SHARED_FIXTURES;
#ifdef _WIN32
    for (char& c : folder)
        if (c == '/') c = '\\';
    folder = "Z:" + folder + "\\";
#else
    folder += "/";
#endif
    return folder;
}

// A file of one fixture group ("word-clipboard", name).
inline std::string SharedFixturePath(const std::string& group, const std::string& name) {
#ifdef _WIN32
    return SharedFixturesFolder() + group + "\\" + name;
#else
    return SharedFixturesFolder() + group + "/" + name;
#endif
}

}  // namespace quorallion::testing
