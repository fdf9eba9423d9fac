#include "hiditems_cli.h"

#include <cinttypes>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "hidhost/errors.h"
#include "hiditems_events.h"
#include "hiditems_paths.h"
#include "hiditems_walk.h"
#include "tandril.h"
#include "text/number_text.h"

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

struct CommandHelp {
  const char* name;
  const char* usage;
  const char* text;
};

constexpr CommandHelp kCommands[] = {
    {"list", "hiditems list [--json]",
     "Lists the HID interfaces: position, vendor ID, product ID and version.\n"},
    {"items", "hiditems items POS [--json]",
     "Lists every item of the device at POS: index, canonical path, kind, flags, units,\n"
     "unit exponent, logical range and report ID. A path marked * is longer than 79\n"
     "characters; get, set and convert refuse it.\n"},
    {"get", "hiditems get POS PATH [--json]",
     "Reads a feature item's value. An input item's value comes only with the device's\n"
     "input reports, which get does not read; watch shows the changes of those that raise\n"
     "events.\n"},
    {"set", "hiditems set POS PATH VALUE",
     "Writes a numeric feature or output item: one report with this field set and the\n"
     "others 0. VALUE may be negative; one outside the item's logical range (see items)\n"
     "is refused with status 2 and nothing is written.\n"},
    {"convert", "hiditems convert POS ORDINAL-PATH",
     "Prints the canonical path of an ordinal path (numbers count among siblings of the\n"
     "same usage page and usage, input items first). Fields may be written short\n"
     "(84:4:0&84:30:0).\n"},
    {"watch", "hiditems watch POS [MASK] [--timeout SECONDS]",
     "Prints the events in MASK (default 0xff) as they come, with the items' new values.\n"
     "Ends with status 1 when the device stops delivering input reports or when none of\n"
     "its input items can raise events; with --timeout, with status 0 after SECONDS.\n"},
    {"strings", "hiditems strings POS [--json]",
     "Prints the manufacturer, product and serial-number strings; \"-\" for a string the\n"
     "device does not have.\n"},
};

constexpr const char* kNumbers =
    "POS, VALUE, MASK and SECONDS are decimal or 0x hexadecimal. --json prints results and\n"
    "errors as JSON; --version the version; -- ends the options.\n";

