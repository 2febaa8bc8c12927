#pragma once
// The record viewer's window: a title naming the employee (or the company, for the position
// master) over a read-only data grid of the records of one kind. It reads through the session's
// connection, as the module does, with the general-purpose provider of the application server.

#include "tools/viewer/RecordKind.h"
#include "framework/dataset/SClientDataSet.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/dataset/TDataSource.h"

#include <QWidget>

class QLabel;
class TVelkarDBgrid;

class RecordViewer : public QWidget {
    Q_OBJECT
public:
    // Reads as the user of `session`, from the place it names.
    RecordViewer(const Session &session, const RecordKind &kind, QWidget *parent = nullptr);
    ~RecordViewer() override;

    // Reads the records of `company` (and `employee`, for employee records); throws the server's
    // or the look-up's message.
    void load(int company, double employee);

    QString title() const;
    // The title, the column titles and one line per row, fields separated by tabs, as the grid
    // shows them.
    QString dumpText();

private:
    QString ownerName(int company, double employee);
    void fitColumns();

    const RecordKind &m_kind;
    SDCOMConnection m_connection;
    SClientDataSet m_records{QStringLiteral("CdsRegistros")};
    SClientDataSet m_scratch{QStringLiteral("CdsTemporal")};
    TDataSource m_source;
    QLabel *m_title;
    TVelkarDBgrid *m_grid;
};
