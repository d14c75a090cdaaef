#include "sim/KeyFeeder.h"

#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include "sim/ConsoleRelay.h"

KeyFeeder::KeyFeeder(const std::string& root, const KeyScript& script, ConsoleRelay* console,
                     std::function<void()> stop)
    : root_(root), script_(script), console_(console), stop_(std::move(stop)) {}

bool KeyFeeder::Start(std::string* error) {
    struct stat info {};
    const std::string event2 = root_ + "/dev/event2", event1 = root_ + "/dev/event1";
    const bool have2 = ::lstat(event2.c_str(), &info) == 0, have1 = ::lstat(event1.c_str(), &info) == 0;
    if (have2 || have1) {
        // The root's own device gives the keys; a script may still wait and stop.
        for (const KeyScript::Step& step : script_.steps) {
            if (step.kind == KeyScript::Step::Key) {
                *error = "--keys with key names needs the simulator's own key device, but the root already has " +
                         (have2 ? event2 : event1);
                return false;
            }
        }
        return true;
    }
    const std::string dev = root_ + "/dev";
    if (::stat(dev.c_str(), &info) != 0) {
        if (::mkdir(dev.c_str(), 0755) != 0) {
            *error = "cannot make " + dev + ": " + std::strerror(errno);
            return false;
        }
        madeDir_ = dev;
    }
    if (::mkfifo(event2.c_str(), 0600) != 0) {
        *error = "cannot make " + event2 + ": " + std::strerror(errno);
        return false;
    }
    madeFifo_ = event2;
    // Read and write, so the open does not wait for the program and the FIFO always has a reader.
    fd_ = ::open(event2.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        *error = "cannot open " + event2 + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void KeyFeeder::StartScript() {
    if (script_.steps.empty()) return;
    player_ = std::thread([this] { Play(); });
    player_.detach();  // dropped with the rest of the script when the program exits
}

bool KeyFeeder::WriteKey(unsigned code, int value) {
    input_event record{};
    ::gettimeofday(&record.time, nullptr);
    record.type = EV_KEY;
    record.code = static_cast<uint16_t>(code);
    record.value = value;
    return ::write(fd_, &record, sizeof(record)) == static_cast<ssize_t>(sizeof(record));
}

void KeyFeeder::Play() {
    for (const KeyScript::Step& step : script_.steps) {
        switch (step.kind) {
            case KeyScript::Step::Key:
                if (!WriteKey(step.code, 1) || !WriteKey(step.code, 0)) return;
                break;
            case KeyScript::Step::Wait:
                std::this_thread::sleep_for(std::chrono::milliseconds(step.waitMs));
                break;
            case KeyScript::Step::Until:
                if (!console_->WaitFor(step.text)) return;
                break;
            case KeyScript::Step::Stop:
                stop_();
                return;
        }
    }
}

void KeyFeeder::CleanUp() {
    if (!madeFifo_.empty()) ::unlink(madeFifo_.c_str());
    if (!madeDir_.empty()) ::rmdir(madeDir_.c_str());
    madeFifo_.clear();
    madeDir_.clear();
}
