#include "appserver/ServerMethods.h"

#include "protocol/CommaText.h"

#include <QHash>

namespace appserver {

namespace {

using Method = MethodResult (ServerMethods::*)(const QVariantList &);

struct MethodDef {
    const char *name;
    Method method;
};

const MethodDef kMethods[] = {
    {"BuscarPathProgramaArreglo", &ServerMethods::programPaths},
    {"VerificarSesion", &ServerMethods::verifySession},
};

QString codesText(const QVariantList &args)
{
    if (args.isEmpty())
        return {};
    const QVariant first = args.first();
    if (first.metaType().id() == QMetaType::QVariantList || first.metaType().id() == QMetaType::QStringList) {
        const QVariantList list = first.toList();
        return list.isEmpty() ? QString() : list.first().toString();
    }
    return first.toString();
}

} // namespace

MethodResult ServerMethods::call(const MethodCall &call)
{
    for (const MethodDef &def : kMethods) {
        if (call.method.compare(QLatin1String(def.name), Qt::CaseInsensitive) == 0)
            return (this->*def.method)(call.args);
    }
    MethodResult result;
    result.error = QStringLiteral("El servidor de aplicaciones no tiene el método %1.").arg(call.method);
    return result;
}

MethodResult ServerMethods::programPaths(const QVariantList &args)
{
    MethodResult result;
    QStringList codes = CommaText::split(codesText(args));
    for (QString &code : codes)
        code = code.trimmed();
    if (codes.isEmpty()) {
        result.error = QStringLiteral("BuscarPathProgramaArreglo: no se indicaron programas.");
        return result;
    }
    FetchRequest request;
    QStringList markers;
    for (int i = 0; i < codes.size(); ++i) {
        const QString name = QStringLiteral("P%1").arg(i);
        markers << QLatin1Char(':') + name;
        request.params << ParamValue{name, FieldType::String, codes.at(i)};
    }
    const FetchResult found = m_reader.runOwn(
        QStringLiteral("BuscarPathProgramaArreglo"),
        QStringLiteral("SELECT COD_PROG, PAT_PROG FROM GN_PROGR WHERE COD_PROG IN (%1)").arg(markers.join(QStringLiteral(", "))),
        request);
    if (!found.ok()) {
        result.error = found.error;
        return result;
    }
    QHash<QString, QString> pathByCode;
    for (const QVariantList &row : found.rows)
        pathByCode.insert(row.at(0).toString().trimmed(), row.at(1).toString().trimmed());
    QStringList paths;
    for (const QString &code : codes)
        paths << pathByCode.value(code);
    result.value = QVariantList{CommaText::join(paths)};
    return result;
}

FetchResult ServerMethods::readOne(const QString &name, const QString &statement, const QStringList &values)
{
    FetchRequest request;
    for (int i = 0; i < values.size(); ++i)
        request.params << ParamValue{QStringLiteral("P%1").arg(i), FieldType::String, values.at(i)};
    return m_reader.runOwn(name, statement, request);
}

MethodResult ServerMethods::verifySession(const QVariantList &args)
{
    MethodResult result;
    const QString user = args.value(0).toString().trimmed();
    const QString company = args.value(1).toString().trimmed();
    const FetchResult type = readOne(QStringLiteral("VerificarSesion"),
                                     QStringLiteral("SELECT TIP_USUA FROM GN_USUAR WHERE COD_USUA = :P0"), {user});
    if (!type.ok()) {
        result.error = type.error;
        return result;
    }
    if (!company.isEmpty()) {
        bool number = false;
        company.toInt(&number);
        const FetchResult found = number ? readOne(QStringLiteral("VerificarSesion"),
                                                   QStringLiteral("SELECT COD_EMPR FROM GN_EMPRE WHERE COD_EMPR = :P0"),
                                                   {company})
                                         : FetchResult{};
        if (!found.ok()) {
            result.error = found.error;
            return result;
        }
        if (found.rows.isEmpty()) {
            result.error = QStringLiteral("La empresa %1 no existe.").arg(company);
            return result;
        }
    }
    result.value = QVariantList{type.rows.value(0).value(0).toString().trimmed(), m_driverName};
    return result;
}

} // namespace appserver
