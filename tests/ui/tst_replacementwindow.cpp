// The replacement window on the demo database, driven through its grid and navigator with clicks
// and keys: the head flag's list, a row without its employee, and closing with a pending row. (The
// look-up, saving and deleting a row are walked by tst_journey.)

#include "tests/support/DataTable.h"
#include "framework/widgets/DialogService.h"
#include "tests/data/ModuloPrueba.h"
#include "framework/dataset/TDataSetModel.h"
#include "framework/widgets/TQNavegador.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "ui/UAcCuare.h"

#include <QApplication>
#include <QComboBox>
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

    // A new row saved without its employee: told in the user's words, the row stays in insert and
    // nothing is written. (A save while a cell is being typed: tst_controls; each rule of the row:
    // tst_replacementrules.)
    void guardarSinEmpleado()
    {
        pulsar(TQNavegador::nbInsert);
        pulsar(TQNavegador::nbPost);
        QCOMPARE(dialogos->texts(), QStringList{QStringLiteral("Indique la identificación del empleado.")});
        QCOMPARE(filas().State(), dsInsert);
        QCOMPARE(m_db.query(QStringLiteral("SELECT COUNT(*) FROM AC_CUARE "
                                           "WHERE COD_EMPR = 1 AND COD_MENU = 2 AND COD_NODO = 8")),
                 QStringList{QString::number(m_filasIniciales)});
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
