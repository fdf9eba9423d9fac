// The event worker against simulated devices with scripted input reports:
// which changes raise which events, the read-error event, the handler's
// lifetime, and closing the device while the worker reads or calls back.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "descriptor_builder.h"
#include "gated_host.h"
#include "sim_fixture.h"
#include "tandril.h"

namespace tandril_test {
namespace {

// A power device in one collection (usage page 0x84, usage 4). Report 1:
// value 85:66 (byte 2) and the buttons 85:d0, 85:44, 84:44 and 84:69 (bits 0
// to 3 of byte 1). Report 2: the buttons 84:73, 85:42, 85:45 and 84:64 (bits
// 0 to 3 of byte 1), the 16-bit value 84:68 (bytes 2 and 3) and the value
// 85:89 with string index 5 (byte 4).
std::vector<uint8_t> PowerDescriptor() {
  return Descriptor()
      .UsagePage(0x84).Usage(0x04).Collection(0x01)
        .ReportId(1)
        .UsagePage(0x85).Field(1, 1, 0, 1).Usage(0xD0).Input().Usage(0x44).Input()
        .UsagePage(0x84).Usage(0x44).Input().Usage(0x69).Input()
        .ReportCount(4).Input(kConst)
        .UsagePage(0x85).Field(8, 1, 0, 255).Usage(0x66).Input()
        .ReportId(2)
        .UsagePage(0x84).Field(1, 1, 0, 1).Usage(0x73).Input()
        .UsagePage(0x85).Usage(0x42).Input().Usage(0x45).Input()
        .UsagePage(0x84).Usage(0x64).Input()
        .ReportCount(4).Input(kConst)
        .Field(16, 1, 0, 0xFFFF).Usage(0x68).Input()
        .UsagePage(0x85).Field(8, 1, 0, 255).StringIndex(5).Usage(0x89).Input()
      .EndCollection()
      .bytes();
}

constexpr const char* kAcPresent = "84:4:0&85:d0:1";
constexpr const char* kCharging = "84:4:0&85:44:1";
constexpr const char* kPage84Usage44 = "84:4:0&84:44:1";
constexpr const char* kCapacity = "84:4:0&85:66:1";
constexpr const char* kRunTime = "84:4:0&84:68:2";
constexpr const char* kChemistry = "84:4:0&85:89:2";

SimDevice PowerDevice(const std::vector<std::vector<uint8_t>>& reports) {
  SimDevice d;
  d.descriptor = PowerDescriptor();
  for (const auto& r : reports) d.inputs.push_back({10, r});
  return d;
}

// Records the callback's calls; shared with the worker's thread.
class Recorder {
 public:
  static int32_t TANDRIL_CALL Callback(uintptr_t context, uint32_t code) {
    reinterpret_cast<Recorder*>(context)->Add(code);
    return 0;
  }
  uintptr_t context() { return reinterpret_cast<uintptr_t>(this); }

  void Add(uint32_t code) {
    std::lock_guard<std::mutex> lock(mutex_);
    codes_.push_back(code);
    added_.notify_all();
  }
  bool WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return added_.wait_for(lock, GatedHost::kWatchdog, [&] { return codes_.size() >= count; });
  }
  std::vector<uint32_t> Codes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return codes_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable added_;
  std::vector<uint32_t> codes_;
};

class EventWorkerTest : public SimHostTest {
 protected:
  // Installs `device` behind a gate (open: reads pass at once) and opens it.
  uint32_t OpenGated(const SimDevice& device, bool open) {
    Install({device});
    gate_ = std::make_shared<GatedHost>(host_, open);
    hidhost::InstallHost(gate_);
    const uint32_t handle = OpenHIDDevice(0);
    EXPECT_EQ(handle, 1u) << "last error " << GetLastHIDError();
    return handle;
  }

  std::optional<int32_t> Value(uint32_t handle, const char* path) {
    int32_t v = 0;
    if (!GetItemValue(handle, path, &v)) return std::nullopt;
    return v;
  }

