#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Sits between the program's standard output and the simulator's: everything passes through
// unchanged, and key scripts can wait until a text has been printed.
class ConsoleRelay {
public:
    // Redirects file descriptor 1 into the relay.
    bool Start();
    // Waits until `text` appears in what was printed after the previous match; returns false
    // if the output ends first.
    bool WaitFor(const std::string& text);
    // Flushes the program's output through the relay and restores descriptor 1. Safe to call
    // more than once; the timeout's thread calls it too.
    void Finish();
    // The last line the program completed that holds more than blanks (the window shows it).
    std::string LastLine();

private:
    void Pump();
    void NoteLines(const char* data, size_t length);

    int original_ = -1;
    int readEnd_ = -1;
    std::thread pump_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::string seen_;  // printed since the last match
    bool ended_ = false;
    std::string partial_;   // the line being printed
    std::string lastLine_;
    std::mutex finishLock_;
    bool finished_ = false;
};
