// zup: makes, lists, verifies and installs update bundles on a workstation, with the same reader
// the device runs.
#include <cstdio>
#include <string>

#include "platform/TargetSystem.h"
#include "tools/zup/BundleLister.h"
#include "tools/zup/BundleSigner.h"
#include "tools/zup/ReaderDriver.h"
#include "tools/zup/TreeBundler.h"
#include "tools/zup/ZupOptions.h"

int main(int argc, char** argv) {
    platform::Install(new platform::TargetSystem());
    zup::Options options;
    std::string error;
    if (!zup::ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "zup: %s\n%s", error.c_str(), zup::ShortUsage());
        return 2;
    }
    switch (options.command) {
        case zup::Command::kHelp:
            std::fputs(zup::FullUsage(), stdout);
            return 0;
        case zup::Command::kCreate:
            return zup::CreateBundle(options);
        case zup::Command::kList:
            return zup::List(options.bundle);
        case zup::Command::kVerify:
            return zup::Verify(options.bundle, options.ca);
        case zup::Command::kExtract:
            return zup::Extract(options.bundle, options.destDir, options.ca);
        case zup::Command::kSign:
            return zup::Sign(options.bundle, options.cert, options.key, options.chain);
        case zup::Command::kNone:
            break;
    }
    return 2;
}
