// Handheld count files read from real files on disk: separators, header, encodings, and
// every kind of bad line refused with a message naming its line while the good lines are
// still read.
#include "stock/countfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CountFileTest : public ::testing::Test
{
protected:
    // The file with these bytes, read back from disk.
    CountFile read(const QByteArray &bytes, const std::function<void(int, int)> &progress = {})
    {
        const QString path = dir.filePath(QStringLiteral("count%1.txt").arg(++files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        return ReadCountFile(path, progress);
    }

    QTemporaryDir dir;
    int files = 0;
};

struct Want
{
    int lineNo;
    const char *item;
    double qty;
    const char *location;
};

void expectLines(const CountFile &file, std::initializer_list<Want> want)
{
    ASSERT_EQ(file.lines.size(), qsizetype(want.size())) << file.error.toStdString();
    int i = 0;
    for (const Want &w : want) {
        const CountFileLine &got = file.lines.at(i++);
        EXPECT_TRUE(got.isGood()) << got.error.toStdString();
        EXPECT_EQ(got.lineNo, w.lineNo);
        EXPECT_EQ(got.item, QString::fromUtf8(w.item)) << w.lineNo;
        EXPECT_EQ(got.qty, w.qty) << w.lineNo;
        EXPECT_EQ(got.location, QString::fromUtf8(w.location)) << w.lineNo;
    }
}

} // namespace

// One separator a file, taken from the first line (tab before semicolon before comma);
// header, blank lines, CRLF, byte-order mark, quotes, full-width digits and decimals.
TEST_F(CountFileTest, SeparatorsHeaderAndDecimals)
{
    const CountFile comma = read("\xEF\xBB\xBF"
                                 "品號,數量,區位\r\n"
                                 "A1,12.5,前場\r\n"
                                 "\r\n"
                                 "   \r\n"
                                 ", ,\r\n"
                                 " A2 , 3 \r\n"
                                 "\"B,1\",\"0.25\",\"貨架 \"\"3\"\"\"\r\n"
                                 "C1,１２.０,\r\n"
                                 "C2,7,後場,,\r\n");
    EXPECT_EQ(comma.error, QString());
    EXPECT_EQ(comma.encoding, CountFile::Encoding::Utf8);
    EXPECT_EQ(comma.separator, u',');
    EXPECT_EQ(comma.headerLineNo, 1);
    EXPECT_EQ(comma.header, QStringLiteral("品號,數量,區位"));
    expectLines(comma, {{2, "A1", 12.5, "前場"},
                        {6, "A2", 3, ""},
                        {7, "B,1", 0.25, "貨架 \"3\""},
                        {8, "C1", 12, ""},
                        {9, "C2", 7, "後場"}});
    EXPECT_EQ(comma.lines.at(0).raw, QStringLiteral("A1,12.5,前場"));

    // Tab first: the commas then belong to the values (and make no number).
    const CountFile tab = read("A1\t4\tS,1\nA2\t5.75\nA3\t1,5\n");
    EXPECT_EQ(tab.separator, u'\t');
    EXPECT_EQ(tab.headerLineNo, 0);
    ASSERT_EQ(tab.lines.size(), 3);
    EXPECT_EQ(tab.lines.at(0).location, QStringLiteral("S,1"));
    EXPECT_EQ(tab.lines.at(1).qty, 5.75);
    EXPECT_EQ(tab.lines.at(2).error, QStringLiteral("第 3 行：數量「1,5」不是數字。"));

    // Semicolon, English header: a line written with commas is broken, not read another way.
    const CountFile semi = read("Item;Qty\nA1;2;X\nA2,3\n");
    EXPECT_EQ(semi.separator, u';');
    EXPECT_EQ(semi.headerLineNo, 1);
    ASSERT_EQ(semi.lines.size(), 2);
    EXPECT_EQ(semi.lines.at(0).location, QStringLiteral("X"));
    EXPECT_TRUE(semi.lines.at(1).error.startsWith(QStringLiteral("第 3 行：欄位不足")))
        << semi.lines.at(1).error.toStdString();

    // Only the first line can be a header, and only one naming a column.
    const CountFile noHeader = read("A1,abc\nitem,qty\n");
    EXPECT_EQ(noHeader.headerLineNo, 0);
    ASSERT_EQ(noHeader.lines.size(), 2);
    EXPECT_EQ(noHeader.lines.at(0).error, QStringLiteral("第 1 行：數量「abc」不是數字。"));
    EXPECT_EQ(noHeader.lines.at(1).error, QStringLiteral("第 2 行：數量「qty」不是數字。"));
}

// Big5 bytes (code page 950) of known characters: the item 衣服 counted in the 倉庫, under a
// Big5 header.
TEST_F(CountFileTest, Big5File)
{
    const QByteArray header(
        "\xAB\x7E\xB8\xB9,\xBC\xC6\xB6\x71,\xB0\xCF\xA6\xEC\r\n"); // 品號,數量,區位
    const CountFile file =
        read(header + "\xA6\xE7\xAA\x41,2.5,\xAD\xDC\xAE\x77\r\n" // 衣服,2.5,倉庫
                      "A1,3\r\n");
    EXPECT_EQ(file.error, QString());
    EXPECT_EQ(file.encoding, CountFile::Encoding::Big5);
    EXPECT_EQ(file.headerLineNo, 1);
    EXPECT_EQ(file.header, QStringLiteral("品號,數量,區位"));
    expectLines(file, {{2, "衣服", 2.5, "倉庫"}, {3, "A1", 3, ""}});
}

// Every kind of bad line: its own message naming the line; the good lines around it read.
TEST_F(CountFileTest, BadLinesNameTheirLine)
{
    const QString twenty = QString(20, QChar(u'區'));
    const QByteArray bytes = "A1,1\n"
                             "A2\n"
                             "A3,1,X,Y\n"
                             ",5\n"
                             "A5,\n"
                             "A6,abc\n"
                             "A7,1e3\n"
                             "A8,1.2.3\n"
                             "A9,-2\n"
                             "B1,10000000\n"
                             "B2,9999999.99\n"
                             "B3,9999999.991\n"
                             "B4,1," +
                             (twenty + u'區').toUtf8() +
                             "\n"
                             "B5,1," +
                             twenty.toUtf8() +
                             "\n"
                             "B6\x01,5\n"
                             "B7,5,S\tT\n"
                             "B8,5,S\x7F\n"
                             "\"B9,5\n"
                             "C1,.5\n";
    const CountFile file = read(bytes);
    EXPECT_EQ(file.error, QString());
    const QString shape = QStringLiteral("，應為「品號,數量」或「品號,數量,區位」。");
    const QStringList want = {
        QString(),
        QStringLiteral("第 2 行：欄位不足") + shape,
        QStringLiteral("第 3 行：欄位過多") + shape,
        QStringLiteral("第 4 行：品號空白。"),
        QStringLiteral("第 5 行：沒有數量。"),
        QStringLiteral("第 6 行：數量「abc」不是數字。"),
        QStringLiteral("第 7 行：數量「1e3」不是數字。"),
        QStringLiteral("第 8 行：數量「1.2.3」不是數字。"),
        QStringLiteral("第 9 行：數量 -2 不可為負數。"),
        QStringLiteral("第 10 行：數量 10000000 超過 9,999,999.99。"),
        QString(),
        QStringLiteral("第 12 行：數量 9999999.991 超過 9,999,999.99。"),
        QStringLiteral("第 13 行：盤點區位「%1」超過 20 個字。").arg(twenty + u'區'),
        QString(),
        QStringLiteral("第 15 行：含有控制字元。"),
        QStringLiteral("第 16 行：含有控制字元。"),
        QStringLiteral("第 17 行：含有控制字元。"),
        QStringLiteral("第 18 行：引號未成對。"),
        QString(),
    };
    ASSERT_EQ(file.lines.size(), want.size());
    for (int i = 0; i < want.size(); ++i) {
        const CountFileLine &line = file.lines.at(i);
        EXPECT_EQ(line.lineNo, i + 1);
        EXPECT_EQ(line.error, want.at(i)) << line.raw.toStdString();
    }
    EXPECT_EQ(file.lines.at(10).qty, 9999999.99);
    EXPECT_EQ(file.lines.at(13).location, twenty);
    EXPECT_EQ(file.lines.at(18).qty, 0.5);
}

// A file in another encoding, a binary file, an unreadable one or one without a count is
// refused whole with one message; nothing of it is read.
TEST_F(CountFileTest, FilesRefusedWhole)
{
    const QString notText = QStringLiteral("檔案不是 UTF-8 或 Big5 編碼的文字檔，無法匯入。");
    const QByteArray utf16 =
        QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char *>(u"A1,5\r\n"), 12);
    const struct
    {
        const char *what;
        QByteArray bytes;
        QString error;
    } cases[] = {
        {"UTF-16 with its mark", utf16, notText},
        {"UTF-16 without its mark", utf16.mid(2), notText},
        {"binary", QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), notText},
        {"neither UTF-8 nor Big5", "A1,5,\xFF\xFF\n", notText},
        {"Latin-1", "caf\xE9,5\n", notText},
        {"Big5's user-defined area", "A1,5,\xFA\x40\n", notText},
        {"Big5 cut inside a character", "A1,5,\xA6\xE7\xAA", notText},
        {"broken UTF-8 after its mark",
         "\xEF\xBB\xBF"
         "A1,5,\xA6\xE7\n",
         notText},
        {"empty", "", QStringLiteral("檔案中沒有盤點資料。")},
        {"header only", "item,qty,location\r\n\r\n", QStringLiteral("檔案中沒有盤點資料。")},
    };
    for (const auto &c : cases) {
        const CountFile file = read(c.bytes);
        EXPECT_EQ(file.error, c.error) << c.what;
        EXPECT_TRUE(file.lines.isEmpty()) << c.what;
    }
    const CountFile missing = ReadCountFile(dir.filePath(QStringLiteral("none.txt")));
    EXPECT_TRUE(missing.error.startsWith(QStringLiteral("無法讀取檔案")))
        << missing.error.toStdString();
}

// A long file reports its progress as it goes, ending with every line done.
TEST_F(CountFileTest, ProgressOfALongFile)
{
    QByteArray bytes;
    for (int i = 0; i < 1200; ++i)
        bytes += "A" + QByteArray::number(i) + ",1\n";
    QList<std::pair<int, int>> calls;
    const CountFile file = read(bytes, [&](int done, int total) { calls.append({done, total}); });
    EXPECT_EQ(file.lines.size(), 1200);
    ASSERT_GE(calls.size(), 3);
    EXPECT_EQ(calls.front().first, 0);
    EXPECT_EQ(calls.back(), std::make_pair(1201, 1201)); // the empty line after the last end
    for (int i = 1; i < calls.size(); ++i)
        EXPECT_GT(calls.at(i).first, calls.at(i - 1).first);
}
