#pragma once
// An independent, test-side reading of the demo data the way a traffic-light run reads it:
// for one plan node, every active holder of a position one level below is scored against the
// requirement profile of the node's position with all six categories ticked. Education and
// experience records add their points when their three keys match a profile row that has
// required points; the lines of the latest competence evaluation add theirs on a key match;
// with the company's education-without-points flag, matched education earns the required
// points once and each requirement counts its required points once.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

class TrafficLightProbe {
public:
    explicit TrafficLightProbe(const QSqlDatabase &db) : m_db(db) {}

    QList<double> run(int company, int plan, int node) const
    {
        const QList<QVariantList> target = select(
            "SELECT COD_EMCA, COD_CARG FROM AC_PPROM WHERE COD_EMPR = ? AND COD_MENU = ? AND COD_NODO = ?",
            {company, plan, node});
        if (target.isEmpty())
            return {};
        const QList<QVariantList> profile = select(
            "SELECT TIP_REGI, COD_REQU, COD_ESPE, PUN_REQU FROM BI_DTPCA a WHERE COD_EMPR = ? AND COD_CARG = ?"
            " AND TIP_REGI IN (SELECT TIP_REGI FROM AC_DPAMA WHERE COD_EMPR = a.COD_EMPR)"
            " ORDER BY TIP_REGI, COD_REQU, COD_ESPE", target.first());
        const bool noPoints = !select(
            "SELECT 1 FROM GN_NEXOF n, GN_EMPRE e WHERE e.COD_EMPR = ? AND n.COD_VARI = 'Q0000190'"
            " AND n.COD_PAIS = e.COD_PAIS AND n.COD_EMPR = e.COD_EMPR AND TRIM(n.VAL_VARI) = 'S'",
            {company}).isEmpty();
        QList<double> result;
        const QList<QVariantList> children = select(
            "SELECT COD_EMCA, COD_CARG FROM AC_PPROM WHERE COD_EMPR = ? AND COD_MENU = ? AND COD_NODP = ?"
            " ORDER BY COD_NODO", {company, plan, node});
        for (const QVariantList &child : children) {
            if (child.at(1) == target.first().at(1))
                continue;
            const QList<QVariantList> holders = select(
                "SELECT COD_EMPL FROM NM_CONTR WHERE COD_EMPR = ? AND COD_CARG = ? AND IND_ACTI = 'A'", child);
            for (const QVariantList &holder : holders)
                result << percentage(profile, child.at(0), holder.at(0), noPoints);
        }
        return result;
    }

private:
    static bool same(const QVariant &a, const QVariant &b)
    {
        if (a.isNull() || b.isNull())
            return a.isNull() && b.isNull();
        return a.toString() == b.toString();
    }

    double percentage(const QList<QVariantList> &profile, const QVariant &company, const QVariant &employee,
                      bool noPoints) const
    {
        // TIP_REGI, COD_REQU, COD_ESPE, PUN_OBTE, education?
        QList<QVariantList> records;
        for (const char *table : {"BI_DTPEF", "BI_DTPNF", "BI_DTPHV"}) {
            const bool education = qstrcmp(table, "BI_DTPHV") != 0;
            for (QVariantList row : select(QStringLiteral("SELECT TIP_REGI, COD_REQU, COD_ESPE, PUN_OBTE FROM %1"
                                                          " WHERE COD_EMPR = ? AND COD_EMPL = ?").arg(QLatin1String(table)),
                                           {company, employee})) {
                row << education;
                records << row;
            }
        }
        const QList<QVariantList> lines = select(
            "SELECT D.COD_REGI, D.COD_REQU, D.COD_ESPE, D.PUN_OBTE FROM ED_3CCOM C, ED_D3CCO D"
            " WHERE C.COD_EMPR = ? AND C.COD_EMPL = ? AND C.FEC_DESD = (SELECT MAX(FEC_DESD) FROM ED_3CCOM"
            " WHERE COD_EMPR = C.COD_EMPR AND COD_EMPL = C.COD_EMPL)"
            " AND D.COD_EMPR = C.COD_EMPR AND D.RMT_3CCO = C.RMT_3CCO", {company, employee});
        double obtained = 0, required = 0;
        QString previousType;
        QVariant previousRequirement;
        for (const QVariantList &row : profile) {
            const bool hasPoints = !row.at(3).isNull();
            for (const QVariantList &record : records) {
                if (!hasPoints || !same(row.at(1), record.at(1)) || !same(row.at(2), record.at(2))
                    || !same(row.at(0), record.at(0)))
                    continue;
                if (noPoints && record.at(4).toBool()) {
                    obtained += row.at(3).toDouble();
                    break;
                }
                obtained += record.at(3).toDouble();
            }
            for (const QVariantList &line : lines) {
                if (same(row.at(1), line.at(1)) && same(row.at(2), line.at(2)) && same(row.at(0), line.at(0)))
                    obtained += line.at(3).toDouble();
            }
            if (!noPoints || row.at(0).toString() != previousType || !same(row.at(1), previousRequirement)) {
                previousType = row.at(0).toString();
                previousRequirement = row.at(1);
                required += row.at(3).toDouble();
            }
        }
        if (obtained == 0 || required == 0)
            return 0;
        return obtained * 100 / required;
    }

    QList<QVariantList> select(const QString &sql, const QVariantList &binds) const
    {
        QSqlQuery query(m_db);
        query.prepare(sql);
        for (int i = 0; i < binds.size(); ++i)
            query.bindValue(i, binds.at(i));
        QList<QVariantList> rows;
        if (!query.exec())
            return rows;
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i)
                row << query.value(i);
            rows << row;
        }
        return rows;
    }
    QList<QVariantList> select(const char *sql, const QVariantList &binds) const
    {
        return select(QString::fromLatin1(sql), binds);
    }

    QSqlDatabase m_db;
};
