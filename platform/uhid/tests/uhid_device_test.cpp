// The uhid front end's translation between kernel events and device models,
// with a socket pair in place of /dev/uhid: each event written is one
// message, as each write to /dev/uhid is one event.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "hidhost/sim.h"
#include "hidhost/sim_device.h"
#include "uhid_device.h"

namespace hidhost::uhid {
namespace {

std::shared_ptr<sim::DeviceModel> Model(const std::string& presetOrJson, size_t index) {
  std::string error;
  auto models = presetOrJson.front() == '{' ? sim::LoadDeviceModelsFromJson(presetOrJson, "test", &error)
                                            : sim::LoadDeviceModels(presetOrJson, &error);
  EXPECT_EQ(error, "");
  return index < models.size() ? models[index] : nullptr;
}

// A device on one end of a socket pair; the test plays the kernel on the other.
struct Kernel {
  explicit Kernel(std::shared_ptr<sim::DeviceModel> m) : model(std::move(m)) {
    int fds[2];
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
    peer = fds[1];
    model->Attach(clock, [this](const std::string& text) { typed += text; });
    device = std::make_unique<UhidDevice>(model, fds[0], "test/input0", clock);
  }
  ~Kernel() {
    device.reset();
    ::close(peer);
  }

  void Send(const uhid_event& event) {
    ASSERT_EQ(::write(peer, &event, sizeof event), static_cast<ssize_t>(sizeof event));
    ASSERT_TRUE(device->HandleNextEvent());
  }
  // The next event the device wrote; type 0xFFFF when none came within 2 s.
  uhid_event Receive() {
    uhid_event event{};
    event.type = 0xFFFF;
    pollfd p{peer, POLLIN, 0};
    if (::poll(&p, 1, 2000) == 1) {
      EXPECT_GT(::read(peer, &event, sizeof event), 0);
    }
    return event;
  }
  std::vector<uint8_t> Feature(uint8_t rnum, uint16_t* err, uint32_t id = 7, uint8_t rtype = UHID_FEATURE_REPORT) {
    uhid_event get{};
    get.type = UHID_GET_REPORT;
    get.u.get_report = {id, rnum, rtype};
    Send(get);
    const uhid_event reply = Receive();
    EXPECT_EQ(reply.type, static_cast<uint32_t>(UHID_GET_REPORT_REPLY));
    EXPECT_EQ(reply.u.get_report_reply.id, id);
    *err = reply.u.get_report_reply.err;
    return {reply.u.get_report_reply.data, reply.u.get_report_reply.data + reply.u.get_report_reply.size};
  }

