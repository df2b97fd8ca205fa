#pragma once

// A value of one of a few kinds, as data-aware code exchanges them: field values, key values of a
// locate (single values or one-dimensional arrays with bounds).

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/Locale.h"

namespace tavisto {

// A variant that cannot be converted to the kind asked for, or compared with another.
class EVariantError : public Exception {
public:
    using Exception::Exception;
};

enum class TVarType : std::uint8_t {
    Empty,
    Null,
    Boolean,
    Integer,
    Float,
    DateTime,
    String,
    Array
};

class Variant {
public:
    // Empty: no value assigned.
    Variant() = default;
    Variant(bool value) : value_(value) {}
    Variant(int value) : value_(std::int64_t{value}) {}
    Variant(std::int64_t value) : value_(value) {}
    Variant(double value) : value_(value) {}
    Variant(std::string value) : value_(std::move(value)) {}
    Variant(const char* value) : value_(std::string(value)) {}

    // The value of a field that has none.
    static Variant Null();
    static Variant FromDateTime(TDateTime value);
    // A one-dimensional array whose first element has index lowBound.
    static Variant Array(std::vector<Variant> items, int lowBound = 0);

    TVarType Type() const { return static_cast<TVarType>(value_.index()); }
    bool IsEmpty() const { return Type() == TVarType::Empty; }
    bool IsNull() const { return Type() == TVarType::Null; }
    bool IsArray() const { return Type() == TVarType::Array; }

    // Conversions. Empty gives "", 0, false or 0.0; Null and arrays raise EVariantError, as does a
    // text that does not read as the kind asked for. Booleans count as 1 and 0; floats are rounded
    // half to even when an integer is asked for; integers outside the target range raise.
    // Texts read as numbers with the settings' decimal separator, as dates in the form
    // "yyyy-mm-dd hh:nn:ss" (time optional), as Booleans "True"/"False" (any case) or a number.
    std::string AsString(const TFormatSettings& settings = DefaultFormatSettings()) const;
    std::int32_t AsInteger() const;
    std::int64_t AsInt64() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;

    // Bounds and elements of an array; raise EVariantError for a variant that is not one or an
    // index outside the bounds.
    int ArrayLowBound() const;
    int ArrayHighBound() const;
    const Variant& ArrayElement(int index) const;

    // Empty equals only Empty, Null only Null. Texts compare byte by byte; numbers, date-times
    // and Booleans compare by value; a text compared with a number, date-time or Boolean is
    // converted first (EVariantError when it cannot be). Arrays are equal when bounds and
    // elements are.
    friend bool operator==(const Variant& left, const Variant& right);

private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    struct DateTimeValue {
        TDateTime Value;
    };
    struct ArrayValue {
        std::vector<Variant> Items;
        int LowBound;
    };

    std::string TypeName() const;
    [[noreturn]] void CannotConvert(const char* target) const;

    std::variant<std::monostate, NullTag, bool, std::int64_t, double, DateTimeValue, std::string,
                 std::shared_ptr<const ArrayValue>>
        value_;
};

}  // namespace tavisto
