#pragma once
// The quit time-out field of the options dialog: what it shows for a stored value and
// what it yields for the text in it. Platform-free.
#include <cstdint>
#include <string>

namespace option_rules {

constexpr int32_t kMinTimeout = 1;
constexpr int32_t kMaxTimeout = 60;

// A value outside the field's range becomes the nearer bound.
int32_t ClampTimeout(int64_t seconds);

// The number in the field: decimal with an optional sign, brought into the range;
// an empty field or one that holds no number gives the minimum.
int32_t TimeoutFromText(const std::string& text);

} // namespace option_rules
