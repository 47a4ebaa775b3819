#include "platform/base/Params.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace bellcut {
namespace {

using Items = std::vector<std::string>;

TEST(SplitCommandLine, PlatformRules) {
  const std::pair<std::string, Items> cases[] = {
      // A path with single blanks arrives in pieces; the program joins them again.
      {R"(C:\My Pictures\a.jpg)", {R"(C:\My)", R"(Pictures\a.jpg)"}},
      {R"("C:\My Pictures\a.JPEG")", {R"(C:\My Pictures\a.JPEG)"}},
      {"a   b \t\tc", {"a", "b", "c"}},
      {"\x01" "a\x1F" "b\x20", {"a", "b"}},
      {R"(a"b c"d)", {"ab cd"}},
      {R"("" a "" b "")", {"a", "b"}},
      {R"(a"")", {"a"}},
      {R"(" ")", {" "}},
      {R"("a  b)", {"a  b"}},  // an unclosed quote runs to the end
      {R"(x.bmp "y z.jpg" w.jpeg)", {"x.bmp", "y z.jpg", "w.jpeg"}},
      {std::string("a b\0c d", 7), {"a", "b"}},
      {"", {}},
      {"   \t ", {}},
      {"\x95\x5C \xE8\xA1\xA8", {"\x95\x5C", "\xE8\xA1\xA8"}},  // bytes of 0x80 and up are ordinary
  };
  for (const auto& [raw, items] : cases) EXPECT_EQ(SplitCommandLine(raw), items) << raw;
}

class Parameters : public ::testing::Test {
 protected:
  void TearDown() override {
    const char* none[] = {"/x"};
    SetProcessArguments(1, none);
  }
};

TEST_F(Parameters, CommandLineSkipsTheProgramNameAndJoinsBackToThePath) {
  SetProgramFileName("/opt/tools/viewer");
  SetCommandLine(R"("C:\tools\viewer.exe" C:\My   Pictures\a.jpg)");
  ASSERT_EQ(ParamCount(), 2);
  EXPECT_EQ(ParamStr(0), "/opt/tools/viewer");
  std::string joined;
  for (int i = 1; i <= ParamCount(); ++i) joined += ParamStr(i) + " ";
  EXPECT_EQ(joined, "C:\\My Pictures\\a.jpg ");
  EXPECT_EQ(ParamStr(3), "");
  EXPECT_EQ(ParamStr(-1), "");

  SetCommandLine("viewer.exe");
  EXPECT_EQ(ParamCount(), 0);
  SetCommandLine("");
  EXPECT_EQ(ParamCount(), 0);
}

TEST_F(Parameters, ProcessArgumentsAreTakenAsGiven) {
  const char* argv[] = {"/usr/bin/bellcut", "a b.jpg", "", "c"};
  SetProcessArguments(4, argv);
  EXPECT_EQ(ParamCount(), 3);
  EXPECT_EQ(ParamStr(0), "/usr/bin/bellcut");
  EXPECT_EQ(ParamStr(1), "a b.jpg");
  EXPECT_EQ(ParamStr(2), "");
  EXPECT_EQ(ParamStr(3), "c");
}

TEST_F(Parameters, RelativeProgramNameResolvesToTheRunningFile) {
  const char* argv[] = {"./bellcut", "x"};
  SetProcessArguments(2, argv);
  const std::string self = ParamStr(0);
  EXPECT_EQ(self.front(), '/');
  EXPECT_TRUE(std::filesystem::equivalent(self, "/proc/self/exe"));
  EXPECT_EQ(ParamCount(), 1);

  SetProcessArguments(0, nullptr);
  EXPECT_EQ(ParamCount(), 0);
  EXPECT_TRUE(std::filesystem::equivalent(ParamStr(0), "/proc/self/exe"));
}

}  // namespace
}  // namespace bellcut
