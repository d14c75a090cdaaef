#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "file/FileC.h"
#include "file/ReplacingFile.h"
#include "update/BundleFormat.h"
#include "update/BundleSignature.h"
#include "update/Md5.h"

// Reads an update bundle: opens it and checks its head, verifies the MD5 of its body, and
// installs its entries under a destination root. The work is cut into steps, one per pass of
// the main loop: VerifyStep and ExtractStep return a progress of 0..100, 101 when done, or a
// negative error code (BundleError.h), after which the reader stays failed until the next
// SetBundlePath.
// With a CA file set, the verification also needs the bundle's detached signature to be valid
// (BundleSignature), checked once the MD5 has matched and before anything can be extracted.
//
// The destination is a root file system. Every entry path is resolved inside it as the device
// will see it once that tree is its root: links on the way are followed within the tree, ".."
// never climbs above it, and nothing outside the destination root is ever created, written,
// removed or changed.
class BundleReader {
public:
    // Reading and unpacking buffers are reserved once for files of up to reserve bytes (at least
    // one chunk); whole regular files are held in memory while they are installed.
    explicit BundleReader(uint32_t reserve);
    ~BundleReader();
    BundleReader(const BundleReader&) = delete;
    BundleReader& operator=(const BundleReader&) = delete;

    // Stored with a "/" appended unless empty or already there.
    void SetDestinationRoot(const std::string& path);
    void SetBundlePath(const std::string& path);
    // The CA file whose certificates a bundle's signature must lead to; empty (the default): a
    // bundle needs no signature. Kept for every bundle after.
    void SetSignatureAuthority(const std::string& caPath) { signature.SetAuthority(caPath); }

    // Opens the bundle and checks its head: magic, type, version, checksum, in that order.
    bool OpenHead();
    int VerifyStep();
    int ExtractStep();

    // Whether the current extraction wrote the regular file at this relative path.
    bool WasExtracted(const std::string& path) const;
    // Whether the current extraction left the bundle's regular file at this relative path in
    // place: written, or found unchanged (as after an earlier, interrupted run).
    bool HasInPlace(const std::string& path) const;

    // Entries at `path` (or below it) are installed at `held` instead, by the next extractions;
    // they keep their own names in the console lines and in WasExtracted. The boot manager keeps
    // a bundle's marker from counting before the whole update is done. Empty path: none.
    // No entry may reach a reserved name (or the held-back names) but the held-back entry itself.
    void HoldBack(const std::string& path, const std::string& held,
                  const std::vector<std::string>& reserved = {});
    // A file, device node or FIFO that has further hard links gets a mode change on a copy of
    // its own, put in its place, so that its other names (which may lie outside the destination)
    // keep theirs. For a tree on a workstation; the device changes the mode in place.
    void SetCopyLinkedFiles(bool copy) { copyLinkedFiles = copy; }
    // The text of an error code; null for 0.
    static const char* ErrorText(int code);
    // Bundle offset * 100 / bundle size.
    int Progress();
    void CloseBundle();

    int State() const { return state; }
    int Error() const { return error; }
    const std::string& DestinationRoot() const { return destRoot; }
    bundle::Head BundleHead() const { return bundle::Head::Decode(head); }
    const std::vector<std::string>& Extracted() const { return extracted; }

private:
    int Fail(int code);

    int StepStart();
    int StepEntryHead();
    int StepCompare();
    int StepDataLength();
    int StepReadData();
    int StepUnpack();
    int StepWrite();
    int StepCopyLarge();
    int StepObject();
    int StepMode();
    int StepNext();

    // Resolves the current entry's path inside the destination root into a full path. With
    // create, the missing directories on the way are made (each reported), as CreatePath does
    // for a full path. Returns 0 or an error code.
    int ResolveEntry(bool create, bool followFinal, std::string* full);
    int CreatePath() { return ResolveEntry(true, false, &fullPath); }
    bool OpenForWriting();
    // Fsyncs, closes and renames the file written into place.
    int CommitWritten();
    // Puts a copy of its own in place of a multiply linked file, node or FIFO, so that
    // the mode change that follows reaches no other name. False: nothing was copied, and the
    // mode is left alone.
    bool ChangeModeOnCopy(const struct stat& info);
    int Decompress();
    // Reads a data length; false when it cannot be read.
    bool ReadDataLength(uint32_t* length);
    // Whether that many bytes are left in the bundle.
    bool DataFits(uint32_t length) const;
    std::string FullPath(const std::string& resolved) const;

    uint8_t head[bundle::kHeadSize] = {};
    uint8_t entry[bundle::kEntryHeadSize] = {};
    std::string bundlePath;
    std::string destRoot = "0:/";
    Md5 md5;
    int state = 0;
    int error = 0;
    std::unique_ptr<file::FileC> bundleFile;
    std::unique_ptr<file::FileC> destFile;
    bool bundleOpen = false;
    uint64_t bundleSize = 0;
    std::vector<uint8_t> buffer;
    std::vector<uint8_t> output;
    uint32_t counter = 0;
    std::vector<std::string> extracted;
    BundleSignature signature;
    std::vector<std::string> inPlace;
    // The file being written, beside its final name until it is complete.
    file::ReplacingFile newFile;
    std::vector<std::string> heldPath;
    std::vector<std::string> heldAs;
    std::vector<std::vector<std::string>> reservedPaths;
    bool heldBack = false;  // the current entry is a held-back one
    bool copyLinkedFiles = false;

    // The entry being extracted, decoded, and its full path (its own last link not followed).
    bundle::EntryHead current;
    std::string relativePath;
    // Its names as installed (after HoldBack), without empty and "." ones.
    std::vector<std::string> parts;
    std::string fullPath;
};
