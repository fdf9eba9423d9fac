#include "event_worker.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "device_table.h"
#include "item_values.h"

namespace tandril {

namespace {

constexpr uint32_t kReadErrorEvent = TANDRIL_EVENT_READ_ERROR;

struct Handler {
  EventCallback callback = nullptr;
  uintptr_t context = 0;
};

}  // namespace

struct EventState {
  explicit EventState(HIDDevice& d) : device(d) {}

  HIDDevice& device;
  std::atomic<uint32_t> mask{0};

  // Replaced on the client's thread, copied by the worker: the lock is held
  // only to copy the pair, never while the callback runs.
  std::mutex handlerMutex;
  Handler handler;

  // Client's thread only, except that the worker waits on `startMutex` until
  // `thread` holds it: a worker closing its own device hands that object on.
  bool started = false;
  std::mutex startMutex;
  std::thread thread;

  // Set to end the worker: by a close on the client's thread (which also
  // cancels the pending read) or by a close from inside the callback.
  std::atomic<bool> stop{false};

  // Worker's thread only once it runs: the report being decoded, and the
  // device itself when it was closed from inside the callback.
  std::vector<uint8_t> inputReport;
  std::unique_ptr<HIDDevice> closedFromCallback;
};

namespace {

// The state of the worker running on this thread, if this is a worker.
thread_local EventState* t_worker = nullptr;

// Threads of workers that freed their own device (closed from inside their
// callback): they end on their own and are joined later, on another thread.
// At unload, devices still open are closed and every worker is waited for.
class WorkerRegistry {
 public:
  ~WorkerRegistry() {
    // A process ended from inside a callback: that worker cannot wait for
    // itself, and the process takes everything with it.
    if (t_worker != nullptr) return;
    DeviceTable& table = DeviceTable::Instance();
    for (uint32_t handle = 1; handle <= kSlotCount; ++handle) {
      if (table.IsOpen(handle - 1)) DestroyDevice(table.Remove(handle));
    }
    DeviceTable::Discard();
    std::unique_lock<std::mutex> lock(mutex_);
    ended_.wait(lock, [this] { return closing_ == 0; });
    JoinLocked(lock);
  }

  // A worker is about to free its own device.
  void WorkerClosing() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++closing_;
  }

  // The worker's own thread object, handed over on its way out.
  void Adopt(std::thread thread) {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_.push_back(std::move(thread));
    --closing_;
    ended_.notify_all();
  }

  // Joins the threads handed over so far (they are ending or have ended).
  void Reap() {
    std::unique_lock<std::mutex> lock(mutex_);
    JoinLocked(lock);
  }

 private:
  void JoinLocked(std::unique_lock<std::mutex>& lock) {
    std::vector<std::thread> threads;
    threads.swap(finished_);
    lock.unlock();
    for (std::thread& t : threads) t.join();
    lock.lock();
  }

  std::mutex mutex_;
  std::condition_variable ended_;
  std::vector<std::thread> finished_;
  int closing_ = 0;
};

WorkerRegistry g_registry;

void Raise(EventState& s, uint32_t code) {
  if ((s.mask.load(std::memory_order_relaxed) & code) == 0) return;
  Handler h;
  {
    std::lock_guard<std::mutex> lock(s.handlerMutex);
    h = s.handler;
  }
  if (h.callback) h.callback(h.context, code);
}

// Refreshes the input items of the report just read, in list order. Report
// ID 0 (a device without report IDs) and 255 have no list.
void Dispatch(EventState& s) {
  const uint8_t reportId = s.inputReport[0];
  if (reportId == 0 || reportId >= kReportIdCount) return;
  const auto& items = s.device.inputItems[reportId];
  if (!items) return;
  for (Item* item : *items) {
    RefreshInputItem(*item);
    if (s.stop.load(std::memory_order_acquire)) return;  // closed from the callback
  }
}

void RunWorker(EventState* state) {
  EventState& s = *state;
  { std::lock_guard<std::mutex> started(s.startMutex); }
  t_worker = state;
  HIDDevice& d = s.device;
  const size_t length = d.caps.InputReportByteLength;
  while (!s.stop.load(std::memory_order_acquire)) {
    size_t received = 0;
    if (!d.platform->ReadInput(s.inputReport.data(), length, &received)) {
      // A cancelled read is the close's doing, not a failure to report.
      if (!s.stop.load(std::memory_order_acquire)) Raise(s, kReadErrorEvent);
      break;
    }
    Dispatch(s);
  }
  if (s.closedFromCallback) {
    // Frees the device, and with it `state`. t_worker still names this
    // worker, so EventStateDeleter hands the thread object to the registry.
    std::unique_ptr<HIDDevice> device = std::move(s.closedFromCallback);
    device.reset();
  }
  t_worker = nullptr;
}

EventState& EventsOf(HIDDevice& device) {
  if (!device.events) device.events.reset(new EventState(device));
  return *device.events;
}

}  // namespace

