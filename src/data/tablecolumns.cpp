#include "data/tablecolumns.h"

#include <QHash>
#include <QSet>
#include <vector>

namespace {

// The columns of the tables looked up so far, per connection (lower-case names). Entries of
// connections that have gone are dropped on the next look-up.
struct KnownColumns
{
    std::weak_ptr<Ado::Connection> connection;
    QHash<QString, QSet<QString>> tables;
};

std::vector<KnownColumns> g_known;

QHash<QString, QSet<QString>> &tablesOf(const Ado::ConnectionPtr &connection)
{
    std::erase_if(g_known, [](const KnownColumns &k) { return k.connection.expired(); });
    for (KnownColumns &k : g_known)
        if (!k.connection.owner_before(connection) && !connection.owner_before(k.connection))
            return k.tables;
    g_known.push_back({connection, {}});
    return g_known.back().tables;
}

QSet<QString> readColumns(Ado::Connection &connection, const QString &table)
{
    // The names as a statement on the table sees them, whatever the database's catalogue
    // calls them.
    const Ado::Recordset rs = connection.execute(QStringLiteral("Select * From ") + table +
                                                 QStringLiteral(" Where 1 = 0"));
    QSet<QString> columns;
    for (int i = 0; i < rs.fieldCount(); ++i)
        columns.insert(rs.fieldName(i).toLower());
    return columns;
}

} // namespace

bool HasColumn(const Ado::ConnectionPtr &connection, const QString &table, const QString &column)
{
    QHash<QString, QSet<QString>> &tables = tablesOf(connection);
    const QString key = table.toLower();
    auto it = tables.find(key);
    if (it == tables.end())
        it = tables.insert(key, readColumns(*connection, table));
    return it->contains(column.toLower());
}
