// The replacement window on the demo database, driven through its grid and navigator with clicks
// and keys: a refused cell, the head flag's list, saving while typing, and closing with a pending
// row. (The look-up, saving and deleting a row are walked by tst_journey.)

#include "tests/support/DataTable.h"
#include "framework/widgets/DialogService.h"
#include "tests/data/ModuloPrueba.h"
#include "framework/dataset/TDataSetModel.h"
#include "framework/widgets/TQNavegador.h"
#include "framework/widgets/TQPField.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "ui/UAcCuare.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <memory>

class TstReplacementWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        m = std::make_unique<ModuloPrueba>(m_db.session(1));
        QVERIFY(m->module.QryAcPprom.Locate(QStringLiteral("COD_EMPR;COD_MENU;COD_NODO"), QVariantList{1, 2, 8}));
        QVERIFY(filas().Active());
        m_filasIniciales = filas().RecordCount();
    }

    void init()
    {
        dialogos = std::make_unique<DialogRecorder>();
        w = std::make_unique<TFrmAcCuare>(&m->module);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        w->DBGrdCuadro->setFocus();
    }

    void cleanup()
    {
        if (filas().State() != dsBrowse)
            filas().Cancel();
        w.reset();
        dialogos.reset();
        QCOMPARE(filas().RecordCount(), m_filasIniciales);
    }

    void cleanupTestCase()
    {
        w.reset();
    }

    // A position of another company of the group typed into a new row's grid is refused and the
    // row shows the node's position again (each rule of the row is tested with the data module).
    void cargoDeOtraEmpresa()
    {
        pulsar(TQNavegador::nbInsert);
        teclear("COD_EMPL", QStringLiteral("52345678"));
        teclear("COD_CARG", QStringLiteral("JLO001"));
        QCOMPARE(dialogos->texts(), QStringList{QStringLiteral("Código de Cargo NO existe en la Base de Datos!!!")});
        QCOMPARE(texto("COD_EMPL") + QLatin1Char('|') + texto("DtfNmbEmpleado") + QLatin1Char('|') + texto("COD_CARG")
                     + QLatin1Char('|') + texto("DtfNmbCargo"),
                 QStringLiteral("52345678|Ángela María Peña Muñoz|COO002|Coordinador de Cartera"));
        QCOMPARE(filas().State(), dsInsert);
    }

    // The head flag's list offers "Si" and "No"; the row keeps the first letter and saves it.
    void jefe()
    {
        pulsar(TQNavegador::nbInsert);
        teclear("COD_EMPL", QStringLiteral("52345678"));
        w->DBGrdCuadro->setCurrentIndex(celda("JEF_DEPE"));
        QTest::keyClick(w->DBGrdCuadro, Qt::Key_F2);
        auto *lista = qobject_cast<QComboBox *>(QApplication::focusWidget());
        QVERIFY(lista);
        QCOMPARE(lista->itemText(0) + '|' + lista->itemText(1), QStringLiteral("Si|No"));
        QTest::keyClicks(lista, QStringLiteral("S"));
        QCOMPARE(texto("JEF_DEPE"), QStringLiteral("S"));
        pulsar(TQNavegador::nbPost);
        QCOMPARE(dialogos->texts(), QStringList());
        QCOMPARE(m_db.query(QStringLiteral("SELECT JEF_DEPE FROM AC_CUARE WHERE COD_EMPR = 1 AND COD_MENU = 2 AND COD_NODO = 8 "
                                           "AND COD_EMPL = 52345678")),
                 QStringList{QStringLiteral("S")});
        filas().Delete();
    }

    void guardarSinSalirDeLaCelda_data()
    {
        // tecleado: typed into the employee's cell of a new row, left open; guardado: saved or not
        addColumns<QString, QString, bool>({"tecleado", "mensaje", "guardado"});
        QTest::newRow("sin empleado") << QString() << "Indique la identificación del empleado." << false;
        QTest::newRow("empleado en la celda abierta") << "52345678" << QString() << true;
        QTest::newRow("empleado desconocido en la celda abierta")
            << "999" << "Identificación NO existe en la Base de Datos!!!" << false;
    }

    // The navigator's save pressed while the employee is still being typed: the cell's text is
    // saved with the row, or the refusal is told once in the user's words and the row stays in
    // insert with what was typed, nothing written.
    void guardarSinSalirDeLaCelda()
    {
        QFETCH(QString, tecleado);
        QFETCH(QString, mensaje);
        QFETCH(bool, guardado);
        pulsar(TQNavegador::nbInsert);
        QWidget *editor = nullptr;
        if (!tecleado.isEmpty()) {
            w->DBGrdCuadro->setCurrentIndex(celda("COD_EMPL"));
            QTest::keyClicks(w->DBGrdCuadro, tecleado.left(1));
            editor = QApplication::focusWidget();
            QVERIFY(editor && editor != w->DBGrdCuadro);
            QTest::keyClicks(editor, tecleado.mid(1));
        }
        pulsar(TQNavegador::nbPost);
        QCOMPARE(dialogos->texts().join(QLatin1Char('|')), mensaje);
        const QStringList enBase = m_db.query(QStringLiteral("SELECT COD_EMPL FROM AC_CUARE WHERE COD_EMPR = 1 AND "
                                                             "COD_MENU = 2 AND COD_NODO = 8 AND COD_EMPL = %1")
                                                  .arg(tecleado.isEmpty() ? QStringLiteral("0") : tecleado));
        QCOMPARE(enBase.size(), guardado ? 1 : 0);
        if (guardado) {
            QCOMPARE(filas().State(), dsBrowse);
            QCOMPARE(texto("DtfNmbEmpleado"), QStringLiteral("Ángela María Peña Muñoz"));
            filas().Delete();
            return;
        }
        QCOMPARE(filas().State(), dsInsert);
        if (editor)
            QCOMPARE(qobject_cast<QLineEdit *>(QApplication::focusWidget())->text(), tecleado);
    }

    void cierreConFilaPendiente_data()
    {
        addColumns<int, int>({"respuesta", "filasDespues"});
        QTest::newRow("no guardar") << int(DialogService::No) << 0;
        QTest::newRow("guardar") << int(DialogService::Yes) << 1;
    }

    void cierreConFilaPendiente()
    {
        QFETCH(int, respuesta);
        QFETCH(int, filasDespues);
        DialogRecorder respuestas([&](const DialogService::Request &request) {
            return request.kind == DialogService::Question ? respuesta : int(DialogService::Ok);
        });
        pulsar(TQNavegador::nbInsert);
        teclear("COD_EMPL", QStringLiteral("52345678"));
        QTest::keyClick(w->DBGrdCuadro, Qt::Key_Escape);
        QCOMPARE(respuestas.texts(), QStringList{QStringLiteral("¿Desea guardar los cambios del cuadro de reemplazo?")});
        QVERIFY(!w->isVisible());
        QCOMPARE(filas().State(), dsBrowse);
        QCOMPARE(filas().RecordCount(), m_filasIniciales + filasDespues);
        if (filasDespues > 0 && filas().Locate(QStringLiteral("COD_EMPL"), 52345678.0))
            filas().Delete();
    }

