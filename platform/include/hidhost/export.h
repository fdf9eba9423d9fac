// Symbol visibility for the host layer's shared library.
#pragma once

#if defined(_WIN32)
#  if defined(HIDHOST_BUILDING)
#    define HIDHOST_API __declspec(dllexport)
#  else
#    define HIDHOST_API __declspec(dllimport)
#  endif
#else
#  define HIDHOST_API __attribute__((visibility("default")))
#endif
