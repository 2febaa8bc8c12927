#pragma once
// The module's start and stop: makes the session of the load call's arguments, writes the suite's
// session context from it, creates the data module and the main form with that session and the
// look-up dialog, and releases them again.

#include <QString>

#include <functional>
#include <optional>

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
Session loadCallSession(const LoadArguments &args);
// Writes the suite's session globals from that session and sets the server identities, exactly
// as the load call does (no object is created); returns the session.
Session writeLoadContext(const LoadArguments &args);
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

// What the module asks when the server ended the session: the password for (reason, user), or
// nothing when the user gives up. Empty: no one to ask.
void InstalarRenovacion(std::function<std::optional<QString>(const QString &reason, const QString &user)> ask);
// Changes the loaded module's user's password; throws with the refusal.
void CambiarClave(const QString &current, const QString &next);

// The message of the last exported call that failed; the exported boundary keeps it.
void GuardarError(const QString &message);
void LimpiarError();
const QString &UltimoError();

// The main-form reference the resize calls go through.
TfrmFormaMaestro *FormaPrincipal();
