#include "interface_path.h"

#include <gtest/gtest.h>

namespace hidhost::hidraw {
namespace {

TEST(InterfacePath, FormatsOnePathPerCollection) {
  EXPECT_EQ(FormatInterfacePath("/dev", "hidraw3", 0, 1), "/dev/hidraw3");
  EXPECT_EQ(FormatInterfacePath("/dev", "hidraw3", 0, 2), "/dev/hidraw3&col01");
  EXPECT_EQ(FormatInterfacePath("/tmp/x", "hidraw12", 10, 11), "/tmp/x/hidraw12&col11");
}

TEST(InterfacePath, ParsesWhatItFormats) {
  for (size_t count : {1u, 2u, 5u, 99u}) {
    for (size_t i = 0; i < count; ++i) {
      std::string name;
      size_t collection = 1000;
      const std::string path = FormatInterfacePath("/dev", "hidraw7", i, count);
      ASSERT_TRUE(ParseInterfacePath("/dev", path, &name, &collection)) << path;
      EXPECT_EQ(name, "hidraw7");
      EXPECT_EQ(collection, i);
    }
  }
}

TEST(InterfacePath, RefusesTextThatNamesNoNode) {
  const char* bad[] = {
      "",
      "/dev",
      "/dev/",
      "/dev/hidraw",
      "/dev/hidrawX",
      "/dev/hidraw1/../sda",
      "/dev/../dev/hidraw1",
      "/dev/sda",
      "/devhidraw1",
      "/other/hidraw1",
      "/dev/hidraw1&col",
      "/dev/hidraw1&col00",
      "/dev/hidraw1&col1",
      "/dev/hidraw1&col012",
      "/dev/hidraw1&colAB",
      "/dev/hidraw1&col01&col02",
      "/dev/hidraw1234567890",
      "/dev/hidraw-1",
  };
  for (const char* path : bad) {
    std::string name;
    size_t collection = 0;
    EXPECT_FALSE(ParseInterfacePath("/dev", path, &name, &collection)) << path;
  }
}

}  // namespace
}  // namespace hidhost::hidraw
