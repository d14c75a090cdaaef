#pragma once

#include <string>

#include "file/FileC.h"

namespace file {

// Writes a file beside its final name and puts it in place only once it is whole and on the
// medium (write, fsync, rename), so that after a power cut the final name holds either its old or
// its new contents, never a part. The temporary name is the final one's folder, a dot, the name
// and ".zup-new"; it is never kept: a failure removes it, and the next write of the same file
// replaces what a cut left there.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Ends every temporary name: no other file may have such a name beside the ones written here.
    static constexpr const char* kSuffix = ".zup-new";

    static std::string TemporaryPath(const std::string& finalPath);

    // Removes what may stand at the temporary name and creates it afresh (never through a link).
    bool Open(const std::string& finalPath);
    bool IsOpen() const { return file.IsOpen(); }
    int Write(const void* buffer, int n) { return file.Write(buffer, n); }
    // fsync, close, rename into place. False when any of them failed; the temporary file is
    // gone then and the final name untouched.
    bool Commit();
    // Closes and removes the temporary file, if one is open.
    void Abandon();

private:
    FileC file;
    std::string finalPath;
    std::string tempPath;
};

}  // namespace file
