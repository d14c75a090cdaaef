#include "sim/ConsoleRelay.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

bool ConsoleRelay::Start() {
    int ends[2];
    if (::pipe(ends) != 0) return false;
    std::fflush(stdout);
    original_ = ::dup(1);
    if (original_ < 0 || ::dup2(ends[1], 1) < 0) return false;
    ::close(ends[1]);
    readEnd_ = ends[0];
    pump_ = std::thread([this] { Pump(); });
    return true;
}

void ConsoleRelay::Pump() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(readEnd_, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(original_, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) break;
            done += w;
        }
        std::lock_guard<std::mutex> hold(lock_);
        seen_.append(buffer, static_cast<size_t>(n));
        NoteLines(buffer, static_cast<size_t>(n));
        changed_.notify_all();
    }
    std::lock_guard<std::mutex> hold(lock_);
    ended_ = true;
    changed_.notify_all();
}

void ConsoleRelay::NoteLines(const char* data, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (data[i] != '\n') {
            // A runaway line without an end must not grow without bound.
            if (partial_.size() < 4096) partial_ += data[i];
            continue;
        }
        if (partial_.find_first_not_of(" \t\r") != std::string::npos) lastLine_ = partial_;
        partial_.clear();
    }
}

std::string ConsoleRelay::LastLine() {
    std::lock_guard<std::mutex> hold(lock_);
    return lastLine_;
}

bool ConsoleRelay::WaitFor(const std::string& text) {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        const size_t at = seen_.find(text);
        if (at != std::string::npos) {
            seen_.erase(0, at + text.size());
            return true;
        }
        if (ended_) return false;
        changed_.wait(hold);
    }
}

void ConsoleRelay::Finish() {
    std::lock_guard<std::mutex> once(finishLock_);
    if (finished_ || original_ < 0) return;
    finished_ = true;
    std::fflush(stdout);
    // Closing our descriptor 1 ends the pipe (children of the shell have ended by now), so the
    // pump passes the rest on and stops.
    ::dup2(original_, 1);
    if (pump_.joinable()) pump_.join();
}
