// Row deltas and blocks of new rows through the server core: all or nothing per batch, refusing
// stale rows, duplicate keys and unknown columns. On SQLite, and PostgreSQL with QACSEMAF_PG.

#include "tests/support/DataTable.h"
#include "appserver/ServerCore.h"
#include "tests/appserver/ServerTestDb.h"

#include <QDateTime>
#include <QtTest>

using namespace appserver;

Q_DECLARE_METATYPE(QList<protocol::RowDelta>)
Q_DECLARE_METATYPE(protocol::InsertRows)

namespace {

const QDateTime kNodeTime(QDate(2024, 2, 1), QTime(9, 0, 0, 250));

// Node 1 of plan 1 as a client reads it: every column, nulls included.
QVariantMap nodeRow()
{
    return {{"COD_EMPR", 1}, {"COD_MENU", 1}, {"COD_NODO", 1}, {"COD_NODP", 0},
            {"TIP_MENU", QVariant()}, {"NOM_MENU", "Gerente"}, {"NUM_ANOS", "02"},
            {"NUM_DIAS", QVariant()}, {"ACT_USUA", "ANA"}, {"ACT_HORA", kNodeTime},
            {"COD_CARG", "GER01"}, {"ACT_ESTA", "A"}, {"COD_EMCA", 1}};
}

QVariantMap newNode(int node)
{
    return {{"COD_EMPR", 1}, {"COD_MENU", 1}, {"COD_NODO", node}, {"COD_NODP", 1},
            {"NOM_MENU", "Analista"}, {"ACT_HORA", QDateTime(QDate(2024, 4, 1), QTime(8, 30))},
            {"COD_CARG", "ANA01"}, {"ACT_ESTA", "A"}, {"COD_EMCA", 1}};
}

// Nodes `from`, `from` + 1, ... of plan 1 under node 1, as a block of new rows.
InsertRows newNodes(int from, int count)
{
    InsertRows block{{"COD_EMPR", "cod_menu", "COD_NODO", "COD_NODP", "NOM_MENU", "ACT_HORA", "COD_CARG"}, {}};
    for (int node = from; node < from + count; ++node)
        block.rows.append({1, 1.0, node, "1", QStringLiteral("Analista %1").arg(node),
                           QDateTime(QDate(2024, 4, 1), QTime(8, 30)), "ANA01"});
    return block;
}

QStringList newNodeLines(int from, int count)
{
    QStringList lines;
    for (int node = from; node < from + count; ++node)
        lines << QStringLiteral("1|1|%1|1|Analista %1|2024-04-01T08:30:00.000|ANA01").arg(node);
    return lines;
}

RowDelta insertOf(const QVariantMap &row)
{
    return {RowDelta::Kind::Insert, {}, row};
}

RowDelta updateOf(const QVariantMap &old, const QVariantMap &changes)
{
    return {RowDelta::Kind::Update, old, changes};
}

RowDelta deleteOf(const QVariantMap &old)
{
    return {RowDelta::Kind::Delete, old, {}};
}

} // namespace

class TstServerApply : public QObject {
    Q_OBJECT
public:
    explicit TstServerApply(ServerTestDb::Backend backend) : m_db(backend) {}

private slots:
    void initTestCase()
    {
        CREATE_SERVER_TEST_DB(m_db);
        // A short wait for locks keeps the locked-row case quick.
        DatabaseDescription description = m_db.description();
        description.lockTimeoutMs = 300;
        QCOMPARE(m_core.open(description), QString());
    }

