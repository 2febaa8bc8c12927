// The look-up dialog on the demo database, driven through a look-up button with clicks and keys:
// searching by value, cancelling, a target only browsed, and mis-configured lists. (Listing, a
// search, criteria first, and accepting into a plan row with Aceptar or a double click are walked
// by tst_journey; a partial search without capitals: tst_datasetsearch.)

#include "ui/DLLUFORM.h"
#include "ui/LookupStatement.h"
#include "tests/support/DemoDatabase.h"
#include "framework/widgets/DialogService.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/dataset/TClientDataSet.h"
#include "framework/widgets/TQPField.h"
#include "framework/widgets/TQSDBQbe.h"
#include "framework/widgets/TQsCmbCodigo.h"
#include "framework/widgets/TVelkarDBgrid.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using protocol::FieldType;

namespace {

const QStringList columnasPlan{QStringLiteral(" cod_menu "), QStringLiteral("nom_menu")};
const QString financiera = QStringLiteral("Carrera Financiera y Logística");
const QString comercial = QStringLiteral("Carrera Comercial");

// One look-up: the button's settings, what the user does, and what must come out.
struct Caso {
    QString sentencia = QStringLiteral("ListaPlanes");   // the plans of company 1
    QVariantMap huecos{{QStringLiteral("empresa"), 1}};
    int tag = 0;
    QStringList variables = columnasPlan;
    QStringList destino{QStringLiteral("COD_MENU"), QStringLiteral(" nom_menu ")};
    QStringList titulos{QStringLiteral("Menu"), QStringLiteral("Descripción Menu")};
    bool editando = true;
    QString lookUpField;
    // Steps in the dialog: "criterio:CAMPO:op:valor" (criteria dialog), "valor:CAMPO:texto" (search
    // by value), "aceptar", "cancelar".
    QStringList pasos{QStringLiteral("aceptar")};

    bool aceptado = true;
    QStringList resultado;
    QStringList mensajes;      // "I:" information box, "E:" error dialog
    QStringList modales{QStringLiteral("Captura")};
    int filas = 2;             // rows listed when the dialog shows
    QString registro;          // target record after the look-up: COD_MENU|NOM_MENU
    int tagVisto = 1005;       // Tag of COD_MENU seen while the value was written; -1 none
    QString busqueda;          // incremental search text at the end
};

} // namespace

Q_DECLARE_METATYPE(Caso)

class TstLookupDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        auto *conexion = new SDCOMConnection(&m_forma);
        conexion->setSession(m_db.session(1));
        conexion->setObjectName(QStringLiteral("DCOMCnction"));
        m_boton = new TQPField(&m_forma);
        m_boton->setObjectName(QStringLiteral("QPField1"));
        m_boton->DataBaseName = QStringLiteral("DCOMCnction");
        m_boton->Titulo = QStringLiteral(" Lista de Valores");
        Captura = new TCaptura;
        Captura->AfterConstruction();

        m_destino.AddField(QStringLiteral("COD_MENU"), FieldType::Smallint);
        m_destino.AddField(QStringLiteral("NOM_MENU"), FieldType::String, 30);
        m_destino.CreateDataSet();
        TField *codMenu = m_destino.FieldByName(QStringLiteral("COD_MENU"));
        codMenu->Tag = 5;
        codMenu->OnValidate = [this](TField *field) { m_tagVisto = field->Tag; };
    }

    void cleanupTestCase()
    {
        delete Captura.data();
    }

    void casos_data()
    {
        QTest::addColumn<Caso>("caso");
        const QStringList ambos{QStringLiteral("1"), financiera};
        // What is copied when the user takes plan 1 or 2, and what stays when nothing is taken.
        const auto toma = [](Caso c, int plan) {
            const QString nombre = plan == 1 ? financiera : comercial;
            c.resultado = QStringList{QString::number(plan), nombre};
            c.registro = QString::number(plan) + QLatin1Char('|') + nombre;
            return c;
        };
        const auto nadaTomado = [](Caso c) {
            c.aceptado = false;
            c.resultado = QStringList{QStringLiteral("previo")};
            c.registro = QStringLiteral("0|");
            c.tagVisto = -1;
            return c;
        };
        const auto pasos = [](Caso c, const QStringList &lista, const QString &busqueda = {}) {
            c.pasos = lista;
            c.busqueda = busqueda;
            return c;
        };

        Caso c;
        c.editando = false;
        c.resultado = ambos;
        c.registro = QStringLiteral("0|");
        c.tagVisto = -1;
        QTest::newRow("destino solo navegando: valores sin escribir") << c;

        c = pasos(Caso(), {QStringLiteral("valor:NOM_MENU:carrera com"), QStringLiteral("aceptar")}, QStringLiteral("carrera com"));
        c.lookUpField = QStringLiteral("nom_menu");
        QTest::newRow("búsqueda por valor; el valor del campo de búsqueda") << toma(c, 2);

        // A mis-configured list: the message, then only what can still be copied.
        c = Caso();
        c.resultado = QStringList{QStringLiteral("1")};
        c.registro = QStringLiteral("1|");
        c.variables = QStringList{QStringLiteral("cod_menu"), QStringLiteral("nom_plan")};
        c.mensajes = QStringList{QStringLiteral("I:[Error en VARIABLES][no existe variable <NOM_PLAN> en Query ]")};
        QTest::newRow("VARIABLES fuera de la consulta") << c;

        c = nadaTomado(pasos(Caso(), {QStringLiteral("criterio:COD_MENU:=:7"), QStringLiteral("aceptar")}));
        c.tag = 1;
        c.modales = QStringList{QStringLiteral("QbeCriteriaDialog"), QStringLiteral("Captura")};
        c.filas = 0;  // Aceptar is disabled without rows: the click does nothing
        QTest::newRow("sin filas no se acepta") << c;

        QTest::newRow("cancelar") << nadaTomado(pasos(Caso(), {QStringLiteral("cancelar")}));
    }

    void casos()
    {
        QFETCH(Caso, caso);
        preparar(caso);
        m_boton->ValorLookUp = QStringLiteral("sin tocar");
        m_filas = -1;
        m_opciones.clear();
        m_encabezados.clear();

        QStringList modales, mensajes;
        DialogRecorder recorder([&](const DialogService::Request &request) {
            if (request.kind != DialogService::Modal) {
                mensajes << (request.kind == DialogService::Error ? QStringLiteral("E:") : QStringLiteral("I:")) + request.text;
                return int(DialogService::Ok);
            }
            QDialog *dialogo = request.dialog;
            modales << dialogo->objectName();
            if (dialogo != Captura) {
                pasoCriterios(dialogo, caso.pasos);
                return dialogo->result();
            }
            m_filas = Captura->CdsTmp.RecordCount();
            for (int i = 0; i < Captura->CmbCampos->count(); ++i)
                m_opciones << Captura->CmbCampos->itemText(i);
            QAbstractItemModel *modelo = Captura->DBGrid1->model();
            for (int i = 0; i < modelo->columnCount(); ++i)
                m_encabezados << modelo->headerData(i, Qt::Horizontal).toString();
            for (const QString &paso : caso.pasos)
                if (!paso.startsWith(QLatin1String("criterio")))
                    pasoCaptura(paso);
            return dialogo->isVisible() ? int(QDialog::Rejected) : dialogo->result();
        });
        QSignalSpy terminado(m_boton, &TQPField::lookupFinished);
        QTest::mouseClick(m_boton, Qt::LeftButton);

        QCOMPARE(mensajes, caso.mensajes);
        QCOMPARE(modales, caso.modales);
        QCOMPARE(terminado.isEmpty() ? false : terminado.first().first().toBool(), caso.aceptado);
        QCOMPARE(m_boton->Resultado, caso.resultado);
        QCOMPARE(registro(), caso.registro);
        QCOMPARE(m_tagVisto, caso.tagVisto);
        QCOMPARE(m_destino.FieldByName(QStringLiteral("COD_MENU"))->Tag, 5);
        if (caso.modales.contains(QStringLiteral("Captura"))) {
            QCOMPARE(m_filas, caso.filas);
            QCOMPARE(m_opciones, caso.titulos);      // the search's fields
            QCOMPARE(m_encabezados, caso.titulos);   // the grid's headers
            QCOMPARE(Captura->edtBusqueda->text(), caso.busqueda);
        }
        if (caso.lookUpField == QLatin1String("nom_menu"))
            QCOMPARE(m_boton->ValorLookUp, comercial);
        QVERIFY(!Captura->CdsTmp.Active());
    }

