#pragma once
// Sizes the engines start from, kept apart from the platform code that uses them.
#include <cstdint>

// Room for process IDs at the first call of the PSAPI walk; the walk doubles it
// while the system fills it completely.
constexpr uint32_t kFirstProcessIdCount = 2048;
