// Linked into every test binary: the folders a test may need, as environment variables,
// unless the caller already set them. (CTest can pass only one variable through test
// discovery, so the rest are set here.)
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
struct TestEnvironment {
    TestEnvironment()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("TABLO_BUILD_DIR", TABLO_TEST_BUILD_DIR, 0);
        setenv("TABLO_PLUGIN_PATH", TABLO_TEST_BUILD_DIR, 0);
        setenv("TABLO_SOURCE_DIR", TABLO_TEST_SOURCE_DIR, 0);
        // What the programs keep in the user's data folder (the history of a controller, the
        // fast-download verdicts) goes to a folder of this test process, never to the
        // developer's own, and is removed at its end.
        std::string dir = (std::filesystem::temp_directory_path() / "tablo-test-data-XXXXXX").string();
        if (mkdtemp(dir.data())) {
            dataHome = dir;
            owner = getpid();
            setenv("XDG_DATA_HOME", dir.c_str(), 1);
        }
    }
    ~TestEnvironment()
    {
        std::error_code ignored;
        // Forked children of a test leave it to the process that made it.
        if (!dataHome.empty() && owner == getpid())
            std::filesystem::remove_all(dataHome, ignored);
    }
    std::string dataHome;
    pid_t owner = 0;
} const testEnvironment;
}   // namespace
