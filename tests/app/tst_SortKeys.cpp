#include <QtTest>
#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "app/SortKeys.h"

using namespace tavisto;

namespace {

using TKind = TSortKeys::TKind;

// The rows in the order a plain stable sort by the reference keys gives.
std::vector<int> ReferenceOrder(const std::vector<std::string>& keys,
                                const std::vector<int>& recordOfRow, Qt::SortOrder order) {
    std::vector<int> rows(recordOfRow.size());
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&](int left, int right) {
        const std::string& a = keys[recordOfRow[left]];
        const std::string& b = keys[recordOfRow[right]];
        return order == Qt::AscendingOrder ? a < b : b < a;
    });
    return rows;
}

}  // namespace

class TestSortKeys : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textsOrderAsTheirBytesIgnoringCase();
    void umlautsFoldInEitherEncoding();
    void numbersOrderAfterNone();
    void laterKeysDecideTies();
};

// Short texts over a small alphabet meet every case of the 8-byte leads: equal first 7 bytes,
// one text beginning another, lengths around 8, NUL bytes.
void TestSortKeys::textsOrderAsTheirBytesIgnoringCase() {
    const std::string alphabet("aAbB\0z", 6);
    std::mt19937 random(20261211);
    for (int round = 0; round < 200; ++round) {
        const int records = 1 + static_cast<int>(random() % 60);
        std::vector<std::string> folded;
        TSortKeys keys(records, {TKind::Text});
        for (int record = 0; record < records; ++record) {
            std::string text("abcdefg", random() % 2 == 0 ? 7 : 0);
            for (int length = static_cast<int>(random() % 4); length > 0; --length) {
                text += alphabet[random() % alphabet.size()];
            }
            keys.AppendText(0, text);
            std::transform(text.begin(), text.end(), text.begin(),
                           [](char c) { return c == 'A' ? 'a' : (c == 'B' ? 'b' : c); });
            folded.push_back(text);
        }
        // The rows show the records in an order of their own, as after an earlier sort.
        std::vector<int> recordOfRow(records);
        std::iota(recordOfRow.begin(), recordOfRow.end(), 0);
        std::shuffle(recordOfRow.begin(), recordOfRow.end(), random);
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            QCOMPARE(keys.SortedOrder(recordOfRow, {order}),
                     ReferenceOrder(folded, recordOfRow, order));
        }
    }
}

// A name met again is folded as it was the first time, whether written in UTF-8 or
// Windows-1252.
void TestSortKeys::umlautsFoldInEitherEncoding() {
    const std::vector<std::string> texts{"Zoe",       "M\xC3\xBCller", "m\xFCller",     "Adam",
                                         "M\xDCLLER", "m\xC3\xBCller", "M\xC3\xBCller", "Mueller"};
    TSortKeys keys(static_cast<int>(texts.size()), {TKind::Text});
    for (const std::string& text : texts) keys.AppendText(0, text);
    const std::vector<int> rows{0, 1, 2, 3, 4, 5, 6, 7};
    QCOMPARE(keys.SortedOrder(rows, {Qt::AscendingOrder}),
             (std::vector<int>{3, 7, 1, 2, 4, 5, 6, 0}));
}

void TestSortKeys::numbersOrderAfterNone() {
    TSortKeys keys(4, {TKind::Number});
    keys.AppendNumber(0, 7);
    keys.AppendNumber(0, std::nullopt);
    keys.AppendNumber(0, 0);
    keys.AppendNumber(0, 7);
    const std::vector<int> rows{0, 1, 2, 3};
    QCOMPARE(keys.SortedOrder(rows, {Qt::AscendingOrder}), (std::vector<int>{1, 2, 0, 3}));
    QCOMPARE(keys.SortedOrder(rows, {Qt::DescendingOrder}), (std::vector<int>{0, 3, 2, 1}));
}

void TestSortKeys::laterKeysDecideTies() {
    TSortKeys keys(4, {TKind::Text, TKind::Number});
    for (const auto& [text, number] : std::vector<std::pair<const char*, int>>{
             {"Weber", 3}, {"becker", 9}, {"weber", 1}, {"Becker", 9}}) {
        keys.AppendText(0, text);
        keys.AppendNumber(1, number);
    }
    const std::vector<int> rows{0, 1, 2, 3};
    QCOMPARE(keys.SortedOrder(rows, {Qt::AscendingOrder, Qt::DescendingOrder}),
             (std::vector<int>{1, 3, 0, 2}));
    QCOMPARE(keys.SortedOrder(rows, {Qt::DescendingOrder, Qt::AscendingOrder}),
             (std::vector<int>{2, 0, 1, 3}));
}

QTEST_APPLESS_MAIN(TestSortKeys)
#include "tst_SortKeys.moc"
