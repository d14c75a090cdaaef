#pragma once

#include <functional>
#include <string>
#include <thread>

#include "sim/KeyScript.h"

class ConsoleRelay;

// The simulated front panel. When the root has no key device, makes ROOT/dev/event2 a FIFO,
// holds its write end open for the whole run (so the program never sees the device end) and
// writes real input_event records into it: a press and a release for each key of the script.
// A "stop" step calls `stop`, which ends the whole run. A root with its own key device (a file
// of records, say) is read as it is; a script of waits and stops still runs beside it.
class KeyFeeder {
public:
    KeyFeeder(const std::string& root, const KeyScript& script, ConsoleRelay* console, std::function<void()> stop);

    // Makes the FIFO if needed; false with a reason on failure.
    bool Start(std::string* error);
    // Plays the script from a thread of its own, if there is one.
    void StartScript();
    // Removes what the simulator made in the root.
    void CleanUp();

    // True when the simulator made the key device, so keys can be written into it.
    bool FeedsKeys() const { return fd_ >= 0; }
    // Writes one input_event record (value 1 down, 0 up). The script and the window write from
    // their own threads: a record is far below PIPE_BUF, so records never interleave.
    bool WriteKey(unsigned code, int value);

private:
    void Play();

    std::string root_;
    KeyScript script_;
    ConsoleRelay* console_;
    std::function<void()> stop_;
    std::string madeFifo_;
    std::string madeDir_;
    int fd_ = -1;
    std::thread player_;
};
