#include "tools/picture/Packets.h"

#include <algorithm>
#include <deque>

namespace picture {

namespace {

// The smallest value of f(j) over a window of j that only ever moves right.
class WindowMinimum {
public:
    template <typename F>
    void Push(size_t j, F f) {
        while (!js_.empty() && f(js_.back()) >= f(j))
            js_.pop_back();
        js_.push_back(j);
    }
    void DropBefore(size_t first) {
        while (!js_.empty() && js_.front() < first)
            js_.pop_front();
    }
    bool Empty() const { return js_.empty(); }
    size_t Best() const { return js_.front(); }
    void Clear() { js_.clear(); }

private:
    std::deque<size_t> js_;
};

}  // namespace

std::vector<Packet> PlanPackets(const std::vector<uint32_t>& pixels, size_t headerUnits,
                                size_t pixelUnits) {
    const size_t n = pixels.size();
    // cost[i]: the smallest encoding of pixels[0 .. i); from[i], run[i]: its last packet starts
    // at from[i].
    std::vector<size_t> cost(n + 1, 0), from(n + 1, 0);
    std::vector<bool> run(n + 1, false);
    // A literal from j to i costs cost[j] - j * pixelUnits + (a part that depends on i only).
    auto literalKey = [&](size_t j) {
        return static_cast<int64_t>(cost[j]) - static_cast<int64_t>(j * pixelUnits);
    };
    auto runKey = [&](size_t j) { return cost[j]; };
    WindowMinimum literals, runs;
    size_t sameFrom = 0;  // pixels[sameFrom .. i) are all equal
    for (size_t i = 1; i <= n; ++i) {
        const size_t j = i - 1;
        if (j > 0 && pixels[j] != pixels[j - 1]) {
            sameFrom = j;
            runs.Clear();
        }
        literals.Push(j, literalKey);
        runs.Push(j, runKey);
        const size_t first = i > kMaxPacket ? i - kMaxPacket : 0;
        literals.DropBefore(first);
        runs.DropBefore(std::max(first, sameFrom));

        const size_t l = literals.Best(), r = runs.Best();
        const size_t viaLiteral = cost[l] + headerUnits + (i - l) * pixelUnits;
        const size_t viaRun = cost[r] + headerUnits + pixelUnits;
        run[i] = viaRun < viaLiteral;
        from[i] = run[i] ? r : l;
        cost[i] = run[i] ? viaRun : viaLiteral;
    }
    std::vector<Packet> packets;
    for (size_t i = n; i > 0; i = from[i])
        packets.push_back({run[i], from[i], i - from[i]});
    std::reverse(packets.begin(), packets.end());
    return packets;
}

}  // namespace picture
