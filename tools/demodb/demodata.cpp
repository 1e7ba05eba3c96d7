#include "demodata.h"

#include "common/numtext.h"
#include "data/adodb.h"
#include "platform/db/sqlscript.h"
#include "platform/db/transaction.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QStringList>
#include <cmath>

namespace {

// Multi-row INSERTs: one statement per batch keeps large demo sets quick on both databases.
class BatchInsert
{
public:
    BatchInsert(Ado::Connection &conn, QString head) : m_conn(conn), m_head(std::move(head)) {}
    ~BatchInsert() { flush(); }
    void add(const QStringList &values)
    {
        m_rows.append(QLatin1Char('(') + values.join(QStringLiteral(", ")) + QLatin1Char(')'));
        ++m_count;
        if (m_rows.size() >= 250)
            flush();
    }
    void flush()
    {
        if (m_rows.isEmpty())
            return;
        m_conn.executeNonQuery(m_head + QStringLiteral(" VALUES ") +
                               m_rows.join(QStringLiteral(", ")));
        m_rows.clear();
    }
    int count() const { return m_count; }

private:
    Ado::Connection &m_conn;
    QString m_head;
    QStringList m_rows;
    int m_count = 0;
};

struct Category
{
    const char *code;
    const char *name;
    QStringList words;
    const char *unit;
    const char *useUnit;
    double useQty;
    QStringList specs;
    double minPrice;
    double maxPrice;
    double stockedShare; // share of items kept in stock (STKFlag Y)
};

QList<Category> categories()
{
    auto words = [](const char *list) { return QString::fromUtf8(list).split(QLatin1Char(' ')); };
    return {
        {"01", "蔬菜",
         words("高麗菜 大白菜 青江菜 菠菜 空心菜 紅蘿蔔 洋蔥 馬鈴薯 牛番茄 小黃瓜 青椒 "
               "玉米筍 鮮香菇 金針菇 蒜頭 老薑 青蔥 芹菜 地瓜 南瓜"),
         "箱", "公斤", 10, words("10公斤/箱 5公斤/箱 20台斤/箱"), 150, 900, 0.8},
        {"02", "肉品",
         words("豬里肌 豬五花 豬絞肉 梅花肉 雞胸肉 去骨雞腿 三節翅 牛腱 牛小排 培根 "
               "火腿片 台式香腸"),
         "公斤", "公克", 1000, words("真空包 2公斤/包 冷藏"), 120, 800, 0.95},
        {"03", "海鮮", words("白蝦 草蝦仁 鮭魚片 鯛魚片 透抽 文蛤 鱈魚排 虱目魚肚 花枝丸 蟹肉棒"),
         "盒", "片", 10, words("1公斤/盒 500公克/盒 10片/盒"), 180, 1200, 0.95},
        {"04", "乾貨", words("白米 糯米 中筋麵粉 冬粉 米粉 乾香菇 紅豆 綠豆 黑木耳 海帶芽"), "包",
         "包", 1, words("30公斤/包 1公斤/包 600公克/包"), 40, 1500, 0.9},
        {"05", "調味料",
         words("醬油 白醋 米酒 沙拉油 麻油 砂糖 食鹽 白胡椒粉 味精 番茄醬 沙茶醬 "
               "辣豆瓣醬"),
         "箱", "瓶", 12, words("500ml*12瓶/箱 1公升*12瓶/箱 600公克*12包/箱"), 200, 1800, 0.9},
        {"06", "飲料", words("礦泉水 無糖綠茶 紅茶 烏龍茶 柳橙汁 蘋果汁 可樂 鮮奶 無糖豆漿 咖啡豆"),
         "箱", "瓶", 24, words("600ml*24瓶/箱 330ml*24罐/箱 1公升*12瓶/箱"), 150, 1200, 0.9},
        {"07", "包材", words("紙杯 塑膠袋 紙便當盒 免洗筷 吸管 保鮮膜 鋁箔紙 紙碗"), "箱", "個",
         1000, words("1000入/箱 50入*20包/箱"), 300, 1600, 0.6},
        {"08", "清潔用品", words("洗碗精 漂白水 菜瓜布 垃圾袋 抹布 洗手乳 酒精 乳膠手套"), "箱",
         "個", 12, words("12入/箱 4公升*4桶/箱 100入/盒"), 200, 1500, 0.3},
    };
}

struct Item
{
    QString no;
    double price = 0;
    bool stocked = true;
};

struct Dept
{
    const char *no;
    const char *shortName;
    const char *code;
    int stockNo;
};

const Dept kDepts[] = {
    {"A01", "中央廚房", "01", 1}, {"A02", "台北門市", "02", 1}, {"A03", "台中門市", "03", 2},
    {"B01", "總倉", "01", 3},     {"C01", "管理部", "01", 0},
};

struct Sums
{
    double inQty = 0, inAmt = 0, outQty = 0, outAmt = 0, lostQty = 0, lostAmt = 0;
};

QString q(const QString &s)
{
    return QuotStr(s);
}

QString n(double v)
{
    return NumText(v);
}

double round2(double v)
{
    return std::round(v * 100.0) / 100.0;
}

QString readResource(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw RunError(RunError::FileError, QStringLiteral("missing built-in script ") + path);
    return QString::fromUtf8(f.readAll());
}

QString scriptFolder(const Ado::Connection &conn)
{
    return conn.driverName() == QLatin1String("QSQLITE") ? QStringLiteral(":/db/sqlite/")
                                                         : QStringLiteral(":/db/postgresql/");
}

} // namespace

