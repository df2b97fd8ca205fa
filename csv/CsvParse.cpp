#include "csv/CsvParse.h"

#include <bit>

#include "csv/CsvScan.h"
#include "platform/Exceptions.h"

namespace tavisto {

namespace {

constexpr char kQuote = '"';
constexpr char kBackslash = '\\';

[[noreturn]] void RaiseTooManyColumns() {
    throw ERangeError("CsvData - Internal Limit of MAXCOLUMNS (" + std::to_string(kMaxColumns) +
                      ") reached. CSV Data has too many columns");
}

// Nearly every line of a file holds no quote, and in such a line every separator splits: the
// cut keeps no state and looks at 16 bytes at a time. Returns false, with result unfinished, when
// the line needs the cut by the rules: it holds a quote and quoteAware is on, or it holds more
// separators than columns may open (the full cut raises, or finds some of them quoted).
bool CutWithoutQuotes(std::string_view text, char separator, bool quoteAware,
                      ColumnStarts& result) {
    int count = 1;
    unsigned quotes = 0;
    const auto addStarts = [&](unsigned separators, std::size_t base) {
        for (; separators != 0; separators &= separators - 1) {
            if (count == kMaxColumns) return false;
            const auto offset = static_cast<std::size_t>(std::countr_zero(separators));
            result.Starts[count++] = static_cast<std::uint16_t>(base + offset + 1);
        }
        return true;
    };
    const std::size_t whole = text.size() / 16 * 16;
    for (std::size_t base = 0; base < whole; base += 16) {
        const csvscan::MaskPair masks =
            csvscan::MatchMasks16(text.data() + base, separator, kQuote);
        quotes |= masks.Second;
        if (!addStarts(masks.First, base)) return false;
    }
    if (whole != text.size()) {
        const csvscan::MaskPair masks = csvscan::TailMatchMasks(text, whole, separator, kQuote);
        quotes |= masks.Second;
        if (!addStarts(masks.First, whole)) return false;
    }
    result.Count = count;
    return !quoteAware || quotes == 0;
}

// The cut by the rules, in one pass. Step() applies them to one character; only quotes,
// separators and backslashes are visited, as no rule acts on any other character.
class LineCutter {
public:
    LineCutter(std::string_view text, char separator, bool quoteAware, bool backslashEscapes,
               ColumnStarts& result)
        : text_(text),
          separator_(separator),
          quoteAware_(quoteAware),
          backslashEscapes_(backslashEscapes),
          result_(result) {}

    void Run() {
        auto step = [this](std::size_t p) { return Step(p); };
        if (!quoteAware_) {
            csvscan::ForEachMatch(text_, step, separator_);
        } else if (backslashEscapes_) {
            csvscan::ForEachMatch(text_, step, separator_, kQuote, kBackslash);
        } else {
            csvscan::ForEachMatch(text_, step, separator_, kQuote);
        }
    }

private:
    // Applies the rules to the character at p; the result is the next position to look at.
    std::size_t Step(std::size_t p) {
        const char c = text_[p];
        if (quoteAware_ && inQuotes_) {
            const bool quotePair = c == kQuote && p + 1 < text_.size() && text_[p + 1] == kQuote;
            // The character after an escape or a quote pair's first quote is taken literally.
            if ((backslashEscapes_ && c == kBackslash) || quotePair) return p + 2;
        }
        if (quoteAware_ && c == kQuote) inQuotes_ = !inQuotes_;
        if (c == separator_ && !inQuotes_) {
            if (result_.Count == kMaxColumns) RaiseTooManyColumns();
            result_.Starts[result_.Count++] = static_cast<std::uint16_t>(p + 1);
        }
        return p + 1;
    }

    std::string_view text_;
    char separator_;
    bool quoteAware_;
    bool backslashEscapes_;
    bool inQuotes_ = false;
    ColumnStarts& result_;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

char Unescaped(char c) {
    switch (c) {
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 's':
            return ' ';
        case 't':
            return '\t';
        default:
            return c;
    }
}

}  // namespace

ColumnStarts SplitLineIntoColumns(std::string_view text, char separator, bool quoteAware,
                                  bool backslashEscapes) {
    // The limit holds for every character, also those a backslash or a quote pair passes over:
    // a longer line would not fit the 15-bit column starts of a row.
    if (text.size() >= kCutPositionLimit) RaiseTooManyColumns();
    ColumnStarts result;
    result.Count = 1;
    result.Starts[0] = 0;
    if (!CutWithoutQuotes(text, separator, quoteAware, result)) {
        result.Count = 1;
        LineCutter(text, separator, quoteAware, backslashEscapes, result).Run();
    }
    return result;
}

std::string EnquoteText(std::string_view text, bool& enquoteBackslash) {
    const bool backslashMode =
        enquoteBackslash || text.find_first_of("\r\n") != std::string_view::npos;
    std::string result;
    result.reserve(text.size() + 2);
    result += kQuote;
    for (const char c : text) {
        if (backslashMode && c == kBackslash) {
            result += "\\\\";
            enquoteBackslash = true;
        } else if (c == kQuote) {
            result += "\"\"";
        } else {
            result += c;
        }
    }
    result += kQuote;
    return result;
}

// A doubled quote reads back as one quote in both modes: EnquoteText doubles quotes in both modes,
// so this is what makes its output read back as the original text.
std::string DequoteText(std::string_view text, bool enquoteBackslash) {
    if (text.size() < 2) return {};
    const std::string_view inner = text.substr(1, text.size() - 2);
    std::string result;
    result.reserve(inner.size());
    for (std::size_t i = 0; i < inner.size(); ++i) {
        const char c = inner[i];
        if (enquoteBackslash && c == kBackslash) {
            if (i + 1 < inner.size()) result += Unescaped(inner[++i]);
        } else if (c == kQuote && i + 1 < inner.size() && inner[i + 1] == kQuote) {
            result += kQuote;
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

std::string_view StripLineBreaks(std::string_view text) {
    std::size_t length = text.size();
    while (length > 0 && IsLineBreak(text[length - 1])) --length;
    return length == 0 ? text : text.substr(0, length);
}

std::string_view TrimBlanks(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::string_view TrimBlanks(std::string_view text, std::size_t maxLength) {
    return text.size() > maxLength ? text : TrimBlanks(text);
}

std::size_t EndOfLine::FindTerminator(std::string_view block) {
    const char* begin = block.data();
    const char* end = begin + block.size();
    const char* p = begin;
    for (;;) {
        if (inQuotes_) {
            p = csvscan::FindByte(p, end, kQuote);
            if (p == end) return block.size();
            inQuotes_ = false;
        } else {
            p = csvscan::FindFirstOf(p, end, kQuote, '\r', '\n');
            if (p == end) return block.size();
            if (*p != kQuote) return static_cast<std::size_t>(p - begin);
            inQuotes_ = true;
        }
        ++p;
    }
}

}  // namespace tavisto
