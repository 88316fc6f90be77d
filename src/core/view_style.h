#pragma once
// The four views of the application list, numbered as the settings file stores them.
#include <cstdint>

enum : int32_t {
    kViewLargeIcons = 0,
    kViewSmallIcons = 1,
    kViewList = 2,
    kViewReport = 3,
    kViewCount = 4
};
