#pragma once

#include <string>
#include <string_view>

namespace tavisto {

// The delimiter between folder names on the host.
#ifdef _WIN32
inline constexpr char kPathDelimiter = '\\';
#else
inline constexpr char kPathDelimiter = '/';
#endif

// True when path is non-empty and its last character is delimiter.
bool HasTrailingDelimiter(std::string_view path, char delimiter);

// path with delimiter appended unless it already ends with one; an empty path becomes the
// delimiter alone. Only delimiter counts: with '\\', a trailing '/' gets a '\\' after it.
std::string IncludeTrailingDelimiter(std::string_view path, char delimiter);

}  // namespace tavisto
