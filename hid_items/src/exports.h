// Included by the files that define the exports: the declarations of the
// public header get default visibility, everything else stays hidden (the
// library builds with -fvisibility=hidden and a version script).
#pragma once

#if defined(__GNUC__)
#pragma GCC visibility push(default)
#endif
#include "tandril.h"
#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
