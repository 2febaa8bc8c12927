#include "framework/widgets/TQNotas.h"

#include "framework/widgets/DialogService.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TQNotas::TQNotas(QWidget *parent) : QToolButton(parent)
{
    setText(QStringLiteral("Notas"));
    setToolTip(QStringLiteral("Notas / Alertas"));
    CdsNotas.ProviderName = QStringLiteral("DtsPGnNotas");
    CdsNotas.SMainTable = QStringLiteral("GN_NOTAS");
    connect(this, &QToolButton::clicked, this, [this] { ErrorGuard::run([this] { Abrir(); }); });
}

TQNotas::~TQNotas()
{
    if (m_dataSet)
        m_dataSet->detachLink(this);
}

void TQNotas::setDataSet(TDataSet *dataSet)
{
    if (m_dataSet)
        m_dataSet->detachLink(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->attachLink(this);
}

QString TQNotas::Llave() const
{
    if (!m_dataSet || !m_dataSet->Active() || m_dataSet->IsEmpty() || Campo.isEmpty())
        return {};
    TField *key = m_dataSet->FindField(Campo);
    return key ? key->AsString() : QString();
}

void TQNotas::Refrescar()
{
    CdsNotas.Close();
    CdsNotas.RemoteServer = RemoteServer;
    m_shownKey = Llave();
    m_alerts = 0;
    if (m_shownKey.isEmpty() || !RemoteServer) {
        showAlerts();
        return;
    }
    TParams &params = CdsNotas.Params();
    if (params.Count() == 0) {
        params.CreateParam(protocol::FieldType::String, QStringLiteral("NOM_FORM"));
        params.CreateParam(protocol::FieldType::Smallint, QStringLiteral("COD_EMPR"));
        params.CreateParam(protocol::FieldType::String, QStringLiteral("VAL_LLAV"));
    }
    CdsNotas.ParamByName(QStringLiteral("NOM_FORM"))->setAsString(Forma);
    CdsNotas.ParamByName(QStringLiteral("COD_EMPR"))->setAsSmallInt(RemoteServer->session().company);
    CdsNotas.ParamByName(QStringLiteral("VAL_LLAV"))->setAsString(m_shownKey);
    CdsNotas.Open();
    TField *type = CdsNotas.FieldByName(QStringLiteral("TIP_NOTA"));
    for (CdsNotas.First(); !CdsNotas.Eof(); CdsNotas.Next())
        if (type->AsString() == QLatin1String("A"))
            ++m_alerts;
    showAlerts();
}

void TQNotas::AgregarNota(const QString &texto, bool alerta)
{
    if (texto.trimmed().isEmpty())
        throw Exception(QStringLiteral("Escriba el texto de la nota."));
    if (Llave().isEmpty())
        throw Exception(QStringLiteral("No hay un registro al cual agregar la nota."));
    if (!CdsNotas.Active() || m_shownKey != Llave())
        Refrescar();
    int next = 1;
    TField *number = CdsNotas.FieldByName(QStringLiteral("NUM_NOTA"));
    for (CdsNotas.First(); !CdsNotas.Eof(); CdsNotas.Next())
        next = qMax(next, number->AsInteger() + 1);
    static const Session none;
    const Session &session = RemoteServer ? RemoteServer->session() : none;
    CdsNotas.Append();
    try {
        CdsNotas.FieldByName(QStringLiteral("NOM_FORM"))->setAsString(Forma);
        CdsNotas.FieldByName(QStringLiteral("COD_EMPR"))->setAsInteger(session.company);
        CdsNotas.FieldByName(QStringLiteral("VAL_LLAV"))->setAsString(m_shownKey);
        number->setAsInteger(next);
        CdsNotas.FieldByName(QStringLiteral("TIP_NOTA"))->setAsString(alerta ? QStringLiteral("A") : QStringLiteral("N"));
        CdsNotas.FieldByName(QStringLiteral("TXT_NOTA"))->setAsString(texto.trimmed());
        CdsNotas.FieldByName(QStringLiteral("ACT_USUA"))->setAsString(Usuario.isEmpty() ? session.user : Usuario);
        CdsNotas.FieldByName(QStringLiteral("ACT_HORA"))->setAsDateTime(QDateTime::currentDateTime());
        CdsNotas.Post();
    } catch (...) {
        CdsNotas.Cancel();  // the text stays in the window for another try
        throw;
    }
    if (alerta)
        ++m_alerts;
    showAlerts();
}

void TQNotas::Abrir()
{
    Refrescar();
    if (m_shownKey.isEmpty())
        throw Exception(QStringLiteral("No hay un registro seleccionado."));
    QDialog window(this->window());
    window.setObjectName(QStringLiteral("FrmNotas"));
    window.setWindowTitle(QStringLiteral("Notas / Alertas - %1 [%2]").arg(TituloForma, m_shownKey));
    auto *list = new QListWidget(&window);
    list->setObjectName(QStringLiteral("LstNotas"));
    const auto fill = [this, list] {
        list->clear();
        for (CdsNotas.First(); !CdsNotas.Eof(); CdsNotas.Next()) {
            const bool alert = CdsNotas.FieldByName(QStringLiteral("TIP_NOTA"))->AsString() == QLatin1String("A");
            list->addItem(QStringLiteral("%1  %2%3: %4")
                              .arg(CdsNotas.FieldByName(QStringLiteral("ACT_HORA"))->AsDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                                   CdsNotas.FieldByName(QStringLiteral("ACT_USUA"))->AsString(),
                                   alert ? QStringLiteral(" [Alerta]") : QString(),
                                   CdsNotas.FieldByName(QStringLiteral("TXT_NOTA"))->AsString()));
            if (alert)
                list->item(list->count() - 1)->setForeground(Qt::red);
        }
    };
    fill();
    auto *text = new QPlainTextEdit(&window);
    text->setObjectName(QStringLiteral("MemNota"));
    auto *alert = new QCheckBox(QStringLiteral("Alerta"), &window);
    alert->setObjectName(QStringLiteral("ChkAlerta"));
    auto *buttons = new QDialogButtonBox(&window);
    QPushButton *add = buttons->addButton(QStringLiteral("Agregar"), QDialogButtonBox::ActionRole);
    add->setObjectName(QStringLiteral("BtnAgregar"));
    buttons->addButton(QStringLiteral("Cerrar"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    connect(add, &QPushButton::clicked, &window, [&] {
        if (ErrorGuard::run([&] { AgregarNota(text->toPlainText(), alert->isChecked()); })) {
            text->clear();
            alert->setChecked(false);
            fill();
        }
    });
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(list, 2);
    layout->addWidget(new QLabel(QStringLiteral("Nueva nota"), &window));
    layout->addWidget(text, 1);
    layout->addWidget(alert);
    layout->addWidget(buttons);
    window.resize(520, 380);
    DialogService::instance().execModal(&window);
}

void TQNotas::dataEvent(TDataEvent event, TField *)
{
    // The count follows the record; reading it is left for when the key really changed.
    if (event == TDataEvent::FieldChange || event == TDataEvent::UpdateState || event == TDataEvent::UpdateRecord)
        return;
    if (Llave() != m_shownKey && isVisible())
        ErrorGuard::run([this] { Refrescar(); });
}

void TQNotas::dataSetDestroyed()
{
    m_dataSet = nullptr;
}

void TQNotas::showAlerts()
{
    setText(m_alerts > 0 ? QStringLiteral("Notas (%1)").arg(m_alerts) : QStringLiteral("Notas"));
    // Scoped to the button: the notes window it opens must not inherit the colour.
    setStyleSheet(m_alerts > 0 ? QStringLiteral("TQNotas { color: red; font-weight: bold; }") : QString());
}
