#pragma once

#include <stdexcept>
#include <string>

namespace tavisto {

// Base of every error the system raises; carries only its message text.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A value or index outside the range an operation can handle.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

// A list index outside the list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// A programming error caught by TAVISTO_ASSERT; never caused by file contents.
class EAssertionFailed : public Exception {
public:
    EAssertionFailed(const std::string& text, const std::string& unit);
    const std::string& Unit() const { return unit_; }

private:
    std::string unit_;
};

[[noreturn]] void AssertionFailed(const std::string& text, const char* unit);

}  // namespace tavisto

// Checks an internal invariant; a failure raises EAssertionFailed naming the unit.
#define TAVISTO_ASSERT(condition, unit, text)                  \
    do {                                                       \
        if (!(condition)) ::tavisto::AssertionFailed(text, unit); \
    } while (false)
