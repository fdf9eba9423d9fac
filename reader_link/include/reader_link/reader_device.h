// Pelorin's link to a card reader: one HID interface of a supported reader,
// found by its position among the host's present HID interfaces, opened for
// feature-report access, and used to exchange command frames.
//
// A ReaderDevice never outlives the one operation that made it: probe, open,
// exchange, close. Every device, attribute and time call goes through the
// host layer (hidhost::CurrentHost(), hidhost::SleepMs), so the whole link
// runs unchanged on the simulated host in virtual time.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "hidhost/hidp.h"
#include "hidhost/host.h"
#include "reader_link/exchange_result.h"

namespace readerlink {

// Reader identification.
constexpr uint16_t kReaderVendorId = 0x1C5E;
constexpr uint16_t kLegacyReaderProductId = 0x0200;   // older generation
constexpr uint16_t kCurrentReaderProductId = 0x2420;  // current generation

// ReaderGeneration values.
constexpr int32_t kGenerationNone = 0;
constexpr int32_t kGenerationLegacy = 1;
constexpr int32_t kGenerationCurrent = 2;

// What ProbeInterface found at a position.
enum class InterfaceKind : int32_t { Other = 0, Reader = 3 };

// Fixed sizes of the exchange.
constexpr uint32_t kCommandBufferBytes = 128;   // longest frame Exchange takes
constexpr uint32_t kAnswerBufferBytes = 1024;   // answer capacity of a command's exchange

// Fixed timings of the exchange, in milliseconds, and its limits.
constexpr uint32_t kWriteRetryWaitMs = 10;    // after each refused report write
constexpr uint32_t kAnswerWaitMs = 300;       // after the last report of the frame
constexpr uint32_t kPollWaitMs = 10;          // after each answer read
constexpr uint32_t kPollReads = 100;          // answer reads per exchange, always all
constexpr uint32_t kWriteAttempts = 3;        // calls per report before giving up

// Process-wide generation of the reader met last: 0 at start-up, 1 after a
// probe met an interface of product 0x0200, 2 after one of 0x2420. Written
// only by the probe that ScanReaders and ProbeInterface share, and never
// reset; when readers of both products are present, the one probed last
// wins. Main thread only. New code reads the generation of each interface
// from ScanReaders instead.
extern int32_t ReaderGeneration;

// The device path of the HID interface at `memberIndex` (0-based position in
// the list of present interfaces). True only when a non-empty path was
// obtained; false with `*path` empty otherwise (no interface list, no
// interface at that position, negative index). Opens nothing. `path` may be
// null, in which case only the result is given.
bool GetInterfacePath(int32_t memberIndex, std::string* path);

// An HID interface that exchanges frames through feature reports. Abstract;
// the operations are listed in their fixed order.
class HidReportDevice {
 public:
  virtual ~HidReportDevice() = default;

  // Opens the interface at position `memberIndex`. True when the object is
  // open afterwards; true at once, without looking at the index, while the
  // object is already open.
  virtual bool OpenByIndex(int32_t memberIndex) = 0;

  // Opens the interface at `path`. True when open afterwards; true at once
  // when the object is already open on that path (letters compared without
  // regard to case). Any other open interface is closed first.
  virtual bool OpenByPath(const std::string& path) = 0;

  // Releases everything the object holds. Always true; may run any number of
  // times.
  virtual bool Close() = 0;

  // Writes `frame` (`length` bytes) in feature reports with report ID 0,
  // waits, polls the feature report and collects the answer into `answer`.
  // `*count` is the capacity of `answer` on entry and the bytes received on
  // return; it is written whenever `count` is given, also on false.
  //   - false when `count` is null (nothing is written to the reader);
  //   - false with count 0 when the object is not open, when the interface's
  //     feature report has no room for frame bytes (length below 2), when the
  //     report buffer cannot be allocated, when `frame` or `answer` is null
  //     while bytes would be read from or written to it, or when a report of
  //     the frame is refused three times (later reports are not written and
  //     nothing is read);
  //   - otherwise the success of the last of the 100 reads, or false when a
  //     report with data would overflow the capacity; the count holds the
  //     bytes collected so far in both cases. Answers are whole reports:
  //     every report from the first non-empty one on, zero reports included
  //     while they fit (empty reports beyond the capacity are dropped).
  // Waits: 10 ms after each refused write, 300 ms after the frame, 10 ms
  // after each read. Leaves the open state as it found it.
  virtual bool ExchangeFrame(const uint8_t* frame, uint32_t length, uint8_t* answer,
                             uint32_t* count) = 0;

