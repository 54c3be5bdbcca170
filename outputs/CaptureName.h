#pragma once
#include "library/FileDate.h"

#include <string>

// The name a captured frame is saved under, from the local date and time Save As was pressed:
// "20140605-143007.jpg" for a single camera (0), with "-1" or "-2" before ".jpg" for camera 1 or 2
// of a front/rear pair.
std::string pmCaptureFileName(const LocalDateTime& when, int camera);
