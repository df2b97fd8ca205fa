#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "MemoryDataSet.h"
#include "db/DataSource.h"
#include "db/DateTimeFields.h"
#include "db/StringFields.h"

namespace tavisto::test {

// Log entries i = 0 .. count - 1: "Kalu 00000", one minute apart from 2006-01-01 00:00:00, ten
// applications and three users in turn.
inline std::vector<std::vector<std::string>> LogEntries(int count) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < count; ++i) {
        char kalu[32];
        char datum[32];
        std::snprintf(kalu, sizeof kalu, "Kalu %05d", i);
        std::snprintf(datum, sizeof datum, "2006-01-%02d %02d:%02d:00", 1 + i / 1440, i / 60 % 24,
                      i % 60);
        rows.push_back(
            {kalu, datum, "Anwendung " + std::to_string(i % 10), "user" + std::to_string(i % 3)});
    }
    return rows;
}

// An in-memory log table with the log window's four persistent fields and a data source.
class LogTable {
public:
    explicit LogTable(std::vector<std::vector<std::string>> rows)
        : table({{"KALU", ftString},
                 {"DATUM", ftDateTime},
                 {"ANWENDUNG", ftString},
                 {"BENUTZER", ftString}},
                std::move(rows)) {
        table.SetName("csvLogfile");
        auto& kalu = table.Fields().Add<TStringField>("KALU");
        kalu.SetSize(80);
        kalu.SetDisplayLabel("Kalu");
        kalu.SetDisplayWidth(14);
        auto& datum = table.Fields().Add<TDateTimeField>("DATUM");
        datum.SetDisplayFormat("yyyy-mm-dd hh:nn:ss");
        datum.SetDisplayLabel("Datum");
        datum.SetDisplayWidth(26);
        for (const char* name : {"ANWENDUNG", "BENUTZER"}) {
            auto& text = table.Fields().Add<TStringField>(name);
            text.SetSize(255);
            text.SetDisplayWidth(24);
        }
        table.FieldByName("ANWENDUNG").SetDisplayLabel("Anwendung");
        table.FieldByName("BENUTZER").SetDisplayLabel("Benutzer");
        source.SetDataSet(&table);
    }

    TMemoryDataSet table;
    TDataSource source;
};

}  // namespace tavisto::test
