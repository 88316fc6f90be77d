#pragma once
// What the list shows about its entries: the marks, the status text, the sort order.
#include "core/prog_info.h"

#include <string>

// "●" when set, else empty.
std::string Mark(bool set);
// The run column's mark: "◎" for an entry the next run-all starts again because a
// quit ended it, else the Run flag's mark.
std::string RunMark(const TProgInfo& p);

// The status text for the list's item count and the selection; `single` is the
// selected record when exactly one is selected.
std::string SelectionStatusText(int itemCount, int selectedCount, const TProgInfo* single);

// Column 0 compares the names; columns 1 and 2 compare the quit or run marks, then the
// names. The result is multiplied by `direction` (+1 or -1).
int CompareItems(const TProgInfo& a, const TProgInfo& b, int column, int direction);
