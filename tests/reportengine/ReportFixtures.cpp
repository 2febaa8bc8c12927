#include "tests/reportengine/ReportFixtures.h"

#include "reportengine/LayoutReader.h"
#include "framework/dataset/TField.h"

#include <QBuffer>
#include <QImage>
#include <QTest>

namespace reporttest {

QString rowName(int i) { return QStringLiteral("Nombre %1 Muñoz Pérez").arg(i); }

std::unique_ptr<TClientDataSet> numberedRows(int count)
{
    auto rows = std::make_unique<TClientDataSet>(QStringLiteral("Rows"));
    rows->AddField(QStringLiteral("CODE"), protocol::FieldType::Integer);
    rows->AddField(QStringLiteral("NAME"), protocol::FieldType::String, 60);
    rows->AddField(QStringLiteral("PCT"), protocol::FieldType::Float);
    rows->CreateDataSet();
    for (int i = 1; i <= count; ++i) {
        rows->Append();
        rows->FieldByName(QStringLiteral("CODE"))->setAsInteger(i);
        rows->FieldByName(QStringLiteral("NAME"))->setAsString(rowName(i));
        rows->FieldByName(QStringLiteral("PCT"))->setAsFloat(i * 12.5);
        rows->Post();
    }
    return rows;
}

std::unique_ptr<TClientDataSet> company()
{
    auto header = std::make_unique<TClientDataSet>(QStringLiteral("Company"));
    header->AddField(QStringLiteral("NAME"), protocol::FieldType::String, 60);
    header->AddField(QStringLiteral("LOGO"), protocol::FieldType::Blob);
    header->CreateDataSet();
    QImage logo(40, 25, QImage::Format_RGB32);
    logo.fill(QColor(40, 120, 200));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "PNG");
    header->Append();
    header->FieldByName(QStringLiteral("NAME"))->setAsString(QStringLiteral("Compañía Análisis S.A."));
    header->FieldByName(QStringLiteral("LOGO"))->setAsVariant(png);
    header->Post();
    return header;
}

report::ReportLayout layout(const QString &name)
{
    QString error;
    const auto result = report::LayoutReader::load(QStringLiteral(":/test/%1.json").arg(name), &error);
    if (!result)
        qFatal("%s", qPrintable(error));
    return *result;
}

BoundReport::BoundReport(const QString &layoutName, int rowCount)
    : rows(numberedRows(rowCount)), header(company()), report(layout(layoutName))
{
    report.setDataSet(QStringLiteral("Rows"), rows.get());
    report.setDataSet(QStringLiteral("Company"), header.get());
    report.OnGetValue = [](const QString &name, QVariant &value) {
        if (name == QLatin1String("owner"))
            value = QStringLiteral("Jefe de Operación");
        else if (name == QLatin1String("user"))
            value = QStringLiteral("ADMIN");
    };
}

} // namespace reporttest
