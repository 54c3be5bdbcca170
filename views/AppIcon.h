#pragma once
#include <QIcon>
#include <QImage>

// The program's icon, drawn rather than stored, so that every size is sharp: a camera lens on a
// night-blue tile, the road running into it and a red recording light.

inline constexpr int kAppIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The icon at one size, square, with a transparent background.
QImage pmDrawAppIcon(int size);
// Every size of kAppIconSizes in one icon.
QIcon pmAppIcon();
