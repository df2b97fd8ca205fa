// TCustomCsvDataSet: field values between the column texts of a record and the framework's
// buffer forms, the values of calculated fields, and the field events.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "csv/CsvConvert.h"
#include "csv/CsvData.h"
#include "db/Utf16.h"

namespace tavisto {
namespace {

constexpr std::string_view kTypeNotHandled = "SetFieldData Error - Field type not handled";

bool IsQuoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

template <class Value>
void Store(void* buffer, Value value) {
    std::memcpy(buffer, &value, sizeof value);
}

template <class Value>
Value Load(const void* buffer) {
    Value value;
    std::memcpy(&value, buffer, sizeof value);
    return value;
}

void StoreText(void* buffer, std::string_view text, int size) {
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(std::max(size, 0)));
    if (length > 0) std::memcpy(buffer, text.data(), length);
    static_cast<char*>(buffer)[length] = '\0';
}

// At most size code units, never half of a surrogate pair, then a 16-bit NUL.
void StoreWideText(void* buffer, std::string_view utf8, int size) {
    const std::u16string units = Utf8ToUtf16(utf8);
    std::size_t length = std::min(units.size(), static_cast<std::size_t>(std::max(size, 0)));
    if (length < units.size() && length > 0 && units[length - 1] >= 0xD800 &&
        units[length - 1] <= 0xDBFF) {
        --length;
    }
    std::memcpy(buffer, units.data(), length * sizeof(char16_t));
    Store(static_cast<char*>(buffer) + length * sizeof(char16_t), char16_t{0});
}

std::u16string_view WideTextOf(const void* buffer, int size) {
    const auto* units = static_cast<const char16_t*>(buffer);
    std::size_t length = 0;
    while (length < static_cast<std::size_t>(std::max(size, 0)) && units[length] != 0) ++length;
    return {units, length};
}

}  // namespace

bool TCustomCsvDataSet::ReadFieldValue(const TField& field, void* buffer) {
    if (!tableOpen_) return false;
    const TRecordBuffer recordBuffer = RecordBufferForState();
    if (recordBuffer == nullptr) return false;
    std::byte* record = Block(recordBuffer);
    if (field.Calculated()) return ReadCalculatedField(field, record, buffer);
    const FieldColumn found = ColumnForField(field);
    if (found.Column == nullptr) {
        RaiseError("Unable to locate CSV file information for field " + field.Name());
    }
    if (found.Position < 0) {
        RaiseError("Physical location of CSV field " + field.FieldName() + " unknown");
    }
    std::string owned;
    std::string_view text =
        StoredFieldText(field, ColumnTextOf(ViewOfRow(record), found.Position), owned);
    const CsvRowHeader& header = RowHeader(record);
    if (OnGetFieldData && header.RowIndex >= 0 && header.EventGuard == 0) {
        text = RunGetFieldData(field, record, found.Position, text, owned);
    }
    return ValueOfText(field, *found.Column, text, buffer);
}

bool TCustomCsvDataSet::ReadFieldOfAllRows(const TField& field, const TFieldValueVisitor& visit) {
    // The event may change a row's text as it is read, which only the record buffers do.
    if (!tableOpen_ || OnGetFieldData) return false;
    const FieldColumn found = ColumnForField(field);
    if (found.Column == nullptr || found.Position < 0) return false;
    std::vector<std::byte> value(static_cast<std::size_t>(std::max(field.DataSize(), 0)) +
                                 sizeof(double));
    std::string owned;
    for (std::int32_t row = 0; row < rows_.Count(); ++row) {
        const std::string_view text =
            StoredFieldText(field, rows_.ColumnText(row, found.Position), owned);
        const bool present = ValueOfText(field, *found.Column, text, value.data());
        char bookmark[sizeof row];
        std::memcpy(bookmark, &row, sizeof row);
        visit(bookmark, present ? value.data() : nullptr);
    }
    return true;
}

std::string_view TCustomCsvDataSet::StoredFieldText(const TField& field, std::string_view text,
                                                    std::string& owned) const {
    if (field.DataType() != ftString || !IsQuoted(text)) return text;
    owned = DequoteText(text);
    return owned;
}