  std::shared_ptr<GatedHost> gate_;
  Recorder recorder_;
};

struct ValueCheck {
  const char* path;
  std::optional<int32_t> value;  // none: GetItemValue refuses the item
};

struct EventCase {
  const char* name;
  uint32_t mask;
  std::vector<std::vector<uint8_t>> reports;
  std::vector<uint32_t> events;
  std::vector<ValueCheck> values;
};

TEST_F(EventWorkerTest, ChangesRaiseTheEventsOfTheirUsagesThroughTheMask) {
  const EventCase cases[] = {
      {"a value going 0, 1, 1, 0 changes twice",
       0x01,
       {{1, 0x00}, {1, 0x01}, {1, 0x01}, {1, 0x00}},
       {0x01, 0x01},
       {{kAcPresent, 0}}},
      {"mask 0 delivers nothing but values are refreshed",
       0x00,
       {{1, 0x07, 42}, {2, 0x01, 0x34, 0x12}},
       {},
       {{kAcPresent, 1}, {kCharging, 1}, {kCapacity, 42}, {kRunTime, 0x1234}}},
      {"two items of one usage on different pages raise their own events",
       0x04,
       {{1, 0x06}, {1, 0x04}},
       {0x04, 0x04, 0x04},
       {{kCharging, 0}, {kPage84Usage44, 1}}},
      {"the mask selects codes; report 2 raises communication lost",
       0x10 | 0x80,
       {{1, 0x09}, {2, 0x01}, {2, 0x00}},
       {0x10, 0x80, 0x80},
       {{kAcPresent, 1}}},
      {"the rest of the table: 0x42, 0x45 and 0x64",
       0xFF,
       {{2, 0x02}, {2, 0x04}, {2, 0x08}},
       {0x02, 0x02, 0x08, 0x08, 0x20},
       {}},
      {"an input item with a string index is not read, even once a report carried it",
       0x00,
       {{2, 0x00, 0x00, 0x00, 0x07}},
       {},
       {{kChemistry, std::nullopt}}},
      {"usages outside the table raise nothing",
       0xFF,
       {{1, 0x00, 42}, {2, 0x00, 0xFF, 0xFF}},
       {},
       {{kCapacity, 42}, {kRunTime, 0xFFFF}}},
  };
  for (const EventCase& c : cases) {
    SCOPED_TRACE(c.name);
    const SimDevice device = PowerDevice(c.reports);
    Recorder recorder;
    const uint32_t h = OpenGated(device, true);
    ASSERT_EQ(SetEventNotificationMask(h, c.mask), 1);
    ASSERT_EQ(SetEventHandler(h, Recorder::Callback, recorder.context()), 1);
    // The read after the last report is issued once the last one is dispatched.
    ASSERT_TRUE(gate_->WaitForReads(static_cast<int>(device.inputs.size()) + 1));
    EXPECT_EQ(recorder.Codes(), c.events);
    for (const ValueCheck& v : c.values) EXPECT_EQ(Value(h, v.path), v.value) << v.path;
    ASSERT_EQ(CloseHIDDevice(h), 1);
  }
}

TEST_F(EventWorkerTest, DeviceWithoutReportIdsRefreshesNothing) {
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0x85).Usage(0x04).Collection(0x01)
                     .Field(1, 1, 0, 1).Usage(0xD0).Input()
                     .ReportCount(7).Input(kConst)
                     .EndCollection()
                     .bytes();
  d.inputs = {{10, {0x00, 0x01}}, {10, {0x00, 0x00}}};
  const uint32_t h = OpenGated(d, true);
  SetEventNotificationMask(h, 0xFF);
  ASSERT_EQ(SetEventHandler(h, Recorder::Callback, recorder_.context()), 1);
  ASSERT_TRUE(gate_->WaitForReads(3));
  EXPECT_TRUE(recorder_.Codes().empty());
  // Never refreshed, and no feature item to fall back on.
  EXPECT_EQ(Value(h, "85:4:0&85:d0:0"), std::nullopt);
}

