#include "framework/StatementCondition.h"

#include "framework/Exceptions.h"
#include "protocol/SqlTokenizer.h"
#include "protocol/WhereClause.h"

using protocol::SqlToken;
using protocol::SqlTokenizer;
using protocol::WhereClause;

namespace {

// The workstation does not know the server's engine: the statements it sends read alike on both.
QList<SqlToken> readSql(const QString &text, const QString &refusal)
{
    QList<SqlToken> tokens;
    const QString error = SqlTokenizer::tokenize(text, protocol::SqlSyntax::Sqlite, &tokens,
                                                 SqlTokenizer::ReadQuotedNames);
    if (!error.isEmpty())
        throw Exception(refusal + error);
    return tokens;
}

// The text from token `from` to the end of token `to - 1`, comments between them included.
QString textOf(const QString &text, const QList<SqlToken> &tokens, int from, int to)
{
    return text.mid(tokens.at(from).start, tokens.at(to - 1).end - tokens.at(from).start);
}

// "ORDER BY", "LIMIT", ";": the clause that token i begins, as a user reads it.
QString clauseName(const QList<SqlToken> &tokens, int i)
{
    const SqlToken &token = tokens.at(i);
    if (token.kind != SqlToken::Kind::Word)
        return token.text;
    return i + 1 < tokens.size() && tokens.at(i + 1).isWord(QLatin1String("BY"))
               ? token.text + QStringLiteral(" BY")
               : token.text;
}

} // namespace

QString StatementCondition::place(const QString &statement, const QString &condition)
{
    const QString shown = condition.trimmed();
    if (shown.isEmpty())
        return statement;
    const QString refusal = QStringLiteral("No se puede añadir la condición \"%1\"").arg(shown);
    const QList<SqlToken> own = readSql(condition, refusal + QStringLiteral(": "));
    const bool joint = !own.isEmpty() && (own.first().isWord(QLatin1String("WHERE")) || own.first().isWord(QLatin1String("AND")));
    const int from = joint ? 1 : 0;
    const int ownEnd = WhereClause::endFrom(own, from);
    if (ownEnd == from && ownEnd == own.size())
        throw Exception(refusal + QStringLiteral(": no tiene nada que comparar."));
    const QList<SqlToken> tokens = readSql(statement, refusal + QStringLiteral(" a la consulta: "));
    if (tokens.isEmpty())
        throw Exception(refusal + QStringLiteral(": no hay consulta a la que añadirla."));

    const WhereClause clause = WhereClause::of(tokens);
    const bool statementGoesOn = clause.end < tokens.size() && !tokens.at(clause.end).isSymbol(QLatin1String(";"));
    if (ownEnd < own.size() && statementGoesOn)
        throw Exception(refusal + QStringLiteral(": trae su propio %1 y la consulta ya tiene %2.")
                                      .arg(clauseName(own, ownEnd), clauseName(tokens, clause.end)));

    const int at = clause.end > 0 ? tokens.at(clause.end - 1).end : 0;
    QString head = statement.left(at);
    QString added;
    if (ownEnd > from) {
        QString body = textOf(condition, own, from, ownEnd);
        if (WhereClause::hasOuterOr(own, from, ownEnd))
            body = QLatin1Char('(') + body + QLatin1Char(')');
        added = (clause.keyword >= 0 ? QStringLiteral(" AND ") : QStringLiteral(" WHERE ")) + body;
        if (clause.joinedByOr) {
            const int open = tokens.at(clause.keyword + 1).start;
            head = statement.left(open) + QLatin1Char('(') + statement.mid(open, at - open) + QLatin1Char(')');
        }
    }
    if (ownEnd < own.size())
        added += QLatin1Char(' ') + textOf(condition, own, ownEnd, int(own.size()));
    const QString rest = statement.mid(at);
    if (!rest.isEmpty() && !rest.at(0).isSpace() && rest.at(0) != QLatin1Char(';'))
        added += QLatin1Char(' ');
    return head + added + rest;
}
