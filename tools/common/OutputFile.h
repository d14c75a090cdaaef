#pragma once

#include <cstddef>
#include <string>

namespace tools {

// Replaces the file at path with the bytes; false when it cannot be written out completely.
bool WriteOutputFile(const std::string& path, const void* data, size_t size);

}  // namespace tools
