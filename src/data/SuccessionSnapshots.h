#pragma once
// Snapshots of a succession map ("cortes") kept in the database through the application server:
// saved by the server's apply on the providers DtsPAcCortd (one row per node and person) and
// DtsPAcCorte (the snapshot itself, written last: a snapshot exists once it is there), read with
// the catalogue's statements. The window's page and the command line both go through it.

#include "engine/SuccessionSnapshot.h"

#include <QVector>

class SDCOMConnection;

class SuccessionSnapshots {
public:
    explicit SuccessionSnapshots(SDCOMConnection &connection);

    // Keeps `result` (a whole computed map, not cancelled) with the categories and education
    // flag it was computed with, the session's user, the time now (UTC) and `label`; returns the
    // snapshot's header, with its number. Throws Exception with the server's refusal; nothing is
    // kept then.
    engine::SnapshotHeader save(const engine::SuccessionResult &result, const engine::Categories &categories,
                                bool eduSinPuntos, const QString &label);

    // The snapshots of `company`, by number; only those of `plan` when given (not 0).
    QVector<engine::SnapshotHeader> list(int company, int plan = 0);
    // Snapshot `number` with its rows, among the companies the user may see (the session's
    // company first); throws Exception when there is none.
    engine::Snapshot load(int number, int preferredCompany);
    // Both snapshots, compared; throws Exception for an unknown one or snapshots of different
    // companies or plans.
    engine::SnapshotComparison compare(int from, int to, int preferredCompany);
    // Every snapshot line of person `codEmpl` in `company`, by snapshot and node.
    QVector<engine::HistoryEntry> history(int company, double codEmpl);

    // The longest label a snapshot keeps.
    static constexpr int kLabelLength = 60;
    // Rows of a snapshot sent in one request at most: with the longest names, still well inside
    // the 4 MB a server takes by default.
    static constexpr int kRowsPerRequest = 15000;

private:
    int nextNumber();

    SDCOMConnection &m_connection;
};
