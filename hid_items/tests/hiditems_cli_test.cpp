// The hiditems command line against simulated devices.
#include "descriptor_builder.h"
#include "hiditems_fixture.h"
#include "tandril.h"

namespace tandril_test {
namespace {

class HidItemsCliTest : public HidItemsTest {
 protected:
  void SetUp() override {
    SimDevice d;
    d.vendorId = 0x1c5e;
    d.productId = 0x0200;
    d.version = 0x0105;
    d.descriptor = Descriptor()
                       .UsagePage(0xFF2D).Usage(0x01).Collection(0x01)
                       .ReportId(1).Field(8, 1, 0, 255).Usage(0x01).Feature()
                       .Usage(0x02).Input()
                       .EndCollection()
                       .bytes();
    d.features[1] = {0x01, 0x33};
    Install({d});
  }
};

TEST_F(HidItemsCliTest, ListsDevicesAndItems) {
  ASSERT_EQ(Run({"list"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("  0  1c5e 0200 0105\n"), std::string::npos) << out_.str();

  ASSERT_EQ(Run({"items", "0"}), 0) << err_.str();
  const std::string items = out_.str();
  EXPECT_NE(items.find("ff2d:01:0000&ff2d:01:0001"), std::string::npos) << items;
  EXPECT_NE(items.find("feature value"), std::string::npos) << items;
  EXPECT_NE(items.find("input value"), std::string::npos) << items;
  EXPECT_EQ(CloseHIDDevice(1), 0);  // the command closed what it opened
}

TEST_F(HidItemsCliTest, GetsSetsAndConverts) {
  ASSERT_EQ(Run({"get", "0", "ff2d:01:0000&ff2d:01:0001"}), 0) << err_.str();
  EXPECT_EQ(out_.str(), "51\n");
  ASSERT_EQ(Run({"set", "0", "ff2d:01:0000&ff2d:01:0001", "0x41"}), 0) << err_.str();
  EXPECT_EQ(Requests("SET_FEATURE").back(), "SET_FEATURE 01 41");
  ASSERT_EQ(Run({"convert", "0", "ff2d:01:0000&ff2d:02:0000"}), 0) << err_.str();
  EXPECT_EQ(out_.str(), "ff2d:01:0000&ff2d:02:0001\n");
}

TEST_F(HidItemsCliTest, ErrorsNameTheLastErrorCode) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{}, 2, "no command"},
      {{"frobnicate"}, 2, "unknown command"},
      {{"items"}, 2, "wrong number of arguments"},
      {{"items", "-1"}, 2, "bad position"},
      {{"set", "0", "ff2d:01:0000&ff2d:01:0001", "12x"}, 2, "bad value"},
      {{"items", "25"}, 1, "ERROR_INVALID_PARAMETER (87)"},
      {{"items", "3"}, 1, "cannot open the device at position 3"},
      {{"get", "0", "nonsense"}, 1, "ERROR_PATH_NOT_FOUND (3)"},
      {{"convert", "0", "ff2d:1:0&ff2d:2:0"}, 1, "ERROR_INSUFFICIENT_BUFFER (122)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.args), c.status) << err_.str();
    EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
  }
}

}  // namespace
}  // namespace tandril_test
