#include "tools/zup/ZupOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace zup {

namespace {

bool ParseNumber(const std::string& text, uint64_t max, uint64_t* value) {
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v > max)
        return false;
    *value = v;
    return true;
}

bool ParseCreate(const std::vector<std::string>& args, Options* o, std::string* error) {
    std::vector<std::string> operands;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--type" || a == "--content-version" || a == "--compress" ||
            a == "--large-threshold") {
            if (i + 1 >= args.size()) {
                *error = a + " needs a value";
                return false;
            }
            const std::string& v = args[++i];
            uint64_t n = 0;
            if (a == "-o") {
                o->output = v;
            } else if (a == "--type") {
                if (!ParseNumber(v, 65535, &n) || n == 0) {
                    *error = "--type must be 1 to 65535";
                    return false;
                }
                o->bundleType = static_cast<uint16_t>(n);
            } else if (a == "--content-version") {
                if (!ParseNumber(v, 65535, &n)) {
                    *error = "--content-version must be 0 to 65535";
                    return false;
                }
                o->contentVersion = static_cast<uint16_t>(n);
            } else if (a == "--compress") {
                if (v != "lzo" && v != "none") {
                    *error = "--compress must be lzo or none";
                    return false;
                }
                o->lzo = v == "lzo";
            } else {
                if (!ParseNumber(v, UINT32_MAX, &n)) {
                    *error = "--large-threshold must be 0 to 4294967295 bytes";
                    return false;
                }
                o->largeThreshold = static_cast<uint32_t>(n);
            }
        } else if (a.size() > 1 && a[0] == '-') {
            *error = "unknown option " + a;
            return false;
        } else {
            operands.push_back(a);
        }
    }
    if (o->output.empty()) {
        *error = "create needs -o OUT.zup";
        return false;
    }
    if (operands.size() != 1) {
        *error = "create needs one ROOTDIR";
        return false;
    }
    o->rootDir = operands[0];
    return true;
}

// The options of list, verify, extract and sign, each taking a value, and their operands.
bool ParseOperands(const std::vector<std::string>& args,
                   const std::vector<std::pair<const char*, std::string*>>& valued,
                   std::vector<std::string>* operands, std::string* error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string* value = nullptr;
        for (const auto& option : valued) {
            if (a == option.first)
                value = option.second;
        }
        if (value != nullptr) {
            if (i + 1 >= args.size()) {
                *error = a + " needs a value";
                return false;
            }
            *value = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            *error = "unknown option " + a;
            return false;
        } else {
            operands->push_back(a);
        }
    }
    return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options* o, std::string* error) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            o->command = Command::kHelp;
            return true;
        }
    }
    if (args.empty()) {
        *error = "no command";
        return false;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "create") {
        o->command = Command::kCreate;
        return ParseCreate(args, o, error);
    }
    size_t wanted = 0;
    std::vector<std::pair<const char*, std::string*>> valued;
    if (command == "list") {
        o->command = Command::kList;
        wanted = 1;
    } else if (command == "verify") {
        o->command = Command::kVerify;
        wanted = 1;
        valued = {{"--ca", &o->ca}};
    } else if (command == "extract") {
        o->command = Command::kExtract;
        wanted = 2;
        valued = {{"--ca", &o->ca}};
    } else if (command == "sign") {
        o->command = Command::kSign;
        wanted = 1;
        valued = {{"--cert", &o->cert}, {"--key", &o->key}, {"--chain", &o->chain}};
    } else {
        *error = "unknown command " + command;
        return false;
    }
    std::vector<std::string> operands;
    if (!ParseOperands(args, valued, &operands, error))
        return false;
    for (const auto& option : valued) {
        if (option.second->empty() &&
            args.end() != std::find(args.begin(), args.end(), option.first)) {
            *error = std::string(option.first) + " needs a value";
            return false;
        }
    }
    if (o->command == Command::kSign && (o->cert.empty() || o->key.empty())) {
        *error = "sign needs --cert CERT.pem and --key KEY.pem";
        return false;
    }
    if (operands.size() != wanted) {
        *error = command + (wanted == 1 ? " needs one BUNDLE" : " needs BUNDLE and DESTDIR");
        return false;
    }
    o->bundle = operands[0];
    if (wanted == 2)
        o->destDir = operands[1];
    return true;
}

const char* ShortUsage() {
    return "usage: zup create -o OUT.zup [--type N] [--content-version N] [--compress lzo|none]\n"
           "                  [--large-threshold BYTES] ROOTDIR\n"
           "       zup list BUNDLE\n"
           "       zup verify [--ca CA.pem] BUNDLE\n"
           "       zup extract [--ca CA.pem] BUNDLE DESTDIR\n"
           "       zup sign --cert CERT.pem --key KEY.pem [--chain CHAIN.pem] BUNDLE\n"
           "       zup --help\n";
}

const char* FullUsage() {
    return "zup - make, list, verify and install Tovrask update bundles\n"
           "\n"
           "usage: zup create -o OUT.zup [--type N] [--content-version N] [--compress lzo|none]\n"
           "                  [--large-threshold BYTES] ROOTDIR\n"
           "       zup list BUNDLE\n"
           "       zup verify [--ca CA.pem] BUNDLE\n"
           "       zup extract [--ca CA.pem] BUNDLE DESTDIR\n"
           "       zup sign --cert CERT.pem --key KEY.pem [--chain CHAIN.pem] BUNDLE\n"
           "       zup --help\n"
           "\n"
           "create   writes a bundle of the tree under ROOTDIR (ROOTDIR itself is not an entry;\n"
           "         links are stored, never followed), sorted bytewise by path.\n"
           "           -o OUT.zup               the bundle to write (replaced if it exists)\n"
           "           --type N                 bundle type, 1 to 65535 (default 1)\n"
           "           --content-version N      0 to 65535, shown as N/100.N%100 (default 100)\n"
           "           --compress lzo|none      LZO1X where smaller, or store all (default lzo)\n"
           "           --large-threshold BYTES  files of this size or more are stored as large\n"
           "                                    files, copied in chunks (default 16777216)\n"
           "list     one line per entry: type, mode (octal), size, compression, path, and\n"
           "         -> target for links; on standard error whether BUNDLE.sig is beside it\n"
           "verify   checks the head and the MD5 of the bundle as the device does\n"
           "           --ca CA.pem              also the signature BUNDLE.sig, as a display\n"
           "                                    holding CA.pem as /etc/zup-ca.pem does\n"
           "extract  verifies (with --ca, the signature too), then installs the bundle under\n"
           "         DESTDIR (which must exist) as the device installs it onto its root file\n"
           "         system\n"
           "sign     writes BUNDLE.sig: a CMS signature (DER) of the bundle's SHA-256 and size\n"
           "           --cert CERT.pem          the signer's certificate\n"
           "           --key KEY.pem            its private key\n"
           "           --chain CHAIN.pem        intermediate certificates to include\n"
           "\n"
           "The reader's lines go to standard output, as on the device; zup's own messages to\n"
           "standard error, with a progress bar when that is a terminal. Exit status: 0 done,\n"
           "1 failed, 2 usage error.\n";
}

}  // namespace zup
