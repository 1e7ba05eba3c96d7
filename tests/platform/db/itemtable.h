#pragma once

#include "platform/db/connection.h"
#include "support/testdatabase.h"

#include <gtest/gtest.h>
#include <memory>

// A fresh database of each backend with one table of the kinds of fields the program reads:
// texts, a NUMERIC figure, an INTEGER count and a date (text on SQLite, as the program keeps
// it there).
class ItemTableTest : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        db = std::make_unique<TestDatabase>(GetParam());
        if (!db->available())
            GTEST_SKIP() << db->skipReason().toStdString();
        conn = db->open();
        const QString dateType =
            GetParam() == Backend::SQLite ? QStringLiteral("TEXT") : QStringLiteral("timestamp");
        conn->executeNonQuery(QStringLiteral("CREATE TABLE Item (ItemNo VARCHAR(20) PRIMARY KEY, "
                                             "ItemName VARCHAR(1200), Qty NUMERIC, Cnt INTEGER, "
                                             "DocDate %1)")
                                  .arg(dateType));
    }

    std::unique_ptr<TestDatabase> db;
    Ado::ConnectionPtr conn;
};
