#pragma once

// The line codec of the table file: where a line ends, how a line is cut into columns, and how one
// field text is quoted and unquoted. Texts are bytes exactly as in the file; nothing here knows
// about field types.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavisto {

// Most columns a line may have.
inline constexpr int kMaxColumns = 120;
// SplitLineIntoColumns refuses texts of this many characters or more.
inline constexpr int kCutPositionLimit = 16384;
// Longest data line the loader accepts.
inline constexpr int kMaxLineLength = 16382;
// Header items longer than this are not trimmed by the limited form of TrimBlanks.
inline constexpr std::size_t kHeaderItemTrimLimit = 1024;

// Where the columns of a line start. Starts[0] is 0; Starts[k] is one past the separator that
// opened column k. Only the first Count entries are meaningful; the array leaves room for the end
// mark a row stores after them.
struct ColumnStarts {
    int Count = 0;
    std::array<std::uint16_t, kMaxColumns + 2> Starts;
};

// Cuts a line into columns. quoteAware: double quotes group text so that separators inside do
// not split; a pair of quotes inside a quoted section is one literal quote; with
// backslashEscapes a backslash inside a quoted section takes the next character literally.
// Without quoteAware every separator splits.
// Raises ERangeError "CsvData - Internal Limit of MAXCOLUMNS (120) reached. CSV Data has too many
// columns" when a 121st column opens or the text has 16384 characters or more. Allocates nothing.
ColumnStarts SplitLineIntoColumns(std::string_view text, char separator, bool quoteAware,
                                  bool backslashEscapes);

// The text in double quotes, inner quotes doubled. Backslashes are doubled when enquoteBackslash
// is on or the text holds a CR or LF; doubling one switches enquoteBackslash on for good (it is
// never switched off here).
std::string EnquoteText(std::string_view text, bool& enquoteBackslash);

// The content of a quoted text: the first and last characters are dropped unexamined, a doubled
// quote becomes one quote. With enquoteBackslash, backslash escapes are undone as well (\n, \r,
// \s, \t become LF, CR, space, TAB; any other escaped character stands for itself). Texts shorter
// than two characters give the empty text.
std::string DequoteText(std::string_view text, bool enquoteBackslash);

// The text without trailing CR and LF characters. A text made only of CR and LF characters (or
// empty) is returned unchanged.
std::string_view StripLineBreaks(std::string_view text);

// The text without leading and trailing spaces and TABs (no other characters count as blanks).
std::string_view TrimBlanks(std::string_view text);

// As above for texts of at most maxLength characters; longer texts are returned unchanged.
std::string_view TrimBlanks(std::string_view text, std::size_t maxLength);

// The line-end rule of the table file. Every double quote toggles an in-quotes state (the rule
// knows no escapes); outside quotes an LF, a CR, or a CR followed by an LF ends a line; inside
// quotes CR and LF belong to the line. A reader feeds a line's bytes block by block to
// FindTerminator and, on a CR, consumes an LF that directly follows it, even in the next block.
class EndOfLine {
public:
    // Starts a new line: outside quotes.
    void Reset() { inQuotes_ = false; }

    // Offset of the CR or LF in block that ends the current line, or block.size() when the block
    // holds none; the quotes passed over update the in-quotes state.
    std::size_t FindTerminator(std::string_view block);

    bool InQuotes() const { return inQuotes_; }

private:
    bool inQuotes_ = false;
};

}  // namespace tavisto
