#pragma once

// The field objects of one data set, in order. Names are matched ignoring the case of A to Z.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/Field.h"

namespace tavisto {

class TFields {
public:
    explicit TFields(TDataSet& owner) : owner_(owner) {}
    TFields(const TFields&) = delete;
    TFields& operator=(const TFields&) = delete;

    int Count() const { return static_cast<int>(fields_.size()); }
    // Raises EListError for an index outside 0 to Count() - 1.
    TField& operator[](int index) const;
    TField* FindField(std::string_view fieldName) const;
    // Raises EDatabaseError "Field 'X' not found".
    TField& FieldByName(std::string_view fieldName) const;
    int IndexOf(const TField& field) const;

    // Adds a persistent field. Requires: the data set is closed; no field of that name exists.
    TField& Add(std::unique_ptr<TField> field);
    template <class FieldClass>
    FieldClass& Add(std::string fieldName, TFieldKind kind = fkData) {
        auto field = std::make_unique<FieldClass>();
        field->SetFieldName(std::move(fieldName));
        field->SetFieldKind(kind);
        FieldClass& added = *field;
        Add(std::move(field));
        return added;
    }
    // Requires: the data set is closed.
    void Remove(TField& field);
    void Clear();

private:
    friend class TDataSet;

    TField& AddUnchecked(std::unique_ptr<TField> field);
    void ClearUnchecked() { fields_.clear(); }

    TDataSet& owner_;
    std::vector<std::unique_ptr<TField>> fields_;
};

}  // namespace tavisto
