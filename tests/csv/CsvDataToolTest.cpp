// csvtable, run as a program: what it prints for log files, malformed files and odd encodings,
// and how it exits.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "CsvDataTestSupport.h"

namespace tavisto {
namespace {

using csvtest::ReadBytes;
using csvtest::TempFolder;

struct Outcome {
    int Status = -1;
    std::string Out;
    std::string Err;
};

class CsvTableProgram : public testing::Test {
protected:
    void SetUp() override {
#ifndef TAVISTO_CSVTABLE
        GTEST_SKIP() << "csvtable is not built";
#endif
    }

    // Runs csvtable with arguments (each passed as one word) and collects what it printed.
    Outcome Run(const std::vector<std::string>& arguments) const {
#ifdef TAVISTO_CSVTABLE
        std::string command = Quoted(TAVISTO_CSVTABLE);
        for (const std::string& argument : arguments) command += " " + Quoted(argument);
        const std::string out = folder_.File("out.txt");
        const std::string err = folder_.File("err.txt");
        command += " >" + Quoted(out) + " 2>" + Quoted(err);
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(out), ReadBytes(err)};
#else
        (void)arguments;
        return {};
#endif
    }

    static std::string Quoted(const std::string& word) {
        std::string quoted = "'";
        for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    }

    TempFolder folder_;
};

TEST_F(CsvTableProgram, DumpsTheLogAsTheGridShowsIt) {
    const std::string log =
        "KALU;DATUM;ANWENDUNG;BENUTZER\r\n"
        "\"Los 1; Vertrag \"\"Rahmen\"\"\";2006-01-01 00:00:35;Materialpr\xFC"
        "fung;M\xFCller\r\n"
        "\"Nachtrag 2\r\nZweite Zeile\";2006-01-01 00:01:40;Zeiterfassung;weber\r\n"
        "\r\n" +
        std::string(90, 'k') + ";;Abrechnung;\r\n";
    const Outcome outcome = Run({"dump", folder_.Write("kalulog.csv", log)});
    EXPECT_EQ(outcome.Status, 0) << outcome.Err;
    EXPECT_EQ(outcome.Err, "");
    EXPECT_EQ(outcome.Out,
              "[\"KALU\",\"DATUM\",\"ANWENDUNG\",\"BENUTZER\"]\n"
              "[\"Los 1; Vertrag \\\"Rahmen\\\"\",\"2006-01-01 00:00:35\","
              "\"Materialpr\xC3\xBC"
              "fung\",\"M\xC3\xBCller\"]\n"
              "[\"Nachtrag 2\\r\\nZweite Zeile\",\"2006-01-01 00:01:40\",\"Zeiterfassung\","
              "\"weber\"]\n"
              "[\"" +
                  std::string(80, 'k') + "\",null,\"Abrechnung\",\"\"]\n");
}

TEST_F(CsvTableProgram, KeepsValidUtf8AndCountsRecords) {
    const std::string file = folder_.Write("utf8.csv",
                                           "KALU;DATUM;ANWENDUNG;BENUTZER\nGr\xC3\xB6\xC3\x9F"
                                           "e;;\xE2\x82\xAC;x\n");
    const Outcome dump = Run({"dump", file});
    EXPECT_EQ(dump.Out,
              "[\"KALU\",\"DATUM\",\"ANWENDUNG\",\"BENUTZER\"]\n"
              "[\"Gr\xC3\xB6\xC3\x9F"
              "e\",null,\"\xE2\x82\xAC\",\"x\"]\n");
    const Outcome count = Run({"count", file});
    EXPECT_EQ(count.Status, 0);
    EXPECT_EQ(count.Out, "1\n");
}

TEST_F(CsvTableProgram, TypedFieldsBecomeJsonValues) {
    const std::string file = folder_.Write(
        "typed.csv", "N\tI\tF\tB\tD\tT\nx\t-7\t3.25\t1\t2011-01-05\t13:45:10\n\t\t\t0\t\t\n");
    const Outcome outcome =
        Run({"dump", file, "--separator", "tab", "--fields", "N:$5,I:%,F:&,B:!,D:/,T:*"});
    EXPECT_EQ(outcome.Status, 0) << outcome.Err;
    EXPECT_EQ(outcome.Out,
              "[\"N\",\"I\",\"F\",\"B\",\"D\",\"T\"]\n"
              "[\"x\",-7,3.25,true,\"2011-01-05\",\"13:45:10\"]\n"
              "[\"\",null,null,false,null,null]\n");
}

TEST_F(CsvTableProgram, HeaderOptions) {
    const std::string file = folder_.Write("h.csv", "B,A\n1,2\n");
    EXPECT_EQ(Run({"dump", file, "--separator", ",", "--fields", "A,B"}).Out,
              "[\"A\",\"B\"]\n[\"1\",\"2\"]\n");
    EXPECT_EQ(Run({"dump", file, "--separator", ",", "--fields", "A,B", "--validate-header"}).Out,
              "[\"A\",\"B\"]\n[\"2\",\"1\"]\n");
    EXPECT_EQ(Run({"count", file, "--separator", ",", "--fields", "A,B", "--no-header"}).Out,
              "2\n");
}

TEST_F(CsvTableProgram, BackslashEscapesOnRequest) {
    const std::string file = folder_.Write("b.csv", "A;B\n\"x\\\";y\";z\n");
    EXPECT_EQ(Run({"dump", file, "--fields", "A;B", "--backslash"}).Out,
              "[\"A\",\"B\"]\n[\"x\\\";y\",\"z\"]\n");
}

struct MalformedCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> options;
    std::string message;  // empty: the file's name followed by ": " and suffix
    std::string suffix;
};

