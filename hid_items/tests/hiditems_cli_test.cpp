// The hiditems command line against simulated devices.
#include <sstream>

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
  // Usage 02 is none of the event usages: watch would find nothing to watch.
  EXPECT_EQ(items.find("events"), std::string::npos) << items;
  EXPECT_EQ(CloseHIDDevice(1), 0);  // the command closed what it opened
}

TEST_F(HidItemsCliTest, GetsSetsAndConverts) {
  ASSERT_EQ(Run({"get", "0", "ff2d:01:0000&ff2d:01:0001"}), 0) << err_.str();
  EXPECT_EQ(out_.str(), "51\n");
  // Decimal or 0x hexadecimal, never octal.
  for (const auto& [value, report] : {std::pair{"0x41", "SET_FEATURE 01 41"},
                                      std::pair{"010", "SET_FEATURE 01 0A"},
                                      std::pair{"09", "SET_FEATURE 01 09"}}) {
    ASSERT_EQ(Run({"set", "00", "ff2d:01:0000&ff2d:01:0001", value}), 0) << err_.str();
    EXPECT_EQ(Requests("SET_FEATURE").back(), report);
  }
  // Short fields as get takes them; the canonical text is longer.
  for (const char* ordinal : {"ff2d:01:0000&ff2d:02:0000", "ff2d:1:0&ff2d:2:0"}) {
    ASSERT_EQ(Run({"convert", "0", ordinal}), 0) << err_.str();
    EXPECT_EQ(out_.str(), "ff2d:01:0000&ff2d:02:0001\n");
  }
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
      {{"set", "0", "ff2d:01:0000&ff2d:01:0001", "0x"}, 2, "bad value"},
      {{"get", "0", "ff2d:01:0000&ff2d:09:0001"}, 1, "cannot read ff2d:01:0000&ff2d:09:0001: no item has this path"},
      {{"watch", "0"}, 1, "no input item of this device raises events"},
      {{"watch", "0", "--json"}, 2, "no --json"},
      {{"items", "25"}, 1, "ERROR_INVALID_PARAMETER (87)"},
      {{"items", "3"}, 1, "cannot open the device at position 3"},
      {{"get", "0", "nonsense"}, 1, "ERROR_PATH_NOT_FOUND (3)"},
      {{"convert", "0", "ff2d:1:0&ff2d:3:0"}, 1, "no item matches this path"},
      // Listed by items, but no input report has come yet.
      {{"get", "0", "ff2d:01:0000&ff2d:02:0001"}, 1, "an input item, whose value comes only with the device's input reports"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.args), c.status) << err_.str();
    EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
  }
}

TEST_F(HidItemsCliTest, HelpGoesToStdout) {
  const std::vector<std::string> asks[] = {{"--help"}, {"-h"}, {"help"}, {"get", "--help"},
                                           {"help", "watch"}};
  for (const auto& args : asks) {
    EXPECT_EQ(Run(args), 0) << args[0];
    EXPECT_TRUE(out_.str().starts_with("usage:")) << out_.str();
    EXPECT_EQ(err_.str(), "");
  }
  Run({"help", "watch"});
  EXPECT_NE(out_.str().find("--timeout SECONDS"), std::string::npos) << out_.str();
}

TEST_F(HidItemsCliTest, JsonOutputs) {
  ASSERT_EQ(Run({"list", "--json"}), 0);
  EXPECT_NE(out_.str().find(R"("position":0,"product_id":512,"vendor_id":7262,"version":261)"),
            std::string::npos) << out_.str();
  ASSERT_EQ(Run({"--json", "get", "0", "ff2d:01:0000&ff2d:01:0001"}), 0);
  EXPECT_EQ(out_.str(), "{\"path\":\"ff2d:01:0000&ff2d:01:0001\",\"value\":51}\n");
  ASSERT_EQ(Run({"items", "0", "--json"}), 0);
  EXPECT_NE(out_.str().find(R"("kind":"feature value")"), std::string::npos) << out_.str();
  ASSERT_EQ(Run({"strings", "0", "--json"}), 0);
  EXPECT_TRUE(out_.str().starts_with("{\"manufacturer\":")) << out_.str();
  // Errors too, and -- ends the options: --json after it is a path.
  ASSERT_EQ(Run({"--json", "get", "0", "--", "--json"}), 1);
  EXPECT_EQ(out_.str(), "{\"command\":\"get\",\"error\":\"cannot read --json: ERROR_PATH_NOT_FOUND (3)\","
                        "\"exit_code\":1}\n");
  ASSERT_EQ(Run({"--version"}), 0);
  EXPECT_TRUE(out_.str().starts_with("hiditems ")) << out_.str();
}

