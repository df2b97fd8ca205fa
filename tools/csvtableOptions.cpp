#include "tools/csvtableOptions.h"

namespace tavisto::csvtable {

const char* const kUsage =
    "usage: csvtable dump FILE [options]\n"
    "       csvtable count FILE [options]\n"
    "       csvtable --help\n"
    "\n"
    "Reads a table file exactly as the Tavisto log viewer's table does.\n"
    "  dump   prints a JSON array of the field names, then one JSON array per record holding\n"
    "         each field's text as the viewer shows it (UTF-8; texts that are not valid UTF-8\n"
    "         are read as Windows-1252; numbers and Booleans as JSON values, no value as null)\n"
    "  count  prints the number of records\n"
    "\n"
    "options (the defaults are the viewer's log table):\n"
    "  --fields DEF        field definitions (default \"KALU:$255;DATUM:@;ANWENDUNG:$255;"
    "BENUTZER:$255\",\n"
    "                      with KALU read through a field of size 80)\n"
    "  --separator C       field separator, one character or \"tab\" (default \";\")\n"
    "  --no-header         the first line is a record, not the header row\n"
    "  --validate-header   map the fields by the names in the header row\n"
    "  --backslash         backslash escapes inside quoted fields\n"
    "\n"
    "Exit status: 0 done, 1 the table could not be read (the message is on stderr),\n"
    "2 the command line was not understood.\n";

namespace {

char SeparatorOf(const std::string& text) {
    if (text == "tab") return '\t';
    if (text.size() != 1) throw UsageError("--separator takes one character or \"tab\"");
    return text[0];
}

}  // namespace

Options ParseArguments(const std::vector<std::string>& arguments) {
    Options options;
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        return options;
    }
    if (arguments.size() < 2) throw UsageError("a command and a file are needed");
    if (arguments[0] == "dump") {
        options.Action = Command::Dump;
    } else if (arguments[0] == "count") {
        options.Action = Command::Count;
    } else {
        throw UsageError("unknown command: " + arguments[0]);
    }
    options.FileName = arguments[1];
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (option == "--fields" && hasValue) {
            options.FieldDef = arguments[++i];
            options.FieldsGiven = true;
        } else if (option == "--separator" && hasValue) {
            options.Separator = SeparatorOf(arguments[++i]);
        } else if (option == "--no-header") {
            options.HasHeaderRow = false;
        } else if (option == "--validate-header") {
            options.ValidateHeaderRow = true;
        } else if (option == "--backslash") {
            options.EnquoteBackslash = true;
        } else {
            throw UsageError("unknown option or missing value: " + option);
        }
    }
    return options;
}

}  // namespace tavisto::csvtable