void EventStateDeleter::operator()(EventState* state) const {
  if (state->thread.joinable()) {
    if (t_worker == state) {
      g_registry.Adopt(std::move(state->thread));
    } else {
      state->stop.store(true, std::memory_order_release);
      state->device.platform->CancelRead();
      state->thread.join();
    }
  }
  delete state;
}

uint32_t EventCodeOfUsage(uint8_t usage) {
  switch (usage) {
    case 0xD0: return TANDRIL_EVENT_AC_PRESENT;
    case 0x42: return TANDRIL_EVENT_BELOW_CAPACITY;
    case 0x44: return TANDRIL_EVENT_CHARGING;
    case 0x45: return TANDRIL_EVENT_DISCHARGING;
    case 0x69: return TANDRIL_EVENT_SHUTDOWN_IMMINENT;
    case 0x64: return TANDRIL_EVENT_USAGE_64;
    case 0x73: return TANDRIL_EVENT_COMMUNICATION_LOST;
    default: return 0;
  }
}

bool RefreshInputItem(Item& item) {
  HIDDevice& d = *item.owner;
  EventState* s = d.events.get();
  // Only the worker decodes its input report buffer.
  if (!s || t_worker != s || s->inputReport.empty()) {
    hidhost::SetLastError(hidhost::kErrorInvalidParameter);
    return false;
  }
  const uint32_t length = d.caps.InputReportByteLength;
  const uint8_t* report = s->inputReport.data();
  int32_t value = 0;
  if (item.kind == ItemKind::InputValue) {
    hid::ULONG raw = 0;
    const hid::NTSTATUS status = hid::HidP_GetUsageValue(
        hid::HidP_Input, item.usagePage, item.linkCollection, item.fullUsage, &raw,
        d.preparsed.get(), reinterpret_cast<const char*>(report), length);
    if (status < 0) return false;
    value = static_cast<int32_t>(raw);
  } else if (!ReadButton(item, hid::HidP_Input, report, length, &value)) {
    return false;
  }
  // The value before the valid mark: a reader that sees the mark sees the value.
  const bool changed = item.value.load(std::memory_order_relaxed) != value;
  if (changed) item.value.store(value, std::memory_order_relaxed);
  item.valid.store(true, std::memory_order_release);
  if (changed && (item.flags & ItemFlags::EventSource) != 0) {
    if (const uint32_t code = EventCodeOfUsage(item.usage)) Raise(*s, code);
  }
  return true;
}

bool StartEventWorker(HIDDevice& device) {
  g_registry.Reap();
  EventState& s = EventsOf(device);
  if (s.started) return true;
  // Also the buffer of a device without input reports: its read then fails
  // and raises the read-error event.
  s.inputReport.assign(std::max<size_t>(device.caps.InputReportByteLength, 1), 0);
  try {
    // Once the lock is released the worker may run, close the device from its
    // callback and free `s`: nothing here touches `s` after that.
    std::lock_guard<std::mutex> lock(s.startMutex);
    s.thread = std::thread(RunWorker, &s);
    s.started = true;
  } catch (const std::system_error&) {
    s.inputReport.clear();
    hidhost::SetLastError(hidhost::kErrorNotEnoughMemory);
    return false;
  }
  return true;
}

void SetHandler(HIDDevice& device, EventCallback callback, uintptr_t context) {
  EventState& s = EventsOf(device);
  std::lock_guard<std::mutex> lock(s.handlerMutex);
  s.handler = Handler{callback, context};
}

void SetMask(HIDDevice& device, uint32_t mask) {
  EventsOf(device).mask.store(mask, std::memory_order_relaxed);
}

void DestroyDevice(std::unique_ptr<HIDDevice> device) {
  EventState* s = device->events.get();
  if (s != nullptr && t_worker == s) {
    // Closed from inside the callback: the worker is still using the device
    // further up this thread's stack. It stops after the callback returns
    // and frees the device then.
    s->stop.store(true, std::memory_order_release);
    g_registry.WorkerClosing();
    s->closedFromCallback = std::move(device);
    return;
  }
  device.reset();  // EventStateDeleter stops the worker and waits for it
  g_registry.Reap();
}

}  // namespace tandril
