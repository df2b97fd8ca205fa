#pragma once

// The command line of csvtable.

#include <stdexcept>
#include <string>
#include <vector>

namespace tavisto::csvtable {

// The viewer's log table.
inline constexpr const char* kLogFieldDef = "KALU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255";
inline constexpr char kLogSeparator = ';';
// The viewer reads KALU through a field of this size.
inline constexpr int kLogKaluFieldSize = 80;

extern const char* const kUsage;

enum class Command { Help, Dump, Count };

struct Options {
    Command Action = Command::Help;
    std::string FileName;
    std::string FieldDef = kLogFieldDef;
    bool FieldsGiven = false;
    char Separator = kLogSeparator;
    bool HasHeaderRow = true;
    bool ValidateHeaderRow = false;
    bool EnquoteBackslash = false;
};

// A command line that csvtable does not understand.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The options of arguments (without the program name). Raises UsageError.
Options ParseArguments(const std::vector<std::string>& arguments);

}  // namespace tavisto::csvtable
