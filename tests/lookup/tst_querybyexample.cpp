// The query-by-example button on the demo database: criteria built in its dialog select the
// right rows over a join, refuse bad values with a message while keeping the dialog open, and
// values with quotes or wildcards cannot change the statement.

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "framework/widgets/DialogService.h"
#include "framework/Exceptions.h"
#include "framework/dataset/SClientDataSet.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/widgets/TQSDBQbe.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Field, operator (as the dialog lists it) and value of one condition row.
struct Fila {
    QString campo, operador, valor;
};
using Filas = QList<Fila>;

// A plan's positions: cod_carg is in both tables, so criteria on it must name its table.
const QString consultaPlan = QStringLiteral(
    "select a.cod_carg,nom_carg,cod_nodo,a.act_hora from ac_pprom a, bi_cargo b\r\n"
    " where a.cod_empr = 1\r\nand cod_menu = 1 and cod_nodo > 0\r\n"
    "and a.cod_empr = b.cod_empr and a.cod_carg = b.cod_carg\r\n");

} // namespace

Q_DECLARE_METATYPE(Filas)

class TstQueryByExample : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        m_db.startSession(1);
        m_cds.RemoteServer = &m_conexion;
        m_cds.ProviderName = QStringLiteral("DtsPTemporal");
        m_qbe.setObjectName(QStringLiteral("QSDBQbe1"));
        m_qbe.SQLUpperCase = true;
        m_qbe.PermiteFiltro = false;
    }

    void init()
    {
        m_cds.Close();
        m_cds.setCommandText(consultaPlan);
        m_qbe.SetDataset(&m_cds);
        m_qbe.Tag = 1;
        m_qbe.Inicializar(true);
    }

    void criterios_data()
    {
        // filtro: PermiteFiltro
        addColumns<Filas, bool, QStringList, QString>({"filas", "filtro", "esperados", "mensaje"});

        const QStringList todos{"COO001", "COO002", "DIR001", "DIR002", "GER002", "PRO001", "PRO002", "TEC001", "TEC002"};
        // The plan's nodes were written on 4 March 2024 at different times of the day.
        QTest::newRow("fecha: el día entero") << Filas{{"act_hora", "=", "04/03/2024"}} << false << todos << QString();
        QTest::newRow("fecha: después del día") << Filas{{"act_hora", ">", "04/03/2024"}} << false << QStringList{}
                                                << QString();
        QTest::newRow("columna de dos tablas") << Filas{{"cod_carg", "=", "dir002"}} << false
                                               << QStringList{"DIR002"} << QString();
        QTest::newRow("contiene, sin distinguir mayúsculas")
            << Filas{{"nom_carg", "Contiene", "CONTA"}} << false
            << QStringList{"COO001", "DIR001", "PRO001", "TEC001"} << QString();
        QTest::newRow("dos condiciones") << Filas{{"cod_nodo", ">=", "2"}, {"nom_carg", "Comienza con", "dir"}}
                                         << false << QStringList{"DIR001", "DIR002"} << QString();
        QTest::newRow("número sobre las filas leídas") << Filas{{"cod_nodo", ">", "6"}} << true
                                                        << QStringList{"PRO002", "TEC001", "TEC002"} << QString();
        QTest::newRow("comilla en el valor") << Filas{{"nom_carg", "=", "x' OR '1'='1"}} << false
                                             << QStringList{} << QString();
        QTest::newRow("comodín literal") << Filas{{"nom_carg", "Contiene", "%"}} << false
                                         << QStringList{} << QString();
        QTest::newRow("fila sin valor no cuenta") << Filas{{"cod_nodo", "=", "9"}, {"nom_carg", "=", ""}} << false
                                                  << QStringList{"TEC002"} << QString();
        QTest::newRow("número mal escrito") << Filas{{"cod_nodo", "=", "7'"}} << false << todos
                                            << "El valor \"7'\" no es un número válido para el campo COD_NODO";
        QTest::newRow("texto en número") << Filas{{"cod_nodo", "Comienza con", "1"}} << false << todos
                                         << "El operador \"Comienza con\" solo se aplica a campos de texto (campo COD_NODO)";
        QTest::newRow("fecha inexistente") << Filas{{"act_hora", ">", "31/02/2026"}} << false << todos
                                           << "El valor \"31/02/2026\" no es una fecha con el formato dd/MM/yyyy";
    }

    void criterios()
    {
        QFETCH(Filas, filas);
        QFETCH(bool, filtro);
        QFETCH(QStringList, esperados);
        QFETCH(QString, mensaje);
        m_qbe.PermiteFiltro = filtro;
        const qint64 viajes = m_conexion.roundTrips();
        const QStringList mensajes = buscar(filas);
        m_qbe.PermiteFiltro = false;
        QCOMPARE(mensajes, mensaje.isEmpty() ? QStringList() : QStringList{mensaje});
        // A refusal is shown inside the dialog, which keeps what the user typed.
        QCOMPARE(m_quedoAbierto, !mensaje.isEmpty());
        QVERIFY(m_cds.Active());
        QCOMPARE(codigos(), esperados);
        if (filtro)
            QCOMPARE(m_conexion.roundTrips(), viajes);
    }

    // Without a WHERE in the base query the criteria start one, upper-casing texts; excluded
    // fields are not offered.
    void sinWhereEmpiezaUnWhere()
    {
        m_cds.Close();
        m_cds.setCommandText(QStringLiteral("select cod_carg,nom_carg from bi_cargo"));
        m_qbe.SetDataset(&m_cds);
        m_qbe.Tag = 0;
        m_qbe.ExcluirCampos = QStringList{QStringLiteral("NOM_CARG")};
        m_qbe.Inicializar(true);
        QCOMPARE(buscar({{"cod_carg", "=", "ger001"}}), QStringList());
        m_qbe.ExcluirCampos.clear();
        QCOMPARE(m_ofrecidos, QStringList{QStringLiteral("cod_carg")});
        QCOMPARE(m_cds.CommandText(), QStringLiteral("select cod_carg,nom_carg from bi_cargo WHERE UPPER(COD_CARG) = 'GER001'"));
        QCOMPARE(m_cds.RecordCount(), 2);  // companies 1 and 3
        // Initialising again keeps the base query instead of taking the criteria into it.
        m_qbe.Inicializar(true);
        QCOMPARE(m_cds.CommandText(), QStringLiteral("select cod_carg,nom_carg from bi_cargo"));
    }

    // A condition that cannot be placed in the statement is refused with the reason, and the
    // rows already listed stay, under the statement that read them.
    void condicionIlegibleConservaLasFilas()
    {
        const QString antes = m_cds.CommandText();
        const QStringList filas = codigos();
        QVERIFY(!filas.isEmpty());
        try {
            m_qbe.Kquery(QStringLiteral(" AND nom_carg = 'Gerente"));
            QFAIL("the condition was placed");
        } catch (const Exception &error) {
            QCOMPARE(error.Message(), QStringLiteral("No se puede añadir la condición \"AND nom_carg = 'Gerente\": La "
                                                     "sentencia no se puede leer: un texto entre comillas no se cierra "
                                                     "(posición 17)."));
        }
        QVERIFY(m_cds.Active());
        QCOMPARE(m_cds.CommandText(), antes);
        QCOMPARE(codigos(), filas);
    }

