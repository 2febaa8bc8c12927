#include "framework/widgets/DialogService.h"

#include "framework/widgets/ErrorGuard.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

DialogService &DialogService::instance()
{
    static DialogService service;
    return service;
}

void DialogService::showMessage(const QString &text)
{
    ask(Information, text);
}

void DialogService::showWarning(const QString &text)
{
    ask(Warning, text);
}

void DialogService::showError(const QString &text)
{
    ask(Error, text);
}

bool DialogService::confirm(const QString &text)
{
    return ask(Question, text) == Yes;
}

int DialogService::ask(Kind kind, const QString &text)
{
    if (m_handler)
        return m_handler({kind, applicationTitle, text, nullptr});
    QWidget *parent = parentWindow ? parentWindow : QApplication::activeWindow();
    switch (kind) {
    case Question: {
        // Spanish buttons whether or not Qt's own Spanish texts are on the machine.
        QMessageBox box(QMessageBox::Question, applicationTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sí"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Yes : No;
    }
    case Warning:
        QMessageBox::warning(parent, applicationTitle, text);
        return Ok;
    case Error:
        QMessageBox::critical(parent, applicationTitle, text);
        return Ok;
    default:
        QMessageBox::information(parent, applicationTitle, text);
        return Ok;
    }
}

int DialogService::execModal(QDialog *dialog)
{
    ErrorGuard::ModalBoundary boundary;
    if (!m_handler)
        return dialog->exec();
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    const int answer = m_handler({Modal, dialog->windowTitle(), QString(), dialog});
    if (dialog->isVisible())
        dialog->done(answer);
    return dialog->result();
}

QString DialogService::chooseSaveFile(const QString &title, const QString &filter)
{
    if (!m_handler)
        return QFileDialog::getSaveFileName(parentWindow ? parentWindow : QApplication::activeWindow(), title,
                                            QString(), filter);
    chosenFile.clear();
    return m_handler({SaveFile, title, filter, nullptr}) == Ok ? chosenFile : QString();
}

DialogService::Handler DialogService::setHandler(Handler handler)
{
    Handler previous = std::move(m_handler);
    m_handler = std::move(handler);
    return previous;
}

DialogRecorder::DialogRecorder(DialogService::Handler answer)
{
    m_previous = DialogService::instance().setHandler([this, answer](const DialogService::Request &request) {
        requests.append(request);
        if (answer)
            return answer(request);
        if (request.kind == DialogService::Modal)
            return request.dialog->result();
        return int(request.kind == DialogService::Question ? DialogService::Yes : DialogService::Ok);
    });
}

DialogRecorder::~DialogRecorder()
{
    DialogService::instance().setHandler(std::move(m_previous));
}

QStringList DialogRecorder::texts() const
{
    QStringList shown;
    for (const DialogService::Request &request : requests)
        if (request.kind != DialogService::Modal && request.kind != DialogService::SaveFile)
            shown << request.text;
    return shown;
}
