#include "db/Field.h"

#include "db/DataSet.h"
#include "db/DbErrors.h"

namespace tavisto {
namespace {

// Runs a conversion, turning a variant that does not convert into the field's error. Null and
// the empty text (which a text field reports as null) give the type's zero.
template <class Result, class Convert>
Result Converted(const TField& field, Convert convert) {
    const Variant value = field.Value();
    if (value.IsNull() || (value.Type() == TVarType::String && value.AsString().empty())) {
        return Result{};
    }
    try {
        return convert(value);
    } catch (const EVariantError& error) {
        DatabaseError(db_messages::InvalidFieldValue(field.FieldName(), error.Message()));
    }
}

}  // namespace

TField::TField(TFieldType dataType, int size) : dataType_(dataType), size_(size) {}

void TField::SetFieldName(std::string name) {
    if (dataSet_ != nullptr) {
        dataSet_->CheckInactive();
        const TField* other = dataSet_->FindField(name);
        if (other != nullptr && other != this) {
            DatabaseError(db_messages::DuplicateFieldName(name), dataSet_->Name());
        }
    }
    fieldName_ = std::move(name);
}

void TField::SetSize(int size) {
    if (dataSet_ != nullptr) dataSet_->CheckInactive();
    size_ = size < 0 ? 0 : size;
}

void TField::SetFieldKind(TFieldKind kind) {
    if (dataSet_ != nullptr) dataSet_->CheckInactive();
    fieldKind_ = kind;
}

bool TField::CanModify() const {
    if (readOnly_) return false;
    if (fieldKind_ != fkData) return true;
    return dataSet_ != nullptr && dataSet_->CanModify();
}

std::string TField::DisplayLabel() const {
    return displayLabel_.empty() ? fieldName_ : displayLabel_;
}

void TField::SetDisplayLabel(std::string label) {
    displayLabel_ = std::move(label);
    NotifyLayoutChanged();
}

int TField::DisplayWidth() const {
    return displayWidth_ > 0 ? displayWidth_ : DefaultDisplayWidth();
}

void TField::SetDisplayWidth(int width) {
    displayWidth_ = width < 0 ? 0 : width;
    NotifyLayoutChanged();
}

bool TField::IsNull() const {
    return !GetData(nullptr);
}

void TField::SetValue(const Variant& value) {
    if (value.IsNull() || value.IsEmpty()) {
        Clear();
        return;
    }
    try {
        AssignValue(value);
    } catch (const EVariantError& error) {
        InvalidValue(error.Message());
    }
}

std::string TField::AsString() const {
    return Converted<std::string>(*this, [](const Variant& v) { return v.AsString(); });
}

void TField::SetAsString(const std::string& text) {
    if (text.empty()) {
        Clear();
    } else {
        SetValue(Variant(text));
    }
}

std::int32_t TField::AsInteger() const {
    return Converted<std::int32_t>(*this, [](const Variant& v) { return v.AsInteger(); });
}

double TField::AsFloat() const {
    return Converted<double>(*this, [](const Variant& v) { return v.AsFloat(); });
}

bool TField::AsBoolean() const {
    return Converted<bool>(*this, [](const Variant& v) { return v.AsBoolean(); });
}

TDateTime TField::AsDateTime() const {
    return Converted<TDateTime>(*this, [](const Variant& v) { return v.AsDateTime(); });
}

bool TField::GetData(void* buffer) const {
    TDataSet& dataSet = BoundDataSet();
    dataSet.CheckActive();
    return dataSet.ReadFieldValue(*this, buffer);
}

void TField::SetData(const void* buffer) {
    TDataSet& dataSet = BoundDataSet();
    dataSet.CheckActive();
    const TDataSetState state = dataSet.State();
    const bool editing = state == dsEdit || state == dsInsert;
    if (fieldKind_ == fkData) {
        if (!editing) DatabaseError(db_messages::kNotEditing, dataSet.Name());
        if (!CanModify()) DatabaseError(db_messages::FieldReadOnly(fieldName_), dataSet.Name());
    } else {
        if (!editing && state != dsCalcFields) {
            DatabaseError(db_messages::kNotEditing, dataSet.Name());
        }
        if (readOnly_) DatabaseError(db_messages::FieldReadOnly(fieldName_), dataSet.Name());
    }
    dataSet.SetFieldData(*this, buffer);
}

void TField::InvalidValue(std::string_view reason) const {
    DatabaseError(db_messages::InvalidFieldValue(fieldName_, reason));
}

TDataSet& TField::BoundDataSet() const {
    if (dataSet_ == nullptr) {
        DatabaseError("Field '" + fieldName_ + "' belongs to no data set");
    }
    return *dataSet_;
}

void TField::NotifyLayoutChanged() const {
    if (dataSet_ != nullptr && dataSet_->Active()) {
        dataSet_->SendEvent(TDataEvent::LayoutChange);
    }
}

}  // namespace tavisto
