// The record viewer as a real process on the demo database: each kind of record for one
// employee, the kind taken from the link name or from --program, the rows compared with the
// database, and its refusals.

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "framework/widgets/ProgramLauncher.h"
#include "tests/support/TestTools.h"

#include <QFileInfo>
#include <QTest>

namespace {

const QString kEmpleado = QStringLiteral("52345678");

QString carpetaHerramientas()
{
    return qEnvironmentVariable("QACSEMAF_BUILD_DIR") + QStringLiteral("/tools");
}

} // namespace

class TstRecordViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        QVERIFY2(QFileInfo(carpetaHerramientas() + QStringLiteral("/qacsemaf-viewer")).isExecutable(),
                 "qacsemaf-viewer is not built");
    }

    void registros_data()
    {
        addColumns<QString, QStringList, QString, QString>({"programa", "extra", "titulo", "sql"});
        const QString empleado = QStringLiteral(" from %1 where COD_EMPR = 1 and COD_EMPL = 52345678 order by NUM_REGI");
        const QString nombre = QStringLiteral(" - 52345678 Ángela María Peña Muñoz (");
        QTest::newRow("experiencia por el nombre del enlace")
            << QStringLiteral("QBiHvext") << QStringList() << QStringLiteral("Experiencia laboral") + nombre
            << QStringLiteral("select NUM_REGI, TIP_REGI") + empleado.arg(QStringLiteral("BI_DTPHV"));
        QTest::newRow("educación formal por --program")
            << QStringLiteral("qacsemaf-viewer") << QStringList{QStringLiteral("--program"), QStringLiteral("QBiEdfor")}
            << QStringLiteral("Educación formal") + nombre
            << QStringLiteral("select NUM_REGI, TIP_REGI") + empleado.arg(QStringLiteral("BI_DTPEF"));
        QTest::newRow("maestro de cargos de la empresa")
            << QStringLiteral("QBiCargo") << QStringList() << QStringLiteral("Maestro de cargos - ")
            << QStringLiteral("select COD_CARG, NOM_CARG from BI_CARGO where COD_EMPR = 1 order by COD_CARG");
    }

    void registros()
    {
        QFETCH(QString, programa);
        QFETCH(QStringList, extra);
        QFETCH(QString, titulo);
        QFETCH(QString, sql);
        const QString ruta = carpetaHerramientas() + QLatin1Char('/') + programa;
        const ProgramRun salida = ejecutar(ruta, sesion(kEmpleado) + extra + QStringList{QStringLiteral("--dump")},
                                           QStringLiteral("ADMIN"));
        QCOMPARE(salida.errors, QString());
        QCOMPARE(salida.exitCode, 0);
        QStringList lineas = salida.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lineas.size() >= 2);
        const QString primera = lineas.takeFirst();
        QVERIFY2(primera.startsWith(titulo), qPrintable(primera));
        lineas.removeFirst();  // column titles
        const QStringList esperadas = m_db.query(sql, QLatin1Char('\t'));  // the first two columns
        QVERIFY(!esperadas.isEmpty());
        QVERIFY2(primera.endsWith(QStringLiteral("(%1 registros)").arg(esperadas.size())), qPrintable(primera));
        QStringList vistas;
        for (const QString &linea : lineas)
            vistas << linea.section(QLatin1Char('\t'), 0, 1);
        QCOMPARE(vistas, esperadas);
    }

    void rechazos_data()
    {
        addColumns<QString, QString, QString, QString>({"programa", "empleado", "clave", "mensaje"});
        QTest::newRow("empleado inexistente") << QStringLiteral("QBiEdfor") << QStringLiteral("123") << QStringLiteral("ADMIN")
                                              << QStringLiteral("El empleado 123 no existe en la empresa 1.");
        QTest::newRow("programa desconocido")
            << QStringLiteral("qacsemaf-viewer") << kEmpleado << QStringLiteral("ADMIN")
            << QStringLiteral("No se sabe qué registros mostrar para el programa \"qacsemaf-viewer\"; se espera uno de: "
                              "QBiHvext, QBiEdfor, QBiEdnfo, QBiCargo (opción --program o nombre del programa).");
    }

    void rechazos()
    {
        QFETCH(QString, programa);
        QFETCH(QString, empleado);
        QFETCH(QString, clave);
        QFETCH(QString, mensaje);
        const ProgramRun salida = ejecutar(carpetaHerramientas() + QLatin1Char('/') + programa,
                                           sesion(empleado) + QStringList{QStringLiteral("--dump")}, clave);
        QCOMPARE(salida.exitCode, 1);
        QCOMPARE(salida.output, QString());
        QCOMPARE(salida.errors, QStringLiteral("qacsemaf-viewer: ") + mensaje);
    }

private:
    QStringList sesion(const QString &empleado) const
    {
        return {QStringLiteral("--protocol"), QStringLiteral("local"), QStringLiteral("--alias"), m_db.path(),
                QStringLiteral("--server"), QString(), QStringLiteral("--user"), QStringLiteral("ADMIN"),
                QStringLiteral("--company"), QStringLiteral("1"), QStringLiteral("--key"), QStringLiteral("cod_empl"),
                QStringLiteral("--field"), QStringLiteral("COD_EMPL"), QStringLiteral("--value"), empleado};
    }

    ProgramRun ejecutar(const QString &programa, const QStringList &argumentos, const QString &clave)
    {
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QString::fromLatin1(ProgramLauncher::kPasswordVariable), clave);
        ProgramRun salida = runProgram(programa, argumentos, entorno);
        // Only the viewer's own messages; Qt's notes about the environment are not its business.
        QStringList errores = salida.errors.split(QLatin1Char('\n'));
        errores.removeIf([](const QString &linea) { return linea.startsWith(QLatin1String("QStandardPaths:")); });
        salida.errors = errores.join(QLatin1Char('\n')).trimmed();
        return salida;
    }

    DemoDatabase m_db;
};

QTEST_MAIN(TstRecordViewer)
#include "tst_recordviewer.moc"