void DropDemoTables(Ado::Connection &conn, bool menu)
{
    const QStringList tables =
        menu ? QStringList{QStringLiteral("JX_User"), QStringLiteral("JX_Right")}
             : QStringList{QStringLiteral("STOCK"),  QStringLiteral("STK"),
                           QStringLiteral("SIN"),    QStringLiteral("SOut"),
                           QStringLiteral("Corp"),   QStringLiteral("xxCODE"),
                           QStringLiteral("xxPARAM")};
    for (const QString &t : tables)
        conn.executeNonQuery(QStringLiteral("DROP TABLE IF EXISTS ") + t);
}

void BuildMenuDatabase(Ado::Connection &conn)
{
    Ado::RunSqlScript(conn, readResource(scriptFolder(conn) + QStringLiteral("menu.sql")));
    Ado::Transaction transaction(conn);
    conn.executeNonQuery(QStringLiteral("INSERT INTO JX_User (UserID, UserName) VALUES ") +
                         QStringLiteral("('DEMO', '示範使用者'), ('CLERK', '盤點人員')"));
    conn.executeNonQuery(
        QStringLiteral("INSERT INTO JX_Right (GrpID, ProgID, RFlag, AFlag, QFlag, UFlag, DFlag, "
                       "PFlag) VALUES ('ADMIN', 'TOVRAN', 'Y', 'Y', 'Y', 'Y', 'Y', 'Y'), "
                       "('CLERK', 'TOVRAN', 'Y', 'Y', 'Y', 'Y', 'N', 'N')"));
    transaction.commit();
}

