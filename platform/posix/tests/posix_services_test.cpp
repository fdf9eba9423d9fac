// Program lookup and start, and Caps Lock from keyboard LEDs.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "hidhost/errors.h"
#include "posix_services.h"

namespace hidhost {
namespace {

namespace fs = std::filesystem;

class TempTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(::testing::TempDir()) /
            ("posix_services_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
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

TEST_F(FindProgramTest, StartReportsWhetherTheProgramReallyStarted) {
  const std::string marker = Dir("started");
  const std::string good = File("good", "#!/bin/sh\ntouch '" + marker + "'\n", true);
  const std::string badInterpreter = File("bad", "#!/nonexistent/interpreter\n", true);
  EXPECT_TRUE(StartDetached(good));
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
