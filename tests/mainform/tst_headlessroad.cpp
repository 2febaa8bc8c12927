// The command line's road through the real main form: a node that does not exist is refused with
// its message, and every command gives through qacsemaf-server what it gives on the file.

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/server/ServerProcess.h"
#include "tests/support/TestTools.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestHeadlessRoad : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        QCOMPARE(m_server.start({QStringLiteral("--db"), m_db.path()}), QString());
    }

    void missingNode()
    {
        const ProgramRun run = tool({QStringLiteral("generate"), QStringLiteral("--db"), m_db.path(), QStringLiteral("--company"),
                              QStringLiteral("1"), QStringLiteral("--plan"), QStringLiteral("1"), QStringLiteral("--node"),
                              QStringLiteral("99"), QStringLiteral("--categories"), QStringLiteral("EF")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(QStringLiteral("La empresa 1 no tiene el nodo 99 en el plan 1.")), qPrintable(run.errors));
        QVERIFY(run.output.isEmpty());
    }

    // The succession map's and the what-if's refusals: the message, and nothing printed.
    void successionRefusals_data()
    {
        addColumns<QStringList, int, QString>({"arguments", "exitCode", "message"});
        const QStringList categories{"--categories", "EF,CO"};
        const QStringList candidate = QStringList{"whatif", "--plan", "1", "--node", "3", "--employee", "56740481"} + categories;
        QTest::newRow("no such plan") << QStringList{"succession", "--plan", "9"} + categories << 1
                                      << "qacsemaf: La empresa 1 no tiene el plan 9.";
        QTest::newRow("no such node") << QStringList{"succession", "--plan", "1", "--node", "99"} + categories << 1
                                      << "qacsemaf: El plan 1 no tiene el nodo 99.";
        QTest::newRow("a node without candidates")
            << QStringList{"succession", "--plan", "1", "--node", "13"} + categories << 1
            << "qacsemaf: No se seleccionó cargo en el árbol o no existen cargos debajo del mismo...";
        QTest::newRow("what-if: no such plan") << QStringList{"whatif", "--plan", "9", "--node", "3", "--employee", "1"} + categories
                                               << 1 << "qacsemaf: La empresa 1 no tiene el plan 9.";
        QTest::newRow("what-if: no such node") << QStringList{"whatif", "--plan", "1", "--node", "99", "--employee", "1"} + categories
                                               << 1 << "qacsemaf: El plan 1 no tiene el nodo 99.";
        QTest::newRow("what-if: no such employee")
            << QStringList{"whatif", "--plan", "1", "--node", "3", "--employee", "123"} + categories << 1
            << "qacsemaf: El empleado 123 no existe en la empresa 1.";
        QTest::newRow("what-if: not a candidate of the node")
            << QStringList{"whatif", "--plan", "1", "--node", "2", "--employee", "56740481"} + categories << 1
            << "qacsemaf: El empleado 56740481 no es candidato en el nodo 2: no tiene contrato activo en sus cargos candidatos.";
        QTest::newRow("what-if: not a candidate in that company") << candidate + QStringList{"--contract", "2"} << 1
            << "qacsemaf: El empleado 56740481 no existe en la empresa 2.";
        QTest::newRow("what-if: a gap without its requirement") << candidate + QStringList{"--close", "CO:601:2,CO"} << 2
            << "qacsemaf: La brecha \"CO\" no tiene la forma TIPO:REQU:ESPE (por ejemplo CO:601:2, o CO:601 sin "
               "especificación).\nqacsemaf: vea \"qacsemaf whatif --help\"";
        QTest::newRow("what-if: a requirement the profile lacks") << candidate + QStringList{"--close", "CO:999"} << 1
            << "qacsemaf: El perfil del cargo no tiene el requisito CO:999 con puntos requeridos en las categorías marcadas.";
        QTest::newRow("what-if: a gap of a category not ticked") << candidate + QStringList{"--close", "EX:501:3"} << 1
            << "qacsemaf: El perfil del cargo no tiene el requisito EX:501:3 con puntos requeridos en las categorías marcadas.";
        QTest::newRow("what-if: a requirement he meets")
            << QStringList{"whatif", "--plan", "1", "--node", "3", "--employee", "52345678", "--close", "CO:601"} + categories
            << 1 << "qacsemaf: El candidato ya cumple el requisito CO:601: no es una de sus brechas.";
        QTest::newRow("what-if: an employee that is no number")
            << QStringList{"whatif", "--plan", "1", "--node", "3", "--employee", "Ana"} + categories << 2
            << "qacsemaf: --employee necesita un código de empleado (un número), no \"Ana\".\n"
               "qacsemaf: vea \"qacsemaf whatif --help\"";
    }

    void successionRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        arguments.insert(1, QStringLiteral("1"));
        arguments.insert(1, QStringLiteral("--company"));
        arguments.insert(1, m_db.path());
        arguments.insert(1, QStringLiteral("--db"));
        const ProgramRun run = tool(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.errors.trimmed(), message);
        QVERIFY(run.output.isEmpty());
    }

    void sameOutputOverTheServer_data()
    {
        // kind: stdout, png or pdf: where the output is compared
        addColumns<QStringList, QString>({"arguments", "kind"});
        const QStringList direct{"--company", "2", "--target", "SUP001@2", "--candidates", "OPE001@2,OPE002@2",
                                 "--categories", "EF,EN,EP,CO"};
        const QStringList node{"--company", "1", "--plan", "1", "--node", "11", "--categories", "EF,EN,EP,CO"};
        QTest::newRow("generate through the window") << QStringList{"generate", "--format", "csv"} + node << "stdout";
        QTest::newRow("screenshot") << QStringList{"screenshot", "--page", "plan", "--out", "OUT"} + node << "png";
        QTest::newRow("map page") << QStringList{"screenshot", "--page", "mapa", "--out", "OUT"} + node << "png";
        QTest::newRow("list report") << QStringList{"report", "list", "--pdf", "OUT"} + direct << "pdf";
        QTest::newRow("list report on a plan node") << QStringList{"report", "list", "--pdf", "OUT"} + node << "pdf";
        const QStringList plan{"--company", "2", "--plan", "3", "--categories", "EF,EN,EP,CO"};
        QTest::newRow("succession map") << QStringList{"succession", "--format", "json"} + plan << "stdout";
        QTest::newRow("succession gaps") << QStringList{"succession", "--gaps", "--format", "csv"} + plan << "stdout";
        QTest::newRow("succession node") << QStringList{"succession", "--node", "2", "--format", "csv"} + plan << "stdout";
        QTest::newRow("what-if") << QStringList{"whatif", "--node", "3", "--employee", "56740481", "--close",
                                                "CO:601,FO:102:1", "--format", "json", "--company", "1", "--plan", "1",
                                                "--categories", "EF,EN,EP,CO"}
                                 << "stdout";
    }

    void sameOutputOverTheServer()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, kind);
        const QStringList user{"--user", "ANALISTA", "--password", "ANALISTA"};
        const QList<QStringList> places{{"--db", m_db.path()}, {"--server", "http://" + m_server.address()}};
        QByteArray outputs[2];
        for (int i = 0; i < 2; ++i) {
            const QString file = m_dir.filePath(QStringLiteral("out%1.%2").arg(i).arg(kind));
            const ProgramRun run = tool(QStringList(arguments).replaceInStrings(QStringLiteral("OUT"), file) + places.at(i) + user);
            QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
            // Standard error holds the program's own lines, not the platform layer's notices.
            for (const char *notice : {"XDG_RUNTIME_DIR", "This plugin does not support"})
                QVERIFY2(!run.errors.contains(QLatin1String(notice)), qPrintable(run.errors));
            outputs[i] = product(kind, run, file);
            QVERIFY2(outputs[i].count('\n') > 10, outputs[i].constData());
        }
        QCOMPARE(outputs[1], outputs[0]);
    }

    // The list report of a plan node lists the employees the generation on that node gives, in its order.
    void listReportOnANodeIsThatGeneration()
    {
        const QStringList node{"--db", m_db.path(), "--company", "1", "--plan", "1", "--node", "11", "--categories", "EF,EN"};
        const ProgramRun generated = tool(QStringList{"generate", "--format", "csv"} + node);
        QVERIFY2(generated.exitCode == 0, qPrintable(generated.errors));
        QStringList employees;
        for (const QString &line : generated.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1))
            employees << line.section(QLatin1Char(','), 0, 0);
        QVERIFY(employees.size() > 5);

        const QString pdf = m_dir.filePath(QStringLiteral("node-list.pdf"));
        const ProgramRun reported = tool(QStringList{"report", "list", "--pdf", pdf} + node);
        QVERIFY2(reported.exitCode == 0, qPrintable(reported.errors));
        QVERIFY2(reported.output.startsWith(QStringLiteral("qacsemaf: PDF, ")), qPrintable(reported.output));
        static const QRegularExpression identification(QStringLiteral("^\\s*(\\d{6,})\\s"), QRegularExpression::MultilineOption);
        QStringList listed;
        for (auto match = identification.globalMatch(QString::fromUtf8(product(QStringLiteral("pdf"), reported, pdf)));
             match.hasNext();)
            listed << match.next().captured(1);
        QCOMPARE(listed, employees);
    }

