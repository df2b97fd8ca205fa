#pragma once

// The field definitions of a data set: what the engine offers (name, type, size), from which
// default fields are made and to which persistent fields are bound. Every change reaches the
// data set's FieldDefsChanged.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/DbTypes.h"

namespace tavisto {

class TDataSet;
class TField;
class TFieldDefs;

class TFieldDef {
public:
    // Only the collection makes definitions.
    class PassKey {
        friend class TFieldDefs;
        PassKey() = default;
    };
    TFieldDef(PassKey, TFieldDefs& owner, std::string name, TFieldType type, int size,
              bool required, int fieldNo);
    TFieldDef(const TFieldDef&) = delete;
    TFieldDef& operator=(const TFieldDef&) = delete;

    const std::string& Name() const { return name_; }
    TFieldType DataType() const { return dataType_; }
    void SetDataType(TFieldType type);
    // Characters of a text definition; 0 for other types.
    int Size() const { return size_; }
    void SetSize(int size);
    bool Required() const { return required_; }
    void SetRequired(bool required);
    // Position in the collection plus one.
    int FieldNo() const { return fieldNo_; }

    // A new field of the class for DataType(), named and sized after the definition. Raises
    // EDatabaseError for a type without a field class.
    std::unique_ptr<TField> CreateField() const;

private:
    TFieldDefs& owner_;
    std::string name_;
    TFieldType dataType_;
    int size_;
    bool required_;
    int fieldNo_;
};

class TFieldDefs {
public:
    explicit TFieldDefs(TDataSet& owner) : owner_(owner) {}
    TFieldDefs(const TFieldDefs&) = delete;
    TFieldDefs& operator=(const TFieldDefs&) = delete;

    int Count() const { return static_cast<int>(defs_.size()); }
    // Raises EListError for an index outside 0 to Count() - 1.
    TFieldDef& operator[](int index) const;
    // Matches names ignoring the case of A to Z; null when there is none.
    TFieldDef* Find(std::string_view name) const;
    int IndexOf(std::string_view name) const;

    // Definitions stay at their address until removed. Raises EDatabaseError for a name already
    // present.
    TFieldDef& Add(std::string name, TFieldType type, int size = 0, bool required = false);
    // Tells the data set only when there was something to remove.
    void Clear();
    // Asks the data set's engine to build the definitions again (InternalInitFieldDefs).
    void Update();

private:
    friend class TFieldDef;
    void Changed();

    TDataSet& owner_;
    std::vector<std::unique_ptr<TFieldDef>> defs_;
};

}  // namespace tavisto