QString BuildBusinessDatabase(Ado::Connection &conn, const DemoOptions &o)
{
    Ado::RunSqlScript(conn, readResource(scriptFolder(conn) + QStringLiteral("business.sql")));
    QRandomGenerator rng(o.seed);
    auto between = [&rng](double lo, double hi) { return lo + rng.generateDouble() * (hi - lo); };
    auto chance = [&rng](double p) { return rng.generateDouble() < p; };

    Ado::Transaction transaction(conn);
    // Departments, codes and parameters.
    {
        BatchInsert corp(conn, QStringLiteral("INSERT INTO Corp (CompNo, compname, CompSName, "
                                              "DeptNo, StockNo)"));
        for (const Dept &d : kDepts)
            corp.add({q(QLatin1String(d.no)),
                      q(QStringLiteral("NORV 示範公司") + QString::fromUtf8(d.shortName)),
                      q(QString::fromUtf8(d.shortName)), q(QLatin1String(d.code)),
                      QString::number(d.stockNo)});
    }
    const QList<Category> cats = categories();
    {
        BatchInsert code(conn, QStringLiteral("INSERT INTO xxCODE (CodeType, Code, Dscp)"));
        for (const Category &c : cats)
            code.add({q(QStringLiteral("LTYPE")), q(QLatin1String(c.code)),
                      q(QString::fromUtf8(c.name))});
        code.add(
            {q(QStringLiteral("SLIPTYPE")), q(QStringLiteral("1")), q(QStringLiteral("進貨單"))});
        code.add(
            {q(QStringLiteral("SLIPTYPE")), q(QStringLiteral("2")), q(QStringLiteral("報廢單"))});
        code.add(
            {q(QStringLiteral("SLIPTYPE")), q(QStringLiteral("3")), q(QStringLiteral("調撥單"))});
        code.add(
            {q(QStringLiteral("SLIPTYPE")), q(QStringLiteral("4")), q(QStringLiteral("領料單"))});

        BatchInsert param(conn, QStringLiteral("INSERT INTO xxPARAM (ParamID, ParamValue)"));
        const QList<std::pair<const char *, const char *>> params = {
            {"StockEndDate", ""},   {"POSMode", "N"},    {"FontName", "標楷體"},
            {"UseRcvWork", "N"},    {"UseSOut", "N"},    {"TOVRAN_DeadLine", "0"},
            {"AvgPriceMethod", ""}, {"CUSTAPP", "NORV"}, {"ReportHeader", "NORV 示範商店"}};
        for (const auto &[id, value] : params)
            param.add({q(QLatin1String(id)), q(QString::fromUtf8(value))});
    }

    // Items.
    const int itemCount = std::max(o.items, o.stockRows);
    const int digits = itemCount > 70000 ? 6 : 4;
    QList<Item> items;
    items.reserve(itemCount);
    {
        const QStringList variants =
            QString::fromUtf8(" 特級 有機 進口 冷凍 小包裝 業務用 經濟包").split(QLatin1Char(' '));
        BatchInsert stk(conn, QStringLiteral("INSERT INTO STK (STKNo, STKName, STKDscp, Unit, "
                                             "UUnit, UQty, STKFlag, LType, Buyprice, AvgPrice)"));
        QList<int> seq(cats.size(), 0);
        for (int i = 0; i < itemCount; ++i) {
            const int ci = i % cats.size();
            const Category &c = cats[ci];
            const int k = seq[ci]++;
            const int round = k / c.words.size();
            QString name = variants[round % variants.size()] + c.words[k % c.words.size()];
            if (round >= variants.size())
                name += QString::number(round / variants.size() + 1);
            Item it;
            it.no = QLatin1String(c.code) +
                    QStringLiteral("%1").arg(k + 1, digits, 10, QLatin1Char('0'));
            it.price = round2(between(c.minPrice, c.maxPrice));
            it.stocked = chance(c.stockedShare);
            const bool ownUseUnit = chance(0.75);
            stk.add(
                {q(it.no), q(name), q(c.specs[k % c.specs.size()]), q(QString::fromUtf8(c.unit)),
                 q(QString::fromUtf8(ownUseUnit ? c.useUnit : c.unit)),
                 n(ownUseUnit ? c.useQty : 1),
                 q(it.stocked ? QStringLiteral("Y") : QStringLiteral("N")),
                 q(QLatin1String(c.code)), n(it.price), n(round2(it.price * between(0.95, 1.05)))});
            items.append(it);
        }
    }

    // Periods: the months before the current one, the oldest first.
    const QDate firstOfThisMonth(o.today.year(), o.today.month(), 1);
    QList<QDate> starts;
    for (int m = o.months; m >= 1; --m)
        starts.append(firstOfThisMonth.addMonths(-m));
    auto periodEnd = [](const QDate &start) { return start.addMonths(1).addDays(-1); };

    // The items each stocked department carries.
    QHash<QString, QList<int>> carried;
    for (const Dept &d : kDepts) {
        if (d.stockNo <= 0)
            continue;
        QList<int> list;
        const bool main = QLatin1String(d.no) == QLatin1String("A01");
        for (int i = 0; i < items.size(); ++i) {
            if (main && o.stockRows > 0 ? i < o.stockRows : chance(main ? 0.8 : 0.45))
                list.append(i);
        }
        carried.insert(QLatin1String(d.no), list);
    }
    const QStringList stores{QStringLiteral("A01"), QStringLiteral("A02"), QStringLiteral("A03")};

    // Slips, summed per department, item and period for the stock records.
    QHash<QString, Sums> sums;
    auto key = [](const QString &dept, int item, int period) {
        return dept + QLatin1Char('|') + QString::number(item) + QLatin1Char('|') +
               QString::number(period);
    };
    int sinLines = 0;
    int soutLines = 0;
    {
        BatchInsert sin(conn,
                        QStringLiteral("INSERT INTO SIN (DeptNo, SuppNo, STKNo, SINDate, InQty, "
                                       "InAmt, RcvQty, inprice, SlipType)"));
        BatchInsert sout(conn, QStringLiteral("INSERT INTO SOut (DeptNo, SuppNo, STKNo, SOutDate, "
                                              "OutQty, OutAmt, SlipType)"));
        const QStringList depts = carried.keys();
        const int progressStep = std::max(1, o.slipLines / 10);
        for (int line = 0; line < o.slipLines; ++line) {
            if (o.progress && line > 0 && line % progressStep == 0)
                o.progress(line, o.slipLines);
            const int period = rng.bounded(static_cast<int>(starts.size()));
            const QDate start = starts[period];
            const QDate date = start.addDays(rng.bounded(start.daysInMonth()));
            const QString dept = depts[rng.bounded(static_cast<int>(depts.size()))];
            const QList<int> &list = carried[dept];
            if (list.isEmpty())
                continue;
            const int ii = list[rng.bounded(static_cast<int>(list.size()))];
            const Item &it = items[ii];
            const double price = round2(it.price * between(0.9, 1.1));
            const double roll = rng.generateDouble();
            if (roll < 0.55) { // receipt from a supplier
                const double qty = rng.bounded(5, 60);
                const double amt = round2(qty * price);
                const double rcv = chance(0.05) ? std::floor(qty / 2) : qty;
                sin.add({q(dept),
                         q(QStringLiteral("V%1").arg(rng.bounded(1, 30), 3, 10, QLatin1Char('0'))),
                         q(it.no), QuotDate(date), n(qty), n(amt), n(rcv), n(price),
                         q(QStringLiteral("1"))});
                ++sinLines;
                Sums &s = sums[key(dept, ii, period)];
                s.inQty += qty;
                s.inAmt += amt;
            } else if (roll < 0.65) { // transfer in from another store
                QString from = stores[rng.bounded(static_cast<int>(stores.size()))];
                if (from == dept)
                    from = QStringLiteral("B01");
                const double qty = rng.bounded(1, 15);
                const double amt = round2(qty * price);
                sin.add({q(dept), q(from), q(it.no), QuotDate(date), n(qty), n(amt), n(qty),
                         n(price), q(QStringLiteral("3"))});
                ++sinLines;
                Sums &s = sums[key(dept, ii, period)];
                s.inQty += qty;
                s.inAmt += amt;
            } else if (roll < 0.92) { // issue to a store (from the warehouse) or to use
                const QString to = dept == QLatin1String("B01")
                                       ? stores[rng.bounded(static_cast<int>(stores.size()))]
                                       : QStringLiteral("C01");
                const double qty = rng.bounded(1, 25);
                const double amt = round2(qty * price);
                sout.add({q(to), q(dept), q(it.no), QuotDate(date), n(qty), n(amt),
                          q(QStringLiteral("4"))});
                ++soutLines;
                Sums &s = sums[key(dept, ii, period)];
                s.outQty += qty;
                s.outAmt += amt;
                if (carried.contains(to)) {
                    Sums &r = sums[key(to, ii, period)];
                    r.inQty += qty;
                    r.inAmt += amt;
                }
            } else { // loss
                const double qty = rng.bounded(1, 4);
                const double amt = round2(qty * price);
                sout.add({q(dept), q(dept), q(it.no), QuotDate(date), n(qty), n(amt),
                          q(QStringLiteral("2"))});
                ++soutLines;
                Sums &s = sums[key(dept, ii, period)];
                s.lostQty += qty;
                s.lostAmt += amt;
            }
        }
    }

    // Stock records: every earlier period of every stocked department; last month only
    // for A01, so that the other departments' last month can be built in the program.
    int stockRows = 0;
    {
        BatchInsert stock(
            conn, QStringLiteral("INSERT INTO STOCK (DeptNo, StkDate, STKNo, STKFlag, LastQty, "
                                 "LastAmt, InQty, InAmt, OutQty, OutAmt, LostQty, LostAmt, ChkQty, "
                                 "AdjustQty, UseQty, STKQty, STKAmt, AvgPrice, UserID, UpdUserID, "
                                 "FileDate, UpdDate)"));
        for (auto it = carried.cbegin(); it != carried.cend(); ++it) {
            const QString dept = it.key();
            for (int ii : it.value()) {
                const Item &item = items[ii];
                double lastQty = std::floor(between(0, 40));
                double lastAmt = round2(lastQty * item.price);
                for (int p = 0; p < starts.size(); ++p) {
                    const bool lastMonth = p == starts.size() - 1;
                    if (lastMonth && dept != QLatin1String("A01"))
                        break;
                    const Sums s = sums.value(key(dept, ii, p));
                    const double book = lastQty + s.inQty - s.outQty - s.lostQty;
                    const double qtyBase = lastQty + s.inQty;
                    const double avg =
                        qtyBase > 0 ? round2((lastAmt + s.inAmt) / qtyBase) : item.price;
                    double chk = 0, adjust = 0, use = 0, stkQty = 0;
                    if (item.stocked) {
                        chk = std::max(0.0, book + (chance(0.2) ? rng.bounded(-2, 3) : 0));
                        adjust = chk - book;
                        stkQty = chk;
                    } else {
                        use = book;
                    }
                    const double stkAmt = round2(stkQty * avg);
                    const QString stamp = QuotDate(periodEnd(starts[p]).addDays(1));
                    stock.add({q(dept),
                               QuotDate(periodEnd(starts[p])),
                               q(item.no),
                               q(item.stocked ? QStringLiteral("Y") : QStringLiteral("N")),
                               n(lastQty),
                               n(lastAmt),
                               n(s.inQty),
                               n(round2(s.inAmt)),
                               n(s.outQty),
                               n(round2(s.outAmt)),
                               n(s.lostQty),
                               n(round2(s.lostAmt)),
                               n(chk),
                               n(adjust),
                               n(use),
                               n(stkQty),
                               n(stkAmt),
                               n(avg),
                               q(QStringLiteral("DEMO")),
                               q(QStringLiteral("DEMO")),
                               stamp,
                               stamp});
                    lastQty = stkQty;
                    lastAmt = stkAmt;
                }
            }
        }
        stock.flush();
        stockRows = stock.count();
    }
    transaction.commit();
    return QStringLiteral("%1 items, %2 stock-in and %3 stock-out slip lines, %4 stock records "
                          "(%5 to %6)")
        .arg(items.size())
        .arg(sinLines)
        .arg(soutLines)
        .arg(stockRows)
        .arg(periodEnd(starts.first()).toString(QStringLiteral("yyyy/MM")),
             periodEnd(starts.last()).toString(QStringLiteral("yyyy/MM")));
}
