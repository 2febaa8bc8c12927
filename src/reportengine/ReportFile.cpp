#include "reportengine/ReportFile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

namespace report {

const char ReportFile::kMagic[8] = {'S', 'E', 'M', 'A', 'F', 'R', 'P', 'T'};

// Helpers of the file format; a named namespace keeps them apart from the other files of this
// target when they are compiled together.
namespace fileformat {

constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

// Where an item's style lives in the layout: page, band and view index.
struct ViewRef {
    qint32 page = -1;
    qint32 band = -1;
    qint32 view = -1;
};

template <typename Enum>
void putEnum(QDataStream &out, Enum value)
{
    out << qint32(value);
}

template <typename Enum>
void getEnum(QDataStream &in, Enum &value, int last)
{
    qint32 raw = 0;
    in >> raw;
    if (raw < 0 || raw > last)
        in.setStatus(QDataStream::ReadCorruptData);
    value = Enum(raw);
}

// Lists are written as a count and their elements; a count larger than what is left of the data
// cannot be right, so it is refused before anything is allocated.
template <typename T, typename Put>
void putList(QDataStream &out, const QList<T> &list, Put put)
{
    out << quint32(list.size());
    for (const T &element : list)
        put(out, element);
}

template <typename T, typename Get>
void getList(QDataStream &in, QList<T> &list, Get get)
{
    quint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok || count > quint64(in.device()->bytesAvailable())) {
        in.setStatus(QDataStream::ReadCorruptData);
        return;
    }
    list.clear();
    list.reserve(count);
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        T element;
        get(in, element);
        list << element;
    }
}

void putFont(QDataStream &out, const FontDef &font)
{
    out << font.family << qint32(font.pixelSize) << font.bold << font.italic << font.color;
}

void getFont(QDataStream &in, FontDef &font)
{
    qint32 size = 0;
    in >> font.family >> size >> font.bold >> font.italic >> font.color;
    font.pixelSize = size;
}

void putChart(QDataStream &out, const ChartDef &chart)
{
    out << chart.dataSet << chart.labelField;
    putList(out, chart.series, [](QDataStream &s, const ChartSeriesDef &series) {
        s << series.title << series.valueField << series.color;
    });
    out << chart.horizontal << chart.axisMin << chart.axisMax << chart.axisFormat;
    putFont(out, chart.labelFont);
    out << chart.legend << chart.background << chart.wallBottom << chart.wallTop << chart.axisColor << chart.gridColor;
}

void getChart(QDataStream &in, ChartDef &chart)
{
    in >> chart.dataSet >> chart.labelField;
    getList(in, chart.series, [](QDataStream &s, ChartSeriesDef &series) {
        s >> series.title >> series.valueField >> series.color;
    });
    in >> chart.horizontal >> chart.axisMin >> chart.axisMax >> chart.axisFormat;
    getFont(in, chart.labelFont);
    in >> chart.legend >> chart.background >> chart.wallBottom >> chart.wallTop >> chart.axisColor >> chart.gridColor;
}

void putView(QDataStream &out, const ViewDef &view)
{
    putEnum(out, view.kind);
    out << view.name << view.rect << view.text << view.format;
    putFont(out, view.font);
    putEnum(out, view.hAlign);
    putEnum(out, view.vAlign);
    out << view.gapX << view.gapY << view.wordWrap << view.frame << view.fill << view.dataSet << view.field
        << view.center;
    putChart(out, view.chart);
}

void getView(QDataStream &in, ViewDef &view)
{
    getEnum(in, view.kind, int(ViewKind::Chart));
    in >> view.name >> view.rect >> view.text >> view.format;
    getFont(in, view.font);
    getEnum(in, view.hAlign, int(HAlign::Right));
    getEnum(in, view.vAlign, int(VAlign::Bottom));
    in >> view.gapX >> view.gapY >> view.wordWrap >> view.frame >> view.fill >> view.dataSet >> view.field
        >> view.center;
    getChart(in, view.chart);
}

void putLayout(QDataStream &out, const ReportLayout &layout)
{
    out << layout.name;
    putList(out, layout.variables, [](QDataStream &s, const VariableDef &v) { s << v.name << v.group; });
    putList(out, layout.pages, [](QDataStream &s, const PageDef &page) {
        s << page.name << page.paperSize;
        putEnum(s, page.orientation);
        s << page.margins;
        putList(s, page.bands, [](QDataStream &b, const BandDef &band) {
            putEnum(b, band.kind);
            b << band.name << band.height << band.dataSet;
            putList(b, band.views, putView);
        });
    });
}

