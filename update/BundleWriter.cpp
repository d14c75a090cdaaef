#include "update/BundleWriter.h"

#include <lzo/lzo1x.h>

#include <cstring>

#include "update/Md5.h"

using bundle::kChunkSize;

BundleWriter::BundleWriter() {
    lzo_init();
}

bool BundleWriter::Open(const std::string& path) {
    entries = 0;
    failed = false;
    // Read back at the end: the digest covers what is really in the file.
    if (!out.Open(path, "w+"))
        return false;
    const uint8_t empty[bundle::kHeadSize] = {};
    return Put(empty, sizeof(empty));
}

bool BundleWriter::Put(const void* data, size_t length) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    while (length > 0 && !failed) {
        const int n = length < kChunkSize ? static_cast<int>(length) : static_cast<int>(kChunkSize);
        if (out.Write(bytes, n) != n)
            failed = true;
        bytes += n;
        length -= static_cast<size_t>(n);
    }
    return !failed;
}

bool BundleWriter::PutHead(const bundle::EntryHead& head) {
    uint8_t bytes[bundle::kEntryHeadSize];
    head.Encode(bytes);
    ++entries;
    return Put(bytes, sizeof(bytes));
}

bool BundleWriter::PutLength(uint32_t length) {
    uint8_t bytes[4];
    bundle::StoreLe32(bytes, length);
    return Put(bytes, sizeof(bytes));
}

bool BundleWriter::AddObject(const bundle::EntryHead& head) {
    return PutHead(head);
}

bool BundleWriter::AddDataPart(const bundle::EntryHead& head, uint32_t declaredLength,
                               const void* data, size_t length) {
    return PutHead(head) && PutLength(declaredLength) && Put(data, length);
}

bool BundleWriter::AddDataPart(const bundle::EntryHead& head, const std::string& data) {
    return AddDataPart(head, static_cast<uint32_t>(data.size()), data.data(), data.size());
}

bool BundleWriter::AddFile(bundle::EntryHead head, const std::string& contents, bool tryLzo) {
    // Sizes are 32-bit in the bundle.
    if (contents.size() != static_cast<uint32_t>(contents.size()))
        return false;
    head.size = static_cast<uint32_t>(contents.size());
    Md5 md5;
    md5.Update(contents.data(), contents.size());
    md5.Final();
    std::memcpy(head.digest, md5.Digest(), Md5::kDigestSize);
    head.compression = bundle::kStored;
    if (tryLzo && !contents.empty()) {
        const std::string packed = LzoData(contents);
        if (!packed.empty() && packed.size() < contents.size()) {
            head.compression = bundle::kLzo1x;
            return AddDataPart(head, packed);
        }
    }
    return AddDataPart(head, contents);
}

bool BundleWriter::AddStream(bundle::EntryHead head, file::AbstractFile& source) {
    head.compression = bundle::kStored;
    std::memset(head.digest, 0, sizeof(head.digest));
    const int64_t at = out.Tell();
    if (!PutHead(head) || !PutLength(head.size))
        return false;
    Md5 md5;
    std::vector<uint8_t> chunk(kChunkSize);
    for (uint32_t done = 0; done < head.size;) {
        const uint32_t left = head.size - done;
        const int want = static_cast<int>(left < kChunkSize ? left : kChunkSize);
        if (source.Read(chunk.data(), want) != want)
            return false;
        md5.Update(chunk.data(), static_cast<size_t>(want));
        if (!Put(chunk.data(), static_cast<size_t>(want)))
            return false;
        done += static_cast<uint32_t>(want);
    }
    md5.Final();
    // The digest leads the entry head: put it in now that the contents have been seen.
    const int64_t end = out.Tell();
    if (out.Seek(at) != 0)
        failed = true;
    Put(md5.Digest(), Md5::kDigestSize);
    if (out.Seek(end) != 0)
        failed = true;
    return !failed;
}

bool BundleWriter::AddBytes(const void* data, size_t length) {
    return Put(data, length);
}

bool BundleWriter::Finish(bundle::Head head, const std::function<void(bundle::Head&)>& tamper) {
    Md5 md5;
    if (!failed && (!out.Flush() || out.Seek(bundle::kHeadSize) != 0))
        failed = true;
    std::vector<uint8_t> chunk(kChunkSize);
    while (!failed) {
        const int n = out.Read(chunk.data(), static_cast<int>(kChunkSize));
        md5.Update(chunk.data(), static_cast<size_t>(n));
        if (n < static_cast<int>(kChunkSize))
            break;
    }
    md5.Final();
    head.fileCount = entries;
    std::memcpy(head.digest, md5.Digest(), Md5::kDigestSize);
    head.checksum = head.ComputeChecksum();
    if (tamper)
        tamper(head);
    uint8_t bytes[bundle::kHeadSize];
    head.Encode(bytes);
    if (!failed && out.Seek(0) != 0)
        failed = true;
    Put(bytes, sizeof(bytes));
    if (!out.Close())
        failed = true;
    return !failed;
}

std::string BundleWriter::LzoData(const std::string& contents) {
    const size_t n = contents.size();
    // The worst case LZO1X documents for incompressible input.
    std::string packed(4 + n + n / 16 + 64 + 3, '\0');
    std::vector<uint8_t> work(LZO1X_999_MEM_COMPRESS);
    lzo_uint length = packed.size() - 4;
    const int result =
        lzo1x_999_compress(reinterpret_cast<const uint8_t*>(contents.data()), n,
                           reinterpret_cast<uint8_t*>(&packed[4]), &length, work.data());
    if (result != LZO_E_OK)
        return std::string();
    bundle::StoreBe32(reinterpret_cast<uint8_t*>(&packed[0]), static_cast<uint32_t>(n));
    packed.resize(4 + length);
    return packed;
}
