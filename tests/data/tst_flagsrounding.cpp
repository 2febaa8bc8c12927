// Feature flags read per company and country, their wrapped error, and the rounding of scores.

#include "ModuloPrueba.h"

#include <QCoreApplication>
#include <QTest>

class TstFlagsRounding : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void bandera_data();
    void bandera();
    void errorDeBandera();
    void redondeo_data();
    void redondeo();

private:
    DemoDatabase m_db;
};

void TstFlagsRounding::initTestCase()
{
    QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
    ejecutarSql(m_db, QStringLiteral("INSERT INTO GN_NEXOF VALUES ('Q0000300', 170, 2, '  S  ', 'C', 'Con blancos')"));
}

void TstFlagsRounding::bandera_data()
{
    QTest::addColumn<int>("empresa");
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<QString>("valor");
    QTest::newRow("encendida") << 2 << QStringLiteral("Q0000190") << QStringLiteral("S");
    QTest::newRow("apagada") << 1 << QStringLiteral("Q0000190") << QStringLiteral("N");
    QTest::newRow("sin fila para la empresa") << 3 << QStringLiteral("Q0000190") << QStringLiteral("N");
    QTest::newRow("inexistente") << 2 << QStringLiteral("Q9999999") << QStringLiteral("N");
    QTest::newRow("S con blancos") << 2 << QStringLiteral("Q0000300") << QStringLiteral("S");
}

void TstFlagsRounding::bandera()
{
    QFETCH(int, empresa);
    QFETCH(QString, codigo);
    QFETCH(QString, valor);
    m_db.startSession(empresa);
    ModuloPrueba w(empresa);
    w.forma.pais = empresa == 3 ? 218 : 170;
    QCOMPARE(w.module.VerNexoFlags(codigo), QVariant(valor));
    QCOMPARE(w.module.QryGnNexof.Active(), false);
}

void TstFlagsRounding::errorDeBandera()
{
    m_db.startSession(2);
    ModuloPrueba w(2);
    w.forma.pais = -1;
    QCOMPARE(mensajeDe([&] { w.module.VerNexoFlags(QStringLiteral("Q'0190")); }),
             QStringLiteral("Error leyendo NEXOFLAG 'Q''0190': sin país"));
}

void TstFlagsRounding::redondeo_data()
{
    QTest::addColumn<double>("valor");
    QTest::addColumn<int>("decimales");
    QTest::addColumn<double>("esperado");
    QTest::newRow("2.5 al par de abajo") << 2.5 << 0 << 2.0;
    QTest::newRow("3.5 al par de arriba") << 3.5 << 0 << 4.0;
    QTest::newRow("-2.5") << -2.5 << 0 << -2.0;
    QTest::newRow("0.5") << 0.5 << 0 << 0.0;
    QTest::newRow("12.3456 a dos") << 12.3456 << 2 << 12.35;
    QTest::newRow("-7.25 a uno") << -7.25 << 1 << -7.2;
    QTest::newRow("sin mitad") << 2.6 << 0 << 3.0;
}

void TstFlagsRounding::redondeo()
{
    QFETCH(double, valor);
    QFETCH(int, decimales);
    QFETCH(double, esperado);
    QCOMPARE(double(TDtmAcSemaf::RoundDecimals(valor, quint8(decimales))), esperado);
}

QTEST_GUILESS_MAIN(TstFlagsRounding)
#include "tst_flagsrounding.moc"
