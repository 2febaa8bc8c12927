#include "host/SessionRenewalDialog.h"

#include "framework/widgets/DialogService.h"
#include "ui_SessionRenewalDialog.h"

#include <QPushButton>

SessionRenewalDialog::SessionRenewalDialog(const QString &reason, const QString &user, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::SessionRenewalDialog>())
{
    ui->setupUi(this);
    ui->reasonLabel->setText(reason);
    ui->userEdit->setText(user);
    QPushButton *accept = ui->buttons->button(QDialogButtonBox::Ok);
    accept->setText(QStringLiteral("Aceptar"));
    accept->setEnabled(false);
    ui->buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(ui->passwordEdit, &QLineEdit::textChanged, this,
            [accept](const QString &text) { accept->setEnabled(!text.isEmpty()); });
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ui->passwordEdit->setFocus();
}

SessionRenewalDialog::~SessionRenewalDialog() = default;

QString SessionRenewalDialog::password() const
{
    return ui->passwordEdit->text();
}

std::optional<QString> SessionRenewalDialog::ask(const QString &reason, const QString &user, QWidget *parent)
{
    SessionRenewalDialog dialog(reason, user, parent);
    if (DialogService::instance().execModal(&dialog) != QDialog::Accepted || dialog.password().isEmpty())
        return std::nullopt;
    return dialog.password();
}
