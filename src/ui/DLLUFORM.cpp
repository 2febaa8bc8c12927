#include "ui/DLLUFORM.h"

#include "framework/widgets/DialogService.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/FormatSettings.h"
#include "framework/widgets/TQNavegador.h"
#include "framework/widgets/TQPField.h"
#include "framework/widgets/TQSDBQbe.h"
#include "framework/widgets/TQsCmbCodigo.h"
#include "framework/widgets/TVelkarDBgrid.h"

#include <QDate>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>

QPointer<TCaptura> Captura;

namespace {

// State of the unit that outlives one look-up: the button of the current run, its titles, the
// acceptance by double click, and the search text as it was before the last key press.
QPointer<TQPField> gBoton;
QStringList gTitulos;
bool gBoDobleClick = false;
QString gStBusquedaAnterior;

// The traffic light of the suite's logo.
QPixmap logoSemaforo()
{
    QPixmap logo(56, 96);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(45, 45, 45));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(8, 2, 40, 92), 10, 10);
    const QColor luces[] = {QColor(220, 40, 40), QColor(240, 200, 40), QColor(40, 170, 70)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(luces[i]);
        p.drawEllipse(QPointF(28, 18 + i * 30), 11, 11);
    }
    return logo;
}

// The text converted to the type of the column's value, as a search key; null when it does not
// convert.
QVariant convertirBusqueda(const QString &texto, const TField *campo)
{
    bool ok = true;
    QVariant valor;
    switch (campo->DataType()) {
    case protocol::FieldType::Smallint:
    case protocol::FieldType::Integer:
    case protocol::FieldType::Largeint:
        valor = QLocale::c().toLongLong(texto.trimmed(), &ok);
        break;
    case protocol::FieldType::Float:
        valor = QLocale::c().toDouble(texto.trimmed(), &ok);
        break;
    case protocol::FieldType::DateTime: {
        const QDate fecha = QDate::fromString(texto.trimmed(), FormatSettings::ShortDateFormat());
        ok = fecha.isValid();
        valor = fecha;
        break;
    }
    case protocol::FieldType::Boolean: {
        const QString t = texto.trimmed().toLower();
        ok = t == QLatin1String("true") || t == QLatin1String("false");
        valor = t == QLatin1String("true");
        break;
    }
    default:
        valor = texto;
    }
    return ok ? valor : QVariant();
}

} // namespace

TCaptura::TCaptura(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    setObjectName(QStringLiteral("Captura"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(721, 409);
    bindControls();
    connectHandlers();
}

TCaptura::~TCaptura()
{
    TQPField::setLookupRunner({});
    Datos1.setDataSet(nullptr);
}

void TCaptura::bindControls()
{
    imgLogo->setPixmap(logoSemaforo());
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));

    Datos1.Name = QStringLiteral("Datos1");
    Datos1.setDataSet(&CdsTmp);
    CdsTmp.ProviderName = QStringLiteral("DtsPTemporal");
    CdsTmp.SAuditFields = false;

    QSDBQbe1->PermiteFiltro = false;
    QSDBQbe1->Refrescar = true;
    QSDBQbe1->SQLUpperCase = true;

    DBGrid1->setDataSource(&Datos1);
    DBGrid1->setReadOnly(true);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setAlternateColors(Qt::white, palette().color(QPalette::ToolTipBase));
    QNavegador1->setDataSource(&Datos1);
    QNavegador1->setVisibleButtons({TQNavegador::nbFirst, TQNavegador::nbPrior, TQNavegador::nbNext,
                                    TQNavegador::nbLast});
}

