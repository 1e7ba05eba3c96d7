#pragma once

// Two users counting one month together under one X server, each at a workstation of their
// own (a program tree and settings store of its own, started through the menu), on the demo
// databases of one kind: the fixture of the runs with more than one workstation.

#include "e2e_common.h"
#include "programcopy.h"
#include "stocktaker.h"
#include "xsession.h"

#include "platform/db/connection.h"
#include "support/pgdatabase.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace E2E {

enum class Db { SQLite, PostgreSQL };

// The period end of the demo month of department A01.
inline const QString kPeriodEnd =
    QStringLiteral("(Select max(StkDate) From STOCK Where DeptNo = 'A01')");

// The test name of a database kind.
inline std::string DbName(const ::testing::TestParamInfo<Db> &info)
{
    return info.param == Db::SQLite ? "SQLite" : "PostgreSQL";
}

class TwoWorkstations : public ::testing::TestWithParam<Db>
{
protected:
    // The demo databases, a connection of the test's own to the business one and an X
    // session whose screenshots go to <run>-sqlite or <run>-postgresql (this run's only);
    // connectSuffix is added to the workstations' connection string.
    void setUpRun(const QString &run, const QString &connectSuffix = {})
    {
        ASSERT_TRUE(m_work.isValid());
        QString why;
        DemoDatabases demo;
        if (!MakeDemoDatabases(GetParam() == Db::PostgreSQL, m_work, demo, &why)) {
            if (!demo.skipReason.isEmpty())
                GTEST_SKIP() << demo.skipReason.toStdString();
            FAIL() << why.toStdString();
        }
        m_pg = std::move(demo.pg);
        m_handOver = demo.handOver;
        m_handOver.connect += connectSuffix;
        m_dbString = demo.connectionString;
        m_db = Ado::Connection::open(m_dbString);

        const QString name = run + (GetParam() == Db::SQLite ? QStringLiteral("-sqlite")
                                                             : QStringLiteral("-postgresql"));
        QDir(artifactDir(name)).removeRecursively();
        m_dir = artifactDir(name);
        m_x = std::make_unique<XSession>(m_dir);
        ASSERT_TRUE(m_x->start(&why)) << why.toStdString();
    }

    ProgramCopy::HandOver handOver(const QString &user, const QString &group) const
    {
        ProgramCopy::HandOver h = m_handOver;
        h.user = user;
        h.group = group;
        return h;
    }

    // Started through the menu, criteria typed, the month queried.
    void startSession(Stocktaker &user, const ProgramCopy::HandOver &h,
                      const QStringList &otherMains = {})
    {
        QString why;
        ASSERT_TRUE(user.startSession(h, otherMains, &why)) << why.toStdString();
    }

    // The condition of an item's record of the demo month.
    static QString where(const QString &itemNo)
    {
        return QStringLiteral(" Where DeptNo = 'A01' And STKNo = '") + itemNo +
               QStringLiteral("' And StkDate = ") + kPeriodEnd;
    }

    QTemporaryDir m_work;
    std::unique_ptr<PgTestDatabase> m_pg;
    ProgramCopy::HandOver m_handOver;
    QString m_dbString;
    QString m_dir;
    Ado::ConnectionPtr m_db;
    std::unique_ptr<XSession> m_x;
};

} // namespace E2E
