#include "host/LoginWindow.h"

#include "framework/connection/HttpTransport.h"
#include "host/RememberedLogin.h"
#include "host/UserCompanies.h"
#include "ui_LoginWindow.h"

#include <QGuiApplication>
#include <QScopeGuard>

LoginWindow::LoginWindow(const SessionArguments &base, Opener open, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::LoginWindow>()), m_base(base), m_open(std::move(open))
{
    ui->setupUi(this);
    const RememberedLogin remembered = RememberedLogin::load();
    ui->serverEdit->setText(remembered.server.isEmpty() ? base.server : remembered.server);
    ui->userEdit->setText(remembered.user.isEmpty() ? base.user : remembered.user);
    m_rememberedCompany = remembered.company;
    (ui->userEdit->text().isEmpty() ? ui->userEdit : ui->passwordEdit)->setFocus();

    connect(ui->loginButton, &QPushButton::clicked, this, &LoginWindow::proceed);
    connect(ui->quitButton, &QPushButton::clicked, this, &QWidget::close);
    for (QLineEdit *edit : {ui->serverEdit, ui->userEdit, ui->passwordEdit}) {
        connect(edit, &QLineEdit::returnPressed, this, &LoginWindow::proceed);
        connect(edit, &QLineEdit::textEdited, this, &LoginWindow::forgetLogin);
    }
}

LoginWindow::~LoginWindow() = default;

QString LoginWindow::message() const
{
    return ui->messageLabel->text();
}

void LoginWindow::proceed()
{
    if (m_loggedIn)
        enter();
    else
        logIn();
}

SessionArguments LoginWindow::session() const
{
    SessionArguments session = m_base;
    session.server = ui->serverEdit->text().trimmed();
    session.user = ui->userEdit->text().trimmed();
    session.password = ui->passwordEdit->text();
    session.company = ui->companyCombo->currentData().toString();
    return session;
}

namespace {

// What is missing or malformed in the typed values, before anything goes to the server.
QString checkTyped(const SessionArguments &typed)
{
    HttpTransport::Address address;
    QString refused;
    if (typed.server.isEmpty())
        return QStringLiteral("Escriba el servidor de aplicaciones.");
    if (typed.protocol == QLatin1String("http") && !HttpTransport::parseServer(typed.server, &address, &refused))
        return refused;
    if (typed.user.isEmpty())
        return QStringLiteral("Escriba el usuario.");
    if (typed.password.isEmpty())
        return QStringLiteral("Escriba la contraseña.");
    return {};
}

} // namespace

void LoginWindow::logIn()
{
    const SessionArguments typed = session();
    QString refused = checkTyped(typed);
    QList<UserCompany> companies;
    if (refused.isEmpty()) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        refused = readUserCompanies(typed, &companies);
    }
    showMessage(refused);
    if (!refused.isEmpty()) {
        ui->passwordEdit->selectAll();
        ui->passwordEdit->setFocus();
        return;
    }
    ui->companyCombo->clear();
    for (const UserCompany &company : std::as_const(companies))
        ui->companyCombo->addItem(QStringLiteral("%1 - %2").arg(company.code).arg(company.name),
                                  QString::number(company.code));
    const int remembered = ui->companyCombo->findData(QString::number(m_rememberedCompany));
    ui->companyCombo->setCurrentIndex(remembered >= 0 ? remembered : 0);
    ui->companyCombo->setEnabled(true);
    ui->loginButton->setText(QStringLiteral("&Entrar"));
    m_loggedIn = true;
    ui->companyCombo->setFocus();
}

void LoginWindow::enter()
{
    const SessionArguments chosen = session();
    QString failed;
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        failed = m_open(chosen);
    }
    showMessage(failed);
    if (!failed.isEmpty())
        return;
    RememberedLogin remembered;
    remembered.server = chosen.server;
    remembered.user = chosen.user;
    remembered.company = chosen.company.toInt();
    if (const QString unsaved = remembered.save(); !unsaved.isEmpty())
        qWarning("qacsemaf-host: %s", qPrintable(unsaved));
    ui->passwordEdit->clear();
    // The host's window shows before this one closes, so that the application never finds
    // itself without a window.
    emit opened();
    close();
}

void LoginWindow::forgetLogin()
{
    if (!m_loggedIn)
        return;
    m_loggedIn = false;
    ui->companyCombo->clear();
    ui->companyCombo->setEnabled(false);
    ui->loginButton->setText(QStringLiteral("&Iniciar sesión"));
}

void LoginWindow::showMessage(const QString &text)
{
    ui->messageLabel->setText(text);
}
