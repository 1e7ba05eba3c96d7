// The import plan of a count file (a real file on disk) against a month built in memory:
// every line's outcome, duplicates summed, the deadline, the totals, the lines to write
// and the refused lines written out and read back.
#include "stock/countfile.h"
#include "stock/countimport.h"
#include "stock/stockmonth.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Outcome = CountImportLine::Outcome;

class CountImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        month.reset({2026, 11, QStringLiteral("A01"), QDate(2026, 11, 30)}, false);
        for (const char *no : {"A1", "A2", "B1"}) {
            StockRow row;
            row.stored.Rno = 100 + month.size();
            row.stored.STKNo = QString::fromLatin1(no);
            month.append(row);
        }
    }

    CountFile read(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("count%1.csv").arg(++files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        return ReadCountFile(path);
    }

    // The item master has N1 and N2; every question is kept.
    CountImportPlan::ItemExists master()
    {
        return [this](const QString &item) {
            asked.append(item);
            return item == u"N1" || item == u"N2";
        };
    }

    QTemporaryDir dir;
    int files = 0;
    StockMonth month;
    QStringList asked;
};

const QByteArray Sample = "item,qty,location\n" // 1
                          "A1,5,shelf\n"        // 2 counted
                          "A1,2,back\n"         // 3 counted, another location
                          "A1,1.5,shelf\n"      // 4 duplicate of 2
                          "N1,3\n"              // 5 to add
                          "N1,4,back\n"         // 6 to add, another location
                          "X9,1\n"              // 7 unknown
                          "A2,-1\n"             // 8 bad quantity
                          "N1,1\n"              // 9 duplicate of 5
                          "X9,2\n"              // 10 unknown (the master asked once)
                          "B1,0\n";             // 11 counted

} // namespace

TEST_F(CountImportTest, OutcomesDuplicatesAndTotals)
{
    const CountImportPlan plan(read(Sample), month, master(), false);
    ASSERT_EQ(plan.fileError(), QString());
    struct Want
    {
        int lineNo;
        Outcome outcome;
        int row;
        int firstLineNo;
        double total;
    };
    const Want want[] = {
        {2, Outcome::Counted, 0, 0, 6.5},     {3, Outcome::Counted, 0, 0, 2},
        {4, Outcome::Duplicate, -1, 2, 0},    {5, Outcome::ToAdd, -1, 0, 4},
        {6, Outcome::ToAdd, -1, 0, 4},        {7, Outcome::UnknownItem, -1, 0, 0},
        {8, Outcome::BadLine, -1, 0, 0},      {9, Outcome::Duplicate, -1, 5, 0},
        {10, Outcome::UnknownItem, -1, 0, 0}, {11, Outcome::Counted, 2, 0, 0},
    };
    ASSERT_EQ(plan.lines().size(), qsizetype(std::size(want)));
    for (size_t i = 0; i < std::size(want); ++i) {
        const CountImportLine &line = plan.lines().at(qsizetype(i));
        const Want &w = want[i];
        EXPECT_EQ(line.line.lineNo, w.lineNo);
        EXPECT_EQ(line.outcome, w.outcome) << w.lineNo;
        EXPECT_EQ(line.row, w.row) << w.lineNo;
        EXPECT_EQ(line.firstLineNo, w.firstLineNo) << w.lineNo;
        EXPECT_EQ(line.total, w.total) << w.lineNo;
        EXPECT_EQ(line.isAccepted(), w.outcome <= Outcome::Duplicate) << w.lineNo;
    }
    const auto text = [&](int i) { return plan.lines().at(i).text; };
    EXPECT_EQ(text(0), QStringLiteral("計入本月盤點，連同重複行合計 6.5"));
    EXPECT_EQ(text(1), QStringLiteral("計入本月盤點"));
    EXPECT_EQ(text(2), QStringLiteral("與第 2 行重複，數量併入該行"));
    EXPECT_EQ(text(3), QStringLiteral("新增物料至本月後計入，連同重複行合計 4"));
    EXPECT_EQ(text(5), QStringLiteral("第 7 行：物料「X9」不在物料主檔。"));
    EXPECT_EQ(text(6), QStringLiteral("第 8 行：數量 -1 不可為負數。"));

    // The master is asked once an item the month lacks, never for the month's items.
    EXPECT_EQ(asked, QStringList({QStringLiteral("N1"), QStringLiteral("X9")}));
    EXPECT_EQ(plan.itemsToAdd(), QStringList{QStringLiteral("N1")});

    const CountImportPlan::Totals &totals = plan.totals();
    EXPECT_EQ(totals.read, 10);
    EXPECT_EQ(totals.accepted, 7);
    EXPECT_EQ(totals.refused, 3);
    EXPECT_EQ(totals.rowsCounted, 2);
    EXPECT_EQ(totals.itemsToAdd, 1);
    EXPECT_EQ(totals.qty, 16.5);

    // Nothing to write until the item to add has its row; then one line a row and location.
    EXPECT_FALSE(plan.importLines().has_value());
    EXPECT_FALSE(plan.importLines({{QStringLiteral("N2"), 3}}).has_value());
    const auto lines = plan.importLines({{QStringLiteral("N1"), 3}});
    ASSERT_TRUE(lines.has_value());
    const QList<std::tuple<int, QString, double>> wantLines = {{0, QStringLiteral("shelf"), 6.5},
                                                               {0, QStringLiteral("back"), 2},
                                                               {3, QString(), 4},
                                                               {3, QStringLiteral("back"), 4},
                                                               {2, QString(), 0}};
    ASSERT_EQ(lines->size(), wantLines.size());
    for (int i = 0; i < lines->size(); ++i) {
        EXPECT_EQ(lines->at(i).index, std::get<0>(wantLines.at(i))) << i;
        EXPECT_EQ(lines->at(i).location, std::get<1>(wantLines.at(i))) << i;
        EXPECT_EQ(lines->at(i).qty, std::get<2>(wantLines.at(i))) << i;
    }
}

