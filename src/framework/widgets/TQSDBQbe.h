#pragma once
// The query-by-example button. It is bound to a remote dataset whose statement it remembers as
// the base query; Kquery runs the base query with a condition in its WHERE clause, and a click
// opens the criteria dialog, where the user builds conditions on the dataset's fields that
// become such a condition (or, where allowed, a filter on the rows already read).

#include "framework/widgets/QbeConditionBuilder.h"

#include <QPushButton>
#include <QStringList>

class SClientDataSet;

class TQSDBQbe : public QPushButton {
    Q_OBJECT
public:
    explicit TQSDBQbe(QWidget *parent = nullptr);
    ~TQSDBQbe() override;

    void SetDataset(SClientDataSet *dataset);
    SClientDataSet *Dataset() const { return m_dataset; }

    // 0: the base query has no WHERE clause, criteria start one; 1: criteria join it with AND.
    // Either way the criteria land in the WHERE clause the base query has, or in a new one.
    int Tag = 0;
    // How dates typed in the criteria are read (Qt notation).
    QString FormatoFecha = QStringLiteral("dd/MM/yyyy");
    // Criteria made only of plain comparisons filter the rows already read instead of querying.
    bool PermiteFiltro = true;
    // Accepting the criteria runs the query at once; when off it only sets the statement.
    bool Refrescar = true;
    // Texts compare upper-cased, so criteria find rows whatever their case.
    bool SQLUpperCase = false;
    // Every Inicializar takes the dataset's statement as the new base query. When off, the
    // statement that Kquery or the criteria set last is known for theirs, and the base stays,
    // so a form that initialises again after Kquery does not pile conditions onto conditions.
    bool ActualizarSQLBase = false;
    // Fields not offered in the criteria dialog (names compared without regard to case).
    QStringList ExcluirCampos;

    bool Flat() const { return isFlat(); }
    void setFlat(bool flat) { QPushButton::setFlat(flat); }

    // Takes the bound dataset's statement as the base query (see ActualizarSQLBase), forgets the
    // criteria given before, and with `abrir` runs the base query.
    void Inicializar(bool abrir);
    // Closes the dataset, sets its statement to the base query with `condicion` (" AND ...",
    // " WHERE ...") at the end of its WHERE clause, ahead of any ORDER BY, and opens it. A blank
    // condition runs the base query as it is; one that cannot be placed throws, and the
    // dataset stays as it was.
    void Kquery(const QString &condicion);
    const QString &SQLBase() const { return m_sqlBase; }

    // What the criteria dialog last produced: the WHERE/AND condition for Kquery, or the filter.
    const QString &UltimaCondicion() const { return m_lastCondition; }

private:
    void abrirCriterios();
    void aplicar(const QList<QbeCriterion> &criterios);
    QString textoFiltro(const QList<QbeCriterion> &criterios) const;
    SClientDataSet &dataset() const;

    SClientDataSet *m_dataset = nullptr;
    QString m_sqlBase;
    QString m_sqlSet;   // the statement Kquery or the criteria gave the dataset last
    bool m_baseRead = false;
    QList<QbeCriterion> m_criterios;
    QString m_lastCondition;
};