void TCaptura::connectHandlers()
{
    CdsTmp.AfterOpen = [this](TDataSet *dataSet) { CdsTmpAfterOpen(dataSet); };
    Datos1.OnDataChange = [this](TDataSource *sender, TField *field) {
        ErrorGuard::run([&] { Datos1DataChange(sender, field); });
    };
    // The OK result is set before the handler runs, so the dialog closes also when the copy stops.
    connect(BitBtnAceptar, &QPushButton::clicked, this, [this] {
        setResult(QDialog::Accepted);
        ErrorGuard::run([this] { BitBtnAceptarClick(); });
        done(QDialog::Accepted);
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    DBGrid1->OnDblClick = [this](TVelkarDBgrid *) { DBGrid1DblClick(); };
    ErrorGuard::connect(CmbCampos, &QComboBox::activated, this, [this](int) { CmbCamposClick(); });
    ErrorGuard::connect(edtBusqueda, &QLineEdit::textChanged, this, [this](const QString &) { edtBusquedaChange(); });
    ErrorGuard::connect(SpeedButton1, &QToolButton::clicked, this, [this](bool) { SpeedButton1Click(); });
    edtBusqueda->installEventFilter(this);
}

void TCaptura::AfterConstruction()
{
    QPointer<TCaptura> self(this);
    TQPField::setLookupRunner([self](TQPField *boton) {
        if (!self)
            throw Exception(QStringLiteral("La ventana de consulta no está disponible"));
        return self->EjecutarCaptura(boton);
    });
}

bool TCaptura::EjecutarCaptura(TQPField *boton)
{
    FBoAbrir = boton->Tag == 0;
    gBoton = boton;

    gBoDobleClick = false;
    FVariables.clear();
    FValores.clear();
    FDestino.clear();
    FVariables = boton->Variables;
    FDestino = boton->Destino;
    FDataSet = boton->DataSet;
    setWindowTitle(boton->Titulo);
    CdsTmp.Close();
    CdsTmp.RemoteServer = boton->Connection();

    CdsTmp.setCommandText(QString());
    CdsTmp.setStatement(boton->Statement, boton->SQL.join(QLatin1Char('\n')), boton->Slots);
    QSDBQbe1->SetDataset(&CdsTmp);
    gTitulos = boton->Titulos;

    // A WHERE anywhere in a line, also inside a longer name, counts as a WHERE clause; the
    // server places each condition in the WHERE clause the statement really has either way.
    bool filtrada = false;
    for (const QString &linea : boton->SQL)
        if (linea.toUpper().contains(QLatin1String("WHERE"))) {
            filtrada = true;
            break;
        }
    QSDBQbe1->Tag = filtrada ? 1 : 0;

    if (FormatSettings::ShortDateFormat().trimmed().isEmpty())
        FormatSettings::setShortDateFormat(QStringLiteral("dd/MM/yyyy"));
    QSDBQbe1->FormatoFecha = FormatSettings::ShortDateFormat();
    QSDBQbe1->ActualizarSQLBase = true;
    QSDBQbe1->Inicializar(false);

    struct CerrarAlFinal {
        SClientDataSet &cds;
        ~CerrarAlFinal() { cds.Close(); }
    } cerrar{CdsTmp};

    QSDBQbe1->Kquery(filtrada ? QStringLiteral(" AND 1=0") : QStringLiteral(" WHERE 1=0"));

    DBGrid1->setEnabled(true);
    const bool aceptado = DialogService::instance().execModal(this) == QDialog::Accepted || gBoDobleClick;
    if (!FValores.isEmpty())
        boton->Resultado = FValores;
    return aceptado;
}

void TCaptura::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *pantalla = screen())
        move(pantalla->availableGeometry().center() - rect().center());
    ErrorGuard::run([this] { FormShow(); });
}

void TCaptura::FormShow()
{
    QSDBQbe1->setFlat(false);
    const QDate hoy = QDate::currentDate();
    LblVersion->setText(QStringLiteral("Versión ") + hoy.toString(QStringLiteral("yy")) + QStringLiteral(".0 ")
                        + hoy.toString(QStringLiteral("yyyy")));
    if (FBoAbrir)
        QSDBQbe1->Kquery(QString());
    else
        QSDBQbe1->click();
    llenarCampos();
    edtBusqueda->clear();
    edtValor->clear();
}

// Code: the field name; text: the title at the same position when there is one.
void TCaptura::llenarCampos()
{
    CmbCampos->clear();
    const QList<TField *> &campos = CdsTmp.Fields();
    for (int i = 0; i < campos.size(); ++i) {
        const QString nombre = campos.at(i)->FieldName();
        const QString texto = !gTitulos.isEmpty() && i < gTitulos.size() ? gTitulos.at(i) : nombre;
        CmbCampos->AgregarItem(nombre, texto);
    }
    CmbCampos->setCurrentIndex(CmbCampos->count() > 0 ? 0 : -1);
}

void TCaptura::CdsTmpAfterOpen(TDataSet *)
{
    if (!gTitulos.isEmpty()) {
        if (gTitulos.size() != CdsTmp.FieldCount()) {
            DialogService::instance().showMessage(QStringLiteral("[Error en TITULOS][Falta definicion de titulos]"));
        } else {
            for (int i = 0; i < CdsTmp.FieldCount(); ++i)
                CdsTmp.Fields().at(i)->DisplayLabel = gTitulos.at(i);
        }
    }
    // The grid lays its columns out anew for the fields and rows of this opening.
    DBGrid1->resize(DBGrid1->width() + 1, DBGrid1->height());
    DBGrid1->resize(DBGrid1->width() - 1, DBGrid1->height());
    DBGrid1->resizeColumnsToContents();
    for (int c = 0; c < DBGrid1->horizontalHeader()->count(); ++c)
        DBGrid1->setColumnWidth(c, qMin(DBGrid1->columnWidth(c) + 12, 320));
}