private:
    static ProgramRun tool(const QStringList &arguments) { return runProgram(QStringLiteral(QACSEMAF_TOOL), arguments); }

    // What a command produced: its standard output, the picture it saved or its PDF's text.
    QByteArray product(const QString &kind, const ProgramRun &run, const QString &file) const
    {
        if (kind == QLatin1String("stdout"))
            return run.output.toUtf8();
        if (kind == QLatin1String("png")) {
            // Every pixel, one row of hexadecimal values per line.
            const QImage image = QImage(file).convertToFormat(QImage::Format_RGB32);
            QByteArray pixels = QStringLiteral("%1x%2\n").arg(image.width()).arg(image.height()).toLatin1();
            for (int y = 0; y < image.height(); ++y)
                pixels += QByteArray(reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4).toHex() + '\n';
            return pixels;
        }
        // The time of printing is the only thing that may differ between two runs.
        static const QRegularExpression time(QStringLiteral("Hora: \\d\\d:\\d\\d:\\d\\d"));
        return runProgram(QStringLiteral("pdftotext"), {"-layout", file, "-"}).output.replace(time, "Hora: --").toUtf8();
    }

    DemoDatabase m_db;
    ServerProcess m_server;
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestHeadlessRoad)
#include "tst_headlessroad.moc"
