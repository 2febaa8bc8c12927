// The statement-parameter parser with what reads a statement beside it: every marker it makes
// has a name, on both engines; the ORDER BY reader never crashes on any text.

#include "fuzz/FuzzInput.h"
#include "protocol/NamedParams.h"
#include "appserver/OrderByClause.h"

#include <cstdlib>

using namespace appserver;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString statement = fuzzText(data, size);
    for (SqlSyntax syntax : {SqlSyntax::Sqlite, SqlSyntax::Postgres}) {
        const NamedParams named(statement, syntax);
        for (const QString &name : named.markers())
            if (name.isEmpty())
                std::abort();
        const OrderByClause order(named.positionalStatement());
        order.withNullsSmallest(named.positionalStatement());
    }
    return 0;
}