    void init()
    {
        const QString insert = QStringLiteral(
            "INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, COD_NODP, TIP_MENU, NOM_MENU, NUM_ANOS, "
            "NUM_DIAS, ACT_USUA, ACT_HORA, COD_CARG, ACT_ESTA, COD_EMCA) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        m_db.exec(QStringLiteral("ALTER TABLE GN_AUDIX RENAME TO GN_AUDIT"));   // after the case that hid it
        QString error = m_db.exec(QStringLiteral("DELETE FROM AC_PPROM"));
        if (error.isEmpty())
            error = m_db.exec(insert, {1, 1, 0, QVariant(), "P", "Plan uno", QVariant(), QVariant(), "ANA",
                                       "2024-03-01 10:00:00", QVariant(), "A", QVariant()});
        if (error.isEmpty())
            error = m_db.exec(insert, {1, 1, 1, 0, QVariant(), "Gerente", "02", QVariant(), "ANA",
                                       "2024-02-01T09:00:00.250", "GER01", "A", 1});
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void applied_data()
    {
        addColumns<QList<RowDelta>, int, QStringList>({"deltas", "rowsAffected", "expected"});
        // (A plain insert and delete are the plan rules' saves, on the demo database.)

        const QString header = QStringLiteral("1|1|0|NULL|Plan uno|2024-03-01T10:00:00.000|NULL");
        QTest::newRow("update matching every old value")
            << QList<RowDelta>{updateOf(nodeRow(), {{"nom_menu", "Jefe"}, {"COD_NODP", QVariant()}})} << 1
            << QStringList{header, "1|1|1|NULL|Jefe|2024-02-01T09:00:00.250|GER01"};
        QTest::newRow("several deltas in order")
            << QList<RowDelta>{insertOf(newNode(2)), deleteOf(nodeRow()),
                               updateOf(newNode(2), {{"COD_NODO", 1}})} << 3
            << QStringList{header, "1|1|1|1|Analista|2024-04-01T08:30:00.000|ANA01"};
    }

    void applied()
    {
        QFETCH(QList<RowDelta>, deltas);
        QFETCH(int, rowsAffected);
        QFETCH(QStringList, expected);

        const ApplyResult result = apply(QStringLiteral("DtsPAcPprom"), deltas);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.rowsAffected, rowsAffected);
        QCOMPARE(table(), expected);
        // Its audit row, from this machine's in-process road.
        QCOMPARE(m_db.value(QStringLiteral("SELECT COD_USUA || '|' || ACC_AUDI || '|' || DIR_CLIE FROM GN_AUDIT "
                                           "ORDER BY NUM_AUDI DESC LIMIT 1")),
                 ServerTestDb::session().user + QStringLiteral("|guardado|local"));
    }

    void refused_data()
    {
        addColumns<QString, QString, QList<RowDelta>, QString>({"provider", "meanwhile", "deltas", "messagePart"});

        QVariantMap withoutKey = nodeRow();
        withoutKey.remove(QStringLiteral("COD_NODO"));
        QVariantMap unknownColumn = newNode(2);
        unknownColumn.insert(QStringLiteral("NO_EXISTE"), 1);
        QVariantMap badNumber = newNode(2);
        badNumber.insert(QStringLiteral("COD_NODO"), QStringLiteral("dos"));

        QTest::newRow("duplicate key") << "DtsPAcPprom" << QString() << QList<RowDelta>{insertOf(nodeRow())}
                                       << "AC_PPROM con la clave COD_EMPR = 1, COD_MENU = 1, COD_NODO = 1";
        QTest::newRow("key changed onto another row") << "DtsPAcPprom" << QString()
                                                      << QList<RowDelta>{updateOf(nodeRow(), {{"COD_NODO", 0}})}
                                                      << "COD_NODO = 0";
        // A row changed meanwhile refuses the batch. (The edit kept as typed: tst_remotedataset.)
        QTest::newRow("whole batch rolled back")
            << "DtsPAcPprom" << "UPDATE AC_PPROM SET ACT_USUA = 'LUIS' WHERE COD_NODO = 1"
            << QList<RowDelta>{insertOf(newNode(2)), deleteOf(nodeRow())} << "modificado o eliminado por otro usuario";
        // A save is never kept without its audit row.
        QTest::newRow("audit record that cannot be written")
            << "DtsPAcPprom" << "ALTER TABLE GN_AUDIT RENAME TO GN_AUDIX" << QList<RowDelta>{insertOf(newNode(2))}
            << "No se pudo escribir el cambio en el registro de auditoría; no se guardó";
        QTest::newRow("unknown column") << "DtsPAcPprom" << QString() << QList<RowDelta>{insertOf(unknownColumn)}
                                        << "NO_EXISTE";
        QTest::newRow("value of the wrong type") << "DtsPAcPprom" << QString() << QList<RowDelta>{insertOf(badNumber)}
                                                 << "COD_NODO";
        QTest::newRow("old values without the key") << "DtsPAcPprom" << QString()
                                                    << QList<RowDelta>{deleteOf(withoutKey)} << "COD_NODO";
        QTest::newRow("provider without main table") << "DtsPBiCargo" << QString()
                                                     << QList<RowDelta>{insertOf(newNode(2))} << "solo lectura";
        // The schema's limits hold on SQLite as on PostgreSQL, named by field.
        QTest::newRow("update longer than its column")
            << "DtsPAcPprom" << QString() << QList<RowDelta>{updateOf(nodeRow(), {{"COD_CARG", "GER0123"}})}
            << "El campo COD_CARG de AC_PPROM admite 6 caracteres; el valor \"GER0123\" tiene 7.";
        QVariantMap bigNumber = newNode(2);
        bigNumber.insert(QStringLiteral("COD_NODP"), 40000);
        QTest::newRow("small integer out of range") << "DtsPAcPprom" << QString() << QList<RowDelta>{insertOf(bigNumber)}
                                                    << "El campo COD_NODP de AC_PPROM admite enteros de -32768 a 32767";
    }

    void refused()
    {
        QFETCH(QString, provider);
        QFETCH(QString, meanwhile);
        QFETCH(QList<RowDelta>, deltas);
        QFETCH(QString, messagePart);

        if (!meanwhile.isEmpty())
            QCOMPARE(m_db.exec(meanwhile), QString());
        const QStringList before = table();
        const ApplyResult result = apply(provider, deltas);
        QVERIFY2(result.error.contains(messagePart), qPrintable(result.error));
        QCOMPARE(result.rowsAffected, 0);
        QCOMPARE(table(), before);
    }

    // A block of new rows after the deltas, in their transaction; a large one spans several statements.
    void blocks_data()
    {
        addColumns<QList<RowDelta>, InsertRows, QString, QStringList>({"deltas", "inserts", "messagePart", "added"});
        QTest::newRow("after a delta") << QList<RowDelta>{updateOf(nodeRow(), {{"NOM_MENU", "Jefe"}})} << newNodes(2, 2)
                                       << QString() << newNodeLines(2, 2);
        QTest::newRow("over several statements") << QList<RowDelta>{} << newNodes(2, 400) << QString()
                                                 << newNodeLines(2, 400);

        // Refused: nothing of the batch is kept, the statements already written included.
        InsertRows existing = newNodes(2, 400);
        existing.rows[350][2] = 1;
        QTest::newRow("key in the table") << QList<RowDelta>{} << existing
                                          << "AC_PPROM con la clave COD_EMPR = 1, COD_MENU = 1, COD_NODO = 1"
                                          << QStringList();
        InsertRows repeated = newNodes(2, 3);
        repeated.rows[2][2] = 2;
        QTest::newRow("key twice in the block") << QList<RowDelta>{} << repeated
                                                << "AC_PPROM con la clave COD_EMPR = 1, COD_MENU = 1, COD_NODO = 2"
                                                << QStringList();
        InsertRows nullKey = newNodes(2, 400);
        nullKey.rows[399][2] = QVariant();
        QTest::newRow("refused by the database in its last statement")
            << QList<RowDelta>{deleteOf(nodeRow())} << nullKey << "No se pudo guardar en AC_PPROM" << QStringList();
        InsertRows otherCompany = newNodes(2, 3);
        otherCompany.rows[1][0] = 9;
        QTest::newRow("company not the user's") << QList<RowDelta>{} << otherCompany
                                                << "El usuario PRUEBA no tiene acceso a la empresa 9" << QStringList();
        InsertRows fraction = newNodes(2, 3);
        fraction.rows[2][0] = 1.5;
        QTest::newRow("company that is no whole number")
            << QList<RowDelta>{} << fraction << "El valor \"1.5\" no es válido para la columna COD_EMPR" << QStringList();
        InsertRows narrow = newNodes(2, 3);
        narrow.rows[1].removeLast();
        QTest::newRow("row without a value per column") << QList<RowDelta>{} << narrow << "trae 6 valores para 7 columnas"
                                                        << QStringList();
        InsertRows unknown = newNodes(2, 1);
        unknown.columns[6] = "NO_EXISTE";
        QTest::newRow("unknown column") << QList<RowDelta>{} << unknown << "La columna NO_EXISTE no existe" << QStringList();
        InsertRows twice = newNodes(2, 1);
        twice.columns[1] = "cod_nodo";
        QTest::newRow("column twice") << QList<RowDelta>{} << twice << "La columna COD_NODO figura dos veces" << QStringList();
    }

    void blocks()
    {
        QFETCH(QList<RowDelta>, deltas);
        QFETCH(InsertRows, inserts);
        QFETCH(QString, messagePart);
        QFETCH(QStringList, added);

        const QStringList before = table();
        const ApplyResult result = m_core.apply(ApplyRequest{ServerTestDb::session(), QStringLiteral("DtsPAcPprom"), deltas, inserts});
        QCOMPARE(m_core.lastRefused(), messagePart.contains(QLatin1String("no tiene acceso")));
        if (!messagePart.isEmpty()) {
            QVERIFY2(result.error.contains(messagePart), qPrintable(result.error));
            QCOMPARE(result.rowsAffected, 0);
            QCOMPARE(table(), before);
            return;
        }
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.rowsAffected, int(deltas.size() + inserts.rows.size()));
        const QStringList after = table();
        QCOMPARE(after.size(), before.size() + added.size());
        QCOMPARE(after.mid(before.size()), added);
        // The audit row names the first rows by their keys, the block's as the deltas'.
        const QString detail = m_db.value(QStringLiteral("SELECT DET_AUDI FROM GN_AUDIT ORDER BY NUM_AUDI DESC LIMIT 1"));
        QVERIFY2(detail.contains(QStringLiteral("alta COD_EMPR=1 COD_MENU=1 COD_NODO=2; alta COD_EMPR=1 COD_MENU=1 COD_NODO=3")),
                 qPrintable(detail));
    }

