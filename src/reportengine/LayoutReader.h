#pragma once
// Reads a report layout from its JSON file (usually kept in Qt resources). A layout that does not
// read gives no layout and an error text naming the page, band or view at fault.

#include "reportengine/ReportLayout.h"

#include <optional>

class QJsonObject;

namespace report {

class LayoutReader {
public:
    static std::optional<ReportLayout> read(const QByteArray &json, QString *error);
    static std::optional<ReportLayout> load(const QString &path, QString *error);

private:
    explicit LayoutReader(QString *error) : m_error(error) {}
    bool readLayout(const QJsonObject &object, ReportLayout &layout);
    bool readPage(const QJsonObject &object, PageDef &page);
    bool readBand(const QJsonObject &object, const FontDef &font, BandDef &band);
    bool readView(const QJsonObject &object, const FontDef &font, ViewDef &view);
    bool readChart(const QJsonObject &object, ChartDef &chart);
    bool readFont(const QJsonObject &object, FontDef &font);
    bool readColor(const QJsonObject &object, const QString &key, QColor &color);
    bool fail(const QString &message);

    QString *m_error;
    QString m_where;
};

} // namespace report
