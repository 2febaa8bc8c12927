#pragma once
// "Cambiar contraseña": the user changes its own password, typing the current one and the new
// one twice. Two new ones that differ are refused here; the rest goes to the module (`change`),
// whose refusal (a wrong current password, a new one the server's policy does not allow) stays
// in the dialog for the next try. The dialog closes once the password is changed.

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class ChangePasswordDialog;
}

class ChangePasswordDialog : public QDialog {
    Q_OBJECT
public:
    // Changes the password (current, new): empty when changed, else why not.
    using Change = std::function<QString(const QString &current, const QString &next)>;

    ChangePasswordDialog(const QString &user, Change change, QWidget *parent = nullptr);
    ~ChangePasswordDialog() override;

    // The refusal shown; empty while there is none.
    QString message() const;

private:
    void submit();

    std::unique_ptr<Ui::ChangePasswordDialog> ui;
    Change m_change;
};
