#include "host/ChangePasswordDialog.h"

#include "ui_ChangePasswordDialog.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScopeGuard>

ChangePasswordDialog::ChangePasswordDialog(const QString &user, Change change, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::ChangePasswordDialog>()), m_change(std::move(change))
{
    ui->setupUi(this);
    ui->userEdit->setText(user);
    ui->buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    ui->buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &ChangePasswordDialog::submit);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ui->currentEdit->setFocus();
}

ChangePasswordDialog::~ChangePasswordDialog() = default;

QString ChangePasswordDialog::message() const
{
    return ui->messageLabel->text();
}

void ChangePasswordDialog::submit()
{
    QString refused;
    QLineEdit *retry = ui->nextEdit;
    if (ui->currentEdit->text().isEmpty()) {
        refused = QStringLiteral("Escriba la contraseña actual.");
        retry = ui->currentEdit;
    } else if (ui->nextEdit->text() != ui->repeatEdit->text()) {
        refused = QStringLiteral("La contraseña nueva y su repetición no coinciden.");
    } else {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        refused = m_change(ui->currentEdit->text(), ui->nextEdit->text());
        retry = ui->currentEdit;   // the refusal names which one; the fields stay as typed
    }
    ui->messageLabel->setText(refused);
    if (refused.isEmpty()) {
        accept();
        return;
    }
    if (retry == ui->nextEdit)
        ui->repeatEdit->clear();
    retry->selectAll();
    retry->setFocus();
}
