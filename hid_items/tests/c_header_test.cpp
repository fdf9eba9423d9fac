// The public header seen from C (c_header.c) agrees with C++.
#include <cstddef>

#include "descriptor_builder.h"
#include "sim_fixture.h"
#include "tandril.h"

extern "C" size_t c_item_info_layout(size_t* flagsOffset, size_t* reportIdOffset);
extern "C" int c_first_item(char* path, uint16_t capacity, uint32_t* flags);

namespace tandril_test {
namespace {

class CHeaderTest : public SimHostTest {};

TEST_F(CHeaderTest, RecordsHaveOneLayoutInCAndCpp) {
  size_t flags = 0, reportId = 0;
  EXPECT_EQ(c_item_info_layout(&flags, &reportId), sizeof(ItemInfo));
  EXPECT_EQ(flags, offsetof(ItemInfo, Flags));
  EXPECT_EQ(reportId, offsetof(ItemInfo, ReportID));
}

TEST_F(CHeaderTest, CClientListsAnItem) {
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0xFF00).Usage(0x01).Collection(0x01)
                     .Field(8, 1, 0, 255).Usage(0x07).Input()
                     .EndCollection()
                     .bytes();
  Install({d});
  char path[64] = {};
  uint32_t flags = 0;
  ASSERT_EQ(c_first_item(path, sizeof path, &flags), 1);
  EXPECT_STREQ(path, "ff00:01:0000&ff00:07:0000");
  EXPECT_EQ(flags, TANDRIL_FLAG_INPUT);
}

}  // namespace
}  // namespace tandril_test
