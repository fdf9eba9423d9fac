// Every real device descriptor of the parser's test data, opened as a
// simulated device: every item is listed and every feature item read.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "sim_fixture.h"
#include "tandril.h"

namespace tandril_test {
namespace {

std::filesystem::path DescriptorFolder() {
  const char* root = std::getenv("SUITE_SOURCE_DIR");
  return std::filesystem::path(root && *root ? root : TANDRIL_SOURCE_ROOT) /
         "platform/parser/testdata/descriptors";
}

std::vector<uint8_t> ReadHexFile(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<uint8_t> bytes;
  std::string token;
  while (in >> token) bytes.push_back(static_cast<uint8_t>(std::stoul(token, nullptr, 16)));
  return bytes;
}

class RealDescriptorsTest : public SimHostTest {};

TEST_F(RealDescriptorsTest, EveryItemIsListedAndEveryFeatureItemRead) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(DescriptorFolder())) {
    if (entry.path().extension() == ".hex") files.push_back(entry.path());
  }
  ASSERT_EQ(files.size(), 23u) << DescriptorFolder();

  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    SimDevice device;
    device.descriptor = ReadHexFile(file);
    Install({device});
    // One interface per top-level collection.
    size_t interfaces = 0, items = 0;
    for (uint16_t position = 0; position < 20; ++position) {
      HIDDeviceAttributes attributes{};
      if (!EnumHIDDevices(position, &attributes)) break;
      ++interfaces;
      const uint32_t h = OpenHIDDevice(position);
      ASSERT_EQ(h, position + 1u) << "error " << GetLastHIDError();
      for (uint16_t index = 0;; ++index) {
        char path[256];
        uint16_t size = sizeof path;
        ItemInfo info{};
        SetLastHIDError(0);
        if (!GetItemByIndex(h, index, path, &size, &info)) {
          EXPECT_EQ(GetLastHIDError(), 0u) << "item " << index;
          break;
        }
        ++items;
        int32_t value = 0;
        SetLastHIDError(0);
        const int32_t read = GetItemValue(h, path, &value);
        if (info.Flags & TANDRIL_FLAG_FEATURE) {
          EXPECT_EQ(read, 1) << path << " error " << GetLastHIDError();
        } else if (!read) {
          EXPECT_EQ(GetLastHIDError(), 0u) << path;
        }
      }
      EXPECT_EQ(CloseHIDDevice(h), 1);
    }
    EXPECT_GE(interfaces, 1u);
    EXPECT_GE(items, 1u);
  }
}

}  // namespace
}  // namespace tandril_test
