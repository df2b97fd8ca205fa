#include "db/NumericFields.h"

#include <cstdint>
#include <string>

namespace tavisto {

Variant TIntegerField::Value() const {
    std::int32_t value = 0;
    return GetData(&value) ? Variant(value) : Variant::Null();
}

void TIntegerField::AssignValue(const Variant& value) {
    const std::int32_t number = value.AsInteger();
    SetData(&number);
}

Variant TSmallintField::Value() const {
    std::int16_t value = 0;
    return GetData(&value) ? Variant(int{value}) : Variant::Null();
}

void TSmallintField::AssignValue(const Variant& value) {
    const std::int64_t number = value.AsInt64();
    if (number < INT16_MIN || number > INT16_MAX) {
        InvalidValue(std::to_string(number) + " is outside -32768 to 32767");
    }
    const auto small = static_cast<std::int16_t>(number);
    SetData(&small);
}

Variant TBooleanField::Value() const {
    std::int16_t value = 0;
    return GetData(&value) ? Variant(value != 0) : Variant::Null();
}

void TBooleanField::AssignValue(const Variant& value) {
    const std::int16_t flag = value.AsBoolean() ? 1 : 0;
    SetData(&flag);
}

Variant TFloatField::Value() const {
    double value = 0;
    return GetData(&value) ? Variant(value) : Variant::Null();
}

void TFloatField::AssignValue(const Variant& value) {
    const double number = value.AsFloat();
    SetData(&number);
}

}  // namespace tavisto
