#pragma once
// The module's statements by name, as the data layer's catalogue (catalog/statements.json) writes
// them: the same texts the application server accepts, so that what the workstation composes from
// them is what the server runs. A statement's slots ({name}) take the literal texts given for them.

#include <QHash>
#include <QString>

class StatementCatalog {
public:
    static const StatementCatalog &module();

    // The text of statement `name` with each slot replaced by its text in `values`; throws
    // Exception when the catalogue has no such statement or a slot is left without a text.
    QString text(const QString &name, const QHash<QString, QString> &values = {}) const;

private:
    StatementCatalog();
    QHash<QString, QString> m_texts;
};
