#include "hiditems_cli.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "hidhost/errors.h"
#include "hiditems_events.h"
#include "tandril.h"

namespace hiditems {

std::string CodeText(uint32_t code) {
  const char* name = nullptr;
  switch (code) {
    case 206: name = "ERROR_FILENAME_EXCED_RANGE"; break;
    case 259: name = "ERROR_NO_MORE_ITEMS"; break;
    default: name = hidhost::ErrorName(code); break;
  }
  return std::string(name) + " (" + std::to_string(code) + ")";
}

namespace {

const char* kUsage =
    "usage: hiditems list\n"
    "       hiditems items POS\n"
    "       hiditems get POS PATH\n"
    "       hiditems set POS PATH VALUE\n"
    "       hiditems convert POS ORDINAL-PATH\n"
    "       hiditems watch POS [MASK]\n"
    "       hiditems strings POS\n";

int Fail(std::ostream& err, const std::string& what) {
  err << "hiditems: " << what << ": " << CodeText(GetLastHIDError()) << "\n";
  return 1;
}

int BadUsage(std::ostream& err, const std::string& why) {
  err << "hiditems: " << why << "\n" << kUsage;
  return 2;
}

std::optional<unsigned long> ParseUnsigned(const std::string& text, unsigned long max) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const unsigned long v = std::strtoul(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || v > max) return std::nullopt;
  return v;
}

// Decimal or 0x-prefixed hexadecimal; negative values and values up to
// 0xFFFFFFFF (taken as their 32-bit pattern) are accepted.
std::optional<int32_t> ParseValue(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || v < INT32_MIN || v > static_cast<long long>(UINT32_MAX)) {
    return std::nullopt;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(v));
}

std::string KindText(uint32_t flags) {
  std::string kind = (flags & TANDRIL_FLAG_FEATURE) ? "feature"
                     : (flags & TANDRIL_FLAG_INPUT) ? "input"
                                                    : "output";
  return kind + ((flags & TANDRIL_FLAG_BUTTON) ? " button" : " value");
}

std::string FlagsText(uint32_t flags) {
  static const struct {
    uint32_t bit;
    const char* name;
  } kNames[] = {{TANDRIL_FLAG_DATA, "data"},           {TANDRIL_FLAG_HAS_STRING, "string"},
                {TANDRIL_FLAG_NUMERIC, "numeric"},     {TANDRIL_FLAG_EVENT_SOURCE, "events"}};
  std::string text;
  for (const auto& n : kNames) {
    if (flags & n.bit) text += (text.empty() ? "" : ",") + std::string(n.name);
  }
  return text.empty() ? "-" : text;
}

int List(std::ostream& out, std::ostream& err) {
  char line[80];
  out << "POS  VID  PID  VERSION\n";
  for (uint32_t pos = 0; pos <= UINT16_MAX; ++pos) {
    HIDDeviceAttributes a{};
    if (!EnumHIDDevices(static_cast<uint16_t>(pos), &a)) {
      if (GetLastHIDError() == 1248) return 0;  // past the last device
      return Fail(err, "the list ends early: the attributes of the device at position " +
                           std::to_string(pos) + " cannot be read");
    }
    std::snprintf(line, sizeof line, "%3u  %04x %04x %04x\n", pos, a.VendorID, a.ProductID,
                  a.VersionNumber);
    out << line;
  }
  return 0;
}

// Opens the device at `position` for the lifetime of the object.
class OpenDevice {
 public:
  explicit OpenDevice(uint16_t position) : handle_(OpenHIDDevice(position)) {}
  ~OpenDevice() {
    if (handle_) CloseHIDDevice(handle_);
  }
  OpenDevice(const OpenDevice&) = delete;
  OpenDevice& operator=(const OpenDevice&) = delete;
  uint32_t handle() const { return handle_; }

 private:
  uint32_t handle_;
};

int Items(uint32_t device, std::ostream& out, std::ostream& err) {
  char line[512];
  out << "INDEX  PATH                                      KIND            FLAGS               "
         "UNITS     EXP  MIN..MAX  REPORT\n";
  for (uint32_t index = 0; index <= UINT16_MAX; ++index) {
    char path[256];
    uint16_t size = sizeof path;
    ItemInfo info{};
    SetLastHIDError(0);
    if (!GetItemByIndex(device, static_cast<uint16_t>(index), path, &size, &info)) {
      if (GetLastHIDError() == 0) return 0;  // past the last item
      if (GetLastHIDError() == 206) {         // too deep to be named; the rest still is
        out << std::to_string(index) << "  (collection path too deep to write)\n";
        continue;
      }
      return Fail(err, "cannot describe item " + std::to_string(index));
    }
    std::snprintf(line, sizeof line, "%5u  %-40s  %-14s  %-18s  %08" PRIx32 "  %3u  %" PRId32
                  "..%" PRId32 "  %u\n",
                  index, path, KindText(info.Flags).c_str(), FlagsText(info.Flags).c_str(),
                  info.Units, info.UnitExponent, info.LogicalMinimum, info.LogicalMaximum,
                  info.ReportID);
    out << line;
  }
  return 0;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return BadUsage(err, "no command given");
  const std::string& command = args[0];
  if (command == "list") {
    if (args.size() != 1) return BadUsage(err, "list takes no arguments");
    return List(out, err);
  }

  const size_t expected = (command == "items" || command == "strings") ? 2
                          : (command == "get" || command == "convert")  ? 3
                          : command == "set"                            ? 4
                          : command == "watch"                          ? 3
                                                                        : 0;
  if (expected == 0) return BadUsage(err, "unknown command '" + command + "'");
  // watch takes its mask optionally.
  const bool argumentsFit =
      args.size() == expected || (command == "watch" && args.size() == expected - 1);
  if (!argumentsFit) return BadUsage(err, "wrong number of arguments for " + command);
  const auto position = ParseUnsigned(args[1], UINT16_MAX);
  if (!position) return BadUsage(err, "bad position '" + args[1] + "'");
  std::optional<int32_t> value;
  if (command == "set") {
    value = ParseValue(args[3]);
    if (!value) return BadUsage(err, "bad value '" + args[3] + "'");
  }
  unsigned long mask = 0xFF;  // every event code
  if (command == "watch" && args.size() == 3) {
    const auto given = ParseUnsigned(args[2], UINT32_MAX);
    if (!given) return BadUsage(err, "bad mask '" + args[2] + "'");
    mask = *given;
  }

  OpenDevice device(static_cast<uint16_t>(*position));
  if (!device.handle()) return Fail(err, "cannot open the device at position " + args[1]);

  if (command == "items") return Items(device.handle(), out, err);
  if (command == "watch") return Watch(device.handle(), static_cast<uint32_t>(mask), out, err);
  if (command == "strings") return Strings(device.handle(), out, err);
  if (command == "get") {
    int32_t v = 0;
    if (!GetItemValue(device.handle(), args[2].c_str(), &v)) return Fail(err, "cannot read " + args[2]);
    out << v << "\n";
    return 0;
  }
  if (command == "set") {
    if (!SetItemValue(device.handle(), args[2].c_str(), *value)) {
      return Fail(err, "cannot write " + args[2]);
    }
    return 0;
  }
  std::vector<char> text(args[2].begin(), args[2].end());
  text.push_back('\0');
  if (!ConvertItemPath(device.handle(), text.data())) return Fail(err, "cannot convert " + args[2]);
  out << text.data() << "\n";
  return 0;
}

}  // namespace hiditems
