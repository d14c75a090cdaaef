#pragma once

#include <string>

namespace zup {

// Runs the device's reader over a bundle, step by step. Both return the exit status.
// With a CA file, the bundle's signature is checked too, as on a display that holds it.
int Verify(const std::string& bundle, const std::string& ca);
int Extract(const std::string& bundle, const std::string& destDir, const std::string& ca);

}  // namespace zup
