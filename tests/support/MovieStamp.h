#pragma once
#include "interfaces/MoviePlayer.h"
#include "tools/FrameStamp.h"

#include <optional>

// The stamp (camera, clock, frame number) that a frame of a sample-card recording shows, read from
// a player's picture; nothing when it cannot be read.
inline std::optional<FrameStamp> readMovieStamp(const MovieFrameImage& image) {
    if (image.empty()) return std::nullopt;
    // The stamp is white on black: the mean of the three colours is as good as luma.
    std::vector<std::uint8_t> gray;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            gray.push_back(std::uint8_t((image.pixel(x, y)[0] + image.pixel(x, y)[1] + image.pixel(x, y)[2]) / 3));
    return readFrameStamp({gray.data(), image.width, image.height, image.width, ImageView::Format::Gray8});
}

// The frame number shown, or -1.
inline int readMovieFrame(const MovieFrameImage& image) {
    const auto stamp = readMovieStamp(image);
    return stamp ? stamp->frame : -1;
}
