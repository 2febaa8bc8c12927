// The query-by-example button on the demo database: criteria built in its dialog select the
// right rows over a join, a row without a value counts for nothing, and a bad value is refused while
// the dialog stays open. (The operators on the plan grid, over the rows read: tst_journey; criteria
// and condition texts to conditions, quotes in values: tst_lookupconditions.)

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "framework/widgets/DialogService.h"
#include "data/StatementCatalog.h"
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

// The statements: the node look-up of plan 1 (cod_carg is in both of its tables) and the plan
// grid's rows of company 1, whose criteria start with the plan.
enum class Consulta { Nodos, Plan };

} // namespace

Q_DECLARE_METATYPE(Filas)
Q_DECLARE_METATYPE(Consulta)

class TstQueryByExample : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        m_conexion.setSession(m_db.session(1));
        m_cds.RemoteServer = &m_conexion;
        m_qbe.setObjectName(QStringLiteral("QSDBQbe1"));
        m_qbe.SQLUpperCase = true;
        m_qbe.PermiteFiltro = false;
    }

    void criterios_data()
    {
        addColumns<Consulta, Filas, QStringList, QString>({"consulta", "filas", "esperados", "mensaje"});
        const Fila plan1{"cod_menu", "=", "1"};
        QTest::newRow("columna de dos tablas") << Consulta::Nodos << Filas{{"cod_carg", "=", "dir002"}}
                                               << QStringList{"DIR002"} << QString();
        QTest::newRow("fila sin valor no cuenta") << Consulta::Nodos
                                                  << Filas{{"cod_nodo", "=", "9"}, {"nom_carg", "=", ""}}
                                                  << QStringList{"TEC002"} << QString();
        QTest::newRow("fecha inexistente") << Consulta::Plan << Filas{plan1, {"act_hora", ">", "31/02/2026"}}
                                           << QStringList{}
                                           << "El valor \"31/02/2026\" no es una fecha con el formato dd/MM/yyyy";
    }

    void criterios()
    {
        QFETCH(Consulta, consulta);
        QFETCH(Filas, filas);
        QFETCH(QStringList, esperados);
        QFETCH(QString, mensaje);
        abrir(consulta);
        const QStringList antes = codigos();
        const QStringList mensajes = buscar(filas);
        QCOMPARE(mensajes, mensaje.isEmpty() ? QStringList() : QStringList{mensaje});
        // A refusal is shown inside the dialog, which keeps what the user typed.
        QCOMPARE(m_quedoAbierto, !mensaje.isEmpty());
        QVERIFY(m_cds.Active());
        // A refusal leaves the rows listed before.
        QCOMPARE(codigos(), mensaje.isEmpty() ? esperados : antes);
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

    // Opens the query's base statement through the button, as a form does.
    void abrir(Consulta consulta)
    {
        m_cds.Close();
        if (consulta == Consulta::Nodos) {
            m_cds.ProviderName = QStringLiteral("DtsPTemporal");
            StatementCatalog::module().use(m_cds, QStringLiteral("ListaNodos"),
                                           {{QStringLiteral("empresa"), 1}, {QStringLiteral("menu"), 1}});
        } else {
            m_cds.ProviderName = QStringLiteral("DtsPAcPprom");
            StatementCatalog::module().use(m_cds, QStringLiteral("PlanesEmpresa"));
            m_cds.ParamByName(QStringLiteral("empresa"))->setAsInteger(1);
        }
        m_qbe.SetDataset(&m_cds);
        m_qbe.Tag = 1;
        m_qbe.Inicializar(true);
    }

    // The positions of the rows listed (a plan's header row has none), sorted.
    QStringList codigos()
    {
        QStringList codigos;
        for (m_cds.First(); !m_cds.Eof(); m_cds.Next())
            if (const QString codigo = m_cds.FieldByName(QStringLiteral("cod_carg"))->AsString(); !codigo.isEmpty())
                codigos << codigo;
        codigos.sort();
        return codigos;
    }

    DemoDatabase m_db;
    SDCOMConnection m_conexion;
    SClientDataSet m_cds{QStringLiteral("CdsConsulta")};
    TQSDBQbe m_qbe;
    bool m_quedoAbierto = false;  // the dialog was still open after Aceptar
};

QTEST_MAIN(TstQueryByExample)
#include "tst_querybyexample.moc"
