// TCustomCsvDataSet: opening the table file, loading its rows, the header row, closing and
// emptying the table.

#include "csv/CsvData.h"
#include "csv/CsvDataPaths.h"
#include "csv/CsvDataScan.h"
#include "csv/CsvErrors.h"
#include "csv/CsvParse.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace tavisto {
namespace {

constexpr auto kLongestLine = static_cast<std::size_t>(kMaxLineLength);

// Header item i of a header line cut into items, without blanks and line breaks around it.
std::string_view HeaderItem(std::string_view header, const ColumnStarts& items, int i) {
    const std::size_t first = items.Starts[i];
    const std::size_t end = i + 1 < items.Count ? items.Starts[i + 1] - 1u : header.size();
    return StripLineBreaks(TrimBlanks(header.substr(first, end - first)));
}

}  // namespace

std::string TCustomCsvDataSet::GetFileName() const {
    TAVISTO_ASSERT(!fileName_.empty(), "CsvData",
                   "TCustomCsvDataSet.GetFileName - TableName property is not set");
    if (!initialDirectory_.empty()) {
        if (auto name = FileNameInInitialDirectory(fileName_, initialDirectory_, kPathDelimiter)) {
            return *name;
        }
    }
    return ExpandFileName(fileName_);
}

bool TCustomCsvDataSet::OpenFileForReading() {
    if (fileName_.empty()) return false;
    // The file is looked for where it will be read, which for a "./name" is the initial
    // directory, not the working directory of this moment.
    const std::string name = resolvedFileName_.empty() ? GetFileName() : resolvedFileName_;
    if (!FileExists(name)) return false;
    if (fileOpened_) return true;
    fileOpened_ = true;
    if (!loadsFromFile_) return false;
    reader_ = std::make_unique<TCsvStream>(name, TCsvStream::Mode::Read);
    fileHeaderLine_ = hasHeaderRow_ ? std::string(StripLineBreaks(reader_->ReadLine())) : "";
    return true;
}

void TCustomCsvDataSet::OpenTable() {
    if (tableOpen_) CloseTable();
    changed_ = false;
    if (loadsFromFile_) {
        if (fileName_.empty()) {
            RaiseTableError("TableName not specified",
                            "LoadFromFile = True, so a TableName is required");
        }
        resolvedFileName_ = GetFileName();
    } else {
        resolvedFileName_.clear();
    }
    openingTable_ = true;
    bool loading = false;
    try {
        InternalInitFieldDefs();
        PrepareFields();
        const int columns = columns_.Count();
        emptyRowText_ =
            columns < 2 ? "" : std::string(static_cast<std::size_t>(columns - 1), Separator());
        currentRowIndex_ = -1;
        SetBookmarkSize(kBookmarkSize);
        loading = true;
        LoadFile();
    } catch (...) {
        // The next open starts afresh: no rows read so far, no reader, the file not yet opened.
        openingTable_ = false;
        if (loading) rows_.ClearRows();
        ReleaseReader();
        fileOpened_ = false;
        resolvedFileName_.clear();
        if (fieldDefsFromFile_) ForgetDefinitionsFromFile();
        throw;
    }
    openingTable_ = false;
    tableOpen_ = true;
    ReleaseReader();
}

void TCustomCsvDataSet::LoadFile() {
    const bool fileRead = loadsFromFile_ && OpenFileForReading();
    if (hasHeaderRow_) {
        if (fileRead && !extendedHeaderInfo_ && !fileHeaderLine_.empty()) {
            headerRow_ = fileHeaderLine_;
        } else {
            headerRow_ = BuildHeaderLine();
            fileHeaderLine_ = headerRow_;
        }
        if (!headerRow_.empty()) {
            try {
                ProcessCsvHeaderRow();
            } catch (...) {
                headerRow_.clear();
                throw;
            }
        }
    }
    if (loadsFromFile_ && reader_) LoadRows();
}