private:
    // Clicks the button and fills the dialog's rows; returns what the boxes said.
    QStringList buscar(const Filas &filas)
    {
        DialogRecorder recorder([&](const DialogService::Request &request) {
            if (request.kind != DialogService::Modal)
                return int(DialogService::Ok);
            QDialog *dialogo = request.dialog;
            for (int i = 0; i < filas.size(); ++i) {
                if (i > 0)
                    QTest::mouseClick(dialogo->findChild<QPushButton *>(QStringLiteral("btnAgregar")), Qt::LeftButton);
                auto *campo = dialogo->findChild<QComboBox *>(QStringLiteral("cmbCampo%1").arg(i));
                m_ofrecidos.clear();
                for (int c = 0; c < campo->count(); ++c)
                    m_ofrecidos << campo->itemData(c).toString().toLower();
                auto *operador = dialogo->findChild<QComboBox *>(QStringLiteral("cmbOperador%1").arg(i));
                campo->setCurrentIndex(campo->findData(filas[i].campo, Qt::UserRole, Qt::MatchFixedString));
                operador->setCurrentIndex(operador->findText(filas[i].operador));
                QTest::keyClicks(dialogo->findChild<QLineEdit *>(QStringLiteral("edtValor%1").arg(i)), filas[i].valor);
            }
            m_quedoAbierto = false;
            QTest::mouseClick(dialogo->findChild<QPushButton *>(QStringLiteral("btnAceptar")), Qt::LeftButton);
            m_quedoAbierto = dialogo->isVisible();
            if (m_quedoAbierto)  // refused: the user gives up
                QTest::mouseClick(dialogo->findChild<QPushButton *>(QStringLiteral("btnCancelar")), Qt::LeftButton);
            return dialogo->result();
        });
        QTest::mouseClick(&m_qbe, Qt::LeftButton);
        return recorder.texts();
    }

    QStringList codigos()
    {
        QStringList codigos;
        for (m_cds.First(); !m_cds.Eof(); m_cds.Next())
            codigos << m_cds.FieldByName(QStringLiteral("cod_carg"))->AsString();
        codigos.sort();
        return codigos;
    }

    DemoDatabase m_db;
    SDCOMConnection m_conexion;
    SClientDataSet m_cds{QStringLiteral("CdsConsulta")};
    TQSDBQbe m_qbe;
    QStringList m_ofrecidos;  // the fields the dialog offered
    bool m_quedoAbierto = false;  // the dialog was still open after Aceptar
};

QTEST_MAIN(TstQueryByExample)
#include "tst_querybyexample.moc"
