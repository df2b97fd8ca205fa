#pragma once

// TField: one column of a data set as its users see it. A field reads and writes the value of the
// data set's active record (or of the record whose calculated fields are being computed) through
// the data set's engine, in the field type's buffer form:
//
//   ftString      chars, then a NUL (Size + 1 bytes)
//   ftWideString  UTF-16 code units, then a 16-bit NUL ((Size + 1) * 2 bytes)
//   ftSmallint    int16            ftInteger   int32
//   ftBoolean     int16, non-zero is true; written as 1 or 0
//   ftFloat, ftCurrency  double
//   ftDate        int32 day number (1 January of year 1 is day 1)
//   ftTime        int32 milliseconds since midnight
//   ftDateTime    double: day number * 86 400 000 + milliseconds since midnight
//
// Fields belong to their data set (TDataSet::Fields()). Persistent fields are added before the
// data set opens and bound to the field definitions by name when it opens; without persistent
// fields the data set creates one default field per definition at open and destroys them at close.

#include <cstdint>
#include <string>
#include <string_view>

#include "db/DbTypes.h"
#include "platform/DateTime.h"
#include "platform/Variant.h"

namespace tavisto {

class TDataSet;

class TField {
public:
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;
    virtual ~TField() = default;

    // The name the field is bound by. Requires: the data set is closed.
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(std::string name);
    // The field object's own (component) name, such as "csvLogfileKALU"; may be empty.
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    TDataSet* DataSet() const { return dataSet_; }
    TFieldType DataType() const { return dataType_; }
    // Number of the bound definition (the first is 1); 0 while unbound, -1 for calculated and
    // lookup fields.
    int FieldNo() const { return fieldNo_; }
    // Characters of a text field; 0 for the other types. Requires: the data set is closed.
    int Size() const { return size_; }
    void SetSize(int size);
    // Bytes of the buffer form.
    virtual int DataSize() const = 0;

    // Calculated and lookup fields keep their values in the record's calculated-field area,
    // in a slot at Offset(): a presence byte, then DataSize() bytes. Requires: data set closed.
    TFieldKind FieldKind() const { return fieldKind_; }
    void SetFieldKind(TFieldKind kind);
    bool Calculated() const { return fieldKind_ != fkData; }
    // Offset of the slot while bound; -1 for data fields and unbound fields.
    int Offset() const { return offset_; }

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // A data field can be changed when it is not read-only and its data set can be modified; a
    // calculated field when it is not read-only.
    bool CanModify() const;

    // Caption for column headers; the field name unless set.
    std::string DisplayLabel() const;
    void SetDisplayLabel(std::string label);
    // Width in characters; a default that depends on the field class unless set (0 resets it).
    int DisplayWidth() const;
    void SetDisplayWidth(int width);

    // Values of the current record. Reading requires an active data set; writing requires edit
    // or insert state for data fields (or computing calculated fields, for calculated ones).
    // Null reads as "", 0, 0.0, false, 0 through the typed accessors and as Variant::Null().
    bool IsNull() const;
    virtual Variant Value() const = 0;
    // Null or Empty clear the field; other values are converted to the field's type
    // (EDatabaseError when they cannot be).
    void SetValue(const Variant& value);
    void Clear() { SetData(nullptr); }
    virtual std::string AsString() const;
    virtual void SetAsString(const std::string& text);
    std::int32_t AsInteger() const;
    void SetAsInteger(std::int32_t value) { SetValue(Variant(value)); }
    double AsFloat() const;
    void SetAsFloat(double value) { SetValue(Variant(value)); }
    bool AsBoolean() const;
    void SetAsBoolean(bool value) { SetValue(Variant(value)); }
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value) { SetValue(Variant::FromDateTime(value)); }

    // The text shown for the value; empty for null.
    virtual std::string DisplayText() const { return AsString(); }

    // The value in buffer form. GetData with a null buffer only tells whether there is a value;
    // SetData with a null buffer makes the field null.
    bool GetData(void* buffer) const;
    void SetData(const void* buffer);

protected:
    TField(TFieldType dataType, int size);
    // The value, which is not null, converted into the field's type and written.
    virtual void AssignValue(const Variant& value) = 0;
    virtual int DefaultDisplayWidth() const = 0;
    // Raises EDatabaseError naming the field.
    [[noreturn]] void InvalidValue(std::string_view reason) const;
    // Tells the data links of an active data set that the field's presentation changed.
    void NotifyLayoutChanged() const;

private:
    friend class TDataSet;
    friend class TFields;

    TDataSet& BoundDataSet() const;

    TDataSet* dataSet_ = nullptr;
    std::string fieldName_;
    std::string name_;
    std::string displayLabel_;
    TFieldType dataType_;
    TFieldKind fieldKind_ = fkData;
    int size_;
    int fieldNo_ = 0;
    int offset_ = -1;
    int displayWidth_ = 0;
    bool readOnly_ = false;
};

}  // namespace tavisto
