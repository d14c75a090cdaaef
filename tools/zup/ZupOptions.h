#pragma once

#include <cstdint>
#include <string>

namespace zup {

enum class Command { kNone, kHelp, kCreate, kList, kVerify, kExtract, kSign };

struct Options {
    Command command = Command::kNone;
    // create
    std::string output;
    std::string rootDir;
    uint16_t bundleType = 1;
    uint16_t contentVersion = 100;
    bool lzo = true;
    uint32_t largeThreshold = 16u * 1024 * 1024;
    // list, verify, extract
    std::string bundle;
    std::string destDir;
    // verify, extract: the CA file a signature must lead to (empty: no signature is checked)
    std::string ca;
    // sign
    std::string cert;
    std::string key;
    std::string chain;
};

// Parses the command line; on a usage error returns false with a one-line reason in error.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

// The short usage shown after a usage error, and the full one of --help.
const char* ShortUsage();
const char* FullUsage();

}  // namespace zup
