// The command line: --help and --version, and that they are only options
// when no file of that name exists.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/app/AppFixture.h"

namespace bellcut::test {
namespace {

TEST_F(AppTest, HelpAndVersionUnlessAFileHasThatName) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(Run({"--help"}), 0);
  const std::string help = testing::internal::GetCapturedStdout();
  EXPECT_NE(help.find("Usage: bellcut PICTURE"), std::string::npos);
  EXPECT_NE(help.find("BELLCUT_SCREEN"), std::string::npos);
  testing::internal::CaptureStdout();
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("bellcut ", 0), 0u);
  EXPECT_TRUE(responder->Shown.empty()) << "no window, no dialog";

  // With a file called --help in the current folder it is the picture path
  // (an unaccepted one: a white square is saved beside it).
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  WriteBytes(dir / "--help", {1});
  testing::internal::CaptureStdout();
  const int status = Run({"--help"});
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out.find("Usage"), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(dir / (OutputPrefix() + "--help .jpg")));
}

}  // namespace
}  // namespace bellcut::test
