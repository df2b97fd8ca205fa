#include "tools/csvtableRun.h"

#include <cmath>
#include <string>

#include "csv/CsvConvert.h"
#include "csv/CsvData.h"
#include "db/DateTimeFields.h"
#include "db/StringFields.h"
#include "platform/FileSystem.h"
#include "tools/csvtableJson.h"

namespace tavisto::csvtable {
namespace {

// The viewer's fields of the log table.
void AddLogFields(TCsvDataSet& table) {
    table.Fields().Add<TStringField>("KALU").SetSize(kLogKaluFieldSize);
    table.Fields().Add<TDateTimeField>("DATUM");
    table.Fields().Add<TStringField>("ANWENDUNG").SetSize(255);
    table.Fields().Add<TStringField>("BENUTZER").SetSize(255);
}

void Configure(TCsvDataSet& table, const Options& options) {
    table.SetSeparator(options.Separator);
    table.SetCsvFieldDef(options.FieldDef);
    table.SetHasHeaderRow(options.HasHeaderRow);
    table.SetValidateHeaderRow(options.ValidateHeaderRow);
    table.SetEnquoteBackslash(options.EnquoteBackslash);
    table.SetReadOnly(true);
    table.SetFileName(options.FileName);
    if (!options.FieldsGiven) AddLogFields(table);
}

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    TFormatSettings settings;
    settings.DecimalSeparator = '.';
    return FloatToStr(value, settings);
}

// The field's value as the grid shows it, as a JSON value.
std::string JsonValue(const TField& field) {
    const Variant value = field.Value();
    if (value.IsNull()) return "null";
    switch (field.DataType()) {
        case ftBoolean:
            return value.AsBoolean() ? "true" : "false";
        case ftSmallint:
        case ftInteger:
        case ftWord:
            return std::to_string(value.AsInt64());
        case ftFloat:
        case ftCurrency:
            return JsonNumber(value.AsFloat());
        case ftDateTime:
            return JsonString(FormatCsvDateTime(value.AsDateTime()));
        case ftDate:
            return JsonString(FormatCsvDate(value.AsDateTime()));
        case ftTime:
            return JsonString(FormatCsvTime(value.AsDateTime()));
        case ftWideString:
            return JsonString(value.AsString());
        default:
            return JsonString(DisplayUtf8(value.AsString()));
    }
}

void Dump(TCsvDataSet& table, std::ostream& out) {
    std::string line = "[";
    for (int i = 0; i < table.FieldDefs().Count(); ++i) {
        if (i > 0) line += ',';
        line += JsonString(DisplayUtf8(table.FieldDefs()[i].Name()));
    }
    out << line << "]\n";
    for (table.First(); !table.Eof(); table.Next()) {
        line = "[";
        for (int i = 0; i < table.FieldDefs().Count(); ++i) {
            if (i > 0) line += ',';
            line += JsonValue(table.FieldByName(table.FieldDefs()[i].Name()));
        }
        out << line << "]\n";
    }
}

}  // namespace

void RunCommand(const Options& options, std::ostream& out) {
    // The table opens a missing file as an empty table; here that would hide a mistyped name.
    if (!FileExists(options.FileName)) {
        throw EInOutError("Cannot open file \"" + options.FileName + "\". No such file");
    }
    TCsvDataSet table;
    Configure(table, options);
    table.Open();
    if (options.Action == Command::Count) {
        out << table.RecordCount() << '\n';
    } else {
        Dump(table, out);
    }
}

}  // namespace tavisto::csvtable
