#include "sim/Simulator.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/ProgramEntry.h"

namespace {

Simulator* running = nullptr;

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
    console_ = new ConsoleRelay();
    keys_ = new KeyFeeder(options_.root, options_.keys, console_, [] { End("stopped by the key script"); });
}

Simulator::~Simulator() {
    delete keys_;
    delete console_;
    delete system_;
}

// Runs when the program exits, and from the watchdog: the program's last lines, the screenshot,
// and nothing left behind in the root.
void Simulator::AtExit() {
    Simulator* sim = running;
    if (sim == nullptr) return;
    sim->console_->Finish();
    sim->system_->Framebuffer().FinishFrames();
    if (sim->options_.stats) {
        std::fprintf(stderr, "tovrask-sim: flushed %llu bytes in %llu flushes\n",
                     static_cast<unsigned long long>(sim->system_->Framebuffer().BytesFlushed()),
                     static_cast<unsigned long long>(sim->system_->Framebuffer().Flushes()));
    }
    if (!sim->options_.screenshot.empty() &&
        !sim->system_->Framebuffer().WriteScreenshot(sim->options_.screenshot)) {
        std::fprintf(stderr, "tovrask-sim: no screenshot written to %s (the framebuffer was never mapped)\n",
                     sim->options_.screenshot.c_str());
    }
    sim->keys_->CleanUp();
}

void Simulator::End(const std::string& why) {
    std::fflush(stdout);
    std::fprintf(stderr, "tovrask-sim: %s\n", why.c_str());
    AtExit();
    ::_exit(124);
}

void Simulator::StartWatchdog() {
    if (options_.timeoutMs <= 0) return;
    const long ms = options_.timeoutMs;
    std::thread([ms] {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        End("timed out after " + std::to_string(ms) + " ms");
    }).detach();
}

int Simulator::Run() {
    std::string error;
    if (!keys_->Start(&error)) {
        std::fprintf(stderr, "tovrask-sim: %s\n", error.c_str());
        keys_->CleanUp();
        return 64;
    }
    if (!console_->Start()) {
        std::fprintf(stderr, "tovrask-sim: cannot relay the program's output\n");
        keys_->CleanUp();
        return 64;
    }
    // From here on threads use the simulated device: nothing of it is freed again. The script's
    // stop reads `running` from the key feeder's thread, so it is set before that thread starts.
    running = this;
    keys_->StartScript();
    platform::Install(system_);
    std::atexit(AtExit);
    StartWatchdog();
    RunProgram();
}
