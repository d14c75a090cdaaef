#pragma once

#include <cstdio>
#include <string>

#include "file/AbstractFile.h"

namespace file {

// A file through a C library stream; the stream's buffer is the only buffer. Constructed closed;
// it may be opened and closed any number of times.
class FileC : public AbstractFile {
public:
    FileC() = default;
    ~FileC() override;
    FileC(const FileC&) = delete;
    FileC& operator=(const FileC&) = delete;

    // mode as for the C library ("r", "w", ...). A stream still open is closed first, so that
    // reusing one object never leaks a stream (a busy file system cannot be unmounted).
    bool Open(const std::string& path, const char* mode);
    bool IsOpen() const { return fp != nullptr; }
    // Path of the file last opened, kept after closing.
    const std::string& Name() const { return name; }

    // False when the stream reported a failure while it was flushed or closed: a full disk often
    // shows only there, when the C library writes out its buffer.
    bool Close() override;
    bool Flush() override;
    int Read(void* buffer, int n) override;
    int Write(const void* buffer, int n) override;
    int Seek(int64_t pos) override;
    int64_t Tell() override;
    // The C library's line reader: the newline, if read, stays in the buffer.
    char* ReadLine(char* buf, int n) override;

    // Length in bytes (-1 when closed); the position is unchanged afterwards.
    virtual int64_t Size();
    // Cuts the file at the current position.
    virtual bool Truncate();
    // The contents written so far onto the medium (flush, then fsync).
    bool Sync();

private:
    FILE* fp = nullptr;
    std::string name;
};

}  // namespace file