  // How the interface is opened.
  virtual hidhost::Access GetAccess() const = 0;
  // The open interface, or null while closed.
  virtual hidhost::Device* GetHandle() const = 0;
  // A copy of the path the object is open on; empty while closed.
  virtual std::string GetDevicePath() const = 0;
};

// One HID interface of a supported reader.
class ReaderDevice : public HidReportDevice {
 public:
  // Opens interfaces for queries only (enough for feature reports) or for
  // reading and writing. Starts closed, with no recorded product ID.
  explicit ReaderDevice(hidhost::Access access = hidhost::Access::Query);
  ~ReaderDevice() override;  // runs Close

  ReaderDevice(const ReaderDevice&) = delete;
  ReaderDevice& operator=(const ReaderDevice&) = delete;

  // Examines the interface at `memberIndex`. False only when the interface
  // list cannot be built or has no interface at that position. Otherwise
  // true, and: when the interface has the reader vendor ID and one of the two
  // reader product IDs, records that product ID in the object, sets
  // ReaderGeneration, stores the path in `*path` and Reader in `*kind`;
  // in every other case (no path, cannot be opened for queries, no
  // attributes, another vendor or product) the kind is Other and the path
  // empty.
  // `kind` and `path` may be null. The interface is opened for queries only
  // and closed again within the call; it never becomes the object's handle.
  bool ProbeInterface(InterfaceKind* kind, int32_t memberIndex, std::string* path);

  // HidReportDevice
  bool OpenByIndex(int32_t memberIndex) override;
  bool OpenByPath(const std::string& path) override;
  bool Close() override;
  bool ExchangeFrame(const uint8_t* frame, uint32_t length, uint8_t* answer,
                     uint32_t* count) override;
  hidhost::Access GetAccess() const override;
  hidhost::Device* GetHandle() const override;
  std::string GetDevicePath() const override;

  // Exchanges `frame` with the open interface (ExchangeFrame with room for
  // `capacity` answer bytes) and closes the device. The result names the
  // interface, says whether the whole frame was written and whether the
  // answer's reads ran to their end, and holds the bytes received without
  // the report padding after the last non-zero one (kept also when the
  // exchange failed after them). Nothing is written when the object is not
  // open or the frame is longer than 128 bytes.
  InterfaceExchange Exchange(std::span<const uint8_t> frame,
                             uint32_t capacity = kAnswerBufferBytes);

  // Writes `frame` in feature reports as ExchangeFrame does, with up to three
  // calls per report, but a report refused three times does not stop the
  // later ones. Reads nothing. Closes the device in every case once it was
  // open. True when the last report of the frame was accepted; false for an
  // empty frame, a closed object, or a feature report below 2 bytes.
  virtual bool SendFrame(const uint8_t* frame, uint32_t length);

  // The product ID recorded by the last ProbeInterface that met a reader
  // (0x0200 or 0x2420), 0 before; kept across Close.
  uint16_t RecordedProductId() const { return productId_; }
  // The position stored by the last OpenByIndex on a closed object (-1
  // before).
  int32_t MemberIndex() const { return memberIndex_; }

 private:
  // Feature report length of the open interface; 0 while closed.
  uint32_t FeatureReportLength() const;
  // Puts report `index` of `frame` into `report` (report ID 0, then up to
  // reportLength - 1 frame bytes, zeros after the frame's end).
  static void FillReport(const uint8_t* frame, uint32_t length, uint64_t index,
                         uint8_t* report, uint32_t reportLength);
  // Writes one report with up to three calls, waiting 10 ms after each
  // refused call. True when a call was accepted.
  bool WriteReport(const uint8_t* report, uint32_t reportLength);

  bool open_ = false;
  hidhost::Access access_;
  int32_t memberIndex_ = -1;
  std::unique_ptr<hidhost::Device> handle_;
  std::string devicePath_;
  hid::PreparsedPtr preparsed_;
  std::unique_ptr<hid::HIDP_CAPS> caps_;
  uint16_t productId_ = 0;
  bool frameWritten_ = false;
};

}  // namespace readerlink
