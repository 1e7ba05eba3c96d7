#include "platform/db/transaction.h"

namespace Ado {

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    m_connection.beginTrans();
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    try {
        m_connection.rollbackTrans();
    } catch (...) {
        // the connection failed; nothing of the transaction was kept
    }
}

void Transaction::commit()
{
    m_connection.commitTrans();
    m_open = false;
}

} // namespace Ado
