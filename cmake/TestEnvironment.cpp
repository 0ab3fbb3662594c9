// Linked into every test binary: the folders a test may need, as environment variables,
// unless the caller already set them. (CTest can pass only one variable through test
// discovery, so the rest are set here.)
#include <cstdlib>

namespace {
struct TestEnvironment {
    TestEnvironment()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("TABLO_BUILD_DIR", TABLO_TEST_BUILD_DIR, 0);
        setenv("TABLO_PLUGIN_PATH", TABLO_TEST_BUILD_DIR, 0);
        setenv("TABLO_SOURCE_DIR", TABLO_TEST_SOURCE_DIR, 0);
    }
} const testEnvironment;
} // namespace
