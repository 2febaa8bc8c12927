#pragma once
// The module's start and stop: fills the session context from the load call's arguments, creates
// the data module, the main form and the look-up dialog, and releases them again.

#include <QString>

class Session;
class TfrmFormaMaestro;

// The nine arguments of the load call, texts already converted from the caller's strings.
struct LoadArguments {
    qint32 reserved = 0;   // not read
    QString protocolo;
    QString alias;
    QString servidor;
    QString usuario;
    QString clave;
    QString empresa;
    QString opciones;
    QString versionFecha;
};

// The session the load call's arguments describe.
Session SesionDeCarga(const LoadArguments &args);
// Makes that session current and sets the server identities, exactly as the load call does (no
// object is created).
void LlenarContextoSesion(const LoadArguments &args);
// The whole load call: session, objects, a first call to the application server that proves
// the session (user, password, database, company), and the main form's native window handle.
// Throws with the reason when any of it fails; nothing stays created then.
quintptr CargarModulo(const LoadArguments &args);
// Closes and destroys the main form, then the look-up dialog, then the data module.
// Safe without a load and when called twice.
void DescargarModulo();

// Resize calls of the host, passed to the main form (a no-op when none exists).
void CambiarAlturaModulo(int height);
void CambiarTamanoModulo(int width, int height);
// A decimal integer as the host passes it in text; throws EConvertError otherwise.
int ConvertirEntero(const QString &text);

// The message of the last exported call that failed; the exported boundary keeps it.
void GuardarError(const QString &message);
void LimpiarError();
const QString &UltimoError();

// The main-form reference the resize calls go through.
TfrmFormaMaestro *FormaPrincipal();
