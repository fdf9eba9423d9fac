// The event worker of an open device: one thread that reads the device's
// input reports, refreshes the input items of each report's ID and calls the
// client's callback when an item of the event-code table changes value.
//
// Threads: StartEventWorker, SetHandler, SetMask and DestroyDevice run on the
// client's thread; the callback runs on the worker's. The callback and its
// context are published together, so the worker never pairs a new callback
// with an old context.
#pragma once

#include <cstdint>
#include <memory>

#include "hid_device.h"
#include "exports.h"  // the public declarations, with their export visibility

namespace tandril {

// The event code raised when an input item with this 8-bit usage changes
// value, or 0 when the usage raises none.
uint32_t EventCodeOfUsage(uint8_t usage);

// Starts the device's worker unless it has been started before (a worker
// that has ended is not started again). False, with the platform's code,
// when the thread cannot be created.
bool StartEventWorker(HIDDevice& device);

// Installs a callback (may be null) with its context, whether or not the
// worker runs.
void SetHandler(HIDDevice& device, EventCallback callback, uintptr_t context);

// Stores the notification mask; works whether or not the worker runs.
void SetMask(HIDDevice& device, uint32_t mask);

// Frees a device taken out of the device table. Its worker is stopped first
// (a pending read is cancelled) and waited for. Called on the device's own
// worker thread, from inside its callback, the device stays alive until the
// callback returns and the worker frees it on its way out.
void DestroyDevice(std::unique_ptr<HIDDevice> device);

}  // namespace tandril
