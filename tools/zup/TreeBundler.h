#pragma once

#include "tools/zup/ZupOptions.h"

namespace zup {

// Writes a bundle of the tree under options.rootDir to options.output; returns the exit status.
// Nothing is written when the tree holds anything a bundle cannot store, and a bundle left
// half-written by a failure is removed.
int CreateBundle(const Options& options);

}  // namespace zup
