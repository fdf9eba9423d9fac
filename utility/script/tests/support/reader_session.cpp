#include "reader_session.h"

#include <sstream>

#include "reader_link/command_codec.h"

namespace utility::testing {
namespace {

std::string HexText(const std::vector<uint8_t>& bytes) {
  std::string text;
  char digits[4];
  for (uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, "%02X ", b);
    text += digits;
  }
  return text;
}

// The bytes of a transcript line "<path> SET_FEATURE 00 02 52 ...", report
// ID included; false for any other request.
bool SetFeatureBytes(const std::string& line, std::vector<uint8_t>* bytes) {
  const size_t at = line.find(" SET_FEATURE ");
  if (at == std::string::npos) return false;
  std::istringstream in(line.substr(at + 13));
  bytes->clear();
  std::string hex;
  while (in >> hex) bytes->push_back(static_cast<uint8_t>(std::stoul(hex, nullptr, 16)));
  return true;
}

}  // namespace

ReaderSession::ReaderSession(const std::string& preset)
    : clock(std::make_shared<hidhost::sim::VirtualClock>()),
      host(hidhost::sim::SimulatedHost::Create(preset, clock)) {
  hidhost::InstallHost(host);
  // The panel is up: detection has found the reader.
  session.runState.ReaderPresent = 1;
}

ReaderSession::ReaderSession(const Devices& devices)
    : clock(std::make_shared<hidhost::sim::VirtualClock>()),
      host(hidhost::sim::SimulatedHost::CreateFromJson(devices.json, "test devices", clock)) {
  hidhost::InstallHost(host);
  session.runState.ReaderPresent = 1;
}

std::vector<std::string> ReaderSession::TakeSentFrames() {
  // The writer puts one frame in consecutive reports, zero-padded after its
  // LRC; a frame ends at the ETX whose next byte is the running LRC.
  std::vector<std::string> frames;
  std::vector<uint8_t> frame, report;
  uint8_t lrc = 0;  // exclusive or of the frame's bytes so far
  for (const std::string& line : host->Transcript()) {
    if (!SetFeatureBytes(line, &report)) continue;
    for (size_t i = 1; i < report.size(); ++i) {
      const uint8_t b = report[i];
      if (frame.empty() && b != readerlink::kStx) continue;  // padding between frames
      if (frame.size() >= 2 && frame.back() == readerlink::kEtx && b == lrc) {
        frame.push_back(b);
        frames.push_back(HexText(frame));
        frame.clear();
        lrc = 0;
        continue;
      }
      frame.push_back(b);
      lrc ^= b;
    }
  }
  host->ClearTranscript();
  return frames;
}

std::string TypedFrameText(const std::string& text) {
  return HexText(readerlink::BuildTypedFrame(text));
}

std::string HexFrameText(const std::string& hexText) {
  std::string digits;
  for (char c : hexText) {
    if (c != ' ') digits += c;
  }
  std::vector<uint8_t> bytes;
  uint32_t count = static_cast<uint32_t>(digits.size());
  readerlink::HexToBytes(digits, &bytes, &count);
  bytes.resize(count);
  return HexText(readerlink::BuildHexFrame(bytes));
}

}  // namespace utility::testing
