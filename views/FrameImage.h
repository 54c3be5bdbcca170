#pragma once
#include "interfaces/MoviePlayer.h"

#include <QImage>

#include <string>

// A player's frame as a Qt image, scaled to the movie's natural size when the decoded picture
// differs (non-square pixels); a null image for an empty frame.
QImage pmFrameToQImage(const MovieFrameImage& frame, MovieSize naturalSize);
// The frame as JPEG bytes at the encoder's default quality; empty when it cannot be encoded.
std::string pmEncodeJpeg(const MovieFrameImage& frame, MovieSize naturalSize);
