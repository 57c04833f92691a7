#pragma once
// The identity the linker stamped on this program (its GNU build ID), as hex
// text: it changes with every change to the code, and stays the same when the
// program is copied or installed. Empty when the program carries none.
#include <QByteArray>

namespace quintelle::platform {

QByteArray programBuildId();

}  // namespace quintelle::platform
