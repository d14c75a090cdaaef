#include "sim/Simulator.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/ProgramEntry.h"

namespace {

Simulator* running = nullptr;
std::string screenshotPath;
platform::HostSystem* screenshotSource = nullptr;

std::string Absolute(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

void MakeDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0755);
    }
    ::mkdir(path.c_str(), 0755);
}

}  // namespace

Simulator::Simulator(const SimOptions& options) : options_(options) {
    options_.root = Absolute(options_.root);
    if (!options_.framebuffer.framesDir.empty()) {
        MakeDirectories(options_.framebuffer.framesDir);
        options_.framebuffer.framesDir = Absolute(options_.framebuffer.framesDir);
    }
    system_ = new platform::HostSystem(options_.root, options_.framebuffer, options_.clockRate);
}

void Simulator::WriteScreenshotAtExit() {
    if (screenshotSource == nullptr || screenshotPath.empty()) return;
    if (!screenshotSource->Framebuffer().WriteScreenshot(screenshotPath)) {
        std::fprintf(stderr, "tovrask-sim: no screenshot written to %s (the framebuffer was never mapped)\n",
                     screenshotPath.c_str());
    }
}

void Simulator::StartWatchdog() {
    if (options_.timeoutMs <= 0) return;
    const long ms = options_.timeoutMs;
    std::thread([ms] {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        std::fflush(stdout);
        std::fprintf(stderr, "tovrask-sim: timed out after %ld ms\n", ms);
        WriteScreenshotAtExit();
        ::_exit(124);
    }).detach();
}

void Simulator::Run() {
    running = this;
    screenshotPath = options_.screenshot;
    screenshotSource = system_;
    platform::Install(system_);
    std::atexit(WriteScreenshotAtExit);
    StartWatchdog();
    RunProgram();
}
