// Program lookup and start, and Caps Lock from keyboard LEDs.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "hidhost/errors.h"
#include "hidhost/os_services.h"

namespace hidhost {
namespace {

namespace fs = std::filesystem;

class TempTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(::testing::TempDir()) /
            ("os_services_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string File(const std::string& relative, const std::string& text, bool executable) {
    fs::path p = root_ / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text;
    ::chmod(p.c_str(), executable ? 0755 : 0644);
    return p.string();
  }
  std::string Dir(const std::string& relative) { return (root_ / relative).string(); }

  fs::path root_;
};

using FindProgramTest = TempTree;

TEST_F(FindProgramTest, OwnFolderFirstThenPathInOrder) {
  const std::string own = File("own/skelmar", "#!/bin/sh\n", true);
  const std::string onPath = File("b/skelmar", "#!/bin/sh\n", true);
  File("a/skelmar", "not executable", false);
  fs::create_directories(Dir("c/tool"));  // a folder of that name is not a program
  File("d/tool", "#!/bin/sh\n", true);
  const std::string path = Dir("a") + ":" + Dir("b") + ":" + Dir("c") + ":" + Dir("d");

  EXPECT_EQ(FindProgram("skelmar", Dir("own"), path), own);
  EXPECT_EQ(FindProgram("skelmar", Dir("nowhere"), path), onPath);
  EXPECT_EQ(FindProgram("skelmar", "", Dir("a")), "");
  EXPECT_EQ(FindProgram("tool", Dir("own"), path), Dir("d") + "/tool");
  EXPECT_EQ(FindProgram("", Dir("own"), path), "");
  EXPECT_EQ(FindProgram("own/skelmar", root_.string(), path), "");  // bare names only
  EXPECT_EQ(FindProgram("../own/skelmar", Dir("b"), ""), "");
}

// Waits until a writer opens `fifo` and writes a line, at most 20 s; the line.
std::string ReadLineFromFifo(const std::string& fifo) {
  const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return {};
  std::string line;
  pollfd p{fd, POLLIN, 0};
  while (line.find('\n') == std::string::npos && ::poll(&p, 1, 20000) > 0) {
    char buffer[64];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) line.append(buffer, static_cast<size_t>(n));
    if (n == 0 && !line.empty()) break;  // the writer has closed it
  }
  ::close(fd);
  return line;
}

TEST_F(FindProgramTest, StartReportsWhetherTheProgramReallyStarted) {
  // The started script writes its marker, then says so through a FIFO: the
  // test waits for that, so that the folder is not removed under it.
  const std::string marker = Dir("started");
  const std::string fifo = Dir("done");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string good =
      File("good", "#!/bin/sh\ntouch '" + marker + "'\necho done > '" + fifo + "'\n", true);
  const std::string badInterpreter = File("bad", "#!/nonexistent/interpreter\n", true);
  EXPECT_TRUE(StartDetached(good));
  EXPECT_EQ(ReadLineFromFifo(fifo), "done\n");
  EXPECT_TRUE(fs::exists(marker));
  SetLastError(0);
  EXPECT_FALSE(StartDetached(badInterpreter));
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
  SetLastError(0);
  EXPECT_FALSE(StartProgramByName("no-such-program-of-this-suite"));
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

using CapsLockTest = TempTree;

TEST_F(CapsLockTest, OnWhenAnyCapsLockLedIsLit) {
  EXPECT_FALSE(CapsLockFromLeds(Dir("missing")));
  File("input3::numlock/brightness", "1\n", false);
  File("input3::capslock/brightness", "0\n", false);
  EXPECT_FALSE(CapsLockFromLeds(root_.string()));
  File("input7::capslock/brightness", "1\n", false);
  EXPECT_TRUE(CapsLockFromLeds(root_.string()));
  File("input7::capslock/brightness", "garbage", false);
  EXPECT_FALSE(CapsLockFromLeds(root_.string()));
}

}  // namespace
}  // namespace hidhost
