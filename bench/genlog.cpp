// Writes a deterministic Tavisto usage log of N entries, as the suite writes it on Windows:
// Windows-1252 text, ";" separated, CR LF line ends, a header row and increasing DATUM values.
//
//   genlog N [FILE] [--long]
//
// About 1 % of the KALU values are quoted with an embedded ";" and a doubled quote, about 0.1 %
// are quoted with an embedded CR LF. With --long about 0.5 % of the entries carry long texts.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

namespace {

// splitmix64: small, fast and the same on every platform, so a log is reproducible.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

private:
    std::uint64_t state_;
};

// "\xFC" is ü, "\xE4" ä, "\xF6" ö, "\xDF" ß, "\xC4" Ä, "\xD6" Ö in Windows-1252.
constexpr std::array<std::string_view, 10> kApplications = {
    "Kalkulation",       "Auftragsverwaltung", "Nachkalkulation", "Stammdaten",
    "Angebotserstellung", "Materialpr\xFC" "fung", "Zeiterfassung", "Berichtswesen",
    "Abrechnung",        "Geb\xE4udeplanung"};

constexpr std::array<std::string_view, 12> kUsers = {
    "mueller",  "schmidt", "M\xFCller", "weber",    "Gr\xF6\xDF" "er", "wagner",
    "becker",   "hoffmann", "sch\xE4" "fer", "koch", "J\xE4ger", "richter"};

constexpr std::array<std::string_view, 8> kKaluKinds = {
    "Angebot", "Auftrag", "Kalkulation", "Nachtrag", "Projekt", "Los", "Position", "Variante"};

constexpr std::array<std::string_view, 6> kCustomers = {
    "Stadtwerke Nord", "B\xE4" "ckerei Holm", "Autohaus S\xFC" "d", "Klinikum West",
    "\xD6lm\xFChle Reuter", "Zimmerei Ahrens"};

std::string Kalu(Random& random, bool longText) {
    std::string kalu(kKaluKinds[random.Below(kKaluKinds.size())]);
    kalu += ' ';
    kalu += std::to_string(1000 + random.Below(99000));
    kalu += '/';
    kalu += std::to_string(10 + random.Below(90));
    if (random.Below(4) != 0) {
        kalu += ' ';
        kalu += kCustomers[random.Below(kCustomers.size())];
    }
    if (longText) {
        while (kalu.size() < 200 + random.Below(150)) {
            kalu += ", Nachtrag ";
            kalu += std::to_string(random.Below(1000));
        }
    }
    const std::size_t roll = random.Below(1000);
    if (roll < 10) return "\"" + kalu + "; Vertrag \"\"Rahmen\"\"\"";
    if (roll == 10) return "\"" + kalu + "\r\nZweite Zeile\"";
    return kalu;
}

void AppendDatum(std::string& line, std::time_t seconds) {
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    line += text;
}

int Usage() {
    std::fputs("usage: genlog N [FILE] [--long]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) return Usage();
    char* end = nullptr;
    const long long count = std::strtoll(argv[1], &end, 10);
    if (*end != '\0' || count < 0) return Usage();
    const char* path = nullptr;
    bool longTexts = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--long") == 0) longTexts = true;
        else if (path == nullptr) path = argv[i];
        else return Usage();
    }

    std::FILE* out = path ? std::fopen(path, "wb") : stdout;
    if (out == nullptr) {
        std::perror(path);
        return 1;
    }
    Random random(20061211);
    std::time_t datum = 1136073600;  // 2006-01-01 00:00:00
    std::string line = "KALU;DATUM;ANWENDUNG;BENUTZER\r\n";
    for (long long i = 0; i < count; ++i) {
        std::fwrite(line.data(), 1, line.size(), out);
        datum += 1 + static_cast<std::time_t>(random.Below(90));
        line = Kalu(random, longTexts && random.Below(200) == 0);
        line += ';';
        AppendDatum(line, datum);
        line += ';';
        line += kApplications[random.Below(kApplications.size())];
        line += ';';
        line += kUsers[random.Below(kUsers.size())];
        line += "\r\n";
    }
    std::fwrite(line.data(), 1, line.size(), out);
    const bool failed = std::ferror(out) != 0;
    if (path != nullptr && std::fclose(out) != 0) return 1;
    return failed ? 1 : 0;
}
