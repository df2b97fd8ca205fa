#include "platform/Paths.h"

namespace tavisto {

bool HasTrailingDelimiter(std::string_view path, char delimiter) {
    return !path.empty() && path.back() == delimiter;
}

std::string IncludeTrailingDelimiter(std::string_view path, char delimiter) {
    std::string result(path);
    if (!HasTrailingDelimiter(result, delimiter)) result += delimiter;
    return result;
}

}  // namespace tavisto
