// The setting dialog's number field: an integer from 0 to 255.
#include <gtest/gtest.h>

#include "utility/setting_field.h"

namespace utility {
namespace {

struct FieldCase {
  const char* text;
  bool ok;
  int value;
  std::string_view message;
};

class SettingFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(SettingFieldTest, ChecksTextAndRange) {
  const FieldCase& c = GetParam();
  const SettingFieldCheck check = CheckSettingField(c.text);
  EXPECT_EQ(check.ok, c.ok) << c.text;
  if (c.ok) {
    EXPECT_EQ(check.value, c.value);
  } else {
    EXPECT_EQ(check.message, c.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SettingFieldTest,
    ::testing::Values(FieldCase{"0", true, 0, {}}, FieldCase{"1", true, 1, {}},
                      FieldCase{"255", true, 255, {}}, FieldCase{" 42 ", true, 42, {}},
                      FieldCase{"+7", true, 7, {}}, FieldCase{"-0", true, 0, {}},
                      FieldCase{"256", false, 0, kOutOfRangeMessage},
                      FieldCase{"-1", false, 0, kOutOfRangeMessage},
                      FieldCase{"99999999999999999999", false, 0, kOutOfRangeMessage},
                      FieldCase{"abc", false, 0, kNotAnIntegerMessage},
                      FieldCase{"", false, 0, kNotAnIntegerMessage},
                      FieldCase{"  ", false, 0, kNotAnIntegerMessage},
                      FieldCase{"12a", false, 0, kNotAnIntegerMessage},
                      FieldCase{"1 2", false, 0, kNotAnIntegerMessage},
                      FieldCase{"0x10", false, 0, kNotAnIntegerMessage},
                      FieldCase{"-", false, 0, kNotAnIntegerMessage}));

}  // namespace
}  // namespace utility
