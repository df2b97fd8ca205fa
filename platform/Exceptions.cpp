#include "platform/Exceptions.h"

namespace tavisto {

EAssertionFailed::EAssertionFailed(const std::string& text, const std::string& unit)
    : Exception(text + " (" + unit + ")"), unit_(unit) {}

void AssertionFailed(const std::string& text, const char* unit) {
    throw EAssertionFailed(text, unit);
}

}  // namespace tavisto
