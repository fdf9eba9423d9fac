#include "keyboard_typing.h"

#include <cstring>

namespace hidhost::uhid {

namespace {

constexpr uint8_t kLeftShift = 0x02;  // modifier bit of Left Shift
constexpr size_t kBootReportBytes = 8;

struct Key {
  uint8_t usage = 0;  // 0: no key on the layout
  bool shift = false;
};

// Keys of the punctuation row and block, unshifted and shifted, by usage.
constexpr struct {
  char plain, shifted;
  uint8_t usage;
} kPunctuation[] = {
    {'-', '_', 0x2D}, {'=', '+', 0x2E}, {'[', '{', 0x2F}, {']', '}', 0x30}, {'\\', '|', 0x31},
    {';', ':', 0x33}, {'\'', '"', 0x34}, {'`', '~', 0x35}, {',', '<', 0x36}, {'.', '>', 0x37},
    {'/', '?', 0x38},
};

Key KeyOf(char c) {
  if (c >= 'a' && c <= 'z') return {static_cast<uint8_t>(0x04 + (c - 'a')), false};
  if (c >= 'A' && c <= 'Z') return {static_cast<uint8_t>(0x04 + (c - 'A')), true};
  if (c >= '1' && c <= '9') return {static_cast<uint8_t>(0x1E + (c - '1')), false};
  static const char kShiftedDigits[] = "!@#$%^&*(";
  if (const char* p = std::strchr(kShiftedDigits, c); p != nullptr && c != '\0') {
    return {static_cast<uint8_t>(0x1E + (p - kShiftedDigits)), true};
  }
  switch (c) {
    case '0': return {0x27, false};
    case ')': return {0x27, true};
    case '\r':
    case '\n': return {0x28, false};
    case '\t': return {0x2B, false};
    case ' ': return {0x2C, false};
    default: break;
  }
  for (const auto& p : kPunctuation) {
    if (c == p.plain) return {p.usage, false};
    if (c == p.shifted) return {p.usage, true};
  }
  return {};
}

}  // namespace

bool IsBootKeyboard(hid::PHIDP_PREPARSED_DATA pp, bool usesReportIds) {
  hid::HIDP_CAPS caps{};
  if (usesReportIds || hid::HidP_GetCaps(pp, &caps) != hid::HIDP_STATUS_SUCCESS) return false;
  return caps.UsagePage == 0x01 && caps.Usage == 0x06 &&
         caps.InputReportByteLength == kBootReportBytes + 1;
}

std::vector<std::vector<uint8_t>> KeyboardReports(const std::string& text) {
  std::vector<std::vector<uint8_t>> reports;
  for (const char c : text) {
    const Key key = KeyOf(c);
    if (key.usage == 0) continue;
    std::vector<uint8_t> press(kBootReportBytes, 0);
    press[0] = key.shift ? kLeftShift : 0;
    press[2] = key.usage;
    reports.push_back(std::move(press));
    reports.emplace_back(kBootReportBytes, 0);
  }
  return reports;
}

}  // namespace hidhost::uhid
