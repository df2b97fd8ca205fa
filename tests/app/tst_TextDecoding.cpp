#include <QtTest>
#include <string>

#include "app/TextDecoding.h"

using namespace tavisto;

class TestTextDecoding : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodes_data();
    void decodes();
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
    QTest::newRow("overlong form is not utf-8") << QByteArray("\xC0\xAF") << QStringLiteral("À¯");
    QTest::newRow("surrogate is not utf-8")
        << QByteArray("\xED\xA0\x80") << QStringLiteral("í\u00A0€");
    QTest::newRow("zero byte kept")
        << QByteArray("a\0b", 3) << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
}

void TestTextDecoding::decodes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(DecodeText(std::string_view(bytes.constData(), bytes.size())), text);
}

QTEST_APPLESS_MAIN(TestTextDecoding)
#include "tst_TextDecoding.moc"
