#pragma once

#include <string>

namespace zup {

// Prints one line per entry of a bundle; returns the exit status.
int List(const std::string& bundle);

}  // namespace zup
