// The notes control and the help labels on the demo database: notes and alerts per record with
// their user, and program starts recorded through
// the launcher with the value of the label's focus control.

#include "tests/framework/DataSetFixtures.h"
#include "tests/support/DemoDatabase.h"
#include "framework/widgets/DialogService.h"
#include "framework/Exceptions.h"
#include "framework/widgets/ProgramLauncher.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/widgets/TQInfoAyuda.h"
#include "framework/widgets/TQNotas.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class TestNotesAndHelp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        m_connection.setSession(m_db.session(1));
    }

    void notesPerRecord()
    {
        auto positions = fixtures::positions();
        TQNotas notes;
        notes.Usuario = QStringLiteral("ANA");
        attach(notes, positions.get());

        notes.AgregarNota(QStringLiteral("Revisar perfil"), false);
        notes.AgregarNota(QStringLiteral("Vacante urgente"), true);
        QCOMPARE(notes.Alertas(), 1);
        positions->Next();
        notes.Refrescar();
        QCOMPARE(notes.Alertas(), 0);
        QCOMPARE(notes.CdsNotas.RecordCount(), 0);

        positions->First();
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
};

QTEST_MAIN(TestNotesAndHelp)
#include "tst_notesandhelp.moc"
