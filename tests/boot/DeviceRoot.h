#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/support/Subprocess.h"
#include "tests/support/TempDir.h"

// A simulated device for tovrask-sim: the NAND, the boot partition, the maps storage and the
// mount points, a kernel command line and a cpuinfo, and stub service commands in sbin that
// note how they were called. A USB stick is added on demand.
class DeviceRoot {
public:
    explicit DeviceRoot(bool igep = false);

    const std::string& Path() const { return dir_.Path(); }
    std::string operator/(const std::string& rel) const { return dir_ / rel; }
    // Files on the media, by their path on the medium.
    std::string Nand(const std::string& rel) const { return dir_ / (nandDevice_ + "/" + rel); }
    std::string Boot(const std::string& rel) const { return dir_ / ("dev/mmcblk0p1/" + rel); }
    std::string Usb(const std::string& rel) const { return dir_ / ("dev/sda1/" + rel); }
    std::string Maps(const std::string& rel) const { return dir_ / ("dev/mmcblk0p2/" + rel); }

    void WriteNand(const std::string& rel, const std::string& contents) const;
    void WriteUsb(const std::string& rel, const std::string& contents) const;
    void WriteMaps(const std::string& rel, const std::string& contents) const;
    void InsertUsb() const;
    // The marker and an application file of `size` bytes: a normal boot.
    void InstallApplication(size_t size = 100000, bool marker = true) const;
    // A stub in sbin that exits with `status`; each call appends its arguments to ROOT/calls.
    void Stub(const std::string& name, int status) const;
    std::string Calls() const;

    // Runs the simulator with the key script; the clock runs `rate` times faster than real time.
    testsupport::ProcessResult Run(const std::string& keys, double rate = 10,
                                   const std::vector<std::string>& more = {}) const;
    // The same, killed (SIGKILL, as a power cut ends it) once its output so far satisfies cut.
    // The key device the simulator made is removed afterwards, as the device has its own.
    testsupport::ProcessResult RunCutWhen(const std::string& keys,
                                          const std::function<bool(const std::string& out)>& cut) const;
    // The same with files limited to `blocks` of 512 bytes, as on a full medium: a write past
    // the limit fails (EFBIG) instead of ending the process.
    testsupport::ProcessResult RunWithFileLimit(int blocks, const std::string& keys) const;

private:
    testsupport::TempDir dir_;
    std::string nandDevice_;
};

// The lines the main thread wrote to a console text. The key thread's own texts (the devices it
// could not open, "Reading From : ..." and the unterminated "Exiting key thread!") may come
// between any two of them, even after the last, and are left out.
std::vector<std::string> MainThreadLines(const std::string& out);
// Whether `expected` appear in this order (not necessarily next to each other).
bool InOrder(const std::string& out, const std::vector<std::string>& expected);
