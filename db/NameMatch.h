#pragma once

#include <string_view>

namespace tavisto {

// Field and definition names match ignoring the case of the letters A to Z only.
inline bool SameName(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(left[i]) != lower(right[i])) return false;
    }
    return true;
}

}  // namespace tavisto
