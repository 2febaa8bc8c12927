#include "reportengine/LayoutReader.h"

#include "reportengine/TextTemplate.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace report {

namespace {

template <typename Enum>
bool enumOf(const QString &text, const std::initializer_list<std::pair<const char *, Enum>> &names, Enum &value)
{
    for (const auto &[name, candidate] : names)
        if (text == QLatin1String(name)) {
            value = candidate;
            return true;
        }
    return false;
}

bool numbersOf(const QJsonValue &value, int count, QList<double> &numbers)
{
    const QJsonArray array = value.toArray();
    if (array.size() != count)
        return false;
    numbers.clear();
    for (const QJsonValue &item : array) {
        if (!item.isDouble())
            return false;
        numbers << item.toDouble();
    }
    return true;
}

} // namespace

std::optional<ReportLayout> LayoutReader::read(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    LayoutReader reader(error);
    if (document.isNull()) {
        reader.fail(QStringLiteral("not a layout: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
        return std::nullopt;
    }
    ReportLayout layout;
    if (!reader.readLayout(document.object(), layout))
        return std::nullopt;
    return layout;
}

std::optional<ReportLayout> LayoutReader::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const auto layout = read(file.readAll(), error);
    if (!layout && error)
        *error = QStringLiteral("%1: %2").arg(path, *error);
    return layout;
}

bool LayoutReader::fail(const QString &message)
{
    if (m_error)
        *m_error = m_where.isEmpty() ? message : m_where + QStringLiteral(": ") + message;
    return false;
}

bool LayoutReader::readLayout(const QJsonObject &object, ReportLayout &layout)
{
    layout.name = object.value(QStringLiteral("name")).toString();
    if (layout.name.isEmpty())
        return fail(QStringLiteral("the layout has no name"));
    for (const QJsonValue &value : object.value(QStringLiteral("variables")).toArray()) {
        const QJsonObject variable = value.toObject();
        layout.variables << VariableDef{variable.value(QStringLiteral("name")).toString(),
                                         variable.value(QStringLiteral("group")).toString()};
    }
    const QJsonArray pages = object.value(QStringLiteral("pages")).toArray();
    if (pages.isEmpty())
        return fail(QStringLiteral("the layout has no page"));
    for (const QJsonValue &value : pages) {
        PageDef page;
        if (!readPage(value.toObject(), page))
            return false;
        layout.pages << page;
    }
    return true;
}

bool LayoutReader::readPage(const QJsonObject &object, PageDef &page)
{
    page.name = object.value(QStringLiteral("name")).toString();
    m_where = QStringLiteral("page %1").arg(page.name);
    const QJsonValue paper = object.value(QStringLiteral("paper"));
    QList<double> numbers;
    if (paper.toString() == QLatin1String("Letter"))
        page.paperSize = QSizeF(215.9, 279.4);
    else if (paper.toString() == QLatin1String("A4"))
        page.paperSize = QSizeF(210, 297);
    else if (numbersOf(paper, 2, numbers))
        page.paperSize = QSizeF(numbers[0], numbers[1]);
    else
        return fail(QStringLiteral("paper must be Letter, A4 or [width, height]"));
    const QString orientation = object.value(QStringLiteral("orientation")).toString(QStringLiteral("portrait"));
    if (!enumOf(orientation, {{"portrait", QPageLayout::Portrait}, {"landscape", QPageLayout::Landscape}},
                page.orientation))
        return fail(QStringLiteral("unknown orientation \"%1\"").arg(orientation));
    if (object.contains(QStringLiteral("margins"))) {
        if (!numbersOf(object.value(QStringLiteral("margins")), 4, numbers))
            return fail(QStringLiteral("margins must be [left, top, right, bottom]"));
        page.margins = QMarginsF(numbers[0], numbers[1], numbers[2], numbers[3]);
    }
    FontDef font;
    if (!readFont(object.value(QStringLiteral("font")).toObject(), font))
        return false;
    const QString where = m_where;
    for (const QJsonValue &value : object.value(QStringLiteral("bands")).toArray()) {
        BandDef band;
        m_where = where;
        if (!readBand(value.toObject(), font, band))
            return false;
        page.bands << band;
    }
    return true;
}

bool LayoutReader::readBand(const QJsonObject &object, const FontDef &font, BandDef &band)
{
    band.name = object.value(QStringLiteral("name")).toString();
    m_where += QStringLiteral(", band %1").arg(band.name);
    const QString kind = object.value(QStringLiteral("kind")).toString();
    if (!enumOf(kind,
                {{"pageHeader", BandKind::PageHeader}, {"columnHeader", BandKind::ColumnHeader},
                 {"masterData", BandKind::MasterData}, {"masterFooter", BandKind::MasterFooter},
                 {"summary", BandKind::Summary}, {"pageFooter", BandKind::PageFooter}},
                band.kind))
        return fail(QStringLiteral("unknown band kind \"%1\"").arg(kind));
    band.height = object.value(QStringLiteral("height")).toDouble(-1);
    if (band.height < 0)
        return fail(QStringLiteral("the band needs a height"));
    band.dataSet = object.value(QStringLiteral("dataSet")).toString();
    const QString where = m_where;
    for (const QJsonValue &value : object.value(QStringLiteral("views")).toArray()) {
        ViewDef view;
        m_where = where;
        if (!readView(value.toObject(), font, view))
            return false;
        band.views << view;
    }
    return true;
}

bool LayoutReader::readView(const QJsonObject &object, const FontDef &font, ViewDef &view)
{
    view.name = object.value(QStringLiteral("name")).toString();
    m_where += QStringLiteral(", view %1").arg(view.name);
    const QString kind = object.value(QStringLiteral("kind")).toString(QStringLiteral("text"));
    if (!enumOf(kind, {{"text", ViewKind::Text}, {"picture", ViewKind::Picture}, {"chart", ViewKind::Chart}}, view.kind))
        return fail(QStringLiteral("unknown view kind \"%1\"").arg(kind));
    QList<double> numbers;
    if (!numbersOf(object.value(QStringLiteral("rect")), 4, numbers))
        return fail(QStringLiteral("rect must be [left, top, width, height]"));
    view.rect = QRectF(numbers[0], numbers[1], numbers[2], numbers[3]);
    view.text = object.value(QStringLiteral("text")).toString();
    QString syntaxError;
    if (!TextTemplate::parse(view.text, &syntaxError))
        return fail(syntaxError);
    view.format = object.value(QStringLiteral("format")).toString();
    view.font = font;
    if (!readFont(object.value(QStringLiteral("font")).toObject(), view.font))
        return false;
    const QString align = object.value(QStringLiteral("align")).toString(QStringLiteral("left"));
    if (!enumOf(align, {{"left", HAlign::Left}, {"center", HAlign::Center}, {"right", HAlign::Right}}, view.hAlign))
        return fail(QStringLiteral("unknown alignment \"%1\"").arg(align));
    const QString valign = object.value(QStringLiteral("valign")).toString(QStringLiteral("top"));
    if (!enumOf(valign, {{"top", VAlign::Top}, {"center", VAlign::Center}, {"bottom", VAlign::Bottom}}, view.vAlign))
        return fail(QStringLiteral("unknown vertical alignment \"%1\"").arg(valign));
    view.gapX = object.value(QStringLiteral("gapX")).toDouble(view.gapX);
    view.gapY = object.value(QStringLiteral("gapY")).toDouble(view.gapY);
    view.wordWrap = object.value(QStringLiteral("wordWrap")).toBool(true);
    view.frame = object.value(QStringLiteral("frame")).toBool(false);
    if (!readColor(object, QStringLiteral("fill"), view.fill))
        return false;
    view.dataSet = object.value(QStringLiteral("dataSet")).toString();
    view.field = object.value(QStringLiteral("field")).toString();
    view.center = object.value(QStringLiteral("center")).toBool(true);
    if (view.kind == ViewKind::Picture && (view.dataSet.isEmpty() || view.field.isEmpty()))
        return fail(QStringLiteral("a picture needs a dataSet and a field"));
    if (view.kind == ViewKind::Chart)
        return readChart(object.value(QStringLiteral("chart")).toObject(), view.chart);
    return true;
}

bool LayoutReader::readChart(const QJsonObject &object, ChartDef &chart)
{
    chart.dataSet = object.value(QStringLiteral("dataSet")).toString();
    chart.labelField = object.value(QStringLiteral("labelField")).toString();
    if (chart.dataSet.isEmpty() || chart.labelField.isEmpty())
        return fail(QStringLiteral("a chart needs a dataSet and a labelField"));
    chart.horizontal = object.value(QStringLiteral("horizontal")).toBool(true);
    chart.axisMin = object.value(QStringLiteral("axisMin")).toDouble(0);
    chart.axisMax = object.value(QStringLiteral("axisMax")).toDouble(100);
    chart.axisFormat = object.value(QStringLiteral("axisFormat")).toString();
    chart.legend = object.value(QStringLiteral("legend")).toBool(true);
    if (!readFont(object.value(QStringLiteral("labelFont")).toObject(), chart.labelFont))
        return false;
    const std::pair<const char *, QColor *> colours[] = {{"background", &chart.background},
                                                         {"wallBottom", &chart.wallBottom},
                                                         {"wallTop", &chart.wallTop},
                                                         {"axisColor", &chart.axisColor},
                                                         {"gridColor", &chart.gridColor}};
    for (const auto &[key, target] : colours)
        if (!readColor(object, QLatin1String(key), *target))
            return false;
    for (const QJsonValue &value : object.value(QStringLiteral("series")).toArray()) {
        const QJsonObject series = value.toObject();
        ChartSeriesDef def{series.value(QStringLiteral("title")).toString(),
                             series.value(QStringLiteral("valueField")).toString(), QColor()};
        if (def.valueField.isEmpty())
            return fail(QStringLiteral("a chart series needs a valueField"));
        if (!readColor(series, QStringLiteral("color"), def.color))
            return false;
        chart.series << def;
    }
    if (chart.series.isEmpty())
        return fail(QStringLiteral("a chart needs a series"));
    return true;
}

bool LayoutReader::readFont(const QJsonObject &object, FontDef &font)
{
    font.family = object.value(QStringLiteral("family")).toString(font.family);
    font.pixelSize = object.value(QStringLiteral("size")).toInt(font.pixelSize);
    if (font.pixelSize <= 0)
        return fail(QStringLiteral("font size must be positive"));
    font.bold = object.value(QStringLiteral("bold")).toBool(font.bold);
    font.italic = object.value(QStringLiteral("italic")).toBool(font.italic);
    return readColor(object, QStringLiteral("color"), font.color);
}

bool LayoutReader::readColor(const QJsonObject &object, const QString &key, QColor &color)
{
    if (!object.contains(key))
        return true;
    const QJsonValue value = object.value(key);
    QList<double> rgb;
    if (numbersOf(value, 3, rgb))
        color = QColor(int(rgb[0]), int(rgb[1]), int(rgb[2]));
    else
        color = QColor::fromString(value.toString());
    if (!color.isValid())
        return fail(QStringLiteral("%1 is not a colour").arg(key));
    return true;
}

} // namespace report
