// A desktop as a new user has it: a keyboard and a mouse whose nodes only
// root may open, listed before an older and a current reader whose nodes the
// udev rule opens to the user. The item library and the setup tool for
// older readers go past the root-only nodes as if they were any others.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "hiditems_cli.h"
#include "skelmar/reader_channel.h"
#include "tandril.h"
#include "tree_fixture.h"

namespace hidhost::hidraw::testing {
namespace {

class Desktop : public TreeTest {
 protected:
  void SetUp() override {
    TreeTest::SetUp();
    if (IsSkipped()) return;
    AddRootOnlyKeyboardAndMouse();
    std::string error;
    auto readers = sim::LoadDeviceModels("both-readers", &error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(readers.size(), 4u);  // the older reader's two interfaces, then the current one's
    for (uint32_t i = 0; i < readers.size(); ++i) {
      readers[i]->Attach(clock_, {});
      Add(2 + i, readers[i]);
    }
    InstallHost(host_);
  }
  void TearDown() override {
    InstallHost(nullptr);
    TreeTest::TearDown();
  }

  int List() {
    out_.str("");
    err_.str("");
    return hiditems::Run({"list"}, out_, err_);
  }

  std::ostringstream out_, err_;
};

TEST_F(Desktop, ItemLibraryListsAndModelsEveryInterface) {
  ASSERT_EQ(List(), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "POS  VID  PID  VERSION\n"
            "  0  1111 0001 0100\n"
            "  1  1111 0002 0100\n"
            "  2  1c5e 0200 0214\n"
            "  3  1c5e 0200 0214\n"
            "  4  1c5e 2420 0214\n"
            "  5  1c5e 2420 0214\n");

  // The mouse cannot be opened for reading, so it is opened for queries.
  const uint32_t mouse = OpenHIDDevice(1);
  ASSERT_EQ(mouse, 2u) << "error " << GetLastHIDError();
  char path[256];
  uint16_t size = sizeof path;
  ItemInfo info{};
  ASSERT_TRUE(GetItemByIndex(mouse, 0, path, &size, &info));
  char ordinal[64] = "0001:02:0000&0001:01:0000&0009:01:0000";
  EXPECT_TRUE(ConvertItemPath(mouse, ordinal)) << "error " << GetLastHIDError();
  wchar_t product[16];
  ASSERT_TRUE(GetProductString(mouse, product, sizeof product));
  EXPECT_EQ(std::wstring(product), L"Gadget");
  EXPECT_TRUE(CloseHIDDevice(mouse));
}

TEST_F(Desktop, ListSaysWhyTheWalkEndedEarly) {
  // The mouse's uevent loses its identity before anything looks at it.
  const std::string uevent = tree_->sysRoot() + "/class/hidraw/hidraw1/device/uevent";
  std::ofstream(uevent, std::ios::trunc) << "DRIVER=hid-generic\n";
  EXPECT_EQ(List(), 1);
  EXPECT_EQ(out_.str(), "POS  VID  PID  VERSION\n  0  1111 0001 0100\n");
  EXPECT_NE(err_.str().find("position 1"), std::string::npos) << err_.str();
  EXPECT_NE(err_.str().find("ERROR_GEN_FAILURE (31)"), std::string::npos) << err_.str();
}

TEST_F(Desktop, SetupToolWritesToTheOlderReader) {
  skelmar::ReaderChannel channel;
  ASSERT_TRUE(channel.FindReader()) << "error " << GetLastHIDError();
  const size_t before = tree_->Node(2)->Requests().size();
  ASSERT_TRUE(channel.SendSetupChar('K'));
  const auto requests = tree_->Node(2)->Requests();
  ASSERT_EQ(requests.size(), before + 1);
  EXPECT_EQ(requests.back().rfind("SET_FEATURE", 0), 0u) << requests.back();
}

}  // namespace
}  // namespace hidhost::hidraw::testing
