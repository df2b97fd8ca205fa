#pragma once

// Text fields: 8-bit text as stored (TStringField) and UTF-16 text (TWideStringField, exchanged
// with the rest of the program as UTF-8).

#include <string>

#include "db/Field.h"

namespace tavisto {

class TStringField : public TField {
public:
    static constexpr int kDefaultSize = 20;

    TStringField() : TField(ftString, kDefaultSize) {}
    int DataSize() const override { return Size() + 1; }
    Variant Value() const override;
    std::string AsString() const override;
    // Keeps an empty text as an empty text; a longer text is cut to Size() bytes.
    void SetAsString(const std::string& text) override;

protected:
    void AssignValue(const Variant& value) override { SetAsString(value.AsString()); }
    int DefaultDisplayWidth() const override { return Size(); }

private:
    bool ReadText(std::string& text) const;
};

class TWideStringField : public TField {
public:
    static constexpr int kDefaultSize = 20;

    TWideStringField() : TField(ftWideString, kDefaultSize) {}
    int DataSize() const override { return (Size() + 1) * 2; }
    // The text as UTF-8.
    Variant Value() const override;
    std::string AsString() const override;
    void SetAsString(const std::string& text) override;
    // The text in code units; null reads as the empty text. A longer text is cut to Size() code
    // units, never between the two halves of a surrogate pair.
    std::u16string AsWideString() const;
    void SetAsWideString(std::u16string text);

protected:
    void AssignValue(const Variant& value) override { SetAsString(value.AsString()); }
    int DefaultDisplayWidth() const override { return Size(); }

private:
    bool ReadText(std::u16string& text) const;
};

}  // namespace tavisto
