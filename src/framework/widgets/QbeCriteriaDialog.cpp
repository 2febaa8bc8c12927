#include "framework/widgets/QbeCriteriaDialog.h"

#include "framework/widgets/ErrorGuard.h"
#include "ui_QbeCriteriaDialog.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>

namespace {

QComboBox *comboAt(QTableWidget *table, int row, int column)
{
    return qobject_cast<QComboBox *>(table->cellWidget(row, column));
}

QLineEdit *editAt(QTableWidget *table, int row)
{
    return qobject_cast<QLineEdit *>(table->cellWidget(row, 2));
}

// Editors are named after their row, so that they can be found again after a row goes.
void nameRow(QTableWidget *table, int row)
{
    comboAt(table, row, 0)->setObjectName(QStringLiteral("cmbCampo%1").arg(row));
    comboAt(table, row, 1)->setObjectName(QStringLiteral("cmbOperador%1").arg(row));
    editAt(table, row)->setObjectName(QStringLiteral("edtValor%1").arg(row));
}

// The table deletes the editors of a removed row later; until then they must not answer to the
// names of the rows that stay.
void forgetRow(QTableWidget *table, int row)
{
    for (int column = 0; column < table->columnCount(); ++column)
        if (QWidget *editor = table->cellWidget(row, column))
            editor->setObjectName(QString());
}

void removeRows(QTableWidget *table)
{
    for (int row = 0; row < table->rowCount(); ++row)
        forgetRow(table, row);
    table->setRowCount(0);
}

} // namespace

QbeCriteriaDialog::QbeCriteriaDialog(const QList<QPair<QString, QString>> &campos, QWidget *parent)
    : QDialog(parent), ui(new Ui::QbeCriteriaDialog), m_campos(campos)
{
    ui->setupUi(this);
    ui->tblCriterios->horizontalHeader()->resizeSection(0, 200);
    ui->tblCriterios->horizontalHeader()->resizeSection(1, 120);
    connect(ui->btnAgregar, &QPushButton::clicked, this, [this] { addRow(); });
    connect(ui->btnQuitar, &QPushButton::clicked, this, [this] { removeCurrentRow(); });
    connect(ui->btnLimpiar, &QPushButton::clicked, this, [this] {
        removeRows(ui->tblCriterios);
        addRow();
    });
    connect(ui->btnAceptar, &QPushButton::clicked, this, [this] { acceptCriteria(); });
    connect(ui->btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    addRow();
}

QbeCriteriaDialog::~QbeCriteriaDialog() = default;

int QbeCriteriaDialog::addRow()
{
    QTableWidget *table = ui->tblCriterios;
    const int row = table->rowCount();
    table->insertRow(row);
    auto *campo = new QComboBox;
    for (const auto &c : m_campos)
        campo->addItem(c.second, c.first);
    auto *operador = new QComboBox;
    operador->addItems(QbeConditionBuilder::operatorCaptions());
    table->setCellWidget(row, 0, campo);
    table->setCellWidget(row, 1, operador);
    table->setCellWidget(row, 2, new QLineEdit);
    nameRow(table, row);
    table->setCurrentCell(row, 2);
    return row;
}

void QbeCriteriaDialog::removeCurrentRow()
{
    QTableWidget *table = ui->tblCriterios;
    const int current = table->currentRow();
    if (current < 0)
        return;
    forgetRow(table, current);
    table->removeRow(current);
    for (int row = current; row < table->rowCount(); ++row)
        nameRow(table, row);
    if (table->rowCount() == 0)
        addRow();
}

void QbeCriteriaDialog::setCriteria(const QList<QbeCriterion> &criteria)
{
    QTableWidget *table = ui->tblCriterios;
    removeRows(table);
    for (const QbeCriterion &criterion : criteria) {
        const int row = addRow();
        QComboBox *campo = comboAt(table, row, 0);
        campo->setCurrentIndex(qMax(0, campo->findData(criterion.field)));
        comboAt(table, row, 1)->setCurrentIndex(int(criterion.op));
        editAt(table, row)->setText(criterion.value);
    }
    if (table->rowCount() == 0)
        addRow();
}

QList<QbeCriterion> QbeCriteriaDialog::criteria() const
{
    QList<QbeCriterion> criteria;
    QTableWidget *table = ui->tblCriterios;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString value = editAt(table, row)->text();
        if (value.trimmed().isEmpty())
            continue;
        criteria.append({comboAt(table, row, 0)->currentData().toString(),
                         QbeOperator(comboAt(table, row, 1)->currentIndex()), value});
    }
    return criteria;
}

void QbeCriteriaDialog::acceptCriteria()
{
    if (ErrorGuard::run([this] {
            if (check)
                check(criteria());
        }))
        accept();
}
