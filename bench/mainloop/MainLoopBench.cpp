// How soon a key press shows: from the moment the key thread reads the press from its device to
// the flush that puts the moved menu selection on the framebuffer, with the whole program running
// over a simulated device and its main loop waiting between keys, as it does in "Boot options".
// The reference is the same measurement's floor: the time one pass takes to draw the menu.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/Application.h"
#include "platform/HostSystem.h"

namespace {

using Clock = std::chrono::steady_clock;

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// The host backend, noting when the key thread got a press and when a flush was told.
class TimedHost : public platform::HostSystem {
public:
    using platform::HostSystem::HostSystem;

    ssize_t ReadInput(int fd, void* buffer, size_t length) override {
        const ssize_t n = platform::HostSystem::ReadInput(fd, buffer, length);
        const auto* record = static_cast<const input_event*>(buffer);
        if (n == static_cast<ssize_t>(sizeof(input_event)) && record->type == EV_KEY &&
            record->value == 1) {
            keyReadNs.store(NowNs());
        }
        return n;
    }
    void FramebufferFlushed() override {
        platform::HostSystem::FramebufferFlushed();
        flushNs.store(NowNs());
        flushes.fetch_add(1);
    }

    std::atomic<int64_t> keyReadNs{0};
    std::atomic<int64_t> flushNs{0};
    std::atomic<int> flushes{0};
};

std::string MakeRoot() {
    char name[] = "/tmp/tovrask-bench-XXXXXX";
    const std::string root = ::mkdtemp(name);
    // No NAND: the menu comes and stays.
    ::mkdir((root + "/dev").c_str(), 0755);
    ::mkfifo((root + "/dev/event2").c_str(), 0600);
    return root;
}

void KeyToFlush(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    const std::string root = MakeRoot();
    platform::HostFramebuffer::Config config;
    TimedHost host(root, config);
    platform::Install(&host);
    // The key thread opens the device for reading: a writer first, so that the open does not block.
    const int device = ::open((root + "/dev/event2").c_str(), O_RDWR);
    // The program's console is not the benchmark's.
    std::fflush(stdout);
    const int console = ::dup(1);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);

    auto* app = new Application();
    const size_t bytes = static_cast<size_t>(config.width) * 2 * config.height;
    app->Init(host.Framebuffer().Map(bytes), config.width, config.height, config.width * 2);

    std::atomic<bool> done{false};
    std::vector<double> latenciesMs;
    for (auto _ : state) {
        std::thread loop([&] {
            while (!done.load()) {
                app->RunPass();
                if (app->LastPassIdle())
                    app->WaitForWork();
            }
        });
        // The menu is drawn and flushed first.
        while (host.flushes.load() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (int i = 0; i < keys; ++i) {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(20 + i % 7));  // the loop is waiting by now
            const int before = host.flushes.load();
            input_event e{};
            e.type = EV_KEY;
            e.code = i % 2 == 0 ? KEY_DOWN : KEY_UP;
            e.value = 1;
            if (::write(device, &e, sizeof(e)) != static_cast<ssize_t>(sizeof(e)))
                std::abort();
            while (host.flushes.load() == before)
                std::this_thread::yield();
            latenciesMs.push_back(static_cast<double>(host.flushNs.load() - host.keyReadNs.load()) /
                                  1e6);
        }
        done.store(true);
        loop.join();
    }
    std::fflush(stdout);
    ::dup2(console, 1);
    std::sort(latenciesMs.begin(), latenciesMs.end());
    state.counters["median_ms"] = latenciesMs[latenciesMs.size() / 2];
    // On a loaded machine the slowest keys wait for a processor, not for the loop: the upper
    // percentiles tell the two apart.
    state.counters["p90_ms"] = latenciesMs[latenciesMs.size() * 9 / 10];
    state.counters["p99_ms"] = latenciesMs[latenciesMs.size() * 99 / 100];
    state.counters["max_ms"] = latenciesMs.back();
    state.counters["keys"] = static_cast<double>(latenciesMs.size());
    // The program lives on (it ends by exit on the device); only its folder goes.
    std::system(("rm -rf " + root).c_str());
}
BENCHMARK(KeyToFlush)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
