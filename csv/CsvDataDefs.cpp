// TCustomCsvDataSet: field definitions, the column model and the key columns.

#include "csv/CsvData.h"
#include "csv/CsvFieldDefParser.h"

namespace tavisto {

void TCustomCsvDataSet::SetCsvFieldDef(std::string text) {
    if (text == csvFieldDef_) return;
    CheckInactive();
    csvFieldDef_ = std::move(text);
    fieldDefsFromFile_ = false;
    headerRow_.clear();
    keyColumns_.clear();
    FieldDefs().Clear();
    columns_.Clear();
    rows_.ClearRows();
}

void TCustomCsvDataSet::InternalInitFieldDefs() {
    keyColumns_.clear();
    FieldDefs().Clear();
    columns_.Clear();
    fieldDefsFromFile_ = false;
    std::string definitionText = csvFieldDef_;
    if (definitionText.empty()) {
        if (hasHeaderRow_ && OpenFileForReading()) definitionText = fileHeaderLine_;
        if (extendedHeaderInfo_) SetCsvFieldDef(definitionText);
        fieldDefsFromFile_ = true;
        if (!openingTable_) {
            // Asked for the definitions while closed: the file is not kept open.
            ReleaseReader();
            fileOpened_ = false;
        }
    }
    recordTextBudget_ =
        BuildCsvFieldDefs(definitionText, Separator(), fileName_, FieldDefs(), columns_);
    if (!hasHeaderRow_ && headerRow_.empty()) headerRow_ = BuildHeaderLine();
    if (!headerRow_.empty()) ProcessCsvHeaderRow();
    keyColumns_ = ParseCsvKeyDef(csvKeyDef_, Separator(), fileName_, columns_);
    keyAscending_.assign(keyColumns_.size() + 1, true);
}

std::string TCustomCsvDataSet::BuildHeaderLine() const {
    return JoinFieldDefNames(FieldDefs(), Separator());
}

TCustomCsvDataSet::FieldColumn TCustomCsvDataSet::ColumnForField(const TField& field) {
    CsvColumn* column = columns_.FindColumnByFieldNo(field.FieldNo());
    if (column == nullptr) return {};
    if (column->PhysicalIndex < 0 && headerRowPending_) {
        headerRowPending_ = false;
        ProcessCsvHeaderRow();
    }
    return {column, column->PhysicalIndex < 0 ? -1 : column->PhysicalIndex};
}

void TCustomCsvDataSet::ForgetDefinitionsFromFile() {
    csvFieldDef_.clear();
    headerRow_.clear();
    keyColumns_.clear();
    columns_.Clear();
    FieldDefs().Clear();
}

}  // namespace tavisto
