#pragma once

#include <cstddef>
#include <string>

namespace file {

// Reads a small file whole: at most limit + 1 bytes, so that a file over the limit shows as
// longer than limit. False when it cannot be opened.
bool ReadAll(const std::string& path, size_t limit, std::string* contents);

}  // namespace file
