#pragma once

#include <QtGlobal>

// What the compression-level dialog hands to each document before its run. Copied whole.
struct CompressSetting
{
    // 0 smallest file, 1 medium, 2 largest file; every other value is the custom level.
    int level = 0;
    // Custom quality step 1..10, read only for the custom level.
    quint16 value = 1;
};
