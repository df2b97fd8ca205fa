#include "db/DateTimeFields.h"

#include <cstdint>

namespace tavisto {

Variant TDateTimeField::Value() const {
    TDateTime value = 0;
    return ReadDateTime(value) ? Variant::FromDateTime(value) : Variant::Null();
}

std::string TDateTimeField::AsString() const {
    TDateTime value = 0;
    return ReadDateTime(value) ? Format(value) : std::string();
}

std::string TDateTimeField::DisplayText() const {
    TDateTime value = 0;
    if (!ReadDateTime(value)) return {};
    return displayFormat_.empty() ? Format(value) : FormatDateTime(displayFormat_, value);
}

void TDateTimeField::SetDisplayFormat(std::string format) {
    displayFormat_ = std::move(format);
    NotifyLayoutChanged();
}

bool TDateTimeField::ReadDateTime(TDateTime& value) const {
    double msecs = 0;
    if (!GetData(&msecs)) return false;
    try {
        value = TimeStampToDateTime(MSecsToTimeStamp(msecs));
    } catch (const EConvertError& error) {
        InvalidValue(error.Message());
    }
    return true;
}

void TDateTimeField::WriteDateTime(TDateTime value) {
    double msecs = 0;
    try {
        msecs = TimeStampToMSecs(DateTimeToTimeStamp(value));
    } catch (const EConvertError& error) {
        InvalidValue(error.Message());
    }
    SetData(&msecs);
}

std::string TDateTimeField::Format(TDateTime value) const {
    return DateTimeToStr(value, DefaultFormatSettings());
}

bool TDateField::ReadDateTime(TDateTime& value) const {
    std::int32_t dayNumber = 0;
    if (!GetData(&dayNumber)) return false;
    try {
        value = TimeStampToDateTime(TTimeStamp{0, dayNumber});
    } catch (const EConvertError& error) {
        InvalidValue(error.Message());
    }
    return true;
}

void TDateField::WriteDateTime(TDateTime value) {
    std::int32_t dayNumber = 0;
    try {
        dayNumber = DateTimeToTimeStamp(value).Date;
    } catch (const EConvertError& error) {
        InvalidValue(error.Message());
    }
    SetData(&dayNumber);
}

std::string TDateField::Format(TDateTime value) const {
    return FormatDateTime("yyyy-mm-dd", value);
}

bool TTimeField::ReadDateTime(TDateTime& value) const {
    std::int32_t msecs = 0;
    if (!GetData(&msecs)) return false;
    try {
        value = TimeStampToDateTime(TTimeStamp{msecs, kDateDelta});
    } catch (const EConvertError& error) {
        InvalidValue(error.Message());
    }
    return true;
}

void TTimeField::WriteDateTime(TDateTime value) {
    std::int32_t msecs = 0;
    try {
        msecs = DateTimeToTimeStamp(value).Time;
    } catch (const EConvertError& error) {
        InvalidValue(error.Message());
    }
    SetData(&msecs);
}

std::string TTimeField::Format(TDateTime value) const {
    return FormatDateTime("hh:nn:ss", value);
}

}  // namespace tavisto
