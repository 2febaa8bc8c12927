#pragma once
// The traffic-light result table as an XLSX worksheet a spreadsheet user sorts and filters: one
// caption row of the fields' labels and the band ("Semáforo"), frozen and with an autofilter;
// numbers as numbers in the field's display format; each row filled with its band's colour. The
// workbook is written under a temporary name and replaces `path` only when complete.

#include "engine/ResultSchema.h"

#include <QString>

class TDataSet;

// False with `error` set ("path: message") when the workbook could not be written.
bool writeResultWorkbook(TDataSet &result, const QString &path, QString *error,
                         const engine::ResultTable &schema = engine::trafficLightTable());

// The spreadsheet number format of a display format: the same digits, a "%" kept as a literal
// sign (the values are percentages already) rather than a scaling by a hundred.
QString resultNumberFormat(const QString &displayFormat);
