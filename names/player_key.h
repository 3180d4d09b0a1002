#pragma once
// Who a name belongs to, compared as people read it: `Ann`, `ann`, `ANN` and `аnn` (a
// Cyrillic a) are one player in the hall. The name is normalised (NFC), case-folded, and
// reduced to ICU's confusable skeleton (UTS #39), which maps letters that look alike to one.

#include <string>
#include <string_view>

namespace korvane::names {

// The player a name (UTF-8, already taken by CheckName) stands for, as UTF-8; empty for
// text that is not well-formed UTF-8.
std::string PlayerKey(std::string_view name);

}  // namespace korvane::names
