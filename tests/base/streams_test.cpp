#include "platform/base/Streams.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/Exceptions.h"

namespace bellcut {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>((i * 131 + i / 256) & 0xFF);
  return b;
}

Bytes Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put(const fs::path& p, const Bytes& b) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

TEST(MemoryStream, ReadsWritesAndSeeksLikeAFile) {
  TMemoryStream s;
  const Bytes abc{1, 2, 3};
  s.WriteBuffer(abc.data(), abc.size());
  EXPECT_EQ(s.Position(), 3);
  EXPECT_EQ(s.Seek(2, soEnd), 5);  // past the end: a later write fills the gap with zeros
  s.WriteBuffer(abc.data(), 1);
  EXPECT_EQ(s.Data(), (Bytes{1, 2, 3, 0, 0, 1}));
  EXPECT_EQ(s.Size(), 6);
  EXPECT_EQ(s.Seek(-100, soCurrent), 0);
  s.SetPosition(1);
  std::uint8_t two[2];
  s.ReadBuffer(two, 2);
  EXPECT_EQ(two[0], 2);
  EXPECT_EQ(two[1], 3);
  EXPECT_EQ(s.ReadRest(), (Bytes{0, 0, 1}));
  EXPECT_EQ(s.Read(two, 2), 0u);
  EXPECT_THROW(s.ReadBuffer(two, 1), EReadError);
}

TEST(MemoryStream, ExtremePositionsNeitherOverflowNorWriteOutOfBounds) {
  TMemoryStream s(Bytes{9, 9});
  EXPECT_EQ(s.Seek(INT64_MAX, soBeginning), INT64_MAX);
  EXPECT_EQ(s.Seek(INT64_MAX, soCurrent), INT64_MAX);
  EXPECT_EQ(s.Seek(INT64_MIN, soEnd), 0);
  s.Seek(INT64_MAX, soBeginning);
  std::uint8_t b[4] = {};
  EXPECT_EQ(s.Read(b, 4), 0u);
  EXPECT_THROW(s.WriteBuffer(b, 4), EStreamError);
  EXPECT_EQ(s.Data(), (Bytes{9, 9}));
}

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("bellcut-streams-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "folder");
    Put(dir_ / "old.jpg", old_);
    Put(dir_ / "plain", Bytes{7});
    page_ = ActiveCodePage();
  }
  void TearDown() override {
    SetActiveCodePage(page_);
    fs::remove_all(dir_);
  }
  [[nodiscard]] std::string P(const std::string& rest) const { return (dir_ / rest).string(); }
  [[nodiscard]] std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir_)) names.insert(e.path().string());
    return names;
  }
  fs::path dir_;
  const Bytes old_ = Pattern(10);
  CodePage page_{};
};

TEST_F(FileTest, FileStreamReadsAndRefusesFoldersAndMissingFiles) {
  const Bytes data = Pattern(1000);
  Put(dir_ / "data", data);
  TFileStream s(P("data"));
  EXPECT_EQ(s.Size(), 1000);
  s.SetPosition(990);
  EXPECT_EQ(s.ReadRest(), Bytes(data.begin() + 990, data.end()));
  std::uint8_t b = 0;
  EXPECT_THROW(s.WriteBuffer(&b, 1), EWriteError);

  const std::string bad[] = {P("folder"), P("missing"), P("plain/x"), "", P("data") + std::string(1, '\0')};
  for (const auto& name : bad) EXPECT_THROW(TFileStream{name}, EFOpenError) << name;
}

TEST_F(FileTest, ReadWholeFileReturnsEveryByteAndReportsReadErrors) {
  const Bytes big = Pattern(200000);  // more than one internal chunk
  Put(dir_ / "big", big);
  EXPECT_EQ(ReadWholeFile(P("big")), big);
  Put(dir_ / "empty", {});
  EXPECT_TRUE(ReadWholeFile(P("empty")).empty());
  EXPECT_THROW((void)ReadWholeFile(P("missing")), EFOpenError);
  // Reading the process's memory at address 0 fails with an I/O error: it
  // must not pass for an empty file.
  EXPECT_THROW((void)ReadWholeFile("/proc/self/mem"), EReadError);
}

TEST_F(FileTest, ReplacingWritesExactBytesWithNormalPermissions) {
  const mode_t oldMask = ::umask(027);
  const Bytes data = Pattern(70000);
  WriteFileReplacing(P("new.jpg"), data);
  EXPECT_EQ(Slurp(dir_ / "new.jpg"), data);
  struct stat st {};
  ASSERT_EQ(::stat(P("new.jpg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  ::chmod(P("old.jpg").c_str(), 0604);
  WriteFileReplacing(P("old.jpg"), Bytes{1, 2});
  EXPECT_EQ(Slurp(dir_ / "old.jpg"), (Bytes{1, 2}));
  ASSERT_EQ(::stat(P("old.jpg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);

  WriteFileReplacing(P("old.jpg"), {});
  EXPECT_TRUE(Slurp(dir_ / "old.jpg").empty());
  ::umask(oldMask);
  EXPECT_EQ(Listing(), (std::set<std::string>{P("folder"), P("old.jpg"), P("plain"), P("new.jpg")}));
}

TEST_F(FileTest, ReplacingThroughASymbolicLinkKeepsTheLink) {
  fs::create_symlink(dir_ / "old.jpg", dir_ / "link.jpg");
  WriteFileReplacing(P("link.jpg"), Bytes{5});
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.jpg"));
  EXPECT_EQ(Slurp(dir_ / "old.jpg"), (Bytes{5}));
}

TEST_F(FileTest, FailuresRaiseTheCreationErrorAndLeaveEverythingAsItWas) {
  const std::string targets[] = {P("missing/a.jpg"), P("folder"), P("plain/a.jpg"), P("folder/"), ""};
  for (CodePage page : {CodePage::Utf8, CodePage::Cp932}) {
    SetActiveCodePage(page);
    for (const auto& target : targets) {
      const auto before = Listing();
      try {
        WriteFileReplacing(target, Pattern(100));
        ADD_FAILURE() << "wrote " << target;
      } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), FromUtf8("ファイル ") + target + FromUtf8(" を作成できません"));
      }
      EXPECT_EQ(Listing(), before) << target;
    }
  }
  EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
  EXPECT_EQ(Slurp(dir_ / "plain"), (Bytes{7}));
}

TEST_F(FileTest, FailureMidWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const auto before = Listing();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The file size limit stops the write part-way; without the signal
    // ignored the limit would kill the process instead of failing the write.
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    int code = 1;
    try {
      WriteFileReplacing(P("old.jpg"), Pattern(100000));
    } catch (const EFCreateError&) {
      code = 0;
    } catch (...) {
      code = 2;
    }
    ::_exit(code);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Slurp(dir_ / "old.jpg"), old_);
  EXPECT_EQ(Listing(), before);
}

}  // namespace
}  // namespace bellcut
