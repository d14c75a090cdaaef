#pragma once

#include <string>

namespace zup {

// Runs the device's reader over a bundle, step by step. Both return the exit status.
int Verify(const std::string& bundle);
int Extract(const std::string& bundle, const std::string& destDir);

}  // namespace zup
