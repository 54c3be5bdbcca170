#include "tools/SampleScene.h"

#include <algorithm>
#include <cmath>

namespace {

struct Rgb {
    int r, g, b;
};

std::uint8_t byte(int v) { return std::uint8_t(std::clamp(v, 0, 255)); }

// splitmix64: small, fast and the same everywhere.
std::uint64_t nextRandom(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int randomBelow(std::uint64_t& state, int n) { return n <= 0 ? 0 : int(nextRandom(state) % std::uint64_t(n)); }

std::uint64_t nameHash(const std::string& text) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    return h;
}

Rgb mix(Rgb a, Rgb b, int num, int den) {
    return {a.r + (b.r - a.r) * num / den, a.g + (b.g - a.g) * num / den, a.b + (b.b - a.b) * num / den};
}

void fillRow(RgbImage& image, int y, int x0, int x1, Rgb c) {
    image.fill(x0, y, x1 - x0, 1, byte(c.r), byte(c.g), byte(c.b));
}

// Wraps a position into [0, period).
double wrap(double v, double period) {
    const double r = std::fmod(v, period);
    return r < 0 ? r + period : r;
}

}  // namespace

void drawSampleFrame(RgbImage& image, const SampleEntry& entry, const SampleCardDate& firstDay, std::uint64_t seed,
                     int frame) {
    const int w = image.width, h = image.height;
    if (w <= 0 || h <= 0) return;
    std::uint64_t state = seed ^ nameHash(entry.relativePath());
    const bool rear = entry.camera == SampleCamera::Rear;
    const double t = double(frame) / std::max(1, entry.fps);
    // The rear camera sees the road run away from it.
    const double speed = entry.parked ? 0.0 : (rear ? -1.0 : 1.0) * (8 + randomBelow(state, 8));
    const int horizon = h * 5 / 12;

    // Sky: a day sky for the front, a dusk sky for the rear, tinted by the seed.
    const int tint = randomBelow(state, 41) - 20;
    const Rgb skyTop = rear ? Rgb{120 + tint, 70, 130} : Rgb{40, 90 + tint, 170 - tint};
    const Rgb skyLow = rear ? Rgb{235, 160 + tint, 120} : Rgb{170 + tint, 205, 235};
    for (int y = 0; y < horizon; ++y) fillRow(image, y, 0, w, mix(skyTop, skyLow, y, std::max(1, horizon)));

    // Trees along the horizon drift sideways as the car moves.
    for (int i = 0; i < 7; ++i) {
        const int x0 = randomBelow(state, w);
        const int treeHeight = h / 10 + randomBelow(state, h / 6 + 1);
        const int treeWidth = std::max(2, w / 40 + randomBelow(state, w / 40 + 1));
        const int x = int(wrap(x0 + speed * t * w / 160.0, double(w + treeWidth))) - treeWidth;
        const Rgb leaf{30 + randomBelow(state, 30), 90 + randomBelow(state, 50), 40};
        image.fill(x, horizon - treeHeight, treeWidth, treeHeight, byte(leaf.r), byte(leaf.g), byte(leaf.b));
    }

    // Ground in perspective: verges striped by distance, the road and its centre marks.
    const Rgb grass[2] = {{70, 120 + tint / 2, 50}, {85, 140 + tint / 2, 60}};
    const double depthScale = h * 8.0;
    for (int y = horizon; y < h; ++y) {
        const int depth = y - horizon + 1;
        const double distance = depthScale / depth + speed * t;
        const int halfRoad = 2 + depth * w * 45 / (100 * std::max(1, h - horizon));
        const int cx = w / 2;
        fillRow(image, y, 0, w, grass[int(wrap(distance, 16.0)) / 8]);
        const int shade = 70 + 40 * depth / std::max(1, h - horizon);
        fillRow(image, y, cx - halfRoad, cx + halfRoad, {shade, shade, shade + 5});
        if (wrap(distance, 10.0) < 5.0) {
            const int mark = std::max(1, halfRoad / 16);
            fillRow(image, y, cx - mark, cx + mark, {235, 235, 225});
        }
    }

    drawFrameStamp(image, sampleFrameStamp(entry, firstDay, frame));
}
