#pragma once

#include "platform/db/connection.h"

namespace Ado {

// One transaction for the life of a scope: begun by the constructor, kept by commit(),
// rolled back by the destructor when the scope ends without commit() (a statement threw).
// A rollback that fails because the connection itself is gone is not reported: the
// database discards the open transaction.
class Transaction
{
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    Connection &m_connection;
    bool m_open = true;
};

} // namespace Ado
