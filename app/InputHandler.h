#pragma once

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// The key thread: blocks on the key device and leaves the codes of key presses in a 16-slot
// ring (at most 15 codes wait) for the main loop.
class InputHandler {
public:
    static constexpr int kSlots = 16;

    InputHandler() = default;
    virtual ~InputHandler() = default;

    // The thread's body.
    virtual void ThreadMain();
    // Starts the thread; its creation result is not looked at, as on the device (the program
    // then runs without keys).
    void Start();

    // Key thread: stores a pressed key's code, or drops it when the ring is full.
    void StoreKey(uint16_t code);
    // Main loop: takes the oldest code, if any.
    bool TakeKey(uint16_t* code);
    // Main loop, with nothing to do: blocks until a key is waiting or the time has passed.
    // Returns whether a key is waiting.
    bool WaitForKey(std::chrono::nanoseconds timeout);

    bool stopRequested = false;
    bool started = false;
    std::mutex keyLock;  // guards keys and every change of the indices
    pthread_t thread{};
    uint16_t keys[kSlots] = {};
    // Atomic so that the main loop may look at them without the lock: a stale answer only
    // delays a key to the next pass.
    std::atomic<int32_t> keyWrite{0};
    std::atomic<int32_t> keyRead{0};

private:
    std::condition_variable keyStored_;  // waited on with keyLock: still the program's one lock
};
