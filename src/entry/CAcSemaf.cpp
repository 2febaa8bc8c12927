#include "entry/CAcSemaf.h"

#include "entry/ClientVersion.h"
#include "data/DAcSemaf.h"
#include "ui/DLLUFORM.h"
#include "framework/Exceptions.h"
#include "entry/OptionText.h"
#include "framework/connection/SDCOMConnection.h"
#include "entry/ServerIdentity.h"
#include "framework/TApplication.h"
#include "ui/UAcSemaf.h"
#include "framework/Ugnnorma.h"

#include <QApplication>
#include <QPointer>
#include <QRegularExpression>

namespace {

QPointer<TfrmFormaMaestro> gMainFormReference;
QString gLastError;

// A host that is not a Qt program has no application object; the module then brings its own
// for as long as it stays loaded.
struct OwnApplication {
    int argc = 1;
    char name[9] = "QAcSemaf";
    char *argv[2] = {name, nullptr};
    QApplication *application = nullptr;
};
OwnApplication gOwnApplication;

void ensureApplication()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    if (QCoreApplication::instance())
        throw Exception(QStringLiteral("El programa anfitrión no tiene una aplicación gráfica."));
    gOwnApplication.application = new QApplication(gOwnApplication.argc, gOwnApplication.argv);
}

void releaseOwnApplication()
{
    delete gOwnApplication.application;
    gOwnApplication.application = nullptr;
}

// The session is proved at load, not at first use: the server checks user and password, and the
// company named by the host must exist. The answer fills the user's type and the driver name.
void verificarSesion()
{
    const QVariantList answer = FrmAcSemaf->DCOMCnction
                                    ->AppServerCall(QStringLiteral("VerificarSesion"),
                                                    {gStCodiUsua, gStCodiEmpr})
                                    .toList();
    gStTipoUsuario = answer.value(0).toString();
    gStDriver = answer.value(1).toString();
}

} // namespace

void LlenarContextoSesion(const LoadArguments &args)
{
    gStParSrv = args.servidor;
    gStParUsu = args.usuario;
    gStParPas = args.clave;
    gStParEmp = args.empresa;
    gStParHpv = args.opciones;
    gStAliasCnx = args.alias;
    if (!TrimBlanks(gStParHpv).isEmpty()) {
        gSlParams = ParsearOpciones(gStParHpv);
        gStParHpv = UltimaCondicion(*gSlParams);
    }
    gStProtocolo = args.protocolo;
    gStServerGUID = QString::fromUtf16(kServerGUID);
    gStServerName = QString::fromUtf16(kServerName);
    gStServerGUIDNet = QString::fromUtf16(kServerGUIDNet);
    gStServerNameNet = QString::fromUtf16(kServerNameNet);
    gStPublicKeyToken = QString::fromUtf16(kPublicKeyToken);
    const ClientVersion client = SepararVersion(args.versionFecha);
    gStVersionCliente = client.version;
    gStFechaCliente = client.date;
}

quintptr CargarModulo(const LoadArguments &args)
{
    LlenarContextoSesion(args);
    try {
        ensureApplication();
        DtmAcSemaf = CreateOwnedComponent<TDtmAcSemaf>();
        FrmAcSemaf = CreateOwnedComponent<TFrmAcSemaf>();
        Captura = CreateOwnedComponent<TCaptura>();
        gMainFormReference = FrmAcSemaf;
        verificarSesion();
        FrmAcSemaf->mostrarEstado();   // the engine is known once the server has answered
        return quintptr(FrmAcSemaf->winId());
    } catch (...) {
        // What made the load fail is what the host must learn, not a failure of the clean-up.
        try {
            DescargarModulo();
        } catch (...) {
        }
        throw;
    }
}

void DescargarModulo()
{
    if (FrmAcSemaf) {
        FrmAcSemaf->close();
        delete FrmAcSemaf.data();
    }
    delete Captura.data();
    delete DtmAcSemaf.data();
    gMainFormReference.clear();
    TApplication::instance().DestroyComponents();
    // The session, the password with it, does not outlive the module.
    ResetSessionGlobals();
    TApplication::instance().Tag = 0;
    releaseOwnApplication();
}

void GuardarError(const QString &message)
{
    gLastError = message;
}

void LimpiarError()
{
    gLastError.clear();
}

const QString &UltimoError()
{
    return gLastError;
}

TfrmFormaMaestro *FormaPrincipal()
{
    return gMainFormReference.data();
}

void CambiarAlturaModulo(int height)
{
    if (TfrmFormaMaestro *form = FormaPrincipal())
        form->CambiarAltura(height);
}

void CambiarTamanoModulo(int width, int height)
{
    if (TfrmFormaMaestro *form = FormaPrincipal())
        form->CambiarTamano(width, height);
}

int ConvertirEntero(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^\\s*[+-]?\\d+$"));
    bool converted = false;
    const int value = decimal.match(text).hasMatch() ? text.trimmed().toInt(&converted) : 0;
    if (!converted)
        throw EConvertError(QStringLiteral("'%1' no es un valor entero válido").arg(text));
    return value;
}
