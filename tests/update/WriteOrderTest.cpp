// Every file an extraction writes goes through write, fsync and rename, in this order: a recording
// backend sees the real calls and what the file held when it was flushed to the medium.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "file/ReplacingFile.h"
#include "platform/TargetSystem.h"
#include "tests/support/TempDir.h"
#include "tests/update/BundleFixture.h"

using fixture::Sandbox;

namespace {

class RecordingSystem : public platform::TargetSystem {
public:
    FILE* OpenStream(const char* path, const char* mode) override {
        FILE* stream = TargetSystem::OpenStream(path, mode);
        if (stream != nullptr && mode[0] != 'r') {
            paths[stream] = path;
            calls.push_back("open " + std::string(path));
        }
        return stream;
    }
    int CloseStream(FILE* stream) override {
        const auto it = paths.find(stream);
        if (it != paths.end()) {
            calls.push_back("close " + it->second);
            paths.erase(it);
        }
        return TargetSystem::CloseStream(stream);
    }
    int SyncStream(FILE* stream) override {
        const int result = TargetSystem::SyncStream(stream);
        // What the medium holds now: the whole contents, or the order is wrong.
        struct stat info {};
        ::fstat(fileno(stream), &info);
        calls.push_back("fsync " + paths[stream] + " " + std::to_string(info.st_size));
        return result;
    }
    int Rename(const char* from, const char* to) override {
        calls.push_back("rename " + std::string(from) + " " + to);
        return TargetSystem::Rename(from, to);
    }

    std::map<FILE*, std::string> paths;
    std::vector<std::string> calls;
};

}  // namespace

TEST(WriteOrderTest, EveryFileIsWrittenFlushedAndRenamedIntoPlace) {
    Sandbox box;
    testsupport::MakeDirs(box.InRoot("boot"));
    testsupport::WriteFile(box.InRoot("boot/zImage"), "old kernel");
    const std::string app(70000, 'a');
    const std::string bundle = box.NewBundle()
                                   .File("boot/zImage", std::string(9000, 'k'))
                                   .File("arvel/arvel", app, 0100755, true)
                                   .Large("data/maps.bin", std::string(20000, 'm'))
                                   .File("etc/empty", "")
                                   .Finish();
    platform::System& previous = platform::Current();
    RecordingSystem recorder;
    platform::Install(&recorder);
    const fixture::StepRun run = box.Install(bundle);
    platform::Install(&previous);
    ASSERT_EQ(run.Last(), 101) << run.out;

    const std::map<std::string, size_t> files = {{"boot/zImage", 9000},
                                                 {"arvel/arvel", app.size()},
                                                 {"data/maps.bin", 20000},
                                                 {"etc/empty", 0}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.first);
        const std::string path = box.InRoot(f.first);
        const std::string temp = file::ReplacingFile::TemporaryPath(path);
        const std::vector<std::string> expected = {"open " + temp,
                                                   "fsync " + temp + " " + std::to_string(f.second),
                                                   "close " + temp, "rename " + temp + " " + path};
        std::vector<std::string> seen;
        for (const std::string& call : recorder.calls) {
            if (call.find(" " + path) != std::string::npos ||
                call.find(" " + temp) != std::string::npos)
                seen.push_back(call);
        }
        EXPECT_EQ(seen, expected) << "nothing else opens the final name for writing";
        EXPECT_FALSE(testsupport::Exists(temp));
    }
}
