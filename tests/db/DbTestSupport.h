#pragma once

// Helpers shared by the framework's tests: tables of numbered rows, a data link that writes down
// what it hears, and a log of the data set's events.

#include <string>
#include <vector>

#include "MemoryDataSet.h"
#include "db/DataSource.h"

namespace tavisto::testing {

// Columns NAME (text of 20) and N (integer); row i holds "row<i>" and i.
inline std::vector<Column> NameAndNumber() {
    return {{"NAME", ftString, 20}, {"N", ftInteger, 0}};
}

inline std::vector<Row> NumberedRows(int count) {
    std::vector<Row> rows;
    for (int i = 0; i < count; ++i) rows.push_back({"row" + std::to_string(i), std::to_string(i)});
    return rows;
}

class RecordingLink : public TDataLink {
public:
    std::vector<std::string> Heard;
    void Forget() { Heard.clear(); }

protected:
    void ActiveChanged() override { Heard.push_back(Active() ? "active" : "inactive"); }
    void EditingChanged() override { Heard.push_back(Editing() ? "editing" : "browsing"); }
    void DataSetChanged() override { Heard.push_back("changed"); }
    void DataSetScrolled(int distance) override {
        Heard.push_back("scrolled " + std::to_string(distance));
    }
    void LayoutChanged() override { Heard.push_back("layout"); }
    void RecordChanged(TField* field) override {
        Heard.push_back("record " + (field != nullptr ? field->FieldName() : std::string("*")));
    }
};

// A data source and a recording link with the given buffer count, attached to dataSet.
struct AttachedLink {
    TDataSource Source;
    RecordingLink Link;
    AttachedLink(TDataSet& dataSet, int bufferCount) {
        Source.SetDataSet(&dataSet);
        Link.SetBufferCount(bufferCount);
        Link.SetDataSource(&Source);
    }
};

// Writes the names of the data set's events into Events as they are raised.
struct EventLog {
    std::vector<std::string> Events;
    explicit EventLog(TDataSet& dataSet) {
        const auto record = [this](const char* name) {
            return [this, name](TDataSet&) { Events.push_back(name); };
        };
        dataSet.BeforeOpen = record("BeforeOpen");
        dataSet.AfterOpen = record("AfterOpen");
        dataSet.BeforeClose = record("BeforeClose");
        dataSet.AfterClose = record("AfterClose");
        dataSet.BeforeInsert = record("BeforeInsert");
        dataSet.AfterInsert = record("AfterInsert");
        dataSet.BeforeEdit = record("BeforeEdit");
        dataSet.AfterEdit = record("AfterEdit");
        dataSet.BeforePost = record("BeforePost");
        dataSet.AfterPost = record("AfterPost");
        dataSet.BeforeCancel = record("BeforeCancel");
        dataSet.AfterCancel = record("AfterCancel");
        dataSet.BeforeDelete = record("BeforeDelete");
        dataSet.AfterDelete = record("AfterDelete");
        dataSet.BeforeScroll = record("BeforeScroll");
        dataSet.AfterScroll = record("AfterScroll");
    }
};

// The NAME of the active record.
inline std::string ActiveName(const TDataSet& dataSet) {
    return dataSet.FieldByName("NAME").AsString();
}

}  // namespace tavisto::testing
