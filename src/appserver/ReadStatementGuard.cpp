#include "ReadStatementGuard.h"

#include "SqlMask.h"

#include <QRegularExpression>
#include <QSet>

namespace appserver {

namespace {

// Words that make a statement write, change the schema or reach outside the database. They are
// refused anywhere in the code, since SELECT can hide them (WITH ... DELETE, SELECT ... INTO).
const QSet<QString> &forbiddenWords()
{
    static const QSet<QString> words{
        QStringLiteral("INSERT"),   QStringLiteral("UPDATE"),   QStringLiteral("DELETE"),
        QStringLiteral("MERGE"),    QStringLiteral("UPSERT"),   QStringLiteral("INTO"),
        QStringLiteral("CREATE"),   QStringLiteral("ALTER"),    QStringLiteral("DROP"),
        QStringLiteral("TRUNCATE"), QStringLiteral("GRANT"),    QStringLiteral("REVOKE"),
        QStringLiteral("ATTACH"),   QStringLiteral("DETACH"),   QStringLiteral("PRAGMA"),
        QStringLiteral("VACUUM"),   QStringLiteral("REINDEX"),  QStringLiteral("COPY"),
        QStringLiteral("LOCK"),     QStringLiteral("CALL"),     QStringLiteral("EXECUTE"),
        QStringLiteral("COMMIT"),   QStringLiteral("ROLLBACK"), QStringLiteral("BEGIN"),
        QStringLiteral("SAVEPOINT"), QStringLiteral("RELEASE"), QStringLiteral("PREPARE"),
        QStringLiteral("SET"),      QStringLiteral("RESET"),    QStringLiteral("DO"),
        QStringLiteral("NOTIFY"),   QStringLiteral("LISTEN"),   QStringLiteral("DISCARD"),
    };
    return words;
}

QString withoutTrailingSemicolons(QString code)
{
    code = code.trimmed();
    while (code.endsWith(QLatin1Char(';')))
        code = code.left(code.size() - 1).trimmed();
    return code;
}

} // namespace

QString ReadStatementGuard::check(const QString &statement, SqlSyntax syntax)
{
    const QString code = withoutTrailingSemicolons(SqlMask::codeOnly(statement, syntax));
    if (code.isEmpty())
        return QStringLiteral("La sentencia de consulta está vacía.");
    if (code.contains(QLatin1Char(';')))
        return QStringLiteral("Solo se permite una sentencia por consulta; "
                              "se encontró más de una separada por \";\".");

    static const QRegularExpression wordPattern(QStringLiteral("[A-Za-z_][A-Za-z0-9_$]*"));
    auto words = wordPattern.globalMatch(code);
    bool first = true;
    while (words.hasNext()) {
        const QString word = words.next().captured().toUpper();
        if (first && word != QLatin1String("SELECT") && word != QLatin1String("WITH"))
            return QStringLiteral("Solo se permiten consultas (SELECT); la sentencia comienza con %1.")
                .arg(word);
        if (forbiddenWords().contains(word))
            return QStringLiteral("Solo se permiten consultas; la sentencia contiene %1.").arg(word);
        first = false;
    }
    return {};
}

} // namespace appserver
