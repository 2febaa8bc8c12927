#pragma once
// A recording transport for the competence report: answers the statements the report names from
// a small picture of the tables it reads (profile, employee registrations, the three record
// tables, competence lines, names) and counts the round trips.

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
    int roundTrips = 0;

    static QVariant param(const protocol::FetchRequest &request, const QString &name)
    {
        for (const auto &param : request.params)
            if (param.name.compare(name, Qt::CaseInsensitive) == 0)
                return param.value;
        return QVariant();
    }

    protocol::FetchResult fetch(const protocol::FetchRequest &request) override
    {
        ++roundTrips;
        return answer(request);
    }

    QList<protocol::FetchResult> fetchMany(const QList<protocol::FetchRequest> &requests) override
    {
        ++roundTrips;
        QList<protocol::FetchResult> answers;
        for (const protocol::FetchRequest &request : requests)
            answers << answer(request);
        return answers;
    }

    protocol::FetchResult answer(const protocol::FetchRequest &request)
    {
        using protocol::FieldType;
        protocol::FetchResult result;
        if (request.provider == failProvider) {
            result.error = QStringLiteral("tabla bloqueada");
            return result;
        }
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
        } else if (request.statement == QLatin1String("EmpleadoRegistrado")) {
            result.fields = {{QStringLiteral("CONTADOR"), FieldType::Integer}};
            result.rows << QVariantList{registeredIn.contains(param(request, "empresa").toInt()) ? 1 : 0};
        } else if (request.statement.startsWith(QLatin1String("Nombres"))) {
            answerNames(request.statement, result);
        }
        return result;
    }

    // Every name of the kind the statement reads, with its codes.
    void answerNames(const QString &statement, protocol::FetchResult &result)
    {
        using protocol::FieldType;
        const QString field = statement == QLatin1String("NombresCategoriasEmpresa") ? QStringLiteral("NOM_REGI")
                              : statement == QLatin1String("NombresRequisitosEmpresa") ? QStringLiteral("NOM_REQU")
                                                                                        : QStringLiteral("NOM_ESPE");
        const int codes = field == QLatin1String("NOM_REGI") ? 1 : field == QLatin1String("NOM_REQU") ? 2 : 3;
        result.fields = {{codes == 1 ? QStringLiteral("COD_REGI") : QStringLiteral("TIP_REGI"), FieldType::String, 2},
                         {QStringLiteral("COD_REQU"), FieldType::Integer},
                         {QStringLiteral("COD_ESPE"), FieldType::Integer}};
        result.fields = result.fields.mid(0, codes);
        result.fields << protocol::FieldDesc{field, FieldType::String, 60};
        for (auto it = names.cbegin(); it != names.cend(); ++it) {
            const QStringList key = it.key().split(QLatin1Char(' '));
            if (key.first() != field)
                continue;
            QVariantList row{key.value(1)};
            for (int i = 2; i <= codes; ++i)
                row << key.value(i).toInt();
            row << it.value();
            result.rows << row;
        }
    }

    protocol::ApplyResult apply(const protocol::ApplyRequest &) override { return {QStringLiteral("read only"), 0}; }
    protocol::MethodResult call(const protocol::MethodCall &) override { return {}; }
};
