// TCustomCsvDataSet: construction, destruction, configuration and the composition of errors.

#include <algorithm>
#include <array>
#include <cstdio>

#include "csv/CsvData.h"
#include "csv/CsvErrors.h"
#include "csv/CsvParse.h"
#include "platform/FileSystem.h"

namespace tavisto {
namespace {

// Characters that cannot separate fields: line ends and characters that carry meaning inside
// fields or in the field-definition language.
constexpr std::array<unsigned char, 18> kRefusedSeparators = {
    0, 8, 10, 12, 13, '!', '"', '#', '$', '%', '&', '\'', '*', '-', '/', '@', '\\', '^'};

bool IsRefusedSeparator(char separator) {
    const auto code = static_cast<unsigned char>(separator);
    return std::find(kRefusedSeparators.begin(), kRefusedSeparators.end(), code) !=
           kRefusedSeparators.end();
}

// A control character is shown by its code, as "#13".
std::string SeparatorForMessage(char separator) {
    const auto code = static_cast<unsigned char>(separator);
    if (code >= 32) return std::string(1, separator);
    char text[8];
    std::snprintf(text, sizeof text, "#%.2d", code);
    return text;
}

std::string WorkingDirectoryOrNone() {
    try {
        return CurrentDirectory();
    } catch (const EInOutError&) {
        // A process whose working folder is gone can still open tables by full name.
        return {};
    }
}

}  // namespace

TCustomCsvDataSet::TCustomCsvDataSet()
    : localeFormats_(ReadSystemFormatSettings()), initialDirectory_(WorkingDirectoryOrNone()) {
    SetSeparator(kDefaultSeparator);
}

TCustomCsvDataSet::~TCustomCsvDataSet() {
    Destroying();
    reader_.reset();
    if (tableOpen_) {
        try {
            CloseTable();
        } catch (...) {
            // Nothing can report an error of a table that is going away.
        }
    }
    columns_.Clear();
    rows_.ClearRows();
    // The framework's last close runs the Active setter once more; the row list is still a
    // member here, so its decimal-separator refresh touches live memory.
    CloseForDestruction();
}

void TCustomCsvDataSet::SetActive(bool value) {
    TDataSet::SetActive(value);
    changed_ = false;
    if (useSystemDecimalSeparator_) {
        rows_.SetDecimalSeparatorChar(ReadSystemFormatSettings().DecimalSeparator);
    }
}

void TCustomCsvDataSet::SetSeparator(char separator) {
    if (separator == rows_.Separator()) return;
    if (IsRefusedSeparator(separator)) {
        throw ECsvDataSetError("Invalid separator character (" + SeparatorForMessage(separator) +
                               ")");
    }
    rows_.SetSeparator(separator);
}

void TCustomCsvDataSet::SetFileName(std::string name) {
    CheckInactive();
    fileName_ = std::move(name);
}

void TCustomCsvDataSet::FieldDefsChanged(TFieldDefs& /*sender*/) {
    storeDefs_ = true;
}

bool TCustomCsvDataSet::FieldDefsAreStored() const {
    return storeDefs_ && FieldDefs().Count() > 0;
}

void TCustomCsvDataSet::HandleOpenError() {
    if (!ApplicationExceptionHandler) throw;
    ApplicationExceptionHandler(std::current_exception());
}

std::string TCustomCsvDataSet::EnquoteText(std::string_view text) {
    bool backslash = rows_.EnquoteBackslash();
    std::string quoted = tavisto::EnquoteText(text, backslash);
    rows_.SetEnquoteBackslash(backslash);
    return quoted;
}

std::string TCustomCsvDataSet::DequoteText(std::string_view text) const {
    return tavisto::DequoteText(text, rows_.EnquoteBackslash());
}

void TCustomCsvDataSet::RaiseError(std::string_view text) const {
    RaiseTableError(fileName_, text);
}

void TCustomCsvDataSet::RaiseErrorCode(std::string_view text, int number) const {
    RaiseTableErrorCode(fileName_, text, number);
}

}  // namespace tavisto
