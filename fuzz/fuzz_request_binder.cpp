// The statement registry's reading of a request, whatever a client sends: no request crashes it,
// and one it accepts runs as the registry's own text, where no value the client gave appears:
// every quoted text in what runs is one the registered statement wrote itself, every condition
// value has its bound marker, and every company it read is a small whole number.

#include "fuzz/FuzzInput.h"
#include "appserver/SqlDialect.h"
#include "appserver/StatementRegistry.h"
#include "protocol/JsonCodec.h"

#include <QJsonDocument>
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
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    FetchRequest request;
    QString error;
    if (!document.isObject() || !JsonCodec::decode(document.object(), &request, &error))
        return 0;
    const StatementRegistry &registry = StatementRegistry::module();
    const ProviderDef *provider = registry.provider(request.provider);
    if (!provider)
        return 0;
    const RegisteredStatement *found = registry.find(*provider, request.statement, &error);
    if (!found)
        return 0;
    for (const auto engine : {DatabaseDescription::Engine::Sqlite, DatabaseDescription::Engine::Postgres}) {
        StatementValues values;
        if (!found->bind(request, SqlDialect(engine), &values).isEmpty())
            continue;
        const QString sql = found->render(values, 3);
        const QStringList own = quotedTexts(found->render({}, -1));
        for (const QString &quoted : quotedTexts(sql))
            if (!own.contains(quoted) && quoted != QLatin1String("\\"))
                std::abort();
        if (!values.conditionValues.isEmpty()
            && !sql.contains(QStringLiteral(":__C%1").arg(values.conditionValues.size())))
            std::abort();
        for (const int company : values.companies)
            if (company < -32768 || company > 32767)
                std::abort();
    }
    return 0;
}