TEST_F(EventWorkerTest, ReadFailureRaisesOneReadErrorAndEndsTheWorker) {
  const struct {
    const char* name;
    bool unplug;         // the device goes away after its report
    uint32_t readError;  // or the gate fails every read with this code
    std::vector<uint32_t> events;
    int reads;
  } cases[] = {
      {"device unplugged", true, 0, {0x01, 0x40}, 2},
      {"read refused", false, 31, {0x40}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimDevice d = PowerDevice({{1, 0x01}});
    if (c.unplug) d.unplugAfterMs = 1000;
    Recorder recorder;
    const uint32_t h = OpenGated(d, true);
    gate_->FailReads(c.readError);
    SetEventNotificationMask(h, 0x41);
    ASSERT_EQ(SetEventHandler(h, Recorder::Callback, recorder.context()), 1);
    ASSERT_TRUE(recorder.WaitFor(c.events.size()));
    // Closing waits for the worker: whatever it still did is recorded by now.
    ASSERT_EQ(CloseHIDDevice(h), 1);
    EXPECT_EQ(recorder.Codes(), c.events);
    EXPECT_EQ(gate_->ReadsStarted(), c.reads);
  }
}

TEST_F(EventWorkerTest, HandlerWithoutCallbackStartsTheWorkerAndALaterCallbackGetsEvents) {
  const uint32_t h = OpenGated(PowerDevice({{1, 0x01}, {1, 0x00}}), false);
  SetEventNotificationMask(h, 0x01);
  ASSERT_EQ(SetEventHandler(h, nullptr, 0), 1);
  ASSERT_TRUE(gate_->WaitForReads(1));
  gate_->Release();
  ASSERT_TRUE(gate_->WaitForReads(2));
  EXPECT_EQ(Value(h, kAcPresent), 1);

  ASSERT_EQ(SetEventHandler(h, Recorder::Callback, recorder_.context()), 1);
  gate_->Release();
  ASSERT_TRUE(gate_->WaitForReads(3));
  EXPECT_EQ(recorder_.Codes(), std::vector<uint32_t>{0x01});
  EXPECT_EQ(Value(h, kAcPresent), 0);
  // Still one worker: a second one would have issued a read of its own.
  EXPECT_EQ(gate_->ReadsStarted(), 3);
}

TEST_F(EventWorkerTest, CloseEndsAPendingReadAndFreesTheDevice) {
  const struct {
    const char* name;
    bool open;  // open: the read waits in the device, which has no report left
  } cases[] = {{"held at the gate", false}, {"waiting in the device", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const uint32_t h = OpenGated(PowerDevice({}), c.open);
    SetEventNotificationMask(h, 0xFF);
    ASSERT_EQ(SetEventHandler(h, Recorder::Callback, recorder_.context()), 1);
    ASSERT_TRUE(gate_->WaitForReads(1));
    EXPECT_EQ(CloseHIDDevice(h), 1);
    EXPECT_EQ(gate_->LiveDevices(), 0);
    EXPECT_EQ(SetEventHandler(h, nullptr, 0), 0);
    EXPECT_EQ(GetLastHIDError(), 87u);
    EXPECT_TRUE(recorder_.Codes().empty());  // a cancelled read is no read error
  }
}

// Closes the device from inside its own callback.
struct Closer {
  static int32_t TANDRIL_CALL Callback(uintptr_t context, uint32_t code) {
    auto* self = reinterpret_cast<Closer*>(context);
    const int32_t closed = CloseHIDDevice(self->handle);
    const int alive = self->gate->LiveDevices();
    std::lock_guard<std::mutex> lock(self->mutex);
    self->codes.push_back(code);
    self->closeResult = closed;
    self->aliveAfterClose = alive;
    return 0;
  }
  uint32_t handle = 0;
  GatedHost* gate = nullptr;
  std::mutex mutex;
  std::vector<uint32_t> codes;
  int32_t closeResult = -1;
  int aliveAfterClose = -1;
};

TEST_F(EventWorkerTest, CloseFromInsideTheCallbackFreesTheDeviceOnceItReturns) {
  // Both AC present and charging change in the first report.
  const uint32_t h = OpenGated(PowerDevice({{1, 0x03}, {1, 0x00}}), true);
  Closer closer;
  closer.handle = h;
  closer.gate = gate_.get();
  SetEventNotificationMask(h, 0xFF);
  ASSERT_EQ(SetEventHandler(h, Closer::Callback, reinterpret_cast<uintptr_t>(&closer)), 1);
  ASSERT_TRUE(gate_->WaitForLiveDevices(0));

  std::lock_guard<std::mutex> lock(closer.mutex);
  EXPECT_EQ(closer.closeResult, 1);
  EXPECT_EQ(closer.aliveAfterClose, 1);  // still in use while the callback runs
  EXPECT_EQ(closer.codes, std::vector<uint32_t>{0x01});  // nothing after the close
  EXPECT_EQ(gate_->ReadsStarted(), 1);
  EXPECT_EQ(CloseHIDDevice(h), 0);
  EXPECT_EQ(GetLastHIDError(), 87u);
  // The slot is free again.
  EXPECT_EQ(OpenHIDDevice(0), h);
}

// Two callbacks, each expecting its own context.
std::atomic<int> g_calls{0};
std::atomic<int> g_mismatches{0};
constexpr uintptr_t kContextA = 0xA11CE, kContextB = 0xB0B;

int32_t TANDRIL_CALL CallbackA(uintptr_t context, uint32_t) {
  if (context != kContextA) ++g_mismatches;
  ++g_calls;
  return 0;
}
int32_t TANDRIL_CALL CallbackB(uintptr_t context, uint32_t) {
  if (context != kContextB) ++g_mismatches;
  ++g_calls;
  return 0;
}

TEST_F(EventWorkerTest, ReplacingTheHandlerWhileTheWorkerCallsNeverTearsThePair) {
  SimDevice d = PowerDevice({{1, 0x01}, {1, 0x00}});
  d.inputs[0].delayMs = 1;  // an endless stream of changes
  d.inputs[1].delayMs = 1;
  d.repeatInputs = true;
  const uint32_t h = OpenGated(d, true);
  SetEventNotificationMask(h, 0x01);
  g_calls = 0;
  g_mismatches = 0;
  const auto watchdog = std::chrono::steady_clock::now() + GatedHost::kWatchdog;
  int swaps = 0;
  while ((g_calls < 2000 || swaps < 2000) && std::chrono::steady_clock::now() < watchdog) {
    const bool a = (swaps++ % 2) == 0;
    ASSERT_EQ(SetEventHandler(h, a ? CallbackA : CallbackB, a ? kContextA : kContextB), 1);
    int32_t v = 0;
    GetItemValue(h, kAcPresent, &v);
    EXPECT_TRUE(v == 0 || v == 1);
  }
  ASSERT_EQ(CloseHIDDevice(h), 1);
  EXPECT_GE(g_calls.load(), 2000);
  EXPECT_EQ(g_mismatches.load(), 0);
}


// Reads a feature value, whose report is fetched anew at every read, from
// inside the callback.
constexpr const char* kLevel = "84:4:0&84:fd:3";

struct FeatureReader {
  static int32_t TANDRIL_CALL Callback(uintptr_t context, uint32_t) {
    auto* self = reinterpret_cast<FeatureReader*>(context);
    int32_t v = 0;
    if (self->closing) {
      // Reads until the client's close has taken the handle out of the table.
      self->readingThroughClose = true;
      while (GetItemValue(self->handle, kLevel, &v)) {
      }
      return 0;
    }
    if (GetItemValue(self->handle, kLevel, &v) && v != 42) ++self->wrong;
    ++self->calls;
    return 0;
  }
  uint32_t handle = 0;
  std::atomic<int> calls{0};
  std::atomic<int> wrong{0};
  std::atomic<bool> closing{false};
  std::atomic<bool> readingThroughClose{false};
};

// The callback and the client's thread share the device's stored feature
// reports, and the client closes the device while callbacks still read:
// ThreadSanitizer reports a race if either is unguarded.
TEST_F(EventWorkerTest, CallbackReadsWhileTheClientReadsAndCloses) {
  SimDevice d;
  d.descriptor = Descriptor()
                     .UsagePage(0x84).Usage(0x04).Collection(0x01)
                     .ReportId(1).UsagePage(0x85).Field(1, 1, 0, 1).Usage(0xD0).Input()
                     .ReportCount(7).Input(kConst)
                     .ReportId(3).UsagePage(0x84).Field(8, 1, 0, 255).Usage(0xFD)
                     .Feature(kVar | kVolatile)
                     .EndCollection()
                     .bytes();
  d.inputs = {{1, {1, 0x01}}, {1, {1, 0x00}}};
  d.repeatInputs = true;
  d.features[3] = {3, 42};
  const uint32_t h = OpenGated(d, true);
  FeatureReader reader;
  reader.handle = h;
  SetEventNotificationMask(h, 0x01);
  ASSERT_EQ(SetEventHandler(h, FeatureReader::Callback, reinterpret_cast<uintptr_t>(&reader)), 1);
  const auto watchdog = std::chrono::steady_clock::now() + GatedHost::kWatchdog;
  while (reader.calls < 500 && std::chrono::steady_clock::now() < watchdog) {
    EXPECT_EQ(Value(h, kLevel), 42);
  }
  reader.closing = true;
  while (!reader.readingThroughClose && std::chrono::steady_clock::now() < watchdog) {
    std::this_thread::yield();
  }
  ASSERT_TRUE(reader.readingThroughClose);
  EXPECT_EQ(CloseHIDDevice(h), 1);
  EXPECT_GE(reader.calls.load(), 500);
  EXPECT_EQ(reader.wrong.load(), 0);
}

}  // namespace
}  // namespace tandril_test
