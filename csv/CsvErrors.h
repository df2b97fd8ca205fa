#pragma once

#include <string_view>

#include "db/DbErrors.h"

namespace tavisto {

// Every error of the CSV engine unless stated otherwise.
class ECsvDataSetError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// A row whose key is already present in a table with unique keys.
class ECsvKeyError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// Raises ECsvDataSetError with "<prefix>: <text>". Tables pass their FileName as the prefix, so an
// unnamed table's messages start with ": ".
[[noreturn]] void RaiseTableError(std::string_view prefix, std::string_view text);

// Raises ECsvDataSetError with "<prefix>: <text> (<number>)".
[[noreturn]] void RaiseTableErrorCode(std::string_view prefix, std::string_view text, int number);

}  // namespace tavisto
