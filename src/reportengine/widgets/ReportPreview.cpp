#include "reportengine/widgets/ReportPreview.h"

#include "ui_ReportPreview.h"

#include "reportengine/widgets/ChartsPainter.h"
#include "framework/widgets/DialogService.h"
#include "reportengine/widgets/PageView.h"
#include "reportengine/ReportFile.h"
#include "reportengine/widgets/ReportOutline.h"

#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QGuiApplication>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QToolButton>

namespace report {

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 4.0;

struct FormatInfo {
    QString suffix;
    QString filter;
    QString name;
};

FormatInfo formatInfo(ReportPrinting::Format format)
{
    switch (format) {
    case ReportPrinting::Format::Xlsx:
        return {QStringLiteral("xlsx"), QStringLiteral("Libro de Excel (*.xlsx)"), QStringLiteral("XLSX")};
    case ReportPrinting::Format::Docx:
        return {QStringLiteral("docx"), QStringLiteral("Documento de Word (*.docx)"), QStringLiteral("DOCX")};
    case ReportPrinting::Format::Pdf:
        break;
    }
    return {QStringLiteral("pdf"), QStringLiteral("PDF (*.pdf)"), QStringLiteral("PDF")};
}

QPageLayout sheetOf(const PreparedPage &page)
{
    const QSizeF portrait = page.orientation == QPageLayout::Landscape ? page.size.transposed() : page.size;
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch), page.orientation,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

QToolButton *menuButton(QMenu *menu, const QString &text, QToolButton::ToolButtonPopupMode mode)
{
    auto *button = new QToolButton;
    button->setText(text);
    button->setMenu(menu);
    button->setPopupMode(mode);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

ReportPreview::ReportPreview(PreparedReport pages, QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::ReportPreview>()), m_view(new PageView), m_pageBox(new QSpinBox),
      m_pageCount(new QLabel), m_findText(new QLineEdit)
{
    ChartsPainter::install();   // a window exists, so the charting library can draw
    m_ui->setupUi(this);
    setCentralWidget(m_ui->scrollArea);
    setAttribute(Qt::WA_DeleteOnClose);
    m_ui->scrollArea->setBackgroundRole(QPalette::Dark);
    m_ui->scrollArea->setWidget(m_view);
    buildOutline();
    buildToolBar();
    connectActions();
    setPages(std::move(pages));
}

ReportPreview::~ReportPreview() = default;

ReportPreview *ReportPreview::showReport(const Report &report, QWidget *parent)
{
    auto pages = ReportPrinting::prepare(report, parent);
    if (!pages)
        return nullptr;
    auto *preview = new ReportPreview(std::move(*pages), parent);
    preview->setWindowFlag(Qt::Window);
    preview->fitToScreen();
    preview->show();
    return preview;
}

void ReportPreview::fitToScreen()
{
    QScreen *shown = parentWidget() ? parentWidget()->screen() : screen();
    if (!shown)
        shown = QGuiApplication::primaryScreen();
    if (!shown)
        return;
    // The whole window, status bar included, stays on a small screen.
    const QRect available = shown->availableGeometry();
    const QSize size = QSize(1000, 1000).boundedTo(available.size() * 0.9);
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
}

void ReportPreview::buildOutline()
{
    m_outline = new ReportOutline;
    m_outlineDock = new QDockWidget(QStringLiteral("Índice"), this);
    m_outlineDock->setObjectName(QStringLiteral("outlineDock"));
    m_outlineDock->setWidget(m_outline);
    m_outlineDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::LeftDockWidgetArea, m_outlineDock);
    m_outlineDock->hide();   // the page keeps the window's width until the user asks for the outline
}

void ReportPreview::buildToolBar()
{
    QToolBar *bar = m_ui->toolBar;
    bar->addAction(m_ui->actionImprimir);
    bar->addAction(m_ui->actionConfigurarPagina);
    bar->addSeparator();
    bar->addAction(m_ui->actionAbrir);
    bar->addAction(m_ui->actionGuardar);
    m_exportButton = menuButton(m_ui->menuExportar, QStringLiteral("Exportar"), QToolButton::InstantPopup);
    m_exportButton->setToolTip(QStringLiteral("Exportar a PDF, XLSX o DOCX"));
    bar->addWidget(m_exportButton);
    // One click exports in the format shown; the arrow picks another format and exports in it.
    m_quickAction = new QAction(this);
    m_quickButton = menuButton(m_ui->menuExportacionRapida, QString(), QToolButton::MenuButtonPopup);
    m_quickButton->setDefaultAction(m_quickAction);
    bar->addWidget(m_quickButton);
    // Viewing and moving about on a second row, so that neither row is cut at the window's width.
    addToolBarBreak();
    bar = addToolBar(QStringLiteral("Navegación"));
    bar->setObjectName(QStringLiteral("navigationBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addAction(m_ui->actionAlejar);
    bar->addAction(m_ui->actionZoom100);
    bar->addAction(m_ui->actionAcercar);
    m_toolsButton = menuButton(m_ui->menuHerramientas, QStringLiteral("Herramientas"), QToolButton::InstantPopup);
    bar->addWidget(m_toolsButton);
    bar->addAction(m_ui->actionIndice);
    bar->addSeparator();
    m_findText->setPlaceholderText(QStringLiteral("Buscar texto"));
    m_findText->setClearButtonEnabled(true);
    m_findText->setMaximumWidth(160);
    bar->addWidget(m_findText);
    bar->addAction(m_ui->actionBuscar);
    bar->addSeparator();
    bar->addAction(m_ui->actionPrimera);
    bar->addAction(m_ui->actionAnterior);
    m_pageBox->setAccessibleName(QStringLiteral("Página"));
    bar->addWidget(m_pageBox);
    bar->addWidget(m_pageCount);
    bar->addAction(m_ui->actionSiguiente);
    bar->addAction(m_ui->actionUltima);
    setQuickFormat(ReportPrinting::Format::Pdf);
}

void ReportPreview::connectActions()
{
    using Format = ReportPrinting::Format;
    connect(m_ui->actionImprimir, &QAction::triggered, this, [this] { print(); });
    connect(m_ui->actionConfigurarPagina, &QAction::triggered, this, [this] { pageSetupAsked(); });
    connect(m_ui->actionAbrir, &QAction::triggered, this, [this] { openAsked(); });
    connect(m_ui->actionGuardar, &QAction::triggered, this, [this] { saveAsked(); });
    connect(m_ui->actionCerrar, &QAction::triggered, this, &QWidget::close);
    const std::pair<QAction *, Format> exports[] = {
        {m_ui->actionExportarPdf, Format::Pdf}, {m_ui->actionExportarXlsx, Format::Xlsx}, {m_ui->actionExportarDocx, Format::Docx}};
    for (const auto &[action, format] : exports)
        connect(action, &QAction::triggered, this, [this, format = format] { exportAsked(format); });
    const std::pair<QAction *, Format> quick[] = {
        {m_ui->actionRapidaPdf, Format::Pdf}, {m_ui->actionRapidaXlsx, Format::Xlsx}, {m_ui->actionRapidaDocx, Format::Docx}};
    for (const auto &[action, format] : quick)
        connect(action, &QAction::triggered, this, [this, format = format] {
            setQuickFormat(format);
            quickExport(format);
        });
    connect(m_quickAction, &QAction::triggered, this, [this] { quickExport(m_quickFormat); });
    connect(m_ui->actionAcercar, &QAction::triggered, this, [this] { setZoom(zoom() * kZoomStep); });
    connect(m_ui->actionAlejar, &QAction::triggered, this, [this] { setZoom(zoom() / kZoomStep); });
    connect(m_ui->actionZoom100, &QAction::triggered, this, [this] { setZoom(1.0); });
    connect(m_ui->actionAjustarAncho, &QAction::triggered, this, &ReportPreview::fitPageWidth);
    connect(m_ui->actionPaginaCompleta, &QAction::triggered, this, &ReportPreview::fitWholePage);
    connect(m_ui->actionIndice, &QAction::toggled, m_outlineDock, &QWidget::setVisible);
    connect(m_outlineDock, &QDockWidget::visibilityChanged, this, [this](bool) {
        const QSignalBlocker blocker(m_ui->actionIndice);
        m_ui->actionIndice->setChecked(!m_outlineDock->isHidden());
    });
    connect(m_outline, &ReportOutline::pageChosen, this, &ReportPreview::goToPage);
    connect(m_ui->actionPrimera, &QAction::triggered, this, [this] { goToPage(0); });
    connect(m_ui->actionAnterior, &QAction::triggered, this, [this] { goToPage(m_current - 1); });
    connect(m_ui->actionSiguiente, &QAction::triggered, this, [this] { goToPage(m_current + 1); });
    connect(m_ui->actionUltima, &QAction::triggered, this, [this] { goToPage(m_pages.pageCount() - 1); });
    connect(m_pageBox, qOverload<int>(&QSpinBox::valueChanged), this, [this](int page) { goToPage(page - 1); });
    connect(m_ui->actionBuscar, &QAction::triggered, this, [this] { find(m_findText->text()); });
    connect(m_findText, &QLineEdit::returnPressed, this, [this] { find(m_findText->text()); });
}

void ReportPreview::setPages(PreparedReport pages)
{
    m_view->setPage(nullptr);   // it points into the pages being replaced
    m_pages = std::move(pages);
    setWindowTitle(QStringLiteral("Vista previa - %1").arg(m_pages.title()));
    {
        const QSignalBlocker blocker(m_pageBox);
        m_pageBox->setRange(1, qMax(1, m_pages.pageCount()));
    }
    m_pageCount->setText(QStringLiteral(" de %1 ").arg(m_pages.pageCount()));
    m_outline->setReport(m_pages);
    m_foundPage = 0;
    m_foundItem = -1;
    m_current = 0;
    goToPage(0);
}

double ReportPreview::zoom() const { return m_view->zoom(); }

void ReportPreview::setZoom(double zoom)
{
    m_view->setZoom(qBound(kMinZoom, zoom, kMaxZoom));
    m_ui->statusBar->showMessage(QStringLiteral("Zoom %1 %").arg(qRound(m_view->zoom() * 100)));
}

void ReportPreview::fitPageWidth()
{
    if (m_pages.pages.isEmpty())
        return;
    // Leave room for the vertical scroll bar the taller page will need.
    const double available = m_ui->scrollArea->viewport()->width() - m_ui->scrollArea->verticalScrollBar()->sizeHint().width() - 4;
    setZoom(available / (m_pages.pages.at(m_current).size.width() * PageRenderer::kPixelsPerMm));
}

void ReportPreview::fitWholePage()
{
    if (m_pages.pages.isEmpty())
        return;
    const QSizeF page = m_pages.pages.at(m_current).size * PageRenderer::kPixelsPerMm;
    const QSize viewport = m_ui->scrollArea->viewport()->size() - QSize(4, 4);
    setZoom(qMin(viewport.width() / page.width(), viewport.height() / page.height()));
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
    m_outline->setCurrentPage(m_current);
    m_ui->actionPrimera->setEnabled(m_current > 0);
    m_ui->actionAnterior->setEnabled(m_current > 0);
    m_ui->actionSiguiente->setEnabled(m_current < m_pages.pageCount() - 1);
    m_ui->actionUltima->setEnabled(m_current < m_pages.pageCount() - 1);
}

bool ReportPreview::find(const QString &text)
{
    if (text.isEmpty() || m_pages.pages.isEmpty())
        return false;
    // Search from just after the previous match, wrapping round once.
    const int pageCount = m_pages.pageCount();
    for (int step = 0; step <= pageCount; ++step) {
        const int page = (m_foundPage + step) % pageCount;
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

QString ReportPreview::proposedFileName(const QString &title, const QString &suffix)
{
    static const QRegularExpression notAllowed(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    QString name = QString(title).remove(notAllowed).simplified();
    while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    if (name.isEmpty())
        name = QStringLiteral("Reporte");
    return suffix.isEmpty() ? name : name + QLatin1Char('.') + suffix;
}

QString ReportPreview::chooseFile(QFileDialog &dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (DialogService::instance().execModal(&dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().first();
    m_lastFolder = QFileInfo(path).absolutePath();
    return path;
}

void ReportPreview::exportAsked(ReportPrinting::Format format)
{
    const FormatInfo info = formatInfo(format);
    QFileDialog dialog(this, QStringLiteral("Exportar a %1").arg(info.name));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);   // asked by the export, the same way for every caller
    dialog.setNameFilter(info.filter);
    dialog.setDefaultSuffix(info.suffix);
    dialog.setDirectory(m_lastFolder.isEmpty() ? quickExportFolder() : m_lastFolder);
    dialog.selectFile(proposedFileName(m_pages.title(), info.suffix));
    const QString path = chooseFile(dialog);
    if (!path.isEmpty())
        exportTo(path, format);
}

bool ReportPreview::exportTo(const QString &path, ReportPrinting::Format format)
{
    const bool written = ReportPrinting::exportTo(m_pages, path, format, this);
    if (written)
        m_ui->statusBar->showMessage(QStringLiteral("Exportado a %1").arg(QDir::toNativeSeparators(path)));
    return written;
}

void ReportPreview::openAsked()
{
    QFileDialog dialog(this, QStringLiteral("Abrir reporte"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Reportes guardados (*.%1)").arg(ReportFile::suffix()),
                           QStringLiteral("Todos los archivos (*)")});
    dialog.setDirectory(m_lastFolder.isEmpty() ? quickExportFolder() : m_lastFolder);
    const QString path = chooseFile(dialog);
    if (!path.isEmpty())
        openFile(path);
}

bool ReportPreview::openFile(const QString &path)
{
    QString error;
    std::optional<PreparedReport> opened = ReportFile::load(path, &error);
    if (!opened) {
        DialogService::instance().showError(error);
        return false;
    }
    if (opened->pages.isEmpty()) {
        DialogService::instance().showError(
            QStringLiteral("El archivo %1 no tiene páginas que mostrar.").arg(QFileInfo(path).fileName()));
        return false;
    }
    setPages(std::move(*opened));
    m_ui->statusBar->showMessage(QStringLiteral("Abierto %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

void ReportPreview::saveAsked()
{
    QFileDialog dialog(this, QStringLiteral("Guardar reporte"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(QStringLiteral("Reportes guardados (*.%1)").arg(ReportFile::suffix()));
    dialog.setDefaultSuffix(ReportFile::suffix());
    dialog.setDirectory(m_lastFolder.isEmpty() ? quickExportFolder() : m_lastFolder);
    dialog.selectFile(proposedFileName(m_pages.title(), ReportFile::suffix()));
    const QString path = chooseFile(dialog);
    if (!path.isEmpty())
        saveFile(path);
}

bool ReportPreview::saveFile(const QString &path)
{
    if (QFileInfo::exists(path) && !DialogService::instance().confirm(ReportPrinting::overwriteQuestion(path)))
        return false;
    QString error;
    if (!ReportFile::save(m_pages, path, &error)) {
        DialogService::instance().showError(error);
        return false;
    }
    m_ui->statusBar->showMessage(QStringLiteral("Guardado en %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

QString ReportPreview::quickExportFolder() const
{
    return m_quickFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) : m_quickFolder;
}

void ReportPreview::setQuickExportFolder(const QString &folder)
{
    m_quickFolder = folder;
    setQuickFormat(m_quickFormat);
}

void ReportPreview::setQuickFormat(ReportPrinting::Format format)
{
    m_quickFormat = format;
    const FormatInfo info = formatInfo(format);
    m_quickAction->setText(QStringLiteral("Exportación rápida (%1)").arg(info.name));
    m_quickAction->setToolTip(QStringLiteral("Exportar a %1 en %2 sin preguntar el nombre")
                                  .arg(info.name, QDir::toNativeSeparators(quickExportFolder())));
}

bool ReportPreview::quickExport(ReportPrinting::Format format)
{
    const QString folder = quickExportFolder();
    if (!QDir().mkpath(folder)) {
        DialogService::instance().showError(
            QStringLiteral("No se pudo crear la carpeta %1.").arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    const QString path = QDir(folder).filePath(proposedFileName(m_pages.title(), formatInfo(format).suffix));
    if (!exportTo(path, format))
        return false;
    DialogService::instance().showMessage(QStringLiteral("Reporte exportado a %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

QPrinter &ReportPreview::printer()
{
    if (!m_printer)
        m_printer = ReportPrinting::defaultPrinter();
    return *m_printer;
}

bool ReportPreview::print()
{
    QPrinter &target = printer();
    if (target.printerName().isEmpty() && target.outputFileName().isEmpty()
        && !ReportPrinting::choosePrinter(target, this))
        return false;
    QString error;
    const bool printed = m_sheet ? ReportPrinting::print(m_pages, target, *m_sheet, &error)
                                 : ReportPrinting::print(m_pages, target, &error);
    if (!printed) {
        DialogService::instance().showError(error);
        return false;
    }
    m_ui->statusBar->showMessage(QStringLiteral("Enviado a %1").arg(target.printerName().isEmpty()
                                                                         ? QDir::toNativeSeparators(target.outputFileName())
                                                                         : target.printerName()));
    return true;
}

void ReportPreview::pageSetupAsked()
{
    if (m_pages.pages.isEmpty())
        return;
    QPrinter &target = printer();
    // The dialog starts from what the pages print on unless the user already chose.
    target.setPageLayout(m_sheet ? *m_sheet : sheetOf(m_pages.pages.first()));
    QPageSetupDialog dialog(&target, this);
    if (DialogService::instance().execModal(&dialog) != QDialog::Accepted)
        return;
    m_sheet = target.pageLayout();
    m_ui->statusBar->showMessage(QStringLiteral("Página: %1, %2").arg(m_sheet->pageSize().name(),
                                                                      m_sheet->orientation() == QPageLayout::Landscape
                                                                          ? QStringLiteral("horizontal")
                                                                          : QStringLiteral("vertical")));
}

} // namespace report
