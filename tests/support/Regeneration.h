#pragma once

#include <string>

namespace testsupport {

// Runs a generator of this build with a fresh output file as its only argument and compares what
// it wrote with the committed file `relative` under sourceDir. Empty when they are the same byte
// for byte; otherwise what went wrong, naming the first differing line and the `target` that
// rebuilds the file.
std::string RegenerationDifference(const std::string& generator, const std::string& sourceDir,
                                   const std::string& relative, const std::string& target);

}  // namespace testsupport
