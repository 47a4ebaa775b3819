// Where the third-party test material lives, and how suites skip without it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace bellcut::test {

// ../shared/testdata beside the project (the BELLCUT_TESTDATA CMake variable).
[[nodiscard]] inline std::filesystem::path TestDataDir() { return BELLCUT_TESTDATA; }
[[nodiscard]] inline std::filesystem::path SourceDir() { return BELLCUT_SOURCE_DIR; }

}  // namespace bellcut::test

// Skips the current test with a clear message when a folder of the
// third-party material is missing (a fresh clone has none).
#define BELLCUT_REQUIRE_TESTDATA(sub)                                                          \
  do {                                                                                         \
    if (!std::filesystem::is_directory(::bellcut::test::TestDataDir() / (sub)))                \
      GTEST_SKIP() << "third-party test material not found at "                                \
                   << (::bellcut::test::TestDataDir() / (sub)).string()                        \
                   << " (set -DBELLCUT_TESTDATA=... to the shared testdata folder)";           \
  } while (0)
