#include "app/InputHandler.h"

#include <fcntl.h>
#include <linux/input.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/System.h"

namespace {

void* ThreadStart(void* handler) {
    static_cast<InputHandler*>(handler)->ThreadMain();
    return nullptr;
}

}  // namespace

void InputHandler::Start() {
    started = true;
    pthread_create(&thread, nullptr, ThreadStart, this);
}

void InputHandler::ThreadMain() {
    platform::System& os = platform::Current();
    char name[256] = "Unknown";
    int fd = os.OpenInput("/dev/event2");
    if (fd < 0) {
        std::printf("input event2 is not a valid device.\n");
        fd = os.OpenInput("/dev/event1");
        if (fd < 0) std::printf("input event1 is not a valid device.\n");
    }
    os.QueryInputName(fd, name, sizeof(name));
    name[sizeof(name) - 1] = '\0';
    std::printf("Reading From : %s\n", name);

    while (!stopRequested) {
        input_event record{};
        const ssize_t n = os.ReadInput(fd, &record, sizeof(record));
        if (n < 0 && errno == EINTR) continue;
        // A failed read (no device at all) holds nothing new: end like at the end of the file.
        if (n < static_cast<ssize_t>(sizeof(record))) {
            std::printf("Exiting key thread!");
            std::fflush(stdout);
            return;
        }
        if (record.type == EV_KEY && record.value == 1) StoreKey(record.code);
    }
}

void InputHandler::StoreKey(uint16_t code) {
    std::lock_guard<std::mutex> hold(keyLock);
    const int32_t write = keyWrite.load();
    if (((write + 1) & (kSlots - 1)) == keyRead.load()) return;  // full: the key is lost
    keys[write] = code;
    keyWrite.store((write + 1) & (kSlots - 1));
    keyStored_.notify_one();
}

bool InputHandler::WaitForKey(std::chrono::nanoseconds timeout) {
    std::unique_lock<std::mutex> hold(keyLock);
    if (timeout.count() <= 0) return keyWrite.load() != keyRead.load();
    return keyStored_.wait_for(hold, timeout, [this] { return keyWrite.load() != keyRead.load(); });
}

bool InputHandler::TakeKey(uint16_t* code) {
    if (keyWrite.load() == keyRead.load()) return false;
    std::lock_guard<std::mutex> hold(keyLock);
    const int32_t read = keyRead.load();
    *code = keys[read];
    if (keyWrite.load() != read) keyRead.store((read + 1) & (kSlots - 1));
    return true;
}
