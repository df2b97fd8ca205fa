#include "db/StringFields.h"

#include <algorithm>

#include "db/Utf16.h"

namespace tavisto {

bool TStringField::ReadText(std::string& text) const {
    std::string buffer(static_cast<std::size_t>(DataSize()), '\0');
    if (!GetData(buffer.data())) return false;
    text.assign(buffer.c_str());
    return true;
}

Variant TStringField::Value() const {
    std::string text;
    return ReadText(text) ? Variant(std::move(text)) : Variant::Null();
}

std::string TStringField::AsString() const {
    std::string text;
    ReadText(text);
    return text;
}

void TStringField::SetAsString(const std::string& text) {
    const std::size_t length =
        std::min({text.size(), text.find('\0'), static_cast<std::size_t>(Size())});
    SetData(text.substr(0, length).c_str());
}

bool TWideStringField::ReadText(std::u16string& text) const {
    std::u16string buffer(static_cast<std::size_t>(Size()) + 1, u'\0');
    if (!GetData(buffer.data())) return false;
    text.assign(buffer.c_str());
    return true;
}

Variant TWideStringField::Value() const {
    std::u16string text;
    return ReadText(text) ? Variant(Utf16ToUtf8(text)) : Variant::Null();
}

std::string TWideStringField::AsString() const {
    return Utf16ToUtf8(AsWideString());
}

void TWideStringField::SetAsString(const std::string& text) {
    SetAsWideString(Utf8ToUtf16(text));
}

std::u16string TWideStringField::AsWideString() const {
    std::u16string text;
    ReadText(text);
    return text;
}

void TWideStringField::SetAsWideString(std::u16string text) {
    const std::size_t nul = text.find(u'\0');
    if (nul != std::u16string::npos) text.resize(nul);
    const auto size = static_cast<std::size_t>(Size());
    if (text.size() > size) {
        const bool splitsPair = size > 0 && text[size - 1] >= 0xD800 && text[size - 1] <= 0xDBFF;
        text.resize(splitsPair ? size - 1 : size);
    }
    SetData(text.c_str());
}

}  // namespace tavisto
