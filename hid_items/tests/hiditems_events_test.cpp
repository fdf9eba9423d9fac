// hiditems watch and strings against simulated devices.
#include "descriptor_builder.h"
#include "hiditems_fixture.h"
#include "tandril.h"

namespace tandril_test {
namespace {

class HidItemsEventsTest : public HidItemsTest {
 protected:
  // A device whose AC-present and charging bits change, then goes away.
  void SetUp() override {
    SimDevice d;
    d.descriptor = Descriptor()
                       .UsagePage(0x84).Usage(0x04).Collection(0x01)
                       .ReportId(1)
                       .UsagePage(0x85).Field(1, 1, 0, 1).Usage(0xD0).Input().Usage(0x44).Input()
                       .ReportCount(6).Input(kConst)
                       .EndCollection()
                       .bytes();
    d.inputs = {{1000, {1, 0x01}}, {500, {1, 0x03}}, {250, {1, 0x00}}};
    d.unplugAfterMs = 5000;
    d.manufacturer = L"Orvane Power";
    d.product = L"UPS \u00e9";
    Install({d});
  }
};

TEST_F(HidItemsEventsTest, WatchPrintsEachEventWithTheNewValueUntilReadsStop) {
  EXPECT_EQ(Run({"watch", "0"}), 1);
  EXPECT_EQ(out_.str(),
            "watching events 0xff; ends when input reports stop\n"
            "    1.000 s  0x01 AC present         0084:04:0000&0085:d0:0001 = 1\n"
            "    1.500 s  0x04 charging           0084:04:0000&0085:44:0001 = 1\n"
            "    1.750 s  0x01 AC present         0084:04:0000&0085:d0:0001 = 0\n"
            "    1.750 s  0x04 charging           0084:04:0000&0085:44:0001 = 0\n"
            "    5.000 s  0x40 read error         input reports stopped\n");
  EXPECT_NE(err_.str().find("stopped delivering input reports"), std::string::npos);
  EXPECT_EQ(CloseHIDDevice(1), 0);  // the command closed what it opened
}

TEST_F(HidItemsEventsTest, StringsShowsEachStringAndMarksMissingOnes) {
  EXPECT_EQ(Run({"strings", "0"}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "manufacturer: Orvane Power\n"
            "product: UPS \xc3\xa9\n"
            "serial number: -\n");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(HidItemsEventsTest, WatchEndsAfterTheTimeoutWhenNothingHappens) {
  SimDevice quiet;
  quiet.descriptor = Descriptor()
                         .UsagePage(0x84).Usage(0x04).Collection(0x01)
                         .ReportId(1)
                         .UsagePage(0x85).Field(8, 1, 0, 1).Usage(0xD0).Input()
                         .EndCollection()
                         .bytes();
  Install({quiet});
  const uint64_t start = clock_->NowMs();
  EXPECT_EQ(Run({"watch", "0", "--timeout", "2"}), 0) << err_.str();
  EXPECT_GE(clock_->NowMs() - start, 2000u);
}

TEST_F(HidItemsEventsTest, WatchMaskSelectsEventsAndBadMasksAreRefused) {
  EXPECT_EQ(Run({"watch", "0", "0x04"}), 1);
  EXPECT_EQ(out_.str().find("AC present"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("1.500 s  0x04 charging"), std::string::npos) << out_.str();
  EXPECT_EQ(Run({"watch", "0", "lots"}), 2);
  EXPECT_NE(err_.str().find("bad mask"), std::string::npos) << err_.str();
  EXPECT_EQ(Run({"strings", "0", "1"}), 2);
}

}  // namespace
}  // namespace tandril_test