private:
    TDataSet &filas() { return m->module.QryAcCuare; }

    QModelIndex celda(const char *campo)
    {
        TVelkarDBgrid *grilla = w->DBGrdCuadro;
        const int fila = grilla->currentIndex().isValid() ? grilla->currentIndex().row() : 0;
        return grilla->model()->index(fila, grilla->dataModel()->columnOf(QLatin1String(campo)));
    }

    QString texto(const char *campo) { return celda(campo).data().toString().trimmed(); }

    void pulsar(TQNavegador::TNavigateBtn boton)
    {
        QTest::mouseClick(w->QNvgdrCuadro->button(boton), Qt::LeftButton);
    }

    // Moves to the field's cell of the current row, types the value and ends with Enter.
    void teclear(const char *campo, const QString &valor)
    {
        TVelkarDBgrid *grilla = w->DBGrdCuadro;
        grilla->setCurrentIndex(celda(campo));
        QTest::keyClicks(grilla, valor.left(1));
        QWidget *editor = QApplication::focusWidget();
        QVERIFY2(editor && editor != grilla, "the cell did not open for editing");
        QTest::keyClicks(editor, valor.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();  // the view writes the value when its editor closes, queued
    }

    DemoDatabase m_db;
    std::unique_ptr<ModuloPrueba> m;
    std::unique_ptr<TFrmAcCuare> w;
    std::unique_ptr<DialogRecorder> dialogos;
    int m_filasIniciales = 0;
};

QTEST_MAIN(TstReplacementWindow)
#include "tst_replacementwindow.moc"
