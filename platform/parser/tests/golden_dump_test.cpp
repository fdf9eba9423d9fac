// The text dump of a model is stable: descriptors in, the dumps stored under
// testdata/golden out. Set SUITE_UPDATE_GOLDEN=1 to rewrite them after an
// intended change, and review the difference.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "descriptor_text.h"
#include "sample_descriptors.h"  // Bytes

namespace hid::testing {
namespace {

std::filesystem::path TestData() {
  return std::filesystem::path(PARSER_TESTDATA_DIR);
}

std::string DumpAll(const Bytes& bytes) {
  const ParseResult result = ParseReportDescriptor(bytes.data(), bytes.size());
  if (!result.ok()) return "error: " + result.error + "\n";
  std::string out;
  for (size_t i = 0; i < result.collections.size(); ++i) {
    out += "## collection " + std::to_string(i) + "\n" + DumpPreparsedData(result.collections[i].get());
  }
  return out;
}

void CompareWithGolden(const std::string& name, const Bytes& bytes) {
  const std::string dump = DumpAll(bytes);
  const auto path = TestData() / "golden" / (name + ".txt");
  if (std::getenv("SUITE_UPDATE_GOLDEN")) {
    std::ofstream(path, std::ios::binary) << dump;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "missing " << path;
  std::stringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(dump, expected.str()) << name;
}

class GoldenRealDump : public ::testing::TestWithParam<const char*> {};

TEST_P(GoldenRealDump, MatchesStoredText) {
  std::vector<uint8_t> bytes;
  std::string error;
  const std::string name = GetParam();
  ASSERT_TRUE(LoadDescriptorFile((TestData() / "descriptors" / (name + ".hex")).string(), &bytes, &error)) << error;
  CompareWithGolden(name, bytes);
}

INSTANTIATE_TEST_SUITE_P(Descriptors, GoldenRealDump,
                         ::testing::Values("kbd_ite_06cb_2968", "mouse_xiaomi_mi_dongle", "ups_generic_5131_2007",
                                           "headset_plantronics_bw3220_ffa0_tlc"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace hid::testing
