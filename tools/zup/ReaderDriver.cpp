#include "tools/zup/ReaderDriver.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/FileSystem.h"
#include "tools/zup/ProgressBar.h"
#include "update/BundleReader.h"

namespace zup {

namespace {

// One step after the other until done (101) or failed; returns the exit status.
int RunSteps(BundleReader& reader, int (BundleReader::*step)(), const char* label,
             const std::string& bundle) {
    int result = 0;
    {
        ProgressBar bar(label);
        while (result >= 0 && result != 101) {
            result = (reader.*step)();
            bar.Show(result);
        }
    }
    if (result == 101)
        return 0;
    std::fflush(stdout);
    std::fprintf(stderr, "zup: %s: %s failed (%d)\n", bundle.c_str(), label, result);
    return 1;
}

int VerifyWith(BundleReader& reader, const std::string& bundle, const std::string& ca) {
    reader.SetSignatureAuthority(ca);
    reader.SetBundlePath(bundle);
    return RunSteps(reader, &BundleReader::VerifyStep, "verify", bundle);
}

}  // namespace

int Verify(const std::string& bundle, const std::string& ca) {
    BundleReader reader(0);
    return VerifyWith(reader, bundle, ca);
}

int Extract(const std::string& bundle, const std::string& destDir, const std::string& ca) {
    struct stat info {};
    if (platform::Stat(destDir, &info) != 0 || !S_ISDIR(info.st_mode)) {
        std::fprintf(stderr, "zup: %s: not a directory\n", destDir.c_str());
        return 1;
    }
    std::string root = destDir;
    if (root[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof(cwd)) == nullptr) {
            std::fprintf(stderr, "zup: cannot tell the current directory\n");
            return 1;
        }
        root = std::string(cwd) + "/" + root;
    }
    BundleReader reader(0);
    reader.SetDestinationRoot(root);
    // A tree made with cp -al shares its files with another: a mode change must not reach it.
    reader.SetCopyLinkedFiles(true);
    if (VerifyWith(reader, bundle, ca) != 0)
        return 1;
    return RunSteps(reader, &BundleReader::ExtractStep, "extract", bundle);
}

}  // namespace zup
