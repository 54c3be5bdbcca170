#pragma once
#include <QIcon>

// The play bar's symbols, drawn rather than loaded until the skin images arrive: white on the dark
// bar, grey when disabled.
enum class PlayBarIcon { Play, Pause, Previous, Next, VolumeOn, VolumeOff, FullScreen, NormalScreen };

QIcon pmPlayBarIcon(PlayBarIcon icon);