// A month past its deadline refuses every line, and asks the master nothing.
TEST_F(CountImportTest, PastDeadlineRefusesEveryLine)
{
    const CountImportPlan plan(read(Sample), month, master(), true);
    EXPECT_EQ(plan.lines().size(), 10);
    for (const CountImportLine &line : plan.lines()) {
        EXPECT_EQ(line.outcome, Outcome::PastDeadline) << line.line.lineNo;
        EXPECT_EQ(line.text,
                  QStringLiteral("第 %1 行：已超過盤點期限，無法匯入。").arg(line.line.lineNo));
    }
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_FALSE(plan.hasAccepted());
    EXPECT_EQ(plan.totals().refused, 10);
    EXPECT_EQ(plan.totals().qty, 0);
    EXPECT_TRUE(plan.itemsToAdd().isEmpty());
    ASSERT_TRUE(plan.importLines().has_value());
    EXPECT_TRUE(plan.importLines()->isEmpty());
}

// The refused lines written out: UTF-8 with its mark, the file's separator and header, each
// line as read and its reason (quoted where it holds the separator); read back as a count
// file it keeps its separator, header and lines.
TEST_F(CountImportTest, RefusedLinesFileRoundTrip)
{
    for (const char sep : {',', ';'}) {
        QByteArray bytes = Sample + "A2,10000000\n";
        bytes.replace(',', sep);
        const CountImportPlan plan(read(bytes), month, master(), false);
        const QByteArray refused = plan.refusedFile();
        EXPECT_TRUE(refused.startsWith("\xEF\xBB\xBF"));

        const QString path = dir.filePath(QStringLiteral("refused.csv"));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(refused);
        out.close();
        const CountFile back = ReadCountFile(path);
        const QString s(QChar::fromLatin1(sep));
        EXPECT_EQ(back.encoding, CountFile::Encoding::Utf8);
        EXPECT_EQ(back.separator, QChar::fromLatin1(sep));
        EXPECT_EQ(back.header, QStringLiteral("item%1qty%1location%1未匯入原因").arg(s));
        const auto joined = [&](QStringList fields) { return fields.join(s); };
        const QString tooLarge = QStringLiteral("第 12 行：數量 10000000 超過 9,999,999.99。");
        const QStringList want = {
            joined({"X9", "1", QStringLiteral("第 7 行：物料「X9」不在物料主檔。")}),
            joined({"A2", "-1", QStringLiteral("第 8 行：數量 -1 不可為負數。")}),
            joined({"X9", "2", QStringLiteral("第 10 行：物料「X9」不在物料主檔。")}),
            joined({"A2", "10000000", sep == ',' ? u'"' + tooLarge + u'"' : tooLarge}),
        };
        ASSERT_EQ(back.lines.size(), want.size()) << sep;
        for (int i = 0; i < want.size(); ++i) {
            EXPECT_EQ(back.lines.at(i).lineNo, i + 2) << sep;
            EXPECT_EQ(back.lines.at(i).raw, want.at(i)) << sep;
        }
    }
}
