// The statement registry's reading of a workstation's text, for every provider: no text crashes
// it, and a text it accepts runs as the registry's own text, where no value the workstation
// wrote appears: every quoted text in what runs is one the registered statement wrote itself,
// and every value the workstation gave has its bound marker.

#include "fuzz/FuzzInput.h"
#include "appserver/StatementRegistry.h"

#include <cstdlib>

using namespace appserver;

namespace {

QStringList quotedTexts(const QString &sql)
{
    QList<SqlToken> tokens;
    if (!SqlTokenizer::tokenize(sql, SqlSyntax::Postgres, &tokens).isEmpty())
        std::abort();   // what runs must always read cleanly
    QStringList texts;
    for (const SqlToken &token : tokens)
        if (token.kind == SqlToken::Kind::String)
            texts << token.text;
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzText(data, size);
    const StatementRegistry &registry = StatementRegistry::module();
    for (const QString &name : registry.providerNames()) {
        for (SqlSyntax syntax : {SqlSyntax::Sqlite, SqlSyntax::Postgres}) {
            StatementValues values;
            QString error;
            const RegisteredStatement *found = registry.match(*registry.provider(name), text, syntax, &values, &error);
            if (!found)
                continue;
            const QString sql = found->render(values, 3);
            const QStringList own = quotedTexts(found->render({}, -1));
            for (const QString &quoted : quotedTexts(sql))
                if (!own.contains(quoted))
                    std::abort();
            if (!values.conditionValues.isEmpty()
                && !sql.contains(QStringLiteral(":__C%1").arg(values.conditionValues.size())))
                std::abort();
        }
    }
    return 0;
}