bool TCustomCsvDataSet::ValueOfText(const TField& field, const CsvColumn& column,
                                    std::string_view text, void* buffer) const {
    if (field.DataType() != ftString && text.empty()) return false;
    if (buffer != nullptr) return ConvertFieldValue(field, column, text, buffer);
    if (field.DataType() == ftString || field.DataType() == ftWideString) return !text.empty();
    // The null test agrees with the value: a text that does not convert is null either way.
    alignas(double) std::byte scratch[sizeof(double)];
    return ConvertFieldValue(field, column, text, scratch);
}

std::string_view TCustomCsvDataSet::RunGetFieldData(const TField& field, std::byte* record,
                                                    int position, std::string_view text,
                                                    std::string& replaced) {
    CsvRowHeader& header = RowHeader(record);
    std::string value(text);
    header.EventGuard = 1;
    try {
        OnGetFieldData(*this, rows_.UserTagOf(header.RowIndex), rows_.UserDataOf(header.RowIndex),
                       field.FieldName(), value);
    } catch (...) {
        header.EventGuard = 0;
        throw;
    }
    header.EventGuard = 0;
    if (value == text) return text;
    ReplaceColumnText(record, position, value);
    replaced = std::move(value);
    return replaced;
}

bool TCustomCsvDataSet::ConvertFieldValue(const TField& field, const CsvColumn& column,
                                          std::string_view text, void* buffer) const {
    switch (field.DataType()) {
        case ftString:
            StoreText(buffer, text, field.Size());
            return true;
        case ftWideString:
            // Only a quoted text loses its outer characters; an unquoted one is taken whole.
            StoreWideText(buffer, IsQuoted(text) ? DequoteText(text) : std::string(text),
                          field.Size());
            return true;
        case ftInteger: {
            const auto value = ParseIntegerText(text);
            if (value) Store(buffer, *value);
            return value.has_value();
        }
        case ftBoolean:
            Store(buffer, static_cast<std::int16_t>(ParseBooleanText(text) ? -1 : 0));
            return true;
        case ftFloat: {
            const auto value = ParseFloatText(text, DecimalSeparatorChar());
            if (value) Store(buffer, *value);
            return value.has_value();
        }
        case ftDate: {
            const TDateTime date = ParseDateText(text);
            if (date <= 1.0) return false;
            Store(buffer, DateTimeToTimeStamp(date).Date);
            return true;
        }
        case ftTime: {
            const TDateTime time = ParseTimeText(text, localeFormats_);
            if (time < 0) return false;
            Store(buffer, DateTimeToTimeStamp(time).Time);
            return true;
        }
        case ftDateTime: {
            if (column.Kind != ckDateTimeHex && column.Kind != ckDateTimeHexZoned) {
                const std::optional<double> msecs = ParseDateTimeMSecs(text, localeFormats_);
                if (msecs) Store(buffer, *msecs);
                return msecs.has_value();
            }
            const std::int32_t correction = column.Kind == ckDateTimeHex ? 0 : timeZoneCorrection_;
            Store(buffer,
                  TimeStampToMSecs(DateTimeToTimeStamp(TimeTHexToDateTime(text, correction))));
            return true;
        }
        default:
            RaiseErrorCode(kTypeNotHandled, field.DataType());
    }
}

void TCustomCsvDataSet::SetFieldData(TField& field, const void* buffer) {
    const TRecordBuffer recordBuffer = RecordBufferForState();
    TAVISTO_ASSERT(
        recordBuffer != nullptr && RowHeader(Block(recordBuffer)).RowMarker == kRowMarker,
        "CsvData", "Internal data corruption detected in CustomCsvDataSet.SetFieldData");
    std::byte* record = Block(recordBuffer);
    if (field.Calculated()) {
        WriteCalculatedField(field, record, buffer);
        return;
    }
    const FieldColumn found = ColumnForField(field);
    if (found.Column == nullptr || found.Position < 0) return;
    const std::string text = buffer == nullptr ? "" : FieldTextOf(field, *found.Column, buffer);
    ReplaceColumnText(record, found.Position, text);
    const CsvRowHeader& header = RowHeader(record);
    if (OnSetFieldData && header.RowIndex >= 0) {
        OnSetFieldData(*this, rows_.UserTagOf(header.RowIndex), rows_.UserDataOf(header.RowIndex),
                       field.FieldName(), text);
    }
    MarkColumnChanged(record, found.Position);
    changed_ = true;
    NotifyFieldChanged(field);
}

