// The host layer's error reporting: a per-thread last-error code whose values
// are the Windows system error codes, on every platform.
#pragma once

#include <cstdint>

#include "hidhost/export.h"

namespace hidhost {

constexpr uint32_t kErrorSuccess = 0;
constexpr uint32_t kErrorFileNotFound = 2;        // no such device node or interface path
constexpr uint32_t kErrorPathNotFound = 3;        // path text that names nothing
constexpr uint32_t kErrorAccessDenied = 5;        // permission denied (EACCES, EPERM)
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorGenFailure = 31;         // the device refused or failed a request
constexpr uint32_t kErrorNotSupported = 50;       // the platform cannot do this at all
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorCallNotImplemented = 120;
constexpr uint32_t kErrorInsufficientBuffer = 122;
constexpr uint32_t kErrorBusy = 170;
constexpr uint32_t kErrorInvalidUserBuffer = 1784;
constexpr uint32_t kErrorOperationAborted = 995;  // a pending read was cancelled
constexpr uint32_t kErrorDeviceNotConnected = 1167;  // the device is gone
constexpr uint32_t kErrorNoMoreDevices = 1248;
constexpr uint32_t kErrorTimeout = 1460;

// The calling thread's last-error code. One per thread, shared by every
// library of the suite that is loaded in the process.
HIDHOST_API uint32_t GetLastError();
HIDHOST_API void SetLastError(uint32_t code);

// "ERROR_INVALID_PARAMETER" and the like; "ERROR_<number>" for codes the
// suite does not name.
HIDHOST_API const char* ErrorName(uint32_t code);

// Maps an errno value from the operating system onto the codes above (the
// backends' own; not exported).
uint32_t ErrorFromErrno(int err);

}  // namespace hidhost