    // Another workstation holds the row (or SQLite's database): the save gives up after the lock
    // timeout, says so, and nothing changes.
    void lockedRowGivesClearMessage()
    {
        const bool postgres = m_db.description().engine == DatabaseDescription::Engine::Postgres;
        QCOMPARE(m_db.exec(postgres ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")), QString());
        if (postgres)
            QVERIFY(m_db.exec(QStringLiteral("SELECT * FROM AC_PPROM WHERE COD_NODO = 1 FOR UPDATE")).isEmpty());
        const ApplyResult result = apply(QStringLiteral("DtsPAcPprom"), {updateOf(nodeRow(), {{"NOM_MENU", "Jefe"}})});
        QVERIFY(m_db.exec(QStringLiteral("ROLLBACK")).isEmpty());
        QVERIFY2(result.error.contains(QStringLiteral("Otro usuario está modificando los mismos registros de AC_PPROM")),
                 qPrintable(result.error));
        QCOMPARE(result.rowsAffected, 0);
        QVERIFY(table().contains(QStringLiteral("1|1|1|0|Gerente|2024-02-01T09:00:00.250|GER01")));
    }

private:
    ApplyResult apply(const QString &provider, const QList<RowDelta> &deltas)
    {
        return m_core.apply(ApplyRequest{ServerTestDb::session(), provider, deltas});
    }

    // Company 1's plans as text, one line per row, for comparisons that show what differs.
    QStringList table()
    {
        const FetchResult result = m_core.fetch(FetchRequest{ServerTestDb::session(), QStringLiteral("DtsPAcPprom"),
                                                             QStringLiteral("PlanesEmpresa"),
                                                             {{QStringLiteral("empresa"), FieldType::Smallint, 1}}, {}});
        if (!result.ok())
            return {result.error};
        QStringList lines;
        for (const QVariantList &row : result.rows) {
            QStringList cells;
            for (const char *column : {"COD_EMPR", "COD_MENU", "COD_NODO", "COD_NODP", "NOM_MENU", "ACT_HORA", "COD_CARG"}) {
                const QVariant value = row.value(indexOfField(result.fields, QLatin1String(column)));
                cells << (value.isNull() ? QStringLiteral("NULL") : value.toString());
            }
            lines << cells.join(QLatin1Char('|'));
        }
        return lines;
    }

    ServerTestDb m_db;
    ServerCore m_core;
};

int main(int argc, char **argv)
{
    return runOnEveryBackend<TstServerApply>(argc, argv);
}

#include "tst_serverapply.moc"
