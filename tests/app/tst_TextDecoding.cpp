#include <QtTest>
#include <string>

#include "app/TextDecoding.h"

using namespace tavisto;

class TestTextDecoding : public QObject {
    Q_OBJECT

private slots:
    void decodes_data();
    void decodes();
    void rejectsMalformedUtf8_data();
    void rejectsMalformedUtf8();
};

void TestTextDecoding::decodes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ascii") << QByteArray("Kalu 1584/53") << QStringLiteral("Kalu 1584/53");
    QTest::newRow("utf-8 umlauts") << QByteArray(
                                          "Materialpr\xC3\xBC"
                                          "fung")
                                   << QStringLiteral("Materialprüfung");
    QTest::newRow("cp1252 umlauts") << QByteArray(
                                           "Materialpr\xFC"
                                           "fung sch\xE4"
                                           "fer \xDF")
                                    << QStringLiteral("Materialprüfung schäfer ß");
    QTest::newRow("cp1252 euro and quotes")
        << QByteArray("\x80 \x84x\x93 \x96") << QStringLiteral("€ „x“ –");
    QTest::newRow("cp1252 undefined bytes")
        << QByteArray("\x81\x8D\x8F\x90\x9D") << QStringLiteral("\u0081\u008D\u008F\u0090\u009D");
    QTest::newRow("utf-8 four bytes") << QByteArray("a\xF0\x9F\x98\x80") << QStringLiteral("a😀");
    // One invalid byte makes the whole value Windows-1252, not a mix of both.
    QTest::newRow("mixed falls back whole")
        << QByteArray("\xC3\xBC \xFC") << QStringLiteral("Ã¼ ü");
    QTest::newRow("utf-8 cut at the end") << QByteArray("M\xC3") << QStringLiteral("MÃ");
    QTest::newRow("zero byte kept")
        << QByteArray("a\0b", 3) << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
}

void TestTextDecoding::decodes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(DecodeText(std::string_view(bytes.constData(), bytes.size())), text);
}

void TestTextDecoding::rejectsMalformedUtf8_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("two bytes") << QByteArray("\xC2\x80") << true;
    QTest::newRow("overlong two bytes") << QByteArray("\xC0\xAF") << false;
    QTest::newRow("overlong three bytes") << QByteArray("\xE0\x80\xAF") << false;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("last code point") << QByteArray("\xF4\x8F\xBF\xBF") << true;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
    QTest::newRow("stray continuation") << QByteArray("a\x80") << false;
    QTest::newRow("missing continuation") << QByteArray("\xE2\x82") << false;
    QTest::newRow("lead byte F5") << QByteArray("\xF5\x80\x80\x80") << false;
}

void TestTextDecoding::rejectsMalformedUtf8() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(IsValidUtf8(std::string_view(bytes.constData(), bytes.size())), valid);
}

QTEST_APPLESS_MAIN(TestTextDecoding)
#include "tst_TextDecoding.moc"
