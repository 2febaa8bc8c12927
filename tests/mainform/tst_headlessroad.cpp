// The command line's road through the real main form: generate --plan/--node prints what the
// direct generation prints for the positions the tree derives, screenshot saves the pages, and
// a node that does not exist is refused with its message. Every command gives through
// qacsemaf-server what it gives on the file.

#include "DataTable.h"
#include "DemoDatabase.h"
#include "ServerProcess.h"

#include <QImage>
#include <QProcess>
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

    void sameRowsAsTheDirectRoad_data()
    {
        addColumns<QString, QString, QString, QString, QString>({"company", "plan", "node", "target", "candidates"});
        QTest::newRow("positions of another company") << "1" << "1" << "11" << "SUP003@2" << "AUX001@2,OPE003@2";
        QTest::newRow("education without points") << "2" << "3" << "2" << "JPR001@2" << "SUP001@2,ING001@2";
    }

    void sameRowsAsTheDirectRoad()
    {
        QFETCH(QString, company);
        QFETCH(QString, plan);
        QFETCH(QString, node);
        QFETCH(QString, target);
        QFETCH(QString, candidates);
        const QStringList common{QStringLiteral("generate"), QStringLiteral("--db"), m_db.path(), QStringLiteral("--company"),
                                 company, QStringLiteral("--categories"), QStringLiteral("EF,EN,EP,CO"),
                                 QStringLiteral("--format"), QStringLiteral("csv")};
        const Run window = tool(common + QStringList{QStringLiteral("--plan"), plan, QStringLiteral("--node"), node});
        const Run direct = tool(common + QStringList{QStringLiteral("--target"), target, QStringLiteral("--candidates"), candidates});
        QVERIFY2(window.exitCode == 0, qPrintable(window.err));
        QVERIFY2(direct.exitCode == 0, qPrintable(direct.err));
        QVERIFY(window.out.count(QLatin1Char('\n')) > 1);
        QCOMPARE(window.out, direct.out);
    }

    void pages()
    {
        QTemporaryDir dir;
        for (const QString &page : {QStringLiteral("ruta"), QStringLiteral("plan"), QStringLiteral("cargos")}) {
            const QString file = dir.filePath(page + QStringLiteral(".png"));
            const Run run = tool({QStringLiteral("screenshot"), QStringLiteral("--db"), m_db.path(), QStringLiteral("--company"),
                                  QStringLiteral("1"), QStringLiteral("--plan"), QStringLiteral("1"), QStringLiteral("--node"),
                                  QStringLiteral("11"), QStringLiteral("--categories"), QStringLiteral("EF,EN,EP,CO"),
                                  QStringLiteral("--page"), page, QStringLiteral("--out"), file});
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            const QImage image(file);
            QVERIFY2(image.width() >= 800 && image.height() >= 480, qPrintable(page));
        }
    }

    void missingNode()
    {
        const Run run = tool({QStringLiteral("generate"), QStringLiteral("--db"), m_db.path(), QStringLiteral("--company"),
                              QStringLiteral("1"), QStringLiteral("--plan"), QStringLiteral("1"), QStringLiteral("--node"),
                              QStringLiteral("99"), QStringLiteral("--categories"), QStringLiteral("EF")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("La empresa 1 no tiene el nodo 99 en el plan 1.")), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }

    void sameOutputOverTheServer_data()
    {
        // kind: stdout, png or pdf: where the output is compared
        addColumns<QStringList, QString>({"arguments", "kind"});
        const QStringList direct{"--company", "2", "--target", "SUP001@2", "--candidates", "OPE001@2,OPE002@2",
                                 "--categories", "EF,EN,EP,CO"};
        const QStringList node{"--company", "1", "--plan", "1", "--node", "11", "--categories", "EF,EN,EP,CO"};
        QTest::newRow("generate") << QStringList{"generate", "--format", "csv"} + direct << "stdout";
        QTest::newRow("generate through the window") << QStringList{"generate", "--format", "csv"} + node << "stdout";
        QTest::newRow("screenshot") << QStringList{"screenshot", "--page", "plan", "--out", "OUT"} + node << "png";
        QTest::newRow("list report") << QStringList{"report", "list", "--pdf", "OUT"} + direct << "pdf";
        QTest::newRow("competence report") << QStringList{"report", "competence", "--pdf", "OUT"} + direct << "pdf";
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
            const Run run = tool(QStringList(arguments).replaceInStrings(QStringLiteral("OUT"), file) + places.at(i) + user);
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            outputs[i] = product(kind, run, file);
            QVERIFY2(outputs[i].count('\n') > 10, outputs[i].constData());
        }
        QCOMPARE(outputs[1], outputs[0]);
    }

private:
    struct Run {
        int exitCode = -1;
        QString out, err;
    };

    Run tool(const QStringList &arguments) const
    {
        QProcess process;
        process.start(QStringLiteral(QACSEMAF_TOOL), arguments);
        Run run;
        if (!process.waitForFinished(120000))
            return run;
        run.exitCode = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    // What a command produced: its standard output, the picture it saved or its PDF's text.
    QByteArray product(const QString &kind, const Run &run, const QString &file) const
    {
        if (kind == QLatin1String("stdout"))
            return run.out.toUtf8();
        if (kind == QLatin1String("png")) {
            // Every pixel, one row of hexadecimal values per line.
            const QImage image = QImage(file).convertToFormat(QImage::Format_RGB32);
            QByteArray pixels = QStringLiteral("%1x%2\n").arg(image.width()).arg(image.height()).toLatin1();
            for (int y = 0; y < image.height(); ++y)
                pixels += QByteArray(reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4).toHex() + '\n';
            return pixels;
        }
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        text.waitForFinished(30000);
        // The time of printing is the only thing that may differ between two runs.
        static const QRegularExpression time(QStringLiteral("Hora: \\d\\d:\\d\\d:\\d\\d"));
        return QString::fromUtf8(text.readAllStandardOutput()).replace(time, QStringLiteral("Hora: --")).toUtf8();
    }

    DemoDatabase m_db;
    ServerProcess m_server;
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestHeadlessRoad)
#include "tst_headlessroad.moc"
