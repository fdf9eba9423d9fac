// The setup tool's window icon: a card with a magnetic stripe.
#pragma once

#include <QIcon>

namespace skelmar {

QIcon SetupIcon();

}  // namespace skelmar
