#include "wide_copy.h"

#include <gtest/gtest.h>

#include "hidhost/errors.h"

namespace hidhost {
namespace {

TEST(CopyWideString, NeedsRoomForTheTerminator) {
  wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
  EXPECT_TRUE(CopyWideString(L"abc", buffer, sizeof buffer));
  EXPECT_EQ(std::wstring(buffer), L"abc");
  EXPECT_FALSE(CopyWideString(L"abcd", buffer, sizeof buffer));
  EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
  EXPECT_EQ(std::wstring(buffer), L"abc");
  // A byte count that is not a whole number of characters rounds down.
  EXPECT_FALSE(CopyWideString(L"abc", buffer, sizeof buffer - 1));
  EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
  EXPECT_FALSE(CopyWideString(L"", nullptr, 16));
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
}

}  // namespace
}  // namespace hidhost