void getLayout(QDataStream &in, ReportLayout &layout)
{
    in >> layout.name;
    getList(in, layout.variables, [](QDataStream &s, VariableDef &v) { s >> v.name >> v.group; });
    getList(in, layout.pages, [](QDataStream &s, PageDef &page) {
        s >> page.name >> page.paperSize;
        getEnum(s, page.orientation, int(QPageLayout::Landscape));
        s >> page.margins;
        getList(s, page.bands, [](QDataStream &b, BandDef &band) {
            getEnum(b, band.kind, int(BandKind::PageFooter));
            b >> band.name >> band.height >> band.dataSet;
            getList(b, band.views, getView);
        });
    });
}

QHash<const ViewDef *, ViewRef> viewRefs(const ReportLayout &layout)
{
    QHash<const ViewDef *, ViewRef> refs;
    for (int p = 0; p < layout.pages.size(); ++p)
        for (int b = 0; b < layout.pages.at(p).bands.size(); ++b)
            for (int v = 0; v < layout.pages.at(p).bands.at(b).views.size(); ++v)
                refs.insert(&layout.pages.at(p).bands.at(b).views.at(v), ViewRef{p, b, v});
    return refs;
}

const ViewDef *viewAt(const ReportLayout &layout, const ViewRef &ref)
{
    if (ref.page < 0 || ref.page >= layout.pages.size())
        return nullptr;
    const auto &bands = layout.pages.at(ref.page).bands;
    if (ref.band < 0 || ref.band >= bands.size())
        return nullptr;
    const auto &views = bands.at(ref.band).views;
    return ref.view >= 0 && ref.view < views.size() ? &views.at(ref.view) : nullptr;
}

// A picture printed on every page (a logo) is one image shared by the items, and is kept once:
// items refer to a table of pictures, so an opened report shares them again (a PDF holds it once).
void putItem(QDataStream &out, const PreparedItem &item, const ViewRef &ref, qint32 picture)
{
    out << ref.page << ref.band << ref.view << item.band;
    putEnum(out, item.bandKind);
    out << item.rect << item.text << item.number << item.prefix << item.suffix << picture << item.chart.labels;
    putList(out, item.chart.values, [](QDataStream &s, const QList<double> &values) { s << values; });
    out << item.dateTime;   // since format 2
}

void getItem(QDataStream &in, PreparedItem &item, const ReportLayout &layout, const QList<QImage> &pictures,
             quint16 version)
{
    ViewRef ref;
    qint32 picture = -1;
    in >> ref.page >> ref.band >> ref.view >> item.band;
    getEnum(in, item.bandKind, int(BandKind::PageFooter));
    in >> item.rect >> item.text >> item.number >> item.prefix >> item.suffix >> picture >> item.chart.labels;
    if (picture >= pictures.size())
        in.setStatus(QDataStream::ReadCorruptData);
    else if (picture >= 0)
        item.picture = pictures.at(picture);
    getList(in, item.chart.values, [](QDataStream &s, QList<double> &values) { s >> values; });
    if (version >= 2)
        in >> item.dateTime;
    item.view = viewAt(layout, ref);
    if (!item.view)
        in.setStatus(QDataStream::ReadCorruptData);
}

QString displayName(const QString &path) { return QFileInfo(path).fileName(); }

QString damaged(const QString &name)
{
    return QStringLiteral("El archivo %1 está dañado o incompleto; no se puede abrir.").arg(name);
}

} // namespace fileformat

QString ReportFile::suffix() { return QStringLiteral("scrp"); }

