#include "tools/viewer/ViewerOptions.h"

#include <QFileInfo>
#include <QHash>

namespace {

QString knownCodes()
{
    QStringList codes;
    for (const RecordKind &kind : RecordKind::all())
        codes << kind.code;
    return codes.join(QStringLiteral(", "));
}

} // namespace

QString ViewerOptions::usage()
{
    return QStringLiteral(
               "Uso: qacsemaf-viewer [--program CÓDIGO] --protocol local|pgsql|http --alias BASE [--server SERVIDOR]\n"
               "                     --user USUARIO --company N --key cod_empl --field COD_EMPL --value EMPLEADO\n"
               "                     [--dump | --screenshot ARCHIVO.png]\n"
               "Muestra, de solo lectura, los registros de un empleado: el tipo de registros lo da --program o\n"
               "el nombre con que se inicia (%1). La contraseña llega en la variable de entorno\n"
               "QACSEMAF_PASSWORD. --dump escribe las filas en la salida; --screenshot guarda una imagen.\n"
               "  --version  la versión\n  --help     esta ayuda\n")
        .arg(knownCodes());
}

QString ViewerOptions::parse(const QStringList &arguments, const QString &startName, const QString &secret)
{
    QHash<QString, QString> values;
    QString keyName;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString option = arguments.at(i);
        if (option == QLatin1String("--dump")) {
            dump = true;
            continue;
        }
        if (!option.startsWith(QLatin1String("--")))
            return QStringLiteral("Argumento no reconocido: \"%1\".").arg(option);
        if (i + 1 >= arguments.size())
            return QStringLiteral("Falta el valor de %1.").arg(option);
        const QString value = arguments.at(++i);
        // Several --key/--value pairs may come; the employee's is the one that counts.
        if (option == QLatin1String("--key"))
            keyName = value.trimmed().toLower();
        else if (option == QLatin1String("--value")) {
            if (keyName == QLatin1String("cod_empl"))
                values.insert(QStringLiteral("--value"), value);
        } else if (option != QLatin1String("--field"))
            values.insert(option, value);
    }
    const QStringList known{QStringLiteral("--protocol"), QStringLiteral("--alias"), QStringLiteral("--server"),
                            QStringLiteral("--user"), QStringLiteral("--company"), QStringLiteral("--value"),
                            QStringLiteral("--program"), QStringLiteral("--screenshot")};
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        if (!known.contains(it.key()))
            return QStringLiteral("Opción no reconocida: %1.").arg(it.key());

    protocol = values.value(QStringLiteral("--protocol"));
    alias = values.value(QStringLiteral("--alias"));
    server = values.value(QStringLiteral("--server"));
    user = values.value(QStringLiteral("--user")).trimmed();
    password = secret;
    screenshot = values.value(QStringLiteral("--screenshot"));

    const QString program = values.value(QStringLiteral("--program"), QFileInfo(startName).completeBaseName());
    kind = RecordKind::find(program);
    if (!kind)
        return QStringLiteral("No se sabe qué registros mostrar para el programa \"%1\"; se espera uno de: %2 "
                              "(opción --program o nombre del programa).").arg(program, knownCodes());
    if (user.isEmpty())
        return QStringLiteral("Falta el usuario (--user).");
    bool ok = false;
    company = values.value(QStringLiteral("--company")).trimmed().toInt(&ok);
    if (!ok || company <= 0)
        return QStringLiteral("La empresa debe ser un número positivo (--company); se recibió \"%1\".")
            .arg(values.value(QStringLiteral("--company")));
    const QString value = values.value(QStringLiteral("--value")).trimmed();
    hasEmployee = !value.isEmpty();
    if (hasEmployee) {
        employee = value.toDouble(&ok);
        if (!ok || employee <= 0 || employee != qint64(employee))
            return QStringLiteral("La identificación del empleado debe ser un número entero; se recibió \"%1\".")
                .arg(value);
    } else if (kind->perEmployee) {
        return QStringLiteral("Falta el empleado: --key cod_empl --value N.");
    }
    return {};
}
