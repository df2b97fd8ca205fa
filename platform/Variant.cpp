#include "platform/Variant.h"

#include <cmath>
#include <limits>

namespace tavisto {
namespace {

bool EqualsIgnoringCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(left[i]) != lower(right[i])) return false;
    }
    return true;
}

}  // namespace

Variant Variant::Null() {
    Variant result;
    result.value_ = NullTag{};
    return result;
}

Variant Variant::FromDateTime(TDateTime value) {
    Variant result;
    result.value_ = DateTimeValue{value};
    return result;
}

Variant Variant::Array(std::vector<Variant> items, int lowBound) {
    Variant result;
    result.value_ = std::make_shared<const ArrayValue>(ArrayValue{std::move(items), lowBound});
    return result;
}

std::string Variant::TypeName() const {
    static constexpr const char* kNames[] = {"Empty", "Null",     "Boolean", "Integer",
                                             "Float", "DateTime", "String",  "Array"};
    return kNames[value_.index()];
}

void Variant::CannotConvert(const char* target) const {
    std::string source = TypeName();
    if (const auto* text = std::get_if<std::string>(&value_)) source += " '" + *text + "'";
    throw EVariantError("Could not convert variant of type " + source + " into type " + target);
}

std::string Variant::AsString(const TFormatSettings& settings) const {
    switch (Type()) {
        case TVarType::Empty:
            return {};
        case TVarType::Boolean:
            return std::get<bool>(value_) ? "True" : "False";
        case TVarType::Integer:
            return std::to_string(std::get<std::int64_t>(value_));
        case TVarType::Float:
            return FloatToStr(std::get<double>(value_), settings);
        case TVarType::DateTime:
            return DateTimeToStr(std::get<DateTimeValue>(value_).Value, settings);
        case TVarType::String:
            return std::get<std::string>(value_);
        default:
            CannotConvert("String");
    }
}

std::int64_t Variant::AsInt64() const {
    if (const auto* integer = std::get_if<std::int64_t>(&value_)) return *integer;
    if (const auto* text = std::get_if<std::string>(&value_)) {
        std::int64_t parsed = 0;
        if (TryStrToInt64(*text, parsed)) return parsed;
    }
    const double value = AsFloat();
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -9.2233720368547758e18 && rounded < 9.2233720368547758e18)) {
        CannotConvert("Integer");
    }
    return static_cast<std::int64_t>(rounded);
}

std::int32_t Variant::AsInteger() const {
    const std::int64_t value = AsInt64();
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        CannotConvert("Integer");
    }
    return static_cast<std::int32_t>(value);
}

double Variant::AsFloat() const {
    switch (Type()) {
        case TVarType::Empty:
            return 0;
        case TVarType::Boolean:
            return std::get<bool>(value_) ? 1 : 0;
        case TVarType::Integer:
            return static_cast<double>(std::get<std::int64_t>(value_));
        case TVarType::Float:
            return std::get<double>(value_);
        case TVarType::DateTime:
            return std::get<DateTimeValue>(value_).Value;
        case TVarType::String: {
            double parsed = 0;
            if (TryStrToFloat(std::get<std::string>(value_), parsed, DefaultFormatSettings())) {
                return parsed;
            }
            CannotConvert("Float");
        }
        default:
            CannotConvert("Float");
    }
}

bool Variant::AsBoolean() const {
    if (const auto* flag = std::get_if<bool>(&value_)) return *flag;
    if (const auto* text = std::get_if<std::string>(&value_)) {
        if (EqualsIgnoringCase(*text, "true")) return true;
        if (EqualsIgnoringCase(*text, "false")) return false;
    }
    if (IsNull() || IsArray()) CannotConvert("Boolean");
    return AsFloat() != 0;
}

TDateTime Variant::AsDateTime() const {
    if (const auto* text = std::get_if<std::string>(&value_)) {
        TDateTime parsed = 0;
        if (TryStrToDateTime(*text, parsed, DefaultFormatSettings())) return parsed;
        if (TryStrToFloat(*text, parsed, DefaultFormatSettings())) return parsed;
        CannotConvert("DateTime");
    }
    if (IsNull() || IsArray()) CannotConvert("DateTime");
    return AsFloat();
}

int Variant::ArrayLowBound() const {
    const auto* array = std::get_if<std::shared_ptr<const ArrayValue>>(&value_);
    if (array == nullptr) throw EVariantError("Variant of type " + TypeName() + " is not an array");
    return (*array)->LowBound;
}

int Variant::ArrayHighBound() const {
    const int low = ArrayLowBound();
    const auto& items = std::get<std::shared_ptr<const ArrayValue>>(value_)->Items;
    return low + static_cast<int>(items.size()) - 1;
}

const Variant& Variant::ArrayElement(int index) const {
    const int low = ArrayLowBound();
    if (index < low || index > ArrayHighBound()) {
        throw EVariantError("Variant array index " + std::to_string(index) + " out of bounds");
    }
    return std::get<std::shared_ptr<const ArrayValue>>(value_)->Items[index - low];
}

bool operator==(const Variant& left, const Variant& right) {
    const TVarType leftType = left.Type();
    const TVarType rightType = right.Type();
    if (leftType == TVarType::Array || rightType == TVarType::Array) {
        if (leftType != rightType || left.ArrayLowBound() != right.ArrayLowBound()) return false;
        using Array = std::shared_ptr<const Variant::ArrayValue>;
        return std::get<Array>(left.value_)->Items == std::get<Array>(right.value_)->Items;
    }
    const auto noValue = [](TVarType type) {
        return type == TVarType::Empty || type == TVarType::Null;
    };
    if (noValue(leftType) || noValue(rightType)) return leftType == rightType;
    if (leftType == TVarType::String && rightType == TVarType::String) {
        return std::get<std::string>(left.value_) == std::get<std::string>(right.value_);
    }
    if (leftType == TVarType::Boolean || rightType == TVarType::Boolean) {
        return left.AsBoolean() == right.AsBoolean();
    }
    if (leftType == TVarType::Integer && rightType == TVarType::Integer) {
        return std::get<std::int64_t>(left.value_) == std::get<std::int64_t>(right.value_);
    }
    if (leftType == TVarType::DateTime || rightType == TVarType::DateTime) {
        return left.AsDateTime() == right.AsDateTime();
    }
    return left.AsFloat() == right.AsFloat();
}

}  // namespace tavisto
