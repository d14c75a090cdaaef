#pragma once

#include <cstdint>

namespace file {

// A byte stream. Offsets are 64-bit: bundles and the large files inside them may pass 2 GiB.
class AbstractFile {
public:
    virtual ~AbstractFile();

    virtual bool Close() = 0;
    virtual bool Flush() = 0;
    // Both return the number of bytes transferred; 0 at end of file or on error.
    virtual int Read(void* buffer, int n) = 0;
    virtual int Write(const void* buffer, int n) = 0;
    // Absolute position from the start: 0 when it worked, 1 when it did not.
    virtual int Seek(int64_t pos) = 0;
    virtual int64_t Tell() = 0;
    // One line of at most n - 1 characters, carriage returns dropped, ended by a line feed (not
    // stored) or a zero byte. Null when nothing could be read.
    virtual char* ReadLine(char* buf, int n);

    // The first field of a versioned file: n bytes (the magic text and its zero byte). n is at most
    // 32.
    bool ReadMagic(const char* expected, unsigned n);
    // The second field: a 16-bit version, accepted from 1 to max. Returns it, or 0 (with a line
    // naming the object) when it is not supported.
    unsigned ReadVersion(const char* name, unsigned max);
};

}  // namespace file