void TCaptura::Datos1DataChange(TDataSource *, TField *)
{
    BitBtnAceptar->setEnabled(CdsTmp.Active() && !CdsTmp.IsEmpty());
}

void TCaptura::BitBtnAceptarClick()
{
    for (int i = 0; i < FVariables.size(); ++i)
        if (!copiarColumna(i))
            return;
}

// Takes column i of the current row and, with a target dataset that is editing, writes it into
// its target field. False when a message stopped the copy.
bool TCaptura::copiarColumna(int i)
{
    FVariables[i] = FVariables.at(i).toUpper().trimmed();
    const QString variable = FVariables.at(i);
    if (variable.isEmpty()) {
        DialogService::instance().showMessage(QStringLiteral("[Error en VARIABLES][Linea (%1) vacia ]").arg(i + 1));
        return false;
    }
    if (FDataSet) {
        bool existe = false;
        for (const TField *campo : CdsTmp.Fields())
            existe = existe || campo->FieldName().toUpper().trimmed() == variable;
        if (!existe) {
            DialogService::instance().showMessage(
                QStringLiteral("[Error en VARIABLES][no existe variable <%1> en Query ]").arg(variable));
            return false;
        }
    }
    const QString valor = CdsTmp.FieldByName(variable)->AsString();
    FValores.append(valor);
    if (!FDataSet)
        return true;

    // A missing line counts as an empty one.
    const QString destino = i < FDestino.size() ? FDestino.at(i).toUpper().trimmed() : QString();
    if (i < FDestino.size())
        FDestino[i] = destino;
    if (destino.isEmpty()) {
        DialogService::instance().showMessage(QStringLiteral("[Error en DESTINO][Linea (%1) vacia ]").arg(i + 1));
        return false;
    }
    if (FDataSet->State() != dsEdit && FDataSet->State() != dsInsert)
        return true;

    if (gBoton && !gBoton->LookUpField.isEmpty()) {
        if (TField *clave = CdsTmp.FindField(gBoton->LookUpField.trimmed()))
            gBoton->ValorLookUp = clave->AsString();
        else
            DialogService::instance().showError(
                QStringLiteral(" Error de parametrización de componente [%1] campo LookUpField [%2] no encontrado en query de consulta ")
                    .arg(gBoton->objectName(), gBoton->LookUpField));
    } else if (gBoton) {
        gBoton->ValorLookUp.clear();
    }
    // The raised Tag tells the target field's handlers that the value comes from a look-up.
    TField *campo = FDataSet->FieldByName(destino);
    const int tagAnterior = campo->Tag;
    campo->Tag = tagAnterior + 1000;
    try {
        campo->setAsString(valor);
    } catch (...) {
        campo->Tag = tagAnterior;
        throw;
    }
    campo->Tag = tagAnterior;
    return true;
}

void TCaptura::DBGrid1DblClick()
{
    if (!CdsTmp.Active() || CdsTmp.IsEmpty())
        return;
    BitBtnAceptarClick();
    done(QDialog::Rejected);
    gBoDobleClick = true;
}

void TCaptura::CmbCamposClick()
{
    edtBusqueda->clear();
    edtValor->clear();
}

bool TCaptura::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edtBusqueda && event->type() == QEvent::KeyPress)
        edtBusquedaKeyPress();
    return QDialog::eventFilter(watched, event);
}

void TCaptura::edtBusquedaKeyPress()
{
    gStBusquedaAnterior = edtBusqueda->text();
}

void TCaptura::edtBusquedaChange()
{
    const QString texto = edtBusqueda->text();
    if (texto.isEmpty() || !CdsTmp.Active())
        return;
    const QString columna = CmbCampos->Codigo();
    const TField *campo = CdsTmp.FindField(columna);
    const QVariant clave = campo ? convertirBusqueda(texto, campo) : QVariant();
    if (clave.isNull()) {
        const QSignalBlocker quieto(edtBusqueda);
        edtBusqueda->setText(gStBusquedaAnterior);
        edtValor->clear();
        return;
    }
    CdsTmp.Locate(columna, clave, loPartialKey | loCaseInsensitive);
}

void TCaptura::SpeedButton1Click()
{
    gStBusquedaAnterior = edtBusqueda->text();
    edtBusqueda->setText(edtValor->text());
}
