// The command line's road through the real main form: generate --plan/--node prints what the
// direct generation prints for the positions the tree derives, screenshot saves the pages, and
// a node that does not exist is refused with its message.

#include "DemoDatabase.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestHeadlessRoad : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sameRowsAsTheDirectRoad_data();
    void sameRowsAsTheDirectRoad();
    void pages();
    void missingNode();

private:
    struct Run {
        int exitCode = -1;
        QString out, err;
    };
    Run tool(const QStringList &arguments) const;
    DemoDatabase m_db;
};

void TestHeadlessRoad::initTestCase()
{
    QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
}

TestHeadlessRoad::Run TestHeadlessRoad::tool(const QStringList &arguments) const
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

void TestHeadlessRoad::sameRowsAsTheDirectRoad_data()
{
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("candidates");
    QTest::newRow("positions of another company") << "1" << "1" << "11" << "SUP003@2" << "AUX001@2,OPE003@2";
    QTest::newRow("education without points") << "2" << "3" << "2" << "JPR001@2" << "SUP001@2,ING001@2";
}

void TestHeadlessRoad::sameRowsAsTheDirectRoad()
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

void TestHeadlessRoad::pages()
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

void TestHeadlessRoad::missingNode()
{
    const Run run = tool({QStringLiteral("generate"), QStringLiteral("--db"), m_db.path(), QStringLiteral("--company"),
                          QStringLiteral("1"), QStringLiteral("--plan"), QStringLiteral("1"), QStringLiteral("--node"),
                          QStringLiteral("99"), QStringLiteral("--categories"), QStringLiteral("EF")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("La empresa 1 no tiene el nodo 99 en el plan 1.")), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

QTEST_GUILESS_MAIN(TestHeadlessRoad)
#include "tst_headlessroad.moc"
