#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/uOpParser.h"
#include "platform/SpecialFolders.h"

using namespace tavisto;

namespace {

const QString kRoaming = R"(E:\Users\u1\AppData\Roaming)";

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// Sets an environment variable for one test function and restores it afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, std::optional<QByteArray> value)
        : name_(name),
          old_(qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name))
                                               : std::nullopt) {
        Apply(value);
    }
    ~ScopedEnvironment() { Apply(old_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Apply(const std::optional<QByteArray>& value) {
        if (value) {
            qputenv(name_, *value);
        } else {
            qunsetenv(name_);
        }
    }

    const char* name_;
    std::optional<QByteArray> old_;
};

}  // namespace

class TestOpParser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void settingsFolderComposition_data();
    void settingsFolderComposition();
    void logFolderFromValue_data();
    void logFolderFromValue();
    void logFolderFromSettingsFile_data();
    void logFolderFromSettingsFile();
    void roamingFolderFromEnvironment_data();
    void roamingFolderFromEnvironment();
};

void TestOpParser::settingsFolderComposition_data() {
    QTest::addColumn<QString>("roaming");
    QTest::addColumn<char>("delimiter");
    QTest::addColumn<QString>("expected");

    QTest::newRow("roaming folder") << kRoaming << '\\' << kRoaming + R"(\Orlesk\Tavisto 2006\)";
    QTest::newRow("roaming folder with delimiter")
        << kRoaming + "\\" << '\\' << kRoaming + R"(\Orlesk\Tavisto 2006\)";
    QTest::newRow("no roaming folder") << "" << '\\' << R"(\Orlesk\Tavisto 2006\)";
    QTest::newRow("slash is no delimiter")
        << "E:/Roaming/" << '\\' << R"(E:/Roaming/\Orlesk\Tavisto 2006\)";
    QTest::newRow("posix") << "/home/u1/.config" << '/' << "/home/u1/.config/Orlesk/Tavisto 2006/";
    QTest::newRow("posix with delimiter") << "/srv/cfg/" << '/' << "/srv/cfg/Orlesk/Tavisto 2006/";
    QTest::newRow("posix no roaming folder") << "" << '/' << "/Orlesk/Tavisto 2006/";
    QTest::newRow("posix backslash is no delimiter")
        << R"(C:\cfg\)" << '/' << R"(C:\cfg\/Orlesk/Tavisto 2006/)";
}

void TestOpParser::settingsFolderComposition() {
    QFETCH(QString, roaming);
    QFETCH(char, delimiter);
    QFETCH(QString, expected);
    QCOMPARE(Text(ComposeSettingsFolder(roaming.toStdString(), delimiter)), expected);
}

