#include "sim/Simulator.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/ProgramEntry.h"

namespace {

// The program's exit, the watchdog and the key script's stop may all end the run, from
// different threads: the first one finishes it, any other waits for the process to end.
std::atomic<Simulator*> running{nullptr};
std::atomic<bool> finishing{false};

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
    Simulator* sim = running.load();
    if (sim == nullptr) return;  // the program never started
    if (finishing.exchange(true)) {
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    // First, so that the window neither waits for nor presses anything while the run ends.
    if (sim->window_ != nullptr) sim->window_->Close();
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

bool Simulator::OpenWindow(std::string* error) {
    if (!options_.window) return true;
    SimWindow::Setup setup;
    setup.framebuffer = &system_->Framebuffer();
    setup.console = console_;
    setup.keys = keys_;
    setup.width = options_.framebuffer.width;
    setup.height = options_.framebuffer.height;
    setup.lineLength = options_.framebuffer.lineLength > 0 ? options_.framebuffer.lineLength
                                                           : options_.framebuffer.width * 2;
    setup.scale = options_.scale;
    // Closing the window switches the device off, as a key script's stop does.
    setup.closed = [] { End("the window was closed"); };
    window_ = SimWindow::Open(setup, error);
    return window_ != nullptr;
}

int Simulator::Run() {
    std::string error;
    if (!keys_->Start(&error) || !OpenWindow(&error)) {
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
    platform::Install(system_);
    std::atexit(AtExit);
    keys_->StartScript();
    StartWatchdog();
    RunProgram();
}