QByteArray ReportFile::toBytes(const PreparedReport &report, QString *error)
{
    using namespace fileformat;
    const ReportLayout empty;
    const ReportLayout &layout = report.layout ? *report.layout : empty;
    const QHash<const ViewDef *, ViewRef> refs = viewRefs(layout);

    QByteArray body;
    {
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        putLayout(out, layout);
        out << report.info.title << report.info.author << report.info.subject << report.info.created;
        QList<QImage> pictures;
        QHash<qint64, qint32> pictureIndex;
        for (const PreparedPage &page : report.pages)
            for (const PreparedItem &item : page.items)
                if (!item.picture.isNull() && !pictureIndex.contains(item.picture.cacheKey())) {
                    pictureIndex.insert(item.picture.cacheKey(), qint32(pictures.size()));
                    pictures << item.picture;
                }
        putList(out, pictures, [](QDataStream &s, const QImage &picture) { s << picture; });
        out << quint32(report.pages.size());
        for (const PreparedPage &page : report.pages) {
            out << page.size;
            putEnum(out, page.orientation);
            putList(out, page.bands, [](QDataStream &s, const PlacedBand &band) {
                s << band.name;
                putEnum(s, band.kind);
                s << band.rect;
            });
            out << quint32(page.items.size());
            for (const PreparedItem &item : page.items) {
                const auto ref = refs.constFind(item.view);
                if (ref == refs.constEnd()) {
                    if (error)
                        *error = QStringLiteral("El reporte no se puede guardar: el elemento \"%1\" no pertenece a su diseño.")
                                     .arg(item.view ? item.view->name : item.band);
                    return {};
                }
                putItem(out, item, *ref, item.picture.isNull() ? -1 : pictureIndex.value(item.picture.cacheKey()));
            }
        }
    }
    const QByteArray compressed = qCompress(body);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out.writeRawData(kMagic, sizeof kMagic);
    out << kVersion << compressed << QCryptographicHash::hash(compressed, QCryptographicHash::Sha256);
    return bytes;
}

std::optional<PreparedReport> ReportFile::fromBytes(const QByteArray &bytes, const QString &name, QString *error)
{
    using namespace fileformat;
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (!bytes.startsWith(QByteArray::fromRawData(kMagic, sizeof kMagic)))
        return fail(QStringLiteral("El archivo %1 no es un reporte guardado.").arg(name));
    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    in.skipRawData(sizeof kMagic);
    quint16 version = 0;
    in >> version;
    if (version > kVersion)
        return fail(QStringLiteral("El archivo %1 fue guardado por una versión más reciente del programa (formato %2); "
                                   "esta versión abre reportes de formato %3 o anterior.")
                        .arg(name)
                        .arg(version)
                        .arg(kVersion));
    QByteArray compressed, digest;
    in >> compressed >> digest;
    if (in.status() != QDataStream::Ok || !in.atEnd() || version == 0
        || digest != QCryptographicHash::hash(compressed, QCryptographicHash::Sha256))
        return fail(damaged(name));
    const QByteArray body = qUncompress(compressed);

    QDataStream data(body);
    data.setVersion(kStreamVersion);
    auto layout = std::make_shared<ReportLayout>();
    getLayout(data, *layout);
    PreparedReport report;
    data >> report.info.title >> report.info.author >> report.info.subject >> report.info.created;
    QList<QImage> pictures;
    getList(data, pictures, [](QDataStream &s, QImage &picture) { s >> picture; });
    const QHash<const ViewDef *, ViewRef> refs = viewRefs(*layout);
    getList(data, report.pages, [&layout, &pictures, &refs, version](QDataStream &s, PreparedPage &page) {
        s >> page.size;
        getEnum(s, page.orientation, int(QPageLayout::Landscape));
        getList(s, page.bands, [](QDataStream &b, PlacedBand &band) {
            b >> band.name;
            getEnum(b, band.kind, int(BandKind::PageFooter));
            b >> band.rect;
        });
        getList(s, page.items, [&](QDataStream &i, PreparedItem &item) { getItem(i, item, *layout, pictures, version); });
        // The layout page a sheet comes from is the one its views belong to.
        if (!page.items.isEmpty())
            page.layoutPage = refs.value(page.items.first().view).page;
        if (!page.size.isValid() || page.size.isEmpty())
            s.setStatus(QDataStream::ReadCorruptData);
    });
    if (body.isEmpty() || data.status() != QDataStream::Ok || !data.atEnd())
        return fail(damaged(name));
    report.layout = std::move(layout);
    return report;
}

bool ReportFile::save(const PreparedReport &report, const QString &path, QString *error)
{
    const QByteArray bytes = toBytes(report, error);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("No se pudo guardar el reporte en %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

std::optional<PreparedReport> ReportFile::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("No se pudo abrir el archivo %1: %2").arg(fileformat::displayName(path), file.errorString());
        return std::nullopt;
    }
    return fromBytes(file.readAll(), fileformat::displayName(path), error);
}

} // namespace report
