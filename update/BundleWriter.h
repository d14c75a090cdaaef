#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "file/FileC.h"
#include "update/BundleFormat.h"

// Writes an update bundle entry by entry, then its head. Every field is written as given, so the
// same writer makes the bundles we ship and the broken ones the tests need; the helpers that
// fill sizes and digests are the only ones that compute anything.
class BundleWriter {
public:
    BundleWriter();
    BundleWriter(const BundleWriter&) = delete;
    BundleWriter& operator=(const BundleWriter&) = delete;

    // Creates (or replaces) the bundle file, leaving room for the head.
    bool Open(const std::string& path);

    // An entry without a data part (directories, links, nodes, FIFOs, mode entries).
    bool AddObject(const bundle::EntryHead& head);
    // An entry head and a data part whose length field says declaredLength, whatever follows.
    bool AddDataPart(const bundle::EntryHead& head, uint32_t declaredLength, const void* data,
                     size_t length);
    bool AddDataPart(const bundle::EntryHead& head, const std::string& data);
    // A regular file from memory: size and digest filled in; stored as LZO1X when tryLzo and
    // that is smaller, else as it is.
    bool AddFile(bundle::EntryHead head, const std::string& contents, bool tryLzo);
    // head.size bytes copied from source in chunks, stored as they are (large files); the digest
    // is filled in. Fails if source ends early.
    bool AddStream(bundle::EntryHead head, file::AbstractFile& source);
    // Bytes as they are, outside any entry.
    bool AddBytes(const void* data, size_t length);

    // Fills the file count (entries added), the digest of everything written behind the head
    // and the checksum into head, lets tamper change what it likes, writes the head and closes
    // the file. False if any write failed.
    bool Finish(bundle::Head head, const std::function<void(bundle::Head&)>& tamper = nullptr);

    // Closes the file without a head, after a failure (the caller removes it).
    void Abandon() { out.Close(); }

    uint32_t EntryCount() const { return entries; }

    // The data of a compressed file: its size, big-endian, then one LZO1X stream.
    static std::string LzoData(const std::string& contents);

private:
    bool Put(const void* data, size_t length);
    bool PutHead(const bundle::EntryHead& head);
    bool PutLength(uint32_t length);

    file::FileC out;
    uint32_t entries = 0;
    bool failed = false;
};
