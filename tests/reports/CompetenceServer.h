#pragma once
// A recording transport for the competence report: answers the statements the report sends from
// a small picture of the tables it reads (profile, employee registrations, the three record
// tables, competence lines, names) and keeps every request.

#include "framework/connection/ITransport.h"

#include <QHash>
#include <QSet>

struct CompetenceServer : ITransport {
    // One requirement: record type (COD_REGI for competence lines), requirement, detail, points.
    struct Row {
        QString tipo;
        int requisito;
        int especificacion;
        QVariant puntos;
    };

    QList<Row> profile;                              // BI_DTPCA of the target position
    QSet<int> registeredIn;                          // companies with the employee in BI_EMPLE
    QHash<QString, QHash<int, QList<Row>>> records;  // provider -> company -> rows
    QHash<QString, QString> names;                   // "NOM_REGI EF", "NOM_REQU EF 1", "NOM_ESPE EF 1 1"
    QString failProvider;                            // answered with an error
    QList<protocol::FetchRequest> fetches;

    QList<protocol::FetchRequest> sentTo(const QString &provider, const QString &containing = {}) const
    {
        QList<protocol::FetchRequest> found;
        for (const auto &request : fetches)
            if (request.provider == provider && request.commandText.contains(containing))
                found << request;
        return found;
    }

    static QVariant param(const protocol::FetchRequest &request, const QString &name)
    {
        for (const auto &param : request.params)
            if (param.name.compare(name, Qt::CaseInsensitive) == 0)
                return param.value;
        return QVariant();
    }

    protocol::FetchResult fetch(const protocol::FetchRequest &request) override
    {
        using protocol::FieldType;
        fetches << request;
        protocol::FetchResult result;
        if (request.provider == failProvider) {
            result.error = QStringLiteral("tabla bloqueada");
            return result;
        }
        const QString text = request.commandText;
        const auto rowsOf = [&](const QList<Row> &rows, const QString &typeField, const QString &pointsField) {
            result.fields = {{typeField, FieldType::String, 2}, {QStringLiteral("COD_REQU"), FieldType::Integer},
                             {QStringLiteral("COD_ESPE"), FieldType::Integer}, {pointsField, FieldType::Float}};
            for (const Row &row : rows)
                result.rows << QVariantList{row.tipo, row.requisito, row.especificacion, row.puntos};
        };
        if (request.provider == QLatin1String("DtsPBiDtpca")) {
            rowsOf(profile, QStringLiteral("TIP_REGI"), QStringLiteral("PUN_REQU"));
        } else if (records.contains(request.provider)) {
            const int company = param(request, request.provider == QLatin1String("DtsPEd3dlcc") ? "CODEMPR" : "COD_EMPR").toInt();
            rowsOf(records.value(request.provider).value(company),
                   request.provider == QLatin1String("DtsPEd3dlcc") ? QStringLiteral("COD_REGI") : QStringLiteral("TIP_REGI"),
                   QStringLiteral("PUN_OBTE"));
        } else if (text.contains(QLatin1String("COUNT(*) CONTADOR"))) {
            const int company = text.section(QStringLiteral("COD_EMPR = "), 1).section(QLatin1Char(' '), 0, 0).toInt();
            result.fields = {{QStringLiteral("CONTADOR"), FieldType::Integer}};
            result.rows << QVariantList{registeredIn.contains(company) ? 1 : 0};
        } else if (text.contains(QLatin1String(" AS NOM_"))) {
            answerName(request, result);
        }
        return result;
    }

    void answerName(const protocol::FetchRequest &request, protocol::FetchResult &result)
    {
        const QString field = request.commandText.section(QStringLiteral(" AS "), 1).section(QLatin1Char(' '), 0, 0);
        QString key = field + QLatin1Char(' ')
            + param(request, field == QLatin1String("NOM_REGI") ? "CODREGI" : "TIPREGI").toString();
        if (field != QLatin1String("NOM_REGI"))
            key += QLatin1Char(' ') + param(request, "CODREQU").toString();
        if (field == QLatin1String("NOM_ESPE"))
            key += QLatin1Char(' ') + param(request, "CODESPE").toString();
        result.fields = {{field, protocol::FieldType::String, 60}};
        if (names.contains(key))
            result.rows << QVariantList{names.value(key)};
    }

    protocol::ApplyResult apply(const protocol::ApplyRequest &) override { return {QStringLiteral("read only"), 0}; }
    protocol::MethodResult call(const protocol::MethodCall &) override { return {}; }
};