  std::shared_ptr<sim::VirtualClock> clock = std::make_shared<sim::VirtualClock>();
  std::shared_ptr<sim::DeviceModel> model;
  std::unique_ptr<UhidDevice> device;
  int peer = -1;
  std::string typed;
};

uhid_event SetReport(uint32_t id, uint8_t rtype, std::vector<uint8_t> data) {
  uhid_event event{};
  event.type = UHID_SET_REPORT;
  event.u.set_report.id = id;
  event.u.set_report.rnum = data.empty() ? 0 : data[0];
  event.u.set_report.rtype = rtype;
  event.u.set_report.size = static_cast<uint16_t>(data.size());
  std::copy(data.begin(), data.end(), event.u.set_report.data);
  return event;
}

TEST(UhidCreate, NamesTheDeviceAsTheUsbDriverWouldAndRefusesWhatTheKernelCannotTake) {
  auto config = Model("reader", 1);
  auto event = std::make_unique<uhid_event>();
  ASSERT_EQ(MakeCreateEvent(*config, "hid-emulate-1/input1", event.get()), "");
  const uhid_create2_req& c = event->u.create2;
  EXPECT_STREQ(reinterpret_cast<const char*>(c.name), "Varnholt KAVRO USB KB Reader");
  EXPECT_STREQ(reinterpret_cast<const char*>(c.uniq), "KV2420-001207");
  EXPECT_STREQ(reinterpret_cast<const char*>(c.phys), "hid-emulate-1/input1");
  EXPECT_EQ(c.bus, 3);
  EXPECT_EQ(c.vendor, 0x1C5Eu);
  EXPECT_EQ(c.product, 0x2420u);
  EXPECT_EQ(c.version, 0x0214u);
  ASSERT_EQ(c.rd_size, config->definition().reportDescriptor.size());
  EXPECT_EQ(0, std::memcmp(c.rd_data, config->definition().reportDescriptor.data(), c.rd_size));

  // A descriptor of 4097 bytes (Push/Pop pairs pad it): the models take it,
  // the kernel would not.
  std::string descriptor = "06 00 FF 09 01 A1 01 09 01 15 00 26 FF 00 75 08 95 01 B1 02";
  for (int i = 0; i < 2038; ++i) descriptor += " A4 B4";
  descriptor += " C0";
  auto big = Model(R"({"devices": [{"vendor_id": 1, "product_id": 2, "report_descriptor": ")" + descriptor + "\"}]}", 0);
  ASSERT_NE(big, nullptr);
  ASSERT_EQ(big->definition().reportDescriptor.size(), 4097u);
  EXPECT_NE(MakeCreateEvent(*big, "x", event.get()), "");
}

TEST(UhidRequests, ACommandWrittenAsHidrawSendsItIsAnsweredWithTheIdByteFirst) {
  Kernel k(Model("reader", 1));
  // Review language, as hidraw passes HIDIOCSFEATURE on: report ID 0 first.
  k.Send(SetReport(41, UHID_FEATURE_REPORT, {0x00, 0x02, 0x52, 0x24, 0x03, 0x77, 0, 0, 0}));
  const uhid_event reply = k.Receive();
  ASSERT_EQ(reply.type, static_cast<uint32_t>(UHID_SET_REPORT_REPLY));
  EXPECT_EQ(reply.u.set_report_reply.id, 41u);
  EXPECT_EQ(reply.u.set_report_reply.err, 0);
  uint16_t err = 1;
  std::vector<uint8_t> answer;
  for (int read = 0; read < 4; ++read) answer = k.Feature(0, &err, 100 + read);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(answer, (std::vector<uint8_t>{0x00, 0x02, 0x06, '0', 0x03, 0x37, 0, 0, 0}));
}

TEST(UhidRequests, RefusalsBecomeErrnoReplies) {
  const std::string failing =
      R"({"devices": [{"preset": "reader", "fail_get_feature": 1}]})";
  const std::string gone = R"({"devices": [{"preset": "reader", "unplug_after_ms": 0}]})";
  struct Case {
    const char* name;
    std::string source;
    uint8_t rnum, rtype;
    uint16_t err;
    bool closing = false;
  } cases[] = {
      {"refused by the device", failing, 0, UHID_FEATURE_REPORT, EIO},
      {"report ID the device lacks", "reader", 5, UHID_FEATURE_REPORT, EINVAL},
      {"input report", "reader", 0, UHID_INPUT_REPORT, EIO},
      {"unplugged", gone, 0, UHID_FEATURE_REPORT, ENODEV},
      // A device on its way out answers at once, so that a request left
      // pending cannot hold up the removal of the others.
      {"closing", "reader", 0, UHID_FEATURE_REPORT, ENODEV, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Kernel k(Model(c.source, 1));
    if (c.closing) k.device->SetClosing();
    uint16_t err = 0;
    EXPECT_TRUE(k.Feature(c.rnum, &err, 9, c.rtype).empty());
    EXPECT_EQ(err, c.err);
  }
}

TEST(UhidRequests, OutputReportsReachTheModelWithTheirIdByteEitherWay) {
  Kernel k(Model("reader", 0));  // the boot keyboard: a 1-byte LED report, no IDs
  uhid_event fromHidraw{};
  fromHidraw.type = UHID_OUTPUT;
  fromHidraw.u.output = {{0x00, 0x02}, 2, UHID_OUTPUT_REPORT};
  k.Send(fromHidraw);
  uhid_event fromInputLayer{};  // the kernel's own LED report leaves the ID byte out
  fromInputLayer.type = UHID_OUTPUT;
  fromInputLayer.u.output = {{0x01}, 1, UHID_OUTPUT_REPORT};
  k.Send(fromInputLayer);
  EXPECT_EQ(k.model->OutputsWritten(), (std::vector<std::vector<uint8_t>>{{0x00, 0x02}, {0x00, 0x01}}));
}

TEST(UhidInput, TypedTextBecomesPacedKeyPressesWithoutIdByte) {
  Kernel k(Model("reader", 0));
  ASSERT_TRUE(k.device->isKeyboard());
  k.device->QueueTyping("aB\r");
  const uint64_t start = k.clock->NowMs();
  EXPECT_EQ(k.device->SendDueTyping(start), start + UhidDevice::kTypingIntervalMs);
  k.clock->AdvanceMs(5 * UhidDevice::kTypingIntervalMs);
  EXPECT_EQ(k.device->SendDueTyping(k.clock->NowMs()), std::nullopt);
  const std::vector<std::vector<uint8_t>> expected = {
      {0, 0, 0x04, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0},  // a
      {2, 0, 0x05, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0},  // Shift+b
      {0, 0, 0x28, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0},  // Enter
  };
  for (const auto& report : expected) {
    const uhid_event event = k.Receive();
    ASSERT_EQ(event.type, static_cast<uint32_t>(UHID_INPUT2));
    EXPECT_EQ(std::vector<uint8_t>(event.u.input2.data, event.u.input2.data + event.u.input2.size), report);
  }
}

TEST(UhidInput, ScheduledReportsFlowWhileTheDeviceIsOpen) {
  Kernel k(Model(R"({"devices": [{"vendor_id": 1, "product_id": 2,
      "report_descriptor": "06 00 FF 09 01 A1 01 85 02 09 02 15 00 26 FF 00 75 08 95 01 81 02 C0",
      "input_reports": [{"delay_ms": 10, "data": "02 01"}, {"delay_ms": 10, "data": "02 00"}]}]})", 0));
  uhid_event open{};
  open.type = UHID_OPEN;
  k.Send(open);
  for (uint8_t value : {1, 0}) {
    const uhid_event event = k.Receive();
    ASSERT_EQ(event.type, static_cast<uint32_t>(UHID_INPUT2));
    EXPECT_EQ(std::vector<uint8_t>(event.u.input2.data, event.u.input2.data + event.u.input2.size),
              (std::vector<uint8_t>{0x02, value}));
  }
  uhid_event close{};
  close.type = UHID_CLOSE;
  k.Send(close);  // returns: the waiting read is cancelled

  k.device->Destroy();
  EXPECT_EQ(k.Receive().type, static_cast<uint32_t>(UHID_DESTROY));
}

}  // namespace
}  // namespace hidhost::uhid
