#include "tools/common/OutputFile.h"

#include <fstream>

namespace tools {

bool WriteOutputFile(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();  // the last bytes are written out here, and may still fail
    return !out.fail();
}

}  // namespace tools