const CommandHelp* FindCommand(const std::string& name) {
  for (const CommandHelp& command : kCommands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

void PrintUsage(std::ostream& out) {
  out << "usage:";
  for (const CommandHelp& command : kCommands) {
    out << (&command == kCommands ? " " : "       ") << command.usage << "\n";
  }
  out << kNumbers << "hiditems COMMAND --help describes a command.\n";
}

// Where a command's results and errors go. An error is one line on stderr
// and, with --json, also a JSON object on stdout.
struct Reply {
  std::ostream& out;
  std::ostream& err;
  bool json = false;
  std::string command;

  int Error(int status, const std::string& message) const {
    err << "hiditems: " << message << "\n";
    if (json) {
      out << nlohmann::json{{"command", command}, {"exit_code", status}, {"error", message}}.dump(
                 -1, ' ', false, nlohmann::json::error_handler_t::replace)
          << "\n";
    }
    return status;
  }
};

int Fail(const Reply& reply, const std::string& what, const char* whenNoCode = nullptr) {
  const uint32_t code = GetLastHIDError();
  return reply.Error(1, what + ": " + (code == 0 && whenNoCode != nullptr ? whenNoCode : CodeText(code)));
}

int BadUsage(const Reply& reply, const std::string& why) {
  reply.Error(2, why);
  PrintUsage(reply.err);
  return 2;
}

std::optional<unsigned long> ParseUnsigned(const std::string& text, unsigned long max) {
  const auto v = hidhost::ReadDecimalOrHex(text, max);
  if (!v) return std::nullopt;
  return static_cast<unsigned long>(*v);
}

// Decimal or 0x-prefixed hexadecimal, with an optional minus sign; values
// from INT32_MIN up to 0xFFFFFFFF.
std::optional<int64_t> ParseValue(const std::string& text) {
  const bool negative = text.starts_with('-');
  const auto v = hidhost::ReadDecimalOrHex(std::string_view(text).substr(negative ? 1 : 0),
                                negative ? uint64_t{1} << 31 : UINT32_MAX);
  if (!v) return std::nullopt;
  return negative ? -static_cast<int64_t>(*v) : static_cast<int64_t>(*v);
}

// The logical range an item's field holds. A maximum below a non-negative
// minimum was written unsigned in a field the parser reads signed (0..255
// as 0..-1): it is taken as the unsigned number of the narrowest field
// that holds it.
std::pair<int64_t, int64_t> LogicalRange(const ItemInfo& info) {
  int64_t max = info.LogicalMaximum;
  if (info.LogicalMinimum >= 0 && max < 0) {
    max += max >= INT8_MIN ? 0x100 : max >= INT16_MIN ? 0x10000 : int64_t{1} << 32;
  }
  return {info.LogicalMinimum, max};
}

std::string KindText(uint32_t flags) {
  std::string kind = (flags & TANDRIL_FLAG_FEATURE) ? "feature"
                     : (flags & TANDRIL_FLAG_INPUT) ? "input"
                                                    : "output";
  return kind + ((flags & TANDRIL_FLAG_BUTTON) ? " button" : " value");
}

// An item that can raise an event watch prints, not every input item that
// the library lets raise one.
bool ItemRaisesEvents(const ItemInfo& info, const std::string& path) {
  const auto usage = PathUsage(path);
  return (info.Flags & TANDRIL_FLAG_EVENT_SOURCE) && usage && RaisesEvents(*usage, info.ReportID);
}

std::string FlagsText(const ItemInfo& info, const std::string& path) {
  const bool events = ItemRaisesEvents(info, path);
  static const struct {
    uint32_t bit;
    const char* name;
  } kNames[] = {{TANDRIL_FLAG_DATA, "data"},
                {TANDRIL_FLAG_HAS_STRING, "string"},
                {TANDRIL_FLAG_NUMERIC, "numeric"}};
  std::string text;
  for (const auto& n : kNames) {
    if (info.Flags & n.bit) text += (text.empty() ? "" : ",") + std::string(n.name);
  }
  if (events) text += (text.empty() ? "" : ",") + std::string("events");
  return text.empty() ? "-" : text;
}

int List(const Reply& reply) {
  const bool json = reply.json;
  std::ostream& out = reply.out;
  nlohmann::json devices = nlohmann::json::array();
  char line[80];
  if (!json) out << "POS  VID  PID  VERSION\n";
  for (uint32_t pos = 0; pos <= UINT16_MAX; ++pos) {
    HIDDeviceAttributes a{};
    if (!EnumHIDDevices(static_cast<uint16_t>(pos), &a)) {
      if (GetLastHIDError() == 1248) break;  // past the last device
      return Fail(reply, "the list ends early: the attributes of the device at position " +
                           std::to_string(pos) + " cannot be read");
    }
    if (json) {
      devices.push_back({{"position", pos}, {"vendor_id", a.VendorID}, {"product_id", a.ProductID},
                         {"version", a.VersionNumber}});
      continue;
    }
    std::snprintf(line, sizeof line, "%3u  %04x %04x %04x\n", pos, a.VendorID, a.ProductID,
                  a.VersionNumber);
    out << line;
  }
  if (json) out << nlohmann::json{{"devices", devices}}.dump() << "\n";
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

// The longest path text that get, set and convert take.
constexpr size_t kMaxPathText = 79;

// The unit exponent as the descriptor means it: a 4-bit two's complement
// number (0x0E is -2); a whole signed byte is taken as it stands.
int UnitExponent(uint16_t field) {
  const int byte = static_cast<int8_t>(field & 0xFF);
  return byte >= 8 && byte <= 15 ? byte - 16 : byte;
}

int Items(uint32_t device, const Reply& reply) {
  const bool json = reply.json;
  std::ostream& out = reply.out;
  nlohmann::json items = nlohmann::json::array();
  std::vector<std::vector<std::string>> rows = {
      {"INDEX", "PATH", "KIND", "FLAGS", "UNITS", "EXP", "MIN..MAX", "REPORT"}};
  bool anyTooLong = false;
  uint16_t failed = 0;
  const WalkEnd end = WalkItems(device, [&](const WalkedItem& item) {
    const uint16_t index = item.index;
    if (item.path == nullptr) {  // too deep to be named; the rest still is
      rows.push_back({std::to_string(index), "(collection path too deep to write)"});
      items.push_back({{"index", index}, {"path", nullptr}});
      return true;
    }
    const char* path = item.path;
    const ItemInfo& info = item.info;
    const bool tooLong = std::strlen(path) > kMaxPathText;
    anyTooLong = anyTooLong || tooLong;
    char units[16];
    std::snprintf(units, sizeof units, "%08" PRIx32, info.Units);
    rows.push_back({std::to_string(index), std::string(path) + (tooLong ? " *" : ""),
                    KindText(info.Flags), FlagsText(info, path), units,
                    std::to_string(UnitExponent(info.UnitExponent)),
                    std::to_string(info.LogicalMinimum) + ".." + std::to_string(info.LogicalMaximum),
                    std::to_string(info.ReportID)});
    items.push_back({{"index", index}, {"path", path}, {"path_too_long", tooLong},
                     {"kind", KindText(info.Flags)}, {"flags", info.Flags & 0xFF},
                     {"raises_events", ItemRaisesEvents(info, path)},
                     {"units", info.Units}, {"unit_exponent", UnitExponent(info.UnitExponent)},
                     {"logical_minimum", info.LogicalMinimum},
                     {"logical_maximum", info.LogicalMaximum}, {"report_id", info.ReportID}});
    return true;
  }, &failed);
  if (end == WalkEnd::kFailed) return Fail(reply, "cannot describe item " + std::to_string(failed));
  if (json) {
    out << nlohmann::json{{"items", items}}.dump() << "\n";
    return 0;
  }
  std::vector<size_t> widths(rows[0].size(), 0);
  for (const auto& row : rows) {
    if (row.size() != widths.size()) continue;  // a too-deep item spans the line
    for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  for (const auto& row : rows) {
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) {
      // The index is right-aligned, the rest left-aligned.
      const size_t pad = widths[i] > row[i].size() ? widths[i] - row[i].size() : 0;
      if (i == 0) line += std::string(pad, ' ') + row[i];
      if (i > 0) line += "  " + row[i] + (i + 1 < row.size() ? std::string(pad, ' ') : "");
    }
    out << line << "\n";
  }
  if (anyTooLong) {
    out << "* longer than " << kMaxPathText << " characters: get, set and convert refuse it\n";
  }
  return 0;
}

struct CommandLine {
  std::vector<std::string> words;
  bool help = false;
  bool version = false;
  bool json = false;
  std::optional<std::string> timeout;
  std::string error;
};

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded) {
      line.words.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--version") {
      line.version = true;
    } else if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--json") {
      line.json = true;
    } else if (arg == "--timeout") {
      if (i + 1 == args.size()) {
        line.error = "--timeout needs a number of seconds";
        return line;
      }
      line.timeout = args[++i];
    } else {
      line.words.push_back(arg);
    }
  }
  return line;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandLine line = ParseCommandLine(args);
  Reply reply{out, err, line.json, line.words.empty() ? "" : line.words[0]};
  if (!line.error.empty()) return BadUsage(reply, line.error);
  if (line.version) {
    out << "hiditems " << SUITE_VERSION << "\n";
    return 0;
  }
  if (line.help || (!line.words.empty() && line.words[0] == "help")) {
    const bool named = !line.words.empty() && line.words[0] != "help";
    const std::string name = named ? line.words[0] : line.words.size() > 1 ? line.words[1] : "";
    if (const CommandHelp* command = FindCommand(name)) {
      out << "usage: " << command->usage << "\n" << command->text << kNumbers;
    } else {
      PrintUsage(out);
    }
    return 0;
  }
  if (line.words.empty()) return BadUsage(reply, "no command given");
  const std::vector<std::string>& words = line.words;
  const std::string& command = words[0];
  if (FindCommand(command) == nullptr) return BadUsage(reply, "unknown command '" + command + "'");
  const bool takesJson = command == "list" || command == "items" || command == "get" ||
                         command == "strings";
  if (line.json && !takesJson) return BadUsage(reply, command + " has no --json output");
  if (line.timeout && command != "watch") return BadUsage(reply, "only watch takes --timeout");
  if (command == "list") {
    if (words.size() != 1) return BadUsage(reply, "list takes no arguments");
    return List(reply);
  }

  const size_t expected = (command == "items" || command == "strings") ? 2
                          : (command == "get" || command == "convert")  ? 3
                          : command == "set"                            ? 4
                                                                        : 3;  // watch
  // watch takes its mask optionally.
  const bool argumentsFit =
      words.size() == expected || (command == "watch" && words.size() == expected - 1);
  if (!argumentsFit) return BadUsage(reply, "wrong number of arguments for " + command);
  const auto position = ParseUnsigned(words[1], UINT16_MAX);
  if (!position) return BadUsage(reply, "bad position '" + words[1] + "'");
  std::optional<int64_t> value;
  if (command == "set") {
    value = ParseValue(words[3]);
    if (!value) return BadUsage(reply, "bad value '" + words[3] + "'");
  }
  WatchOptions watch;
  if (command == "watch" && words.size() == 3) {
    const auto given = ParseUnsigned(words[2], UINT32_MAX);
    if (!given) return BadUsage(reply, "bad mask '" + words[2] + "'");
    watch.mask = static_cast<uint32_t>(*given);
  }
  if (line.timeout) {
    const auto seconds = ParseUnsigned(*line.timeout, UINT32_MAX / 1000);
    if (!seconds) return BadUsage(reply, "bad timeout '" + *line.timeout + "'");
    watch.timeoutMs = static_cast<uint64_t>(*seconds) * 1000;
  }

  OpenDevice device(static_cast<uint16_t>(*position));
  if (!device.handle()) return Fail(reply, "cannot open the device at position " + words[1]);

  if (command == "items") return Items(device.handle(), reply);
  if (command == "watch") return Watch(device.handle(), watch, out, err);
  if (command == "strings") return Strings(device.handle(), line.json, out, err);
  const std::string& path = words[2];
  SetLastHIDError(0);
  if (command == "get") {
    int32_t v = 0;
    if (!GetItemValue(device.handle(), path.c_str(), &v)) {
      const auto input = GetLastHIDError() == 0
                             ? FindListedItem(device.handle(), path, TANDRIL_FLAG_INPUT)
                             : std::nullopt;
      if (input) {
        return reply.Error(1, "cannot read " + path +
                                  ": an input item, whose value comes only with the device's "
                                  "input reports, which get does not read" +
                                  (ItemRaisesEvents(input->info, input->path)
                                       ? "; 'hiditems watch " + words[1] + "' shows its changes"
                                       : ""));
      }
      return Fail(reply, "cannot read " + path, "no item has this path");
    }
    if (line.json) {
      out << nlohmann::json{{"path", path}, {"value", v}}.dump() << "\n";
    } else {
      out << v << "\n";
    }
    return 0;
  }
  if (command == "set") {
    const auto item = FindListedItem(device.handle(), path, TANDRIL_FLAG_FEATURE | TANDRIL_FLAG_OUTPUT);
    if (item) {
      const auto [min, max] = LogicalRange(item->info);
      if (*value < min || *value > max) {
        return reply.Error(2, "value " + words[3] + " is outside the logical range " +
                                      std::to_string(min) + ".." + std::to_string(max) + " of " +
                                      item->path + "; nothing was written");
      }
    }
    SetLastHIDError(0);
    if (!SetItemValue(device.handle(), path.c_str(),
                      static_cast<int32_t>(static_cast<uint32_t>(*value)))) {
      return Fail(reply, "cannot write " + path, "no numeric feature or output item has this path");
    }
    return 0;
  }
  // The canonical path is written with full-width fields; given in the same
  // width, it converts in place.
  const std::string full = FullWidthPath(path);
  std::vector<char> text(full.begin(), full.end());
  text.push_back('\0');
  if (!ConvertItemPath(device.handle(), text.data())) {
    return Fail(reply, "cannot convert " + path, "no item matches this path");
  }
  out << text.data() << "\n";
  return 0;
}

}  // namespace hiditems