class MalformedFileTest : public CsvTableProgram,
                          public testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedFileTest, EngineErrorIsTheOnlyOutputOnStderr) {
    const MalformedCase& c = GetParam();
    const std::string file = folder_.Write("bad.csv", c.bytes);
    std::vector<std::string> arguments = {"dump", file};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const Outcome outcome = Run(arguments);
    EXPECT_EQ(outcome.Status, 1);
    EXPECT_EQ(outcome.Out, "");
    EXPECT_EQ(outcome.Err, (c.message.empty() ? file + ": " + c.suffix : c.message) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Files, MalformedFileTest,
    testing::Values(
        MalformedCase{"LineTooLong",
                      "KALU\n" + std::string(20000, 'x') + "\n",
                      {},
                      "CSV string is too long: " + std::string(40, 'x') + "...",
                      ""},
        MalformedCase{"TooManyColumns",
                      "KALU\n" + std::string(200, ';') + "\n",
                      {},
                      "CsvData - Internal Limit of MAXCOLUMNS (120) reached. CSV Data has too "
                      "many columns",
                      ""},
        MalformedCase{"UnknownHeaderField",
                      "KALU;WHO\nx;y\n",
                      {"--validate-header"},
                      "",
                      "ProcessCsvHeaderRow: Field WHO found in file, but not in field "
                      "definitions"},
        MalformedCase{
            "BadDefinition", "A\nx\n", {"--fields", "A:?"}, "", "Invalid field type character: ?"},
        MalformedCase{"RefusedSeparator",
                      "A\nx\n",
                      {"--separator", "\""},
                      "Invalid separator character (\")",
                      ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CsvTableProgram, MissingFileIsAnError) {
    const Outcome outcome = Run({"count", folder_.File("none.csv")});
    EXPECT_EQ(outcome.Status, 1);
    EXPECT_NE(outcome.Err.find("none.csv"), std::string::npos);
}

TEST_F(CsvTableProgram, UsageErrorsAndHelp) {
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{},
                                               {"dump"},
                                               {"list", "x.csv"},
                                               {"dump", "x.csv", "--separator", "ab"},
                                               {"dump", "x.csv", "--fields"},
                                               {"dump", "x.csv", "--verbose"}}) {
        const Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.Status, 2) << testing::PrintToString(arguments);
        EXPECT_NE(outcome.Err.find("usage: csvtable dump FILE"), std::string::npos);
        EXPECT_EQ(outcome.Out, "");
    }
    const Outcome help = Run({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("--validate-header"), std::string::npos);
    EXPECT_EQ(help.Err, "");
}

}  // namespace
}  // namespace tavisto
