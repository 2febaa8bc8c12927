#pragma once
// The query-by-example button. It is bound to a remote dataset whose statement (a name of the
// module's catalogue with its slot values) it remembers as the base query; Kquery runs the base
// query with conditions, and a click opens the criteria dialog, where the user builds conditions
// on the dataset's fields (or, where allowed, a filter on the rows already read). Conditions
// travel as column, operator and value; the server places them in the statement's WHERE clause
// on the columns its catalogue lets a user search.

#include "framework/widgets/QbeConditionBuilder.h"

#include <QPushButton>
#include <QStringList>
#include <QVariantMap>

class SClientDataSet;

class TQSDBQbe : public QPushButton {
    Q_OBJECT
public:
    explicit TQSDBQbe(QWidget *parent = nullptr);
    ~TQSDBQbe() override;

    void SetDataset(SClientDataSet *dataset);
    SClientDataSet *Dataset() const { return m_dataset; }

    // 0: the base query has no WHERE clause, criteria start one; 1: criteria join it with AND.
    // The server places them either way; the tag stays for the forms that set it.
    int Tag = 0;
    // How dates typed in the criteria are read (Qt notation).
    QString FormatoFecha = QStringLiteral("dd/MM/yyyy");
    // Criteria made only of plain comparisons filter the rows already read instead of querying.
    bool PermiteFiltro = true;
    // Accepting the criteria runs the query at once; when off it only sets the statement.
    bool Refrescar = true;
    // Texts compare upper-cased, so criteria find rows whatever their case.
    bool SQLUpperCase = false;
    // Every Inicializar takes the dataset's statement as the base query; its conditions are
    // kept apart from it, so initialising again never piles conditions onto conditions. Kept
    // for the forms that set it.
    bool ActualizarSQLBase = false;
    // Fields not offered in the criteria dialog (names compared without regard to case).
    QStringList ExcluirCampos;

    bool Flat() const { return isFlat(); }
    void setFlat(bool flat) { QPushButton::setFlat(flat); }

    // Takes the bound dataset's statement as the base query, forgets the criteria given before,
    // and with `abrir` runs the base query.
    void Inicializar(bool abrir);
    // Closes the dataset, gives it the base query with the conditions of `condicion` (" AND ...",
    // " WHERE ...": comparisons of a column with a value joined by AND, or "1=0" to learn the
    // columns without rows) and opens it. A blank condition runs the base query as it is; one
    // that cannot be read throws, and the dataset stays as it was.
    void Kquery(const QString &condicion);
    void Kquery(const QList<protocol::Condition> &condiciones);
    const QString &SQLBase() const { return m_sqlBase; }


private:
    void abrirCriterios();
    void aplicar(const QList<QbeCriterion> &criterios);
    QString textoFiltro(const QList<QbeCriterion> &criterios) const;
    SClientDataSet &dataset() const;

    void ponerBase(const QList<protocol::Condition> &condiciones);

    SClientDataSet *m_dataset = nullptr;
    QString m_statementBase;   // the base query: its catalogue name, slot values and text
    QVariantMap m_slotsBase;
    QString m_sqlBase;
    QList<QbeCriterion> m_criterios;
};