void TCustomCsvDataSet::LoadRows() {
    TCsvStream& reader = *reader_;
    int rowIndex = 0;
    if (rows_.EnquoteBackslash()) {
        // Escaped quotes count for the cut but not for the line ends: line by line.
        while (!reader.AtEnd()) {
            const std::string_view line = StripLineBreaks(reader.ReadLine());
            if (line.empty()) continue;
            AddLineAsRow(line, rowIndex++);
        }
        return;
    }
    CsvLineScanner scanner(Separator(), kLongestLine);
    const auto addRow = [&](std::string_view line, const ColumnStarts& starts,
                            bool tooManyColumns) {
        if (line.size() > kLongestLine) [[unlikely]]
            RaiseLineTooLong(line);
        // The cut of the line raises the column-limit error.
        if (tooManyColumns) SplitLineIntoColumns(line, Separator(), true, false);
        rows_.AddCutLine(line, starts, rowIndex++);
    };
    for (std::string_view block = reader.ReadBlock(); !block.empty(); block = reader.ReadBlock()) {
        scanner.Feed(block, addRow);
    }
    scanner.Finish(addRow);
}

void TCustomCsvDataSet::AddLineAsRow(std::string_view line, int rowIndex) {
    if (line.empty()) return;
    if (line.size() > kLongestLine) RaiseLineTooLong(line);
    rows_.AddLine(line, rowIndex, rows_.EnquoteBackslash());
}

void TCustomCsvDataSet::RaiseLineTooLong(std::string_view line) {
    throw ECsvDataSetError("CSV string is too long: " + std::string(line.substr(0, 40)) + "...");
}

void TCustomCsvDataSet::ProcessCsvHeaderRow() {
    if (!validateHeaderRow_) {
        for (int k = 0; k < columns_.Count(); ++k) columns_[k].PhysicalIndex = k;
        return;
    }
    for (int k = 0; k < columns_.Count(); ++k) columns_[k].PhysicalIndex = -1;
    const ColumnStarts items = SplitLineIntoColumns(headerRow_, Separator(), false, false);
    for (int i = 0; i < items.Count; ++i) {
        std::string_view name = HeaderItem(headerRow_, items, i);
        name = name.substr(0, name.find(':'));
        if (name.empty()) RaiseError("Error processing first line of CSV file");
        CsvColumn* column = columns_.FindColumnByName(name);
        if (column == nullptr) {
            RaiseError("ProcessCsvHeaderRow: Field " + std::string(name) +
                       " found in file, but not in field definitions");
        }
        column->PhysicalIndex = i;
    }
    int nextPosition = items.Count;
    for (int k = 0; k < columns_.Count(); ++k) {
        CsvColumn& column = columns_[k];
        if (column.PhysicalIndex >= 0) continue;
        const std::string& name = column.FieldDef->Name();
        if (!hasHeaderRow_) RaiseError("Field " + name + " not found in the data file");
        column.PhysicalIndex = nextPosition++;
        headerRow_ += Separator();
        headerRow_ += name;
    }
}

void TCustomCsvDataSet::CloseTable() {
    if (!tableOpen_) return;
    FlushToFile();
    rows_.ClearRows();
    tableOpen_ = false;
    currentRowIndex_ = -1;
    resolvedFileName_.clear();
    fileOpened_ = false;
    rows_.SetRowsInitialised(false);
    // Definitions taken from the file are taken from it again at the next open.
    if (fieldDefsFromFile_) ForgetDefinitionsFromFile();
}

bool TCustomCsvDataSet::DeleteAllRows() {
    CheckBrowseMode();
    rows_.ClearRows();
    First();
    if (savesChanges_) return RemoveFile(resolvedFileName_);
    return !FileExists(resolvedFileName_);
}

void TCustomCsvDataSet::EnsureFileFolder(const std::string& fileName) const {
    if (!createFolderOnSave_) return;
    const std::string folder = FolderOfFileName(fileName, kPathDelimiter);
    if (!folder.empty() && !DirectoryExists(folder)) ForceDirectories(folder);
}

void TCustomCsvDataSet::ReleaseReader() noexcept {
    reader_.reset();
}

}  // namespace tavisto
