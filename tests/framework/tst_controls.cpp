// The framework's controls driven offscreen through clicks and keys; notes and help labels on the demo.

#include "tests/framework/DataSetFixtures.h"
#include "tests/support/DataTable.h"
#include "framework/widgets/DialogService.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/QtTranslations.h"
#include "framework/widgets/TDBEdit.h"
#include "framework/dataset/TDataSetModel.h"
#include "framework/dataset/TDataSource.h"
#include "framework/widgets/TQNavegador.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "framework/widgets/ProgramLauncher.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/widgets/TQInfoAyuda.h"
#include "framework/widgets/TQNotas.h"
#include "tests/support/DemoDatabase.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

using Action = std::function<void()>;
Q_DECLARE_METATYPE(Action)

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        m_connection.setSession(m_db.session(1));
    }

    void init()
    {
        m_ds = fixtures::positions();
        m_source = std::make_unique<TDataSource>(m_ds.get());
    }

    void cleanup()
    {
        m_source.reset();
        m_ds.reset();
    }

    void guard_data()
    {
        addColumns<Action, QStringList, bool>({"action", "shown", "ok"});
        QTest::newRow("refusal") << Action([] { throw Exception(QStringLiteral("Nodo ocupado")); })
                                 << QStringList{QStringLiteral("Nodo ocupado")} << false;
        QTest::newRow("silent abort") << Action([] { throw EAbort(); }) << QStringList{} << false;
        QTest::newRow("nested guards show once") << Action([] {
            ErrorGuard::run([] { throw Exception(QStringLiteral("interno")); });
            throw Exception(QStringLiteral("no debe llegar"));
        }) << QStringList{QStringLiteral("interno")} << false;
        QTest::newRow("library error") << Action([] { throw std::runtime_error("sin memoria"); })
                                       << QStringList{QStringLiteral("sin memoria")} << false;
        QTest::newRow("success") << Action([] {}) << QStringList{} << true;
    }

    void guard()
    {
        QFETCH(Action, action);
        QFETCH(QStringList, shown);
        QFETCH(bool, ok);
        DialogRecorder dialogs;
        QCOMPARE(ErrorGuard::run(action), ok);
        QCOMPARE(dialogs.texts(), shown);
        for (const DialogService::Request &request : dialogs.requests)
            QCOMPARE(request.kind, DialogService::Error);
    }

    void gridColumns()
    {
        TVelkarDBgrid grid;
        QAbstractItemModelTester tester(grid.model());
        grid.setDataSource(m_source.get());
        grid.setColumns({{QStringLiteral("NOM_CARG"), QString(), 150},
                         {QStringLiteral("cod_carg"), QStringLiteral("Código"), 0, true},
                         {QStringLiteral("PUN_REQU")},
                         {QStringLiteral("NO_EXISTE")}});
        grid.setReadOnly(false);
        QAbstractItemModel *model = grid.model();
        QCOMPARE(model->columnCount(), 3);
        QStringList titles;
        for (int c = 0; c < 3; ++c)
            titles << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{QStringLiteral("Nombre"), QStringLiteral("Código"), QStringLiteral("PUN_REQU")}));
        QVERIFY(model->flags(model->index(0, 0)) & Qt::ItemIsEditable);
        QVERIFY(!(model->flags(model->index(0, 1)) & Qt::ItemIsEditable));
    }

    // Enter moves to the next column, from the last back to the first.
    void gridEnterWraps()
    {
        TVelkarDBgrid grid;
        grid.setDataSource(m_source.get());
        grid.setReadOnly(true);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
        QList<int> visited;
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(&grid, Qt::Key_Return);
            visited << grid.SelectedIndex();
        }
        QCOMPARE(visited, (QList<int>{1, 2, 3, 0, 1}));
        QCOMPARE(m_ds->RecNo(), 1);
    }

    // However the dataset moves, the grid brings its current row into view and marks it by state.
    void gridKeepsCurrentRowInView_data()
    {
        using Move = std::function<void(TClientDataSet &)>;
        // height: the form's height once moved (the grid shrinks with it), 0 when it keeps its size
        addColumns<Move, bool, int, QString, int>({"move", "shownFirst", "row", "marker", "height"});
        QTest::newRow("far row edited") << Move([](TClientDataSet &ds) {
            ds.setRecNo(200);
            ds.Edit();
        }) << true << 199 << QStringLiteral("✎") << 0;
        QTest::newRow("row appended") << Move([](TClientDataSet &ds) { ds.Append(); }) << true << 300
                                      << QStringLiteral("*") << 0;
        QTest::newRow("moved before the grid is shown")
            << Move([](TClientDataSet &ds) { ds.setRecNo(260); }) << false << 259 << QStringLiteral("▶") << 0;
        QTest::newRow("moved, then the grid shrinks")
            << Move([](TClientDataSet &ds) { ds.setRecNo(14); }) << true << 13 << QStringLiteral("▶") << 130;
    }

    void gridKeepsCurrentRowInView()
    {
        using Move = std::function<void(TClientDataSet &)>;
        QFETCH(Move, move);
        QFETCH(bool, shownFirst);
        QFETCH(int, row);
        QFETCH(QString, marker);
        QFETCH(int, height);
        TClientDataSet ds(QStringLiteral("CdsMuchas"));
        ds.AddField(QStringLiteral("COD"), protocol::FieldType::Integer);
        ds.CreateDataSet();
        for (int i = 1; i <= 300; ++i) {
            ds.Append();
            ds.Fields().at(0)->setAsInteger(i);
            ds.Post();
        }
        ds.First();
        TDataSource source(&ds);
        QWidget form;
        auto *grid = new TVelkarDBgrid(&form);
        (new QVBoxLayout(&form))->addWidget(grid);
        grid->setDataSource(&source);
        form.resize(320, 420);
        if (shownFirst) {
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
        }
        move(ds);
        if (!shownFirst) {
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
        }
        if (height > 0) {
            form.resize(320, height);
            QApplication::processEvents();
        }
        QCOMPARE(ds.currentRow(), row);
        const QRect shown = grid->visualRect(grid->model()->index(row, 0));
        QVERIFY2(grid->viewport()->rect().contains(shown), qPrintable(QStringLiteral("row %1 at y %2 of %3")
                                                                          .arg(row).arg(shown.y()).arg(grid->viewport()->height())));
        const auto markerOf = [&](int r) { return grid->model()->headerData(r, Qt::Vertical).toString(); };
        QCOMPARE(markerOf(row), marker);
        QCOMPARE(markerOf(row - 1), QString());
    }

    // A title's clicks order the table itself, numbers as numbers and empty first, then reversed.
    void headerOrdersTheDataSet()
    {
        TVelkarDBgrid grid;
        grid.setDataSource(m_source.get());
        grid.setReadOnly(true);
        grid.setSortableByHeader(true);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const auto shown = [&] {
            QStringList names;
            for (int r = 0; r < grid.model()->rowCount(); ++r)
                names << grid.model()->index(r, 1).data().toString();
            return names;
        };
        QHeaderView *header = grid.horizontalHeader();
        const QPoint points(header->sectionViewportPosition(3) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, points);
        const QStringList ascending{QStringLiteral("C3"), QStringLiteral("C1"), QStringLiteral("c4"), QStringLiteral("C2")};
        QCOMPARE(shown(), ascending);
        QCOMPARE(fixtures::column(*m_ds, QStringLiteral("COD_CARG")), ascending);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, points);
        const QStringList descending{QStringLiteral("C2"), QStringLiteral("c4"), QStringLiteral("C1"), QStringLiteral("C3")};
        QCOMPARE(shown(), descending);
        QCOMPARE(fixtures::column(*m_ds, QStringLiteral("COD_CARG")), descending);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(1, 0)).center());
        QCOMPARE(m_ds->FieldByName(QStringLiteral("COD_CARG"))->AsString(), QStringLiteral("c4"));
        QCOMPARE(m_ds->RecNo(), 2);
    }

    void postTakesWhatIsBeingTyped_data()
    {
        addColumns<QString, QString, QString>({"typed", "message", "stored"});
        QTest::newRow("saved") << "Gerente" << QString() << "Gerente";
        QTest::newRow("refused") << "Xavier" << "Nombre no permitido" << "Analista";
    }

    // Saved while typing in a cell: the text goes with the row, or once refused stays in the cell.
    // (In a field-bound edit: tst_mainform's parent typed and saved, and the journeys.)
    void postTakesWhatIsBeingTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        TField *name = m_ds->FieldByName(QStringLiteral("NOM_CARG"));
        name->OnValidate = [](TField *field) {
            if (field->AsString().startsWith(QLatin1Char('X')))
                throw Exception(QStringLiteral("Nombre no permitido"));
        };
        QWidget form;
        auto *layout = new QVBoxLayout(&form);
        auto *grid = new TVelkarDBgrid;
        auto *navigator = new TQNavegador;
        layout->addWidget(grid);
        layout->addWidget(navigator);
        grid->setDataSource(m_source.get());
        grid->setReadOnly(false);
        navigator->setDataSource(m_source.get());
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        DialogRecorder dialogs;
        QTest::mouseClick(navigator->button(TQNavegador::nbEdit), Qt::LeftButton);
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, grid->dataModel()->columnOf(QStringLiteral("NOM_CARG"))));
        QTest::keyClicks(grid, typed.left(1));
        auto *typing = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(typing);
        QTest::keyClicks(typing, typed.mid(1));
        QCOMPARE(m_ds->State(), dsEdit);
        QTest::mouseClick(navigator->button(TQNavegador::nbPost), Qt::LeftButton);
        QCOMPARE(dialogs.texts().join(QLatin1Char('|')), message);
        QCOMPARE(m_ds->State(), message.isEmpty() ? dsBrowse : dsEdit);
        QCOMPARE(name->AsString(), stored);
        if (!message.isEmpty())
            QCOMPARE(typing->text(), typed);
        m_ds->Cancel();  // the refused text goes with the edit, before the form closes
    }

    // The module's questions answer "Sí" and "No", and Qt's own texts come in Spanish too.
    void questionsAndQtTextsInSpanish()
    {
        QVERIFY(loadQtSpanishTranslations());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
        QStringList buttons;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton *button : box->buttons())
                buttons << button->text();
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        });
        QVERIFY(!DialogService::instance().confirm(QStringLiteral("¿Borrar el registro?")));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("&No"), QStringLiteral("&Sí")}));
    }

    void navigatorFollowsState()
    {
        TQNavegador navigator;
        navigator.setDataSource(m_source.get());
        navigator.setVisibleButtons(TQNavegador::nbFirst | TQNavegador::nbPrior | TQNavegador::nbNext
                                    | TQNavegador::nbLast | TQNavegador::nbDelete);
        const auto enabled = [&](TQNavegador::TNavigateBtn which) { return navigator.button(which)->isEnabled(); };
        QVERIFY(navigator.button(TQNavegador::nbInsert)->isHidden());
        QVERIFY(!enabled(TQNavegador::nbFirst));
        QVERIFY(enabled(TQNavegador::nbNext));

        QTest::mouseClick(navigator.button(TQNavegador::nbLast), Qt::LeftButton);
        QCOMPARE(m_ds->RecNo(), 4);
        QVERIFY(enabled(TQNavegador::nbPrior));
        QVERIFY(!enabled(TQNavegador::nbNext));

        {
            DialogRecorder no([](const DialogService::Request &) { return int(DialogService::No); });
            QTest::mouseClick(navigator.button(TQNavegador::nbDelete), Qt::LeftButton);
            QCOMPARE(no.requests.size(), 1);
            QCOMPARE(no.requests.first().kind, DialogService::Question);
        }
        QCOMPARE(m_ds->RecordCount(), 4);   // (deleted on yes: the replacement journey)

        m_ds->Edit();
        QVERIFY(enabled(TQNavegador::nbPost) && enabled(TQNavegador::nbCancel));
        QVERIFY(!enabled(TQNavegador::nbNext) && !enabled(TQNavegador::nbDelete));
    }

    // Typing into the edit of an empty list starts a new row, which keeps every letter typed.
    void typingIntoAnEmptyListKeepsTheFirstLetter()
    {
        m_ds->EmptyDataSet();
        QWidget form;
        auto *edit = new TDBEdit(&form);
        edit->setDataSource(m_source.get());
        edit->setDataField(QStringLiteral("nom_carg"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("Gerente"));
        QCOMPARE(m_ds->State(), dsInsert);
        QCOMPARE(edit->text(), QStringLiteral("Gerente"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(m_ds->FieldByName(QStringLiteral("NOM_CARG"))->AsString(), QStringLiteral("Gerente"));
    }

    void notesPerRecord()
    {
        TQNotas notes;
        notes.Usuario = QStringLiteral("ANA");
        attach(notes, m_ds.get());

        notes.AgregarNota(QStringLiteral("Revisar perfil"), false);
        notes.AgregarNota(QStringLiteral("Vacante urgente"), true);
        QCOMPARE(notes.Alertas(), 1);
        m_ds->Next();
        notes.Refrescar();
        QCOMPARE(notes.Alertas(), 0);
        QCOMPARE(notes.CdsNotas.RecordCount(), 0);

        m_ds->First();
        notes.Refrescar();
        QCOMPARE(fixtures::column(notes.CdsNotas, QStringLiteral("TXT_NOTA")),
                 (QStringList{QStringLiteral("Revisar perfil"), QStringLiteral("Vacante urgente")}));
        QCOMPARE(fixtures::column(notes.CdsNotas, QStringLiteral("ACT_USUA")),
                 (QStringList{QStringLiteral("ANA"), QStringLiteral("ANA")}));
        QCOMPARE(notes.text(), QStringLiteral("Notas (1)"));
    }

    void helpLabelsStartPrograms()
    {
        QWidget form;
        QLineEdit employee(QStringLiteral("1012345"), &form);
        QLabel experience(QStringLiteral("Empleado"), &form), position(QStringLiteral("Cargo"), &form);
        experience.setBuddy(&employee);
        TQInfoAyuda help;
        help.session = m_db.session(1);
        help.AsignarEventosMouseDown({&experience, &position}, {QStringLiteral("/opt/suite/hvext"), QString()});
        help.CrearLlavesInformacion(QStringLiteral("cod_empl"), QStringLiteral("COD_EMPL"), &experience);

        QList<ProgramLauncher::Start> starts;
        const auto previous = ProgramLauncher::instance().setRecorder([&](const ProgramLauncher::Start &start) {
            starts << start;
            return true;
        });
        DialogRecorder dialogs;
        form.show();
        QTest::mouseClick(&experience, Qt::LeftButton);
        QTest::mouseClick(&position, Qt::LeftButton);
        ProgramLauncher::instance().setRecorder(previous);

        QCOMPARE(starts.size(), 1);
        QCOMPARE(starts.first().program, QStringLiteral("/opt/suite/hvext"));
        const QStringList args = starts.first().arguments;
        const int key = args.indexOf(QStringLiteral("--key"));
        QVERIFY(key >= 0);
        QCOMPARE(args.mid(key), (QStringList{QStringLiteral("--key"), QStringLiteral("cod_empl"), QStringLiteral("--field"),
                                             QStringLiteral("COD_EMPL"), QStringLiteral("--value"), QStringLiteral("1012345")}));
        QCOMPARE(args.value(args.indexOf(QStringLiteral("--company")) + 1), QStringLiteral("1"));
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("No hay un programa asociado a \"Cargo\".")});
    }

private:
    // The notes of a test form's positions, kept by their code.
    void attach(TQNotas &notes, TDataSet *positions)
    {
        notes.RemoteServer = &m_connection;
        notes.Forma = QStringLiteral("FrmPrueba");
        notes.Campo = QStringLiteral("COD_CARG");
        notes.setDataSet(positions);
    }

    DemoDatabase m_db;
    SDCOMConnection m_connection;
    std::unique_ptr<TClientDataSet> m_ds;
    std::unique_ptr<TDataSource> m_source;
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
