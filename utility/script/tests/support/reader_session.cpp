#include "reader_session.h"

#include <sstream>

#include "reader_link/command_codec.h"
#include "text/hex_text.h"

namespace utility::testing {
namespace {

std::string HexText(const std::vector<uint8_t>& bytes) { return hidhost::HexBytesEachSpaced(bytes); }

std::shared_ptr<hidhost::sim::SimulatedHost> Install(std::shared_ptr<hidhost::sim::SimulatedHost> host) {
  hidhost::InstallHost(host);
  return host;
}

}  // namespace

ReaderSession::ReaderSession(const std::string& preset)
    : clock(std::make_shared<hidhost::sim::VirtualClock>()),
      host(Install(hidhost::sim::SimulatedHost::Create(preset, clock))) {
  session.runState.ReaderPresent = 1;  // the command panel is up
}

ReaderSession::ReaderSession(const Devices& devices)
    : clock(std::make_shared<hidhost::sim::VirtualClock>()),
      host(Install(hidhost::sim::SimulatedHost::CreateFromJson(devices.json, "test", clock))) {
  session.runState.ReaderPresent = 1;
}

std::vector<std::string> ReaderSession::TakeSentFrames() {
  // A frame ends at the byte after an ETX that equals the exclusive or of
  // every byte before it; zero padding lies between frames.
  std::vector<std::string> frames;
  std::vector<uint8_t> frame;
  uint8_t lrc = 0;
  for (const std::string& line : host->Transcript()) {
    const size_t at = line.find(" SET_FEATURE ");
    if (at == std::string::npos) continue;
    std::istringstream bytes(line.substr(at + 13));
    std::string hex;
    bytes >> hex;  // the report ID
    while (bytes >> hex) {
      const auto b = static_cast<uint8_t>(std::stoul(hex, nullptr, 16));
      if (frame.empty() && b != readerlink::kStx) continue;
      const bool end = frame.size() >= 2 && frame.back() == readerlink::kEtx && b == lrc;
      frame.push_back(b);
      lrc ^= b;
      if (end) {
        frames.push_back(HexText(frame));
        frame.clear();
        lrc = 0;
      }
    }
  }
  host->ClearTranscript();
  return frames;
}

std::string HexByte(uint8_t byte) { return hidhost::HexBytesEachSpaced({&byte, 1}); }

std::string TypedFrameText(const std::string& text) {
  return HexText(readerlink::BuildTypedFrame(text));
}

std::string HexFrameText(const std::string& hexText) {
  std::string digits = hexText;
  std::erase(digits, ' ');
  std::vector<uint8_t> bytes;
  uint32_t count = static_cast<uint32_t>(digits.size());
  readerlink::HexToBytes(digits, &bytes, &count);
  bytes.resize(count);
  return HexText(readerlink::BuildHexFrame(bytes));
}

}  // namespace utility::testing
