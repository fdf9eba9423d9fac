// Symbol visibility for the host layer's shared library: only what is marked
// HIDHOST_API is exported, on every platform. HIDHOST_STATIC is set for
// programs that link the layer's static library instead.
#pragma once

#if defined(HIDHOST_STATIC)
#  define HIDHOST_API
#elif defined(_WIN32)
#  if defined(HIDHOST_BUILDING)
#    define HIDHOST_API __declspec(dllexport)
#  else
#    define HIDHOST_API __declspec(dllimport)
#  endif
#else
#  define HIDHOST_API __attribute__((visibility("default")))
#endif
