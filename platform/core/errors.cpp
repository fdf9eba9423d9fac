#include "hidhost/errors.h"

#include <cerrno>
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace hidhost {

#if defined(_WIN32)
// The thread's own last-error code, so that a client calling the system's
// GetLastError() sees the codes the suite sets.
uint32_t GetLastError() { return ::GetLastError(); }

void SetLastError(uint32_t code) { ::SetLastError(code); }
#else
namespace {
thread_local uint32_t t_lastError = kErrorSuccess;
}

uint32_t GetLastError() { return t_lastError; }

void SetLastError(uint32_t code) { t_lastError = code; }
#endif

const char* ErrorName(uint32_t code) {
  switch (code) {
    case kErrorSuccess: return "ERROR_SUCCESS";
    case kErrorFileNotFound: return "ERROR_FILE_NOT_FOUND";
    case kErrorPathNotFound: return "ERROR_PATH_NOT_FOUND";
    case kErrorAccessDenied: return "ERROR_ACCESS_DENIED";
    case kErrorInvalidHandle: return "ERROR_INVALID_HANDLE";
    case kErrorNotEnoughMemory: return "ERROR_NOT_ENOUGH_MEMORY";
    case kErrorGenFailure: return "ERROR_GEN_FAILURE";
    case kErrorNotSupported: return "ERROR_NOT_SUPPORTED";
    case kErrorInvalidParameter: return "ERROR_INVALID_PARAMETER";
    case kErrorCallNotImplemented: return "ERROR_CALL_NOT_IMPLEMENTED";
    case kErrorInsufficientBuffer: return "ERROR_INSUFFICIENT_BUFFER";
    case kErrorBusy: return "ERROR_BUSY";
    case kErrorInvalidUserBuffer: return "ERROR_INVALID_USER_BUFFER";
    case kErrorOperationAborted: return "ERROR_OPERATION_ABORTED";
    case kErrorDeviceNotConnected: return "ERROR_DEVICE_NOT_CONNECTED";
    case kErrorNoMoreDevices: return "ERROR_NO_MORE_DEVICES";
    case kErrorTimeout: return "ERROR_TIMEOUT";
    default: break;
  }
  thread_local char text[24];
  std::snprintf(text, sizeof text, "ERROR_%u", static_cast<unsigned>(code));
  return text;
}

uint32_t ErrorFromErrno(int err) {
  switch (err) {
    case 0: return kErrorSuccess;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM: return kErrorAccessDenied;
    case EBADF: return kErrorInvalidHandle;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EINVAL: return kErrorInvalidParameter;
    case ENOSYS:
    case ENOTTY:
    case EOPNOTSUPP: return kErrorNotSupported;
    case EBUSY: return kErrorBusy;
    case ECANCELED: return kErrorOperationAborted;
    case ENODEV:
    case ENXIO:
    case EIO:
#if defined(ESHUTDOWN)
    case ESHUTDOWN:
#endif
      return kErrorDeviceNotConnected;
    case ETIMEDOUT: return kErrorTimeout;
    default: return kErrorGenFailure;  // EPIPE (stall) and anything else the device refused
  }
}

}  // namespace hidhost
