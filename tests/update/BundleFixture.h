#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "update/BundleFormat.h"
#include "update/BundleReader.h"
#include "update/BundleWriter.h"

// Bundles made in code for the tests, and ways to run the reader over them.
namespace fixture {

// The real system calls; installed once per test program.
void UseTargetSystem();
bool IsRoot();

bundle::EntryHead Entry(uint8_t type, const std::string& path, uint16_t mode = 0);

// A bundle being written; every field can be given, also wrongly, through the entry heads and
// Data (a data part whose length field says what it likes).
class Bundle {
public:
    explicit Bundle(std::string path);

    Bundle& File(const std::string& path, const std::string& contents, uint16_t mode = 0100644,
                 bool lzo = false);
    Bundle& Large(const std::string& path, const std::string& contents, uint16_t mode = 0100644);
    Bundle& Dir(const std::string& path, uint16_t mode = 040755);
    Bundle& Link(const std::string& path, const std::string& target);
    Bundle& Object(const bundle::EntryHead& head);
    Bundle& Data(const bundle::EntryHead& head, uint32_t declaredLength, const std::string& data);
    Bundle& Data(const bundle::EntryHead& head, const std::string& data) {
        return Data(head, static_cast<uint32_t>(data.size()), data);
    }
    Bundle& Bytes(const std::string& bytes);
    // Writes the head (type 1, content version 100, fields filled in, then tamper); returns the
    // bundle's path.
    std::string Finish(const std::function<void(bundle::Head&)>& tamper = nullptr);

private:
    std::string path_;
    BundleWriter writer_;
};

// A file entry head with size and digest of contents.
bundle::EntryHead FileEntry(const std::string& path, const std::string& contents,
                            uint8_t type = bundle::kTypeFile);

struct StepRun {
    std::vector<int> results;
    std::vector<int> states;  // the reader's state after each step
    std::string out;          // what was printed
    int Last() const { return results.empty() ? 0 : results.back(); }
};

// Calls step until it returns 101 or an error (or, for a broken reader, far too often).
StepRun Steps(BundleReader& reader, int (BundleReader::*step)());
// Verifies a bundle (which must pass) and extracts it under root.
StepRun Install(BundleReader& reader, const std::string& bundle, const std::string& root);

// A temporary folder with a destination root in it and, beside the root, things that no bundle
// may touch: outside/keep ("precious", mode 0644) and the folder outside/sub.
class Sandbox {
public:
    Sandbox();
    std::string Top() const { return dir_.Path(); }
    const std::string& Root() const { return root_; }
    std::string InRoot(const std::string& rel) const { return root_ + "/" + rel; }
    std::string Outside() const { return dir_ / "outside"; }
    std::string BundlePath() const { return dir_ / "b.zup"; }
    Bundle NewBundle() const { return Bundle(BundlePath()); }
    // Everything in the temporary folder but the root and the bundle.
    std::map<std::string, std::string> OutsideState() const;
    StepRun Install(const std::string& bundle) { return fixture::Install(reader, bundle, root_); }

    BundleReader reader{0};

private:
    testsupport::TempDir dir_;
    std::string root_;
};

// Every object below a folder, by relative path: kind, permissions, contents, link target or
// device number.
std::map<std::string, std::string> Snapshot(const std::string& dir);

}  // namespace fixture
