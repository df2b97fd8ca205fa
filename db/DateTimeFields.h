#pragma once

// Date, time and date-time fields. AsString gives "yyyy-mm-dd hh:nn:ss" (the time left out at
// midnight), "yyyy-mm-dd" and "hh:nn:ss"; DisplayText uses DisplayFormat when one is set
// (patterns of FormatDateTime; ':' becomes the locale's time separator).

#include <string>

#include "db/Field.h"

namespace tavisto {

class TDateTimeField : public TField {
public:
    TDateTimeField() : TField(ftDateTime, 0) {}
    int DataSize() const override { return 8; }
    Variant Value() const override;
    std::string AsString() const override;
    std::string DisplayText() const override;

    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(std::string format);

protected:
    explicit TDateTimeField(TFieldType type) : TField(type, 0) {}
    void AssignValue(const Variant& value) override { WriteDateTime(value.AsDateTime()); }
    int DefaultDisplayWidth() const override { return 19; }
    // The value of the buffer form; false for null.
    virtual bool ReadDateTime(TDateTime& value) const;
    virtual void WriteDateTime(TDateTime value);
    virtual std::string Format(TDateTime value) const;

private:
    std::string displayFormat_;
};

class TDateField : public TDateTimeField {
public:
    TDateField() : TDateTimeField(ftDate) {}
    int DataSize() const override { return 4; }

protected:
    int DefaultDisplayWidth() const override { return 10; }
    bool ReadDateTime(TDateTime& value) const override;
    // The time of day is dropped.
    void WriteDateTime(TDateTime value) override;
    std::string Format(TDateTime value) const override;
};

class TTimeField : public TDateTimeField {
public:
    TTimeField() : TDateTimeField(ftTime) {}
    int DataSize() const override { return 4; }

protected:
    int DefaultDisplayWidth() const override { return 8; }
    bool ReadDateTime(TDateTime& value) const override;
    // The date is dropped.
    void WriteDateTime(TDateTime value) override;
    std::string Format(TDateTime value) const override;
};

}  // namespace tavisto
