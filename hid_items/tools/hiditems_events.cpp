#include "hiditems_events.h"

#include <algorithm>
#include <condition_variable>
#include <iterator>
#include <cstdio>
#include <mutex>
#include <tuple>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "hiditems_walk.h"
#include "hidhost/errors.h"
#include "hidhost/host.h"
#include "text/wide_text.h"
#include "tandril.h"

namespace hiditems {

namespace {

struct EventName {
  uint32_t code;
  uint8_t usage;  // 0 for the read-error event
  const char* name;
};

constexpr EventName kEvents[] = {
    {TANDRIL_EVENT_AC_PRESENT, 0xD0, "AC present"},
    {TANDRIL_EVENT_BELOW_CAPACITY, 0x42, "below capacity"},
    {TANDRIL_EVENT_CHARGING, 0x44, "charging"},
    {TANDRIL_EVENT_DISCHARGING, 0x45, "discharging"},
    {TANDRIL_EVENT_SHUTDOWN_IMMINENT, 0x69, "shutdown imminent"},
    {TANDRIL_EVENT_USAGE_64, 0x64, "usage 0x64"},
    {TANDRIL_EVENT_READ_ERROR, 0, "read error"},
    {TANDRIL_EVENT_COMMUNICATION_LOST, 0x73, "communication lost"},
};

struct InputItem {
  uint8_t usage;
  uint16_t reportId;
  std::string path;
};

// Every input item with its path; items too deep to be named are left out.
std::vector<InputItem> InputItems(uint32_t device) {
  std::vector<InputItem> items;
  WalkItems(device, [&](const WalkedItem& item) {
    if (item.path == nullptr || (item.info.Flags & TANDRIL_FLAG_INPUT) == 0) return true;
    const std::string text = item.path;
    unsigned page = 0, usage = 0, id = 0;
    const size_t last = text.rfind('&');
    if (std::sscanf(text.c_str() + (last == std::string::npos ? 0 : last + 1), "%x:%x:%x", &page,
                    &usage, &id) == 3) {
      items.push_back({static_cast<uint8_t>(usage), item.info.ReportID, text});
    }
    return true;
  });
  return items;
}

// Shared by the waiting thread and the callback on the event worker's thread.
struct WatchState {
  uint32_t device = 0;
  uint32_t mask = 0;
  uint64_t startMs = 0;
  std::vector<InputItem> items;
  std::ostream* out = nullptr;
  std::mutex mutex;
  std::condition_variable ended;
  bool readError = false;
};

int32_t TANDRIL_CALL OnEvent(uintptr_t context, uint32_t code) {
  auto& w = *reinterpret_cast<WatchState*>(context);
  std::lock_guard<std::mutex> lock(w.mutex);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%9.3f s  ",
                static_cast<double>(hidhost::NowMs() - w.startMs) / 1000.0);
  const EventName* event = nullptr;
  for (const EventName& e : kEvents) {
    if (e.code == code) event = &e;
  }
  char head[64];
  std::snprintf(head, sizeof head, "0x%02x %-18s", code, event ? event->name : "unknown");
  if (code == TANDRIL_EVENT_READ_ERROR) {
    *w.out << stamp << head << " input reports stopped\n" << std::flush;
    w.readError = true;
    w.ended.notify_all();
    return 0;
  }
  if ((code & w.mask) == 0 || !event) return 0;
  for (const InputItem& item : w.items) {
    if (item.usage != event->usage) continue;
    int32_t value = 0;
    *w.out << stamp << head << " " << item.path << " = ";
    if (GetItemValue(w.device, item.path.c_str(), &value)) {
      *w.out << value << "\n";
    } else {
      *w.out << "? (" << CodeText(GetLastHIDError()) << ")\n";
    }
  }
  *w.out << std::flush;
  return 0;
}

}  // namespace

bool RaisesEvents(uint8_t usage, uint16_t reportId) {
  // Reports without a report ID refresh nothing, so their items raise no
  // event whatever their usage.
  return reportId != 0 && std::any_of(std::begin(kEvents), std::end(kEvents), [&](const EventName& e) {
           return e.usage != 0 && e.usage == usage;
         });
}

int Watch(uint32_t device, const WatchOptions& options, std::ostream& out, std::ostream& err) {
  WatchState w;
  w.device = device;
  w.mask = options.mask;
  w.items = InputItems(device);
  w.out = &out;
  w.startMs = hidhost::NowMs();
  const auto raises = [](const InputItem& item) { return RaisesEvents(item.usage, item.reportId); };
  if (std::none_of(w.items.begin(), w.items.end(), raises)) {
    err << "hiditems: no input item of this device raises events, so there is nothing to watch\n";
    return 1;
  }
  char line[96];
  std::snprintf(line, sizeof line, "watching events 0x%02x; ends when input reports stop\n",
                options.mask);
  out << line << std::flush;
  if (!SetEventNotificationMask(device, options.mask | TANDRIL_EVENT_READ_ERROR) ||
      !SetEventHandler(device, OnEvent, reinterpret_cast<uintptr_t>(&w))) {
    err << "hiditems: cannot watch events: " << CodeText(GetLastHIDError()) << "\n";
    return 1;
  }
  std::unique_lock<std::mutex> lock(w.mutex);
  if (options.timeoutMs) {
    // Waits go through the host's clock, so the timeout passes in virtual
    // time under test; the flag is looked at every 100 ms.
    const uint64_t deadline = w.startMs + *options.timeoutMs;
    for (uint64_t now = hidhost::NowMs(); !w.readError && now < deadline; now = hidhost::NowMs()) {
      lock.unlock();
      hidhost::SleepMs(static_cast<uint32_t>(std::min<uint64_t>(100, deadline - now)));
      lock.lock();
    }
    if (!w.readError) return 0;
  } else {
    w.ended.wait(lock, [&] { return w.readError; });
  }
  err << "hiditems: the device stopped delivering input reports\n";
  return 1;
}

int Strings(uint32_t device, bool json, std::ostream& out, std::ostream& err) {
  using Reader = int32_t(TANDRIL_CALL*)(uint32_t, wchar_t*, uint32_t);
  const std::tuple<const char*, const char*, Reader> kStrings[] = {
      {"manufacturer", "manufacturer", GetManufacturerString},
      {"product", "product", GetProductString},
      {"serial number", "serial_number", GetSerialNumberString}};
  nlohmann::json strings = nlohmann::json::object();
  int status = 0;
  for (const auto& [name, key, read] : kStrings) {
    wchar_t text[256] = {};
    if (read(device, text, sizeof text)) {
      const std::string value = hidhost::Utf8FromWide(text);
      strings[key] = value;
      if (!json) out << name << ": " << value << "\n";
      continue;
    }
    strings[key] = nullptr;
    if (!json) out << name << ": -\n";
    // 31: the device has no such string, which is no failure.
    if (GetLastHIDError() != hidhost::kErrorGenFailure) {
      err << "hiditems: cannot read the " << name << " string: " << CodeText(GetLastHIDError())
          << "\n";
      status = 1;
    }
  }
  if (json) out << strings.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  return status;
}

}  // namespace hiditems
