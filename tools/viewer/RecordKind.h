#pragma once
// The kinds of records the viewer shows, one per program code of the suite: the employee's work
// experience, formal and non-formal education, or the company's position master. Each kind
// knows its title and the statement that reads it.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

struct RecordKind {
    QString code;          // the suite's program code, e.g. QBiHvext
    QString title;         // what the window calls the records
    bool perEmployee = true;

    // The name of the statement that reads the records in the module's catalogue, and the values
    // of its slots for the company and, for employee records, the employee.
    QString statement() const;
    QVariantMap slotValues(int company, double employee) const;
    // Column titles, in the statement's column order.
    QStringList columnTitles() const;

    static const QList<RecordKind> &all();
    // The kind of a program code (case-insensitive); nullptr when there is none.
    static const RecordKind *find(const QString &code);

private:
    QString table;
};
