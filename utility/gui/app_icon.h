// The application icon: a card passing through a reader, drawn at run time.
#pragma once

#include <QIcon>

namespace utility {

QIcon UtilityIcon();

}  // namespace utility
