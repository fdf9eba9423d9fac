// Helpers for driving simulated devices through the host interface.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "hidhost/sim.h"

namespace hidhost::sim::testing {

struct TestHost {
  std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>();
  std::shared_ptr<SimulatedHost> host;
};

TestHost MakePresetHost(const std::string& preset);
TestHost MakeJsonHost(const std::string& json, std::string* error = nullptr);

std::vector<std::string> Paths(Host& host);

// Opens the first interface whose attributes carry `product` and whose
// collection has feature reports.
std::unique_ptr<Device> OpenConfigInterface(Host& host, uint16_t product);

std::vector<uint8_t> Frame(const std::vector<uint8_t>& payload);        // STX .. ETX LRC
std::vector<uint8_t> TypedFrame(const std::string& text);               // STX text CR ETX LRC

// Writes `frame` in feature reports of the interface's length, then reads
// the feature report `reads` times and returns the data bytes from the first
// non-empty report on, trailing zeros dropped, as a reader utility does.
std::vector<uint8_t> Exchange(Device& device, const std::vector<uint8_t>& frame, int reads = 20);

std::string Hex(const std::vector<uint8_t>& bytes);

}  // namespace hidhost::sim::testing
