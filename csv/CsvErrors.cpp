#include "csv/CsvErrors.h"

#include <string>

namespace tavisto {

void RaiseTableError(std::string_view prefix, std::string_view text) {
    std::string message(prefix);
    message += ": ";
    message += text;
    throw ECsvDataSetError(message);
}

void RaiseTableErrorCode(std::string_view prefix, std::string_view text, int number) {
    std::string message(text);
    message += " (" + std::to_string(number) + ")";
    RaiseTableError(prefix, message);
}

}  // namespace tavisto
