#pragma once
// The module's statements by name, as the data layer's catalogue (catalog/statements.json) writes
// them: the same catalogue the application server runs them from. A dataset is pointed at a
// statement by name; the name and the values travel, the text stays on the dataset for a reader,
// its {slots} shown with the values given for them.

#include <QHash>
#include <QString>
#include <QVariantMap>

class SClientDataSet;

class StatementCatalog {
public:
    // The catalogue compiled into the module; throws Exception naming the file when it cannot be
    // read.
    static const StatementCatalog &module();

    // The text of statement `name` with each slot shown as the value given for it in `slots`
    // (numbers as written, texts quoted, a list of texts quoted and joined by commas); throws
    // Exception when the catalogue has no such statement or a slot is left without a value.
    QString text(const QString &name, const QVariantMap &slotValues = {}) const;

    // Points `dataSet` at statement `name` with the values of its slots.
    void use(SClientDataSet &dataSet, const QString &name, const QVariantMap &slotValues = {}) const;

private:
    StatementCatalog();
    QHash<QString, QString> m_texts;
    QHash<QString, QHash<QString, QString>> m_slotKinds;   // statement -> slot -> kind
};