std::string TCustomCsvDataSet::FieldTextOf(const TField& field, const CsvColumn& column,
                                           const void* buffer) {
    switch (field.DataType()) {
        case ftString: {
            const auto* chars = static_cast<const char*>(buffer);
            std::string text(chars, strnlen(chars, static_cast<std::size_t>(field.Size())));
            const char specials[] = {Separator(), '\r', '\n', '"'};
            const bool needsQuotes =
                alwaysEnquoteStrings_ ||
                text.find_first_of(specials, 0, sizeof specials) != std::string::npos ||
                (EnquoteBackslash() && text.find('\\') != std::string::npos);
            return needsQuotes ? EnquoteText(text) : text;
        }
        case ftWideString:
            return EnquoteText(Utf16ToUtf8(WideTextOf(buffer, field.Size())));
        case ftInteger:
            return std::to_string(Load<std::int32_t>(buffer));
        case ftBoolean:
            return std::to_string(Load<std::int16_t>(buffer));
        case ftFloat: {
            const std::string text = FloatToCsvText(Load<double>(buffer), DecimalSeparatorChar());
            const bool needsQuotes = alwaysEnquoteFloats_ || Separator() == DecimalSeparatorChar();
            return needsQuotes ? EnquoteText(text) : text;
        }
        case ftDate:
            return FormatCsvDate(TimeStampToDateTime({0, Load<std::int32_t>(buffer)}),
                                 localeFormats_);
        case ftTime:
            return FormatCsvTime(TimeStampToDateTime({Load<std::int32_t>(buffer), kDateDelta}),
                                 localeFormats_);
        case ftDateTime: {
            const TDateTime value =
                TimeStampToDateTime(MSecsToTimeStamp(std::round(Load<double>(buffer))));
            if (column.Kind == ckDateTimeHex) return DateTimeToTimeTHex(value, 0);
            if (column.Kind == ckDateTimeHexZoned) {
                return DateTimeToTimeTHex(value, timeZoneCorrection_);
            }
            return FormatCsvDateTime(value, localeFormats_);
        }
        default:
            RaiseErrorCode(kTypeNotHandled, column.Kind);
    }
}

// A calculated or lookup field's slot: a presence byte, then the value in buffer form.
bool TCustomCsvDataSet::ReadCalculatedField(const TField& field, const std::byte* record,
                                            void* buffer) const {
    const int offset = field.Offset();
    const auto size = static_cast<std::size_t>(field.DataSize());
    if (offset < 0 || static_cast<std::size_t>(offset) + 1 + size > kCalcAreaSize) return false;
    const std::byte* slot = record + CalcAreaOffset(record) + offset;
    if (slot[0] == std::byte{0}) return false;
    if (buffer != nullptr) std::memcpy(buffer, slot + 1, size);
    return true;
}

void TCustomCsvDataSet::WriteCalculatedField(const TField& field, std::byte* record,
                                             const void* buffer) const {
    const int offset = field.Offset();
    const auto size = static_cast<std::size_t>(field.DataSize());
    if (offset < 0 || static_cast<std::size_t>(offset) + 1 + size > kCalcAreaSize) return;
    std::byte* slot = record + CalcAreaOffset(record) + offset;
    slot[0] = std::byte{buffer != nullptr ? std::uint8_t{1} : std::uint8_t{0}};
    if (buffer == nullptr) return;
    // Texts come NUL-terminated and may be shorter than the field's buffer form.
    std::size_t length = size;
    if (field.DataType() == ftString) {
        length = strnlen(static_cast<const char*>(buffer), size - 1);
    } else if (field.DataType() == ftWideString) {
        length = WideTextOf(buffer, field.Size()).size() * sizeof(char16_t);
    }
    std::memset(slot + 1, 0, size);
    std::memcpy(slot + 1, buffer, length);
}

}  // namespace tavisto