// A value is checked against the item's logical range before anything is
// written; a range written unsigned in too few bytes (0..255 as 0..-1) is
// read unsigned.
TEST_F(HidItemsCliTest, SetRefusesValuesOutsideTheLogicalRange) {
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0x84).Usage(0x04).Collection(0x01)
                     .ReportId(2).Field(16, 1, 0, 100).Usage(0x30).Feature()
                     .ReportId(3).Field(8, 1, 0, -1).Usage(0x31).Feature()
                     .EndCollection()
                     .bytes();
  Install({d});
  const struct {
    const char* path;
    const char* value;
    int status;
    const char* written;  // the last SET_FEATURE, "" for none
  } cases[] = {
      {"84:4:0&84:30:2", "300", 2, ""},
      {"84:4:0&84:30:2", "70000", 2, ""},
      {"84:4:0&84:30:2", "-1", 2, ""},
      {"84:4:0&84:30:2", "100", 0, "SET_FEATURE 02 64 00"},
      {"84:4:0&84:31:3", "255", 0, "SET_FEATURE 03 FF 00"},
      {"84:4:0&84:31:3", "256", 2, ""},
  };
  for (const auto& c : cases) {
    const size_t before = Requests("SET_FEATURE").size();
    EXPECT_EQ(Run({"set", "0", c.path, c.value}), c.status) << c.value << " " << err_.str();
    const auto sent = Requests("SET_FEATURE");
    if (c.written[0] == '\0') {
      EXPECT_EQ(sent.size(), before) << c.value;
      EXPECT_NE(err_.str().find("outside the logical range"), std::string::npos) << err_.str();
    } else {
      ASSERT_EQ(sent.size(), before + 1) << c.value;
      EXPECT_EQ(sent.back(), c.written);
    }
  }
}

// Seven collection levels make a path longer than get takes; the unit
// exponent nibble 0xE is -2.
TEST_F(HidItemsCliTest, ItemsMarksLongPathsAndAlignsColumns) {
  SimDevice d;
  Descriptor deep;
  deep.UsagePage(0xFF00).Usage(0x01).Collection(0x01);
  for (int level = 0; level < 6; ++level) deep.Usage(0x02).Collection(0x02);
  deep.ReportId(1).Field(8, 1, 0, 255).UnitExponent(0x0E).Usage(0x03).Feature();
  for (int level = 0; level < 7; ++level) deep.EndCollection();
  d.descriptor = deep.bytes();
  Install({d});
  ASSERT_EQ(Run({"items", "0"}), 0) << err_.str();
  std::istringstream lines(out_.str());
  std::string header, row, note;
  std::getline(lines, header);
  std::getline(lines, row);
  std::getline(lines, note);
  EXPECT_EQ(header.find("KIND"), row.find("feature value")) << out_.str();
  EXPECT_EQ(header.find("EXP"), row.find("-2")) << out_.str();
  EXPECT_NE(row.find("0001 *"), std::string::npos) << row;
  EXPECT_NE(note.find("longer than 79 characters"), std::string::npos) << note;
}

// An item nested too deep for its path to be written is listed without one,
// and the walk goes on: the items after it are listed and found by path.
TEST_F(HidItemsCliTest, AnItemTooDeepToNameHidesNoItemAfterIt) {
  SimDevice d;
  Descriptor desc;
  desc.UsagePage(0xFF00).Usage(0x01).Collection(0x01);
  for (int level = 0; level < 18; ++level) desc.Usage(0x02).Collection(0x02);
  desc.ReportId(2).Field(8, 1, 0, 255).Usage(0x03).Feature();
  for (int level = 0; level < 18; ++level) desc.EndCollection();
  desc.Usage(0x05).Collection(0x02).ReportId(1).Field(8, 1, 0, 255).Usage(0x04).Feature();
  desc.EndCollection().EndCollection();
  d.descriptor = desc.bytes();
  Install({d});
  ASSERT_EQ(Run({"items", "0"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("(collection path too deep to write)"), std::string::npos) << out_.str();
  EXPECT_LT(out_.str().find("(collection path too deep to write)"), out_.str().find("ff00:04:"))
      << out_.str();
  EXPECT_EQ(Run({"get", "0", "ff00:01:0000&ff00:05:0013&ff00:04:0001"}), 0) << err_.str();
}

}  // namespace
}  // namespace tandril_test
