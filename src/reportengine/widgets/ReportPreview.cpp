#include "ReportPreview.h"

#include "ui_ReportPreview.h"

#include "ChartsPainter.h"
#include "DialogService.h"
#include "PageView.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace report {

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 4.0;

} // namespace

ReportPreview::ReportPreview(PreparedReport pages, QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::ReportPreview>()), m_pages(std::move(pages)),
      m_view(new PageView), m_pageBox(new QSpinBox), m_pageCount(new QLabel), m_findText(new QLineEdit)
{
    ChartsPainter::install();   // a window exists, so the charting library can draw
    m_ui->setupUi(this);
    setCentralWidget(m_ui->scrollArea);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vista previa - %1").arg(m_pages.title()));
    m_ui->scrollArea->setBackgroundRole(QPalette::Dark);
    m_ui->scrollArea->setWidget(m_view);
    buildToolBar();
    connectActions();
    goToPage(0);
}

ReportPreview::~ReportPreview() = default;

ReportPreview *ReportPreview::showReport(const Report &report, QWidget *parent)
{
    auto pages = ReportPrinting::prepare(report, parent);
    if (!pages)
        return nullptr;
    auto *preview = new ReportPreview(std::move(*pages), parent);
    preview->setWindowFlag(Qt::Window);
    preview->show();
    return preview;
}

void ReportPreview::buildToolBar()
{
    QToolBar *bar = m_ui->toolBar;
    m_pageBox->setRange(1, qMax(1, m_pages.pageCount()));
    m_pageBox->setAccessibleName(QStringLiteral("Página"));
    bar->addWidget(m_pageBox);
    m_pageCount->setText(QStringLiteral(" de %1 ").arg(m_pages.pageCount()));
    bar->addWidget(m_pageCount);
    bar->addAction(m_ui->actionSiguiente);
    bar->addAction(m_ui->actionUltima);
    bar->addSeparator();
    m_findText->setPlaceholderText(QStringLiteral("Buscar texto"));
    m_findText->setClearButtonEnabled(true);
    m_findText->setMaximumWidth(180);
    bar->addWidget(m_findText);
    bar->addAction(m_ui->actionBuscar);
}

void ReportPreview::connectActions()
{
    connect(m_ui->actionImprimir, &QAction::triggered, this,
            [this] { ReportPrinting::printToDefaultPrinter(m_pages, this); });
    connect(m_ui->actionExportarPdf, &QAction::triggered, this, [this] { exportAsked(ReportPrinting::Format::Pdf); });
    connect(m_ui->actionExportarXlsx, &QAction::triggered, this, [this] { exportAsked(ReportPrinting::Format::Xlsx); });
    connect(m_ui->actionAcercar, &QAction::triggered, this, [this] { setZoom(zoom() * kZoomStep); });
    connect(m_ui->actionAlejar, &QAction::triggered, this, [this] { setZoom(zoom() / kZoomStep); });
    connect(m_ui->actionZoom100, &QAction::triggered, this, [this] { setZoom(1.0); });
    connect(m_ui->actionPrimera, &QAction::triggered, this, [this] { goToPage(0); });
    connect(m_ui->actionAnterior, &QAction::triggered, this, [this] { goToPage(m_current - 1); });
    connect(m_ui->actionSiguiente, &QAction::triggered, this, [this] { goToPage(m_current + 1); });
    connect(m_ui->actionUltima, &QAction::triggered, this, [this] { goToPage(m_pages.pageCount() - 1); });
    connect(m_pageBox, qOverload<int>(&QSpinBox::valueChanged), this, [this](int page) { goToPage(page - 1); });
    connect(m_ui->actionBuscar, &QAction::triggered, this, [this] { find(m_findText->text()); });
    connect(m_findText, &QLineEdit::returnPressed, this, [this] { find(m_findText->text()); });
}

double ReportPreview::zoom() const { return m_view->zoom(); }

void ReportPreview::setZoom(double zoom)
{
    m_view->setZoom(qBound(kMinZoom, zoom, kMaxZoom));
    m_ui->statusBar->showMessage(QStringLiteral("Zoom %1 %").arg(qRound(m_view->zoom() * 100)));
}

void ReportPreview::goToPage(int index)
{
    if (m_pages.pages.isEmpty())
        return;
    m_current = qBound(0, index, m_pages.pageCount() - 1);
    m_view->setPage(&m_pages.pages.at(m_current));
    updateNavigation();
}

void ReportPreview::updateNavigation()
{
    const QSignalBlocker blocker(m_pageBox);
    m_pageBox->setValue(m_current + 1);
    m_ui->actionPrimera->setEnabled(m_current > 0);
    m_ui->actionAnterior->setEnabled(m_current > 0);
    m_ui->actionSiguiente->setEnabled(m_current < m_pages.pageCount() - 1);
    m_ui->actionUltima->setEnabled(m_current < m_pages.pageCount() - 1);
}

bool ReportPreview::find(const QString &text)
{
    if (text.isEmpty())
        return false;
    // Search from just after the previous match, wrapping round once.
    const int pageCount = m_pages.pageCount();
    for (int step = 0; step <= pageCount; ++step) {
        const int page = (m_foundPage + step) % qMax(1, pageCount);
        const auto &items = m_pages.pages.at(page).items;
        const int from = step == 0 ? m_foundItem + 1 : 0;
        for (int i = from; i < items.size(); ++i) {
            if (items.at(i).text.contains(text, Qt::CaseInsensitive)) {
                m_foundPage = page;
                m_foundItem = i;
                goToPage(page);
                m_view->setHighlight(items.at(i).rect);
                return true;
            }
        }
    }
    m_foundItem = -1;
    DialogService::instance().showMessage(QStringLiteral("No se encontró \"%1\".").arg(text));
    return false;
}

void ReportPreview::exportAsked(ReportPrinting::Format format)
{
    const bool pdf = format == ReportPrinting::Format::Pdf;
    QFileDialog dialog(this, pdf ? QStringLiteral("Exportar a PDF") : QStringLiteral("Exportar a XLSX"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);   // asked below, the same way for every caller
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(pdf ? QStringLiteral("PDF (*.pdf)") : QStringLiteral("Libro de Excel (*.xlsx)"));
    dialog.setDefaultSuffix(pdf ? QStringLiteral("pdf") : QStringLiteral("xlsx"));
    dialog.selectFile(m_pages.title());
    if (DialogService::instance().execModal(&dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    exportTo(dialog.selectedFiles().first(), format);
}

bool ReportPreview::exportTo(const QString &path, ReportPrinting::Format format)
{
    const bool written = ReportPrinting::exportTo(m_pages, path, format, this);
    if (written)
        m_ui->statusBar->showMessage(QStringLiteral("Exportado a %1").arg(path));
    return written;
}

} // namespace report
