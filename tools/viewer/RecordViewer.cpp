#include "tools/viewer/RecordViewer.h"

#include "data/StatementCatalog.h"
#include "framework/Exceptions.h"
#include "framework/widgets/TVelkarDBgrid.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

RecordViewer::RecordViewer(const Session &session, const RecordKind &kind, QWidget *parent)
    : QWidget(parent), m_kind(kind), m_title(new QLabel(this)), m_grid(new TVelkarDBgrid(this))
{
    setObjectName(QStringLiteral("RecordViewer"));
    m_connection.setSession(session);
    for (SClientDataSet *dataSet : {&m_records, &m_scratch}) {
        dataSet->RemoteServer = &m_connection;
        dataSet->ProviderName = QStringLiteral("DtsPTemporal");
        dataSet->SAuditFields = false;
    }
    m_source.setDataSet(&m_records);
    m_source.AutoEdit = false;

    QFont font = m_title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    m_title->setFont(font);
    m_title->setObjectName(QStringLiteral("LblTitulo"));
    m_grid->setObjectName(QStringLiteral("DBGrdRegistros"));
    m_grid->setReadOnly(true);
    m_grid->setDataSource(&m_source);
    m_grid->horizontalHeader()->setStretchLastSection(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_grid);
    resize(760, 360);
}

RecordViewer::~RecordViewer()
{
    m_grid->setDataSource(nullptr);
    m_source.setDataSet(nullptr);
}

void RecordViewer::load(int company, double employee)
{
    const QString owner = ownerName(company, employee);
    m_records.Close();
    StatementCatalog::module().use(m_records, m_kind.statement(), m_kind.slotValues(company, employee));
    m_records.Open();
    const QStringList titles = m_kind.columnTitles();
    for (int i = 0; i < m_records.FieldCount() && i < titles.size(); ++i)
        m_records.Fields().at(i)->DisplayLabel = titles.at(i);
    m_grid->setDataSource(&m_source);  // the columns of this opening, with their titles
    fitColumns();
    m_title->setText(QStringLiteral("%1 - %2 (%3 registros)").arg(m_kind.title, owner).arg(m_records.RecordCount()));
    setWindowTitle(m_kind.title + QStringLiteral(" - ") + owner);
}

// Columns as wide as their contents, none wider than a long description needs to be read; the
// window as wide as the columns, within reason.
void RecordViewer::fitColumns()
{
    m_grid->resizeColumnsToContents();
    // Room for the row numbers, when shown, and for the scroll bar.
    int total = (m_grid->verticalHeader()->isVisible() ? m_grid->verticalHeader()->width() : 0)
                + 2 * m_grid->frameWidth() + m_grid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < m_grid->model()->columnCount(); ++c) {
        m_grid->setColumnWidth(c, qMin(m_grid->columnWidth(c) + 8, 280));
        total += m_grid->columnWidth(c);
    }
    const QMargins margins = layout()->contentsMargins();
    const int rows = m_grid->verticalHeader()->defaultSectionSize() * qMax(m_records.RecordCount(), 8);
    const int chrome = m_title->sizeHint().height() + m_grid->horizontalHeader()->sizeHint().height()
                       + m_grid->horizontalScrollBar()->sizeHint().height() + 2 * m_grid->frameWidth()
                       + layout()->spacing() + margins.top() + margins.bottom();
    resize(qBound(480, total + margins.left() + margins.right(), 1200), qBound(240, rows + chrome, 640));
}

// The employee's code and name, or the company's name for the position master.
QString RecordViewer::ownerName(int company, double employee)
{
    const QString number = QString::number(employee, 'f', 0);
    m_scratch.Close();
    if (m_kind.perEmployee)
        StatementCatalog::module().use(m_scratch, QStringLiteral("NombreEmpleado"),
                                       {{QStringLiteral("empresa"), company}, {QStringLiteral("empleado"), employee}});
    else
        StatementCatalog::module().use(m_scratch, QStringLiteral("NombreEmpresa"), {{QStringLiteral("empresa"), company}});
    m_scratch.Open();
    const bool found = !m_scratch.IsEmpty();
    QString name;
    if (found && m_kind.perEmployee)
        name = number + QLatin1Char(' ') + m_scratch.Fields().at(0)->AsString().trimmed() + QLatin1Char(' ')
               + m_scratch.Fields().at(1)->AsString().trimmed();
    else if (found)
        name = m_scratch.Fields().at(0)->AsString().trimmed();
    m_scratch.Close();
    if (!found && m_kind.perEmployee)
        throw Exception(QStringLiteral("El empleado %1 no existe en la empresa %2.").arg(number).arg(company));
    if (!found)
        throw Exception(QStringLiteral("La empresa %1 no existe.").arg(company));
    return name;
}

QString RecordViewer::title() const
{
    return m_title->text();
}

QString RecordViewer::dumpText()
{
    QStringList lines{title()};
    QStringList header;
    for (const TField *field : m_records.Fields())
        header << field->DisplayName();
    lines << header.join(QLatin1Char('\t'));
    for (int row = 0; row < m_records.rowCount(); ++row) {
        QStringList cells;
        for (TField *field : m_records.Fields())
            cells << field->textOf(m_records.rowValue(row, field), true).trimmed();
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