private:
    // The button set up as the case says, over a target record that holds only COD_MENU 0.
    void preparar(const Caso &caso)
    {
        if (m_destino.State() != dsBrowse)
            m_destino.Cancel();
        m_destino.EmptyDataSet();
        m_destino.Append();
        m_destino.FieldByName(QStringLiteral("COD_MENU"))->setAsInteger(0);
        m_destino.Post();
        if (caso.editando)
            m_destino.Edit();
        m_tagVisto = -1;
        useStatement(*m_boton, caso.sentencia, caso.huecos);
        m_boton->Tag = caso.tag;
        m_boton->Variables = caso.variables;
        m_boton->Destino = caso.destino;
        m_boton->Titulos = caso.titulos;
        m_boton->DataSet = &m_destino;
        m_boton->LookUpField = caso.lookUpField;
        m_boton->Resultado = QStringList{QStringLiteral("previo")};
    }

    void pasoCaptura(const QString &paso)
    {
        const QStringList partes = paso.split(QLatin1Char(':'));
        if (partes[0] == QLatin1String("valor")) {
            Captura->CmbCampos->setCodigo(partes[1]);
            QTest::keyClicks(Captura->edtValor, partes[2]);
            QTest::mouseClick(Captura->SpeedButton1, Qt::LeftButton);
        } else if (partes[0] == QLatin1String("aceptar")) {
            QTest::mouseClick(Captura->BitBtnAceptar, Qt::LeftButton);
        } else if (partes[0] == QLatin1String("cancelar")) {
            QTest::mouseClick(Captura->BitBtn2, Qt::LeftButton);
        }
    }

    void pasoCriterios(QDialog *dialogo, const QStringList &pasos)
    {
        for (const QString &paso : pasos) {
            const QStringList partes = paso.split(QLatin1Char(':'));
            if (partes[0] != QLatin1String("criterio"))
                continue;
            auto *campo = dialogo->findChild<QComboBox *>(QStringLiteral("cmbCampo0"));
            campo->setCurrentIndex(campo->findData(partes[1]));
            auto *operador = dialogo->findChild<QComboBox *>(QStringLiteral("cmbOperador0"));
            operador->setCurrentIndex(operador->findText(partes[2]));
            QTest::keyClicks(dialogo->findChild<QLineEdit *>(QStringLiteral("edtValor0")), partes[3]);
        }
        QTest::mouseClick(dialogo->findChild<QPushButton *>(QStringLiteral("btnAceptar")), Qt::LeftButton);
    }

    QString registro()
    {
        return m_destino.FieldByName(QStringLiteral("COD_MENU"))->AsString() + QLatin1Char('|')
               + m_destino.FieldByName(QStringLiteral("NOM_MENU"))->AsString();
    }

    DemoDatabase m_db;
    QWidget m_forma;
    TQPField *m_boton = nullptr;
    TClientDataSet m_destino{QStringLiteral("QryDestino")};
    int m_tagVisto = -1;
    // What the dialog looked like when it came up.
    int m_filas = -1;
    QStringList m_opciones;
    QStringList m_encabezados;
};

QTEST_MAIN(TstLookupDialog)
#include "tst_lookupdialog.moc"
