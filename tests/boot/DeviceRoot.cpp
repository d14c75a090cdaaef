#include "tests/boot/DeviceRoot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

using testsupport::MakeDirs;
using testsupport::WriteFile;

DeviceRoot::DeviceRoot(bool igep) : nandDevice_(igep ? "dev/mtdblock2" : "dev/mtdblock4") {
    for (const std::string& d : {nandDevice_, std::string("dev/mmcblk0p1"), std::string("dev/mmcblk0p2"),
                                 std::string("mnt/nand"), std::string("mnt/usb"), std::string("mnt/maps"),
                                 std::string("proc"), std::string("sbin")}) {
        MakeDirs(dir_ / d);
    }
    // A root file system: the boot partition's mount point and the usual folders.
    for (const char* d : {"boot", "etc", "var", "arvel"}) MakeDirs(Nand(d));
    WriteFile(dir_ / "proc/cmdline", "console=ttyO2,115200n8 qlx=ArvelII lcdt=1 root=/dev/mtdblock4 rw\n");
    WriteFile(dir_ / "proc/cpuinfo", std::string("Processor\t: ARMv7 Processor rev 2 (v7l)\nHardware\t: ") +
                                          (igep ? "IGEP v2" : "Gumstix Overo") + "\nRevision\t: 0020\n");
}

void DeviceRoot::WriteNand(const std::string& rel, const std::string& contents) const {
    const std::string path = Nand(rel);
    MakeDirs(path.substr(0, path.rfind('/')));
    WriteFile(path, contents);
}

void DeviceRoot::WriteUsb(const std::string& rel, const std::string& contents) const {
    InsertUsb();
    WriteFile(Usb(rel), contents);
}

void DeviceRoot::WriteMaps(const std::string& rel, const std::string& contents) const {
    WriteFile(Maps(rel), contents);
}

void DeviceRoot::InsertUsb() const { MakeDirs(dir_ / "dev/sda1"); }

void DeviceRoot::InstallApplication(size_t size, bool marker) const {
    WriteNand("arvel/arvel", std::string(size, 'a'));
    if (marker) WriteNand("etc/skip-update", "1");
}

void DeviceRoot::Stub(const std::string& name, int status) const {
    const std::string path = dir_ / ("sbin/" + name);
    WriteFile(path, "#!/bin/sh\necho \"" + name + " $*\" >> '" + (dir_ / "calls") + "'\necho \"" + name +
                        " called.\"\nexit " + std::to_string(status) + "\n");
    ::chmod(path.c_str(), 0755);
}

std::string DeviceRoot::Calls() const { return testsupport::ReadFile(dir_ / "calls"); }

namespace {

std::vector<std::string> SimArgs(const std::string& root, const std::string& keys, double rate,
                                 const std::vector<std::string>& more) {
    std::ostringstream clock;
    clock << rate;
    std::vector<std::string> args = {"--root", root, "--timeout-ms", testsupport::kSimulatorHangMs, "--clock-rate", clock.str()};
    if (!keys.empty()) args.insert(args.end(), {"--keys", keys});
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

}  // namespace

testsupport::ProcessResult DeviceRoot::Run(const std::string& keys, double rate,
                                           const std::vector<std::string>& more) const {
    return testsupport::RunProgram("tovrask-sim", SimArgs(Path(), keys, rate, more));
}

testsupport::ProcessResult DeviceRoot::RunCutWhen(const std::string& keys,
                                                  const std::function<bool(const std::string& out)>& cut) const {
    testsupport::ProcessResult r = testsupport::RunProgramCutWhen("tovrask-sim", SimArgs(Path(), keys, 10, {}), cut);
    ::unlink((dir_ / "dev/event2").c_str());
    return r;
}

testsupport::ProcessResult DeviceRoot::RunWithFileLimit(int blocks, const std::string& keys) const {
    std::vector<std::string> argv = {"/bin/sh", "-c",
                                     "trap '' XFSZ; ulimit -f " + std::to_string(blocks) + "; exec \"$@\"", "sh"};
    const std::vector<std::string> sim = testsupport::ProgramCommand("tovrask-sim", SimArgs(Path(), keys, 10, {}));
    argv.insert(argv.end(), sim.begin(), sim.end());
    return testsupport::RunCommand(argv);
}

std::vector<std::string> MainThreadLines(const std::string& out) {
    const std::string exiting = "Exiting key thread!";
    std::string text = out;
    for (size_t at = text.find(exiting); at != std::string::npos; at = text.find(exiting, at))
        text.erase(at, exiting.size());
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const bool keyThread = line.rfind("Reading From : ", 0) == 0 ||
                               line == "input event2 is not a valid device." ||
                               line == "input event1 is not a valid device.";
        if (!keyThread) lines.push_back(line);
    }
    return lines;
}

bool InOrder(const std::string& out, const std::vector<std::string>& expected) {
    size_t at = 0;
    for (const std::string& e : expected) {
        const size_t found = out.find(e, at);
        if (found == std::string::npos) return false;
        at = found + e.size();
    }
    return true;
}