void TestOpParser::logFolderFromValue_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<char>("delimiter");
    QTest::addColumn<QString>("expected");

    const QString settings = kRoaming + R"(\Orlesk\Tavisto 2006\)";
    QTest::newRow("default is the settings folder") << settings << '\\' << settings;
    QTest::newRow("delimiter appended") << R"(D:\Logs)" << '\\' << R"(D:\Logs\)";
    QTest::newRow("no second delimiter") << R"(D:\Logs\)" << '\\' << R"(D:\Logs\)";
    QTest::newRow("slash is no delimiter") << "D:/Logs/" << '\\' << R"(D:/Logs/\)";
    QTest::newRow("empty value") << "" << '\\' << R"(\)";
    QTest::newRow("quoted") << R"("D:\Logs")" << '\\' << R"(D:\Logs\)";
    QTest::newRow("quoted with doubled quote")
        << R"("D:\Log""s 2006")" << '\\' << R"(D:\Log"s 2006\)";
    QTest::newRow("quoted ending in doubled quotes") << R"("D:\a""")" << '\\' << R"(D:\a"\)";
    QTest::newRow("never closed") << R"("D:\Logs)" << '\\' << R"("D:\Logs\)";
    QTest::newRow("closing quote is a doubled one") << R"("D:\a"")" << '\\' << R"("D:\a""\)";
    QTest::newRow("text after closing quote dropped")
        << R"("D:\Logs" old)" << '\\' << R"(D:\Logs\)";
    QTest::newRow("empty quoted part with text") << R"(""D:\Logs)" << '\\' << R"(""D:\Logs\)";
    QTest::newRow("two quotes alone") << R"("")" << '\\' << R"(\)";
    QTest::newRow("one quote alone") << R"(")" << '\\' << R"(\)";
    QTest::newRow("doubled quote then closing then text") << R"("""" x)" << '\\' << R"("\)";
    QTest::newRow("quote inside only") << R"(D:\"Logs")" << '\\' << R"(D:\"Logs"\)";
    QTest::newRow("single quotes stay") << R"('D:\Logs')" << '\\' << R"('D:\Logs'\)";
    QTest::newRow("posix folder") << "/var/log/tavisto" << '/' << "/var/log/tavisto/";
    QTest::newRow("posix with delimiter") << "/var/log/" << '/' << "/var/log/";
    QTest::newRow("posix empty value") << "" << '/' << "/";
    QTest::newRow("posix quoted") << R"("/var/log/my ""logs""")" << '/' << R"(/var/log/my "logs"/)";
    QTest::newRow("posix backslash is no delimiter") << R"(C:\Logs\)" << '/' << R"(C:\Logs\/)";
}

void TestOpParser::logFolderFromValue() {
    QFETCH(QString, value);
    QFETCH(char, delimiter);
    QFETCH(QString, expected);
    QCOMPARE(Text(ComposeLogFolder(value.toStdString(), delimiter)), expected);
}

void TestOpParser::logFolderFromSettingsFile_data() {
    QTest::addColumn<bool>("hasFile");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");

    const QByteArray longValue(3000, 'x');
    QTest::newRow("no settings file") << false << QByteArray() << "<settings>";
    QTest::newRow("log path") << true << QByteArray("[Pfade]\r\nLogPath=/var/log/tavisto\r\n")
                              << "/var/log/tavisto/";
    QTest::newRow("names in other case")
        << true << QByteArray("[pfade]\nlogpath = /var/log/ \n") << "/var/log/";
    QTest::newRow("empty value") << true << QByteArray("[Pfade]\nLogPath=\n") << "/";
    QTest::newRow("section without key")
        << true << QByteArray("[Pfade]\nDataPath=/data\n") << "<settings>";
    QTest::newRow("key in other section")
        << true << QByteArray("[Daten]\nLogPath=/data\n") << "<settings>";
    QTest::newRow("quotes removed by the reader")
        << true << QByteArray("[Pfade]\nLogPath=\"/var/my logs\"\n") << "/var/my logs/";
    QTest::newRow("reader and parser quotes")
        << true << QByteArray("[Pfade]\nLogPath='\"/var/a\"\"b\"'\n") << "/var/a\"b/";
    QTest::newRow("value cut at 2047") << true << "[Pfade]\nLogPath=/" + longValue + "\n"
                                       << QString("/" + longValue.left(2046) + "/");
}

void TestOpParser::logFolderFromSettingsFile() {
    QFETCH(bool, hasFile);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    QTemporaryDir roaming;
    QVERIFY(roaming.isValid());
    const ScopedEnvironment xdg("XDG_CONFIG_HOME", roaming.path().toUtf8());
    const QString settings = roaming.path() + "/Orlesk/Tavisto 2006/";
    if (hasFile) {
        std::filesystem::create_directories(settings.toStdString());
        std::ofstream(settings.toStdString() + "tavisto.ini", std::ios::binary)
            << content.toStdString();
    }
    if (expected == "<settings>") expected = settings;

    QCOMPARE(Text(SpecialFolderPath(kCsidlAppData)), roaming.path());
    QCOMPARE(Text(SettingsFolder()), settings);
    QCOMPARE(Text(LogFolder()), expected);
}

void TestOpParser::roamingFolderFromEnvironment_data() {
    QTest::addColumn<std::optional<QByteArray>>("xdgConfigHome");
    QTest::addColumn<std::optional<QByteArray>>("home");
    QTest::addColumn<QString>("settingsFolder");

    using Value = std::optional<QByteArray>;
    QTest::newRow("xdg set") << Value("/srv/cfg") << Value("/home/u1")
                             << "/srv/cfg/Orlesk/Tavisto 2006/";
    QTest::newRow("xdg unset") << Value() << Value("/home/u1")
                               << "/home/u1/.config/Orlesk/Tavisto 2006/";
    QTest::newRow("xdg relative") << Value("cfg") << Value("/home/u1")
                                  << "/home/u1/.config/Orlesk/Tavisto 2006/";
    QTest::newRow("no roaming folder") << Value() << Value() << "/Orlesk/Tavisto 2006/";
}

void TestOpParser::roamingFolderFromEnvironment() {
    QFETCH(std::optional<QByteArray>, xdgConfigHome);
    QFETCH(std::optional<QByteArray>, home);
    QFETCH(QString, settingsFolder);

    const ScopedEnvironment xdg("XDG_CONFIG_HOME", xdgConfigHome);
    const ScopedEnvironment homeVariable("HOME", home);
    QCOMPARE(Text(SettingsFolder()), settingsFolder);
    // Nothing is written there, so no settings file is found and the settings folder is used.
    QCOMPARE(Text(LogFolder()), settingsFolder);
}

QTEST_GUILESS_MAIN(TestOpParser)
#include "tst_uOpParser.moc"
