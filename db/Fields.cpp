#include "db/Fields.h"

#include <algorithm>

#include "db/DataSet.h"
#include "db/DbErrors.h"
#include "db/NameMatch.h"

namespace tavisto {

TField& TFields::operator[](int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError("Field index out of bounds (" + std::to_string(index) + ")");
    }
    return *fields_[static_cast<std::size_t>(index)];
}

TField* TFields::FindField(std::string_view fieldName) const {
    for (const auto& field : fields_) {
        if (SameName(field->FieldName(), fieldName)) return field.get();
    }
    return nullptr;
}

TField& TFields::FieldByName(std::string_view fieldName) const {
    TField* field = FindField(fieldName);
    if (field == nullptr) DatabaseError(db_messages::FieldNotFound(fieldName), owner_.Name());
    return *field;
}

int TFields::IndexOf(const TField& field) const {
    const auto found = std::find_if(fields_.begin(), fields_.end(), [&](const auto& candidate) {
        return candidate.get() == &field;
    });
    return found == fields_.end() ? -1 : static_cast<int>(found - fields_.begin());
}

TField& TFields::Add(std::unique_ptr<TField> field) {
    owner_.CheckInactive();
    return AddUnchecked(std::move(field));
}

void TFields::Remove(TField& field) {
    owner_.CheckInactive();
    const int index = IndexOf(field);
    if (index >= 0) fields_.erase(fields_.begin() + index);
}

void TFields::Clear() {
    owner_.CheckInactive();
    fields_.clear();
}

TField& TFields::AddUnchecked(std::unique_ptr<TField> field) {
    if (FindField(field->FieldName()) != nullptr) {
        DatabaseError(db_messages::DuplicateFieldName(field->FieldName()), owner_.Name());
    }
    field->dataSet_ = &owner_;
    fields_.push_back(std::move(field));
    return *fields_.back();
}

}  // namespace tavisto
