#pragma once

#include <string>

namespace tavisto {

// Shell folder id of the current user's roaming application-data folder.
inline constexpr int kCsidlAppData = 26;

// The path of the shell folder csidl as the host gives it (no delimiter added), or the empty
// text when the host has no answer. On Windows the shell answers; elsewhere only kCsidlAppData
// is known and follows RoamingFolderFromEnvironment.
std::string SpecialFolderLocation(int csidl);

// The POSIX roaming folder: xdgConfigHome when it is set and absolute, else home + "/.config"
// when home is set and non-empty, else the empty text. A null pointer means "not set".
std::string RoamingFolderFromEnvironment(const char* xdgConfigHome, const char* home);

}  // namespace tavisto
