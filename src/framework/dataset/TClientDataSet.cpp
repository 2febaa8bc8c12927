#include "framework/dataset/TClientDataSet.h"

#include "framework/Exceptions.h"

TClientDataSet::TClientDataSet(const QString &name) : TDataSet(name) {}

void TClientDataSet::doOpen()
{
    if (Fields().isEmpty())
        throw EDatabaseError(QStringLiteral("%1: no tiene campos ni datos; falta CreateDataSet")
                                 .arg(displayName()));
}

void TClientDataSet::CreateDataSet()
{
    Close();
    if (!hasDeclaredFields()) {
        destroyDynamicFields();
        for (const TFieldDef &def : m_fieldDefs.list()) {
            TField *field = addDynamicField(def.Name, def.DataType, def.Size);
            field->Required = def.Required;
        }
    }
    if (Fields().isEmpty())
        throw EDatabaseError(QStringLiteral("%1: no se puede crear sin definiciones de campos")
                                 .arg(displayName()));
    records().clear();
    Open();
}

void TClientDataSet::EmptyDataSet()
{
    discardRows();
}

QList<TDataSet::SortKey> TClientDataSet::keysOf(const QString &fieldNames, const QString &descFields,
                                                bool allDescending, bool caseInsensitive) const
{
    const QStringList desc = descFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QList<SortKey> keys;
    for (const QString &raw : fieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = raw.trimmed();
        if (name.isEmpty())
            continue;
        const bool descending = allDescending || desc.contains(name, Qt::CaseInsensitive);
        keys.append({name, descending, caseInsensitive});
    }
    return keys;
}

void TClientDataSet::setIndexFieldNames(const QString &fieldNames)
{
    setSortKeys(keysOf(fieldNames, QString(), false, false));
    m_indexFieldNames = fieldNames;
    m_indexName.clear();
}

void TClientDataSet::setIndexName(const QString &indexName)
{
    QList<SortKey> keys;
    if (!indexName.isEmpty()) {
        const TIndexDef *def = m_indexDefs.Find(indexName);
        if (!def)
            throw EDatabaseError(QStringLiteral("%1: índice '%2' no encontrado")
                                     .arg(displayName(), indexName));
        keys = keysOf(def->Fields, def->DescFields, def->Options.testFlag(ixDescending),
                      def->Options.testFlag(ixCaseInsensitive));
    }
    setSortKeys(keys);
    m_indexName = indexName;
    m_indexFieldNames.clear();
}
