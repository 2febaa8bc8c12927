#include "entry/CAcSemaf.h"

#include "data/DAcSemaf.h"
#include "ui/DLLUFORM.h"
#include "framework/Exceptions.h"
#include "framework/QtTranslations.h"
#include "framework/UserAction.h"
#include "framework/Session.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/localtransport/LocalTransport.h"
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
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        if (QCoreApplication::instance())
            throw Exception(QStringLiteral("El programa anfitrión no tiene una aplicación gráfica."));
        gOwnApplication.application = new QApplication(gOwnApplication.argc, gOwnApplication.argv);
    }
    // The module's window speaks Spanish in whichever host: the texts Qt draws itself too.
    loadQtSpanishTranslations();
}

void releaseOwnApplication()
{
    delete gOwnApplication.application;
    gOwnApplication.application = nullptr;
}

} // namespace

Session loadCallSession(const LoadArguments &args)
{
    return Session::fromLoadCall(args.protocolo, args.alias, args.servidor, args.usuario, args.clave, args.empresa,
                                 args.opciones, args.versionFecha);
}

Session writeLoadContext(const LoadArguments &args)
{
    const Session session = loadCallSession(args);
    session.writeSuiteGlobals();
    gStServerGUID = QString::fromUtf16(kServerGUID);
    gStServerName = QString::fromUtf16(kServerName);
    gStServerGUIDNet = QString::fromUtf16(kServerGUIDNet);
    gStServerNameNet = QString::fromUtf16(kServerNameNet);
    gStPublicKeyToken = QString::fromUtf16(kPublicKeyToken);
    return session;
}

quintptr CargarModulo(const LoadArguments &args)
{
    // The module brings the application-server core along for the hosts that run it in-process.
    LocalTransport::install();
    const Session session = writeLoadContext(args);
    // The load is one user action: what its start-up reads ahead it takes in the course of it.
    const UserAction::Scope action;
    try {
        ensureApplication();
        DtmAcSemaf = CreateOwnedComponent<TDtmAcSemaf>();
        FrmAcSemaf = CreateOwnedComponent<TFrmAcSemaf>(session);
        Captura = CreateOwnedComponent<TCaptura>();
        gMainFormReference = FrmAcSemaf;
        // The session is proved at load, not at first use: the server checks user and password,
        // and the company named by the host must exist.
        FrmAcSemaf->DCOMCnction->VerificarSesion();
        FrmAcSemaf->showStatus();   // the engine is known once the server has answered
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
    releaseOwnApplication();
}

void InstalarRenovacion(std::function<std::optional<QString>(const QString &reason, const QString &user)> ask)
{
    if (!ask) {
        SDCOMConnection::setSessionRenewal({});
        return;
    }
    // The host's answer is taken inside the module's call: whatever the host throws stays there.
    SDCOMConnection::setSessionRenewal([ask](const QString &user, const QString &reason) -> std::optional<QString> {
        try {
            return ask(reason, user);
        } catch (...) {
            return std::nullopt;
        }
    });
}

void CambiarClave(const QString &current, const QString &next)
{
    TfrmFormaMaestro *form = FormaPrincipal();
    if (!form || !form->DCOMCnction)
        throw Exception(QStringLiteral("El módulo no está cargado."));
    form->DCOMCnction->CambiarClave(current, next);
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
