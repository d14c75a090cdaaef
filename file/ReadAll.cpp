#include "file/ReadAll.h"

#include "file/FileC.h"

namespace file {

bool ReadAll(const std::string& path, size_t limit, std::string* contents) {
    FileC in;
    if (!in.Open(path, "r"))
        return false;
    contents->assign(limit + 1, '\0');
    size_t got = 0;
    while (got < contents->size()) {
        const int n = in.Read(&(*contents)[got], static_cast<int>(contents->size() - got));
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    contents->resize(got);
    return true;
}

}  // namespace file
