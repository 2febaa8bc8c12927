#pragma once
// "Sesión terminada": what the host shows when the application server ended the module's session
// in the middle of the user's work. It gives the server's reason (or why the password typed
// before was refused), the user's name, which cannot change, and a field for the password; with
// "Aceptar" the module logs in again and finishes what the user was doing, "Cancelar" lets that
// action fail with the server's message.

#include <QDialog>

#include <memory>
#include <optional>

namespace Ui {
class SessionRenewalDialog;
}

class SessionRenewalDialog : public QDialog {
    Q_OBJECT
public:
    SessionRenewalDialog(const QString &reason, const QString &user, QWidget *parent = nullptr);
    ~SessionRenewalDialog() override;

    QString password() const;

    // Shows the dialog (through the dialog service); the password typed, or nothing on "Cancelar".
    static std::optional<QString> ask(const QString &reason, const QString &user, QWidget *parent = nullptr);

private:
    std::unique_ptr<Ui::SessionRenewalDialog> ui;
};
