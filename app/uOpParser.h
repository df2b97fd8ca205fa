#pragma once

#include <string>
#include <string_view>

// Where the Tavisto suite keeps its usage log. Plain C++: every call asks the host and reads
// tavisto.ini afresh; nothing is kept between calls.
namespace tavisto {

inline constexpr std::string_view kSettingsFileName = "tavisto.ini";
inline constexpr std::string_view kLogPathSection = "Pfade";
inline constexpr std::string_view kLogPathKey = "LogPath";

// The path of the shell folder csidl as the host gives it (no delimiter added), or the empty
// text on any failure.
std::string SpecialFolderPath(int csidl);

// The suite's settings folder below the user's roaming application-data folder, always ending
// in the host's path delimiter.
std::string SettingsFolder();

// The folder of the log file: LogPath of section Pfade in tavisto.ini of the settings folder,
// else the settings folder; always ending in the host's path delimiter.
std::string LogFolder();

// The settings folder relative to the roaming folder, two levels ending in delimiter:
// "Orlesk\Tavisto 2006\" for '\\'.
std::string SettingsSubfolder(char delimiter);

// The settings folder for the given roaming folder; an empty roaming folder gives a path
// from the root.
std::string ComposeSettingsFolder(std::string_view roamingFolder, char delimiter);

// value with its enclosing double quotes removed: a value opening with '"' is quoted up to the
// first '"' not doubled, and each doubled '"' inside stands for one. Text after the closing
// quote is dropped unless the quoted part is empty; without a closing quote the value stays
// as it is, except that a lone '"' gives the empty text.
std::string DequoteLogPath(std::string_view value);

// The log folder for a LogPath value as the INI reader returns it.
std::string ComposeLogFolder(std::string_view logPath, char delimiter);

}  // namespace tavisto
