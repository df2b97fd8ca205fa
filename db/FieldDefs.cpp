#include "db/FieldDefs.h"

#include "db/DataSet.h"
#include "db/DateTimeFields.h"
#include "db/DbErrors.h"
#include "db/NameMatch.h"
#include "db/NumericFields.h"
#include "db/StringFields.h"

namespace tavisto {
namespace {

std::unique_ptr<TField> NewFieldOfType(TFieldType type) {
    switch (type) {
        case ftString:
            return std::make_unique<TStringField>();
        case ftWideString:
            return std::make_unique<TWideStringField>();
        case ftSmallint:
            return std::make_unique<TSmallintField>();
        case ftInteger:
            return std::make_unique<TIntegerField>();
        case ftBoolean:
            return std::make_unique<TBooleanField>();
        case ftFloat:
            return std::make_unique<TFloatField>();
        case ftCurrency:
            return std::make_unique<TCurrencyField>();
        case ftDate:
            return std::make_unique<TDateField>();
        case ftTime:
            return std::make_unique<TTimeField>();
        case ftDateTime:
            return std::make_unique<TDateTimeField>();
        default:
            return nullptr;
    }
}

}  // namespace

TFieldDef::TFieldDef(PassKey, TFieldDefs& owner, std::string name, TFieldType type, int size,
                     bool required, int fieldNo)
    : owner_(owner),
      name_(std::move(name)),
      dataType_(type),
      size_(size),
      required_(required),
      fieldNo_(fieldNo) {}

void TFieldDef::SetDataType(TFieldType type) {
    dataType_ = type;
    owner_.Changed();
}

void TFieldDef::SetSize(int size) {
    size_ = size;
    owner_.Changed();
}

void TFieldDef::SetRequired(bool required) {
    required_ = required;
    owner_.Changed();
}

std::unique_ptr<TField> TFieldDef::CreateField() const {
    std::unique_ptr<TField> field = NewFieldOfType(dataType_);
    if (field == nullptr) DatabaseError(db_messages::NoFieldClass(name_, FieldTypeName(dataType_)));
    field->SetFieldName(name_);
    if (dataType_ == ftString || dataType_ == ftWideString) field->SetSize(size_);
    return field;
}

TFieldDef& TFieldDefs::operator[](int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError("Field definition index out of bounds (" + std::to_string(index) + ")");
    }
    return *defs_[static_cast<std::size_t>(index)];
}

TFieldDef* TFieldDefs::Find(std::string_view name) const {
    const int index = IndexOf(name);
    return index < 0 ? nullptr : defs_[static_cast<std::size_t>(index)].get();
}

int TFieldDefs::IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < defs_.size(); ++i) {
        if (SameName(defs_[i]->Name(), name)) return static_cast<int>(i);
    }
    return -1;
}

TFieldDef& TFieldDefs::Add(std::string name, TFieldType type, int size, bool required) {
    if (Find(name) != nullptr) DatabaseError(db_messages::DuplicateFieldName(name), owner_.Name());
    defs_.push_back(std::make_unique<TFieldDef>(TFieldDef::PassKey{}, *this, std::move(name), type,
                                                size, required, Count() + 1));
    Changed();
    return *defs_.back();
}

void TFieldDefs::Clear() {
    if (defs_.empty()) return;
    defs_.clear();
    Changed();
}

void TFieldDefs::Update() {
    owner_.InternalInitFieldDefs();
}

void TFieldDefs::Changed() {
    owner_.FieldDefsChanged(*this);
}

}  // namespace tavisto
