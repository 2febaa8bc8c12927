#include "framework/widgets/TQInfoAyuda.h"

#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/widgets/ProgramLauncher.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

TQInfoAyuda::TQInfoAyuda(QObject *parent) : QObject(parent) {}

void TQInfoAyuda::AsignarEventosMouseDown(const QList<QLabel *> &labels, const QStringList &paths)
{
    for (int i = 0; i < labels.size(); ++i) {
        QLabel *label = labels.at(i);
        if (!label)
            continue;
        m_paths.insert(label, paths.value(i));
        label->removeEventFilter(this);
        label->installEventFilter(this);
        label->setCursor(Qt::PointingHandCursor);
    }
}

void TQInfoAyuda::CrearLlavesInformacion(const QString &key, const QString &text, QLabel *label)
{
    m_keys[label].append({key, text});
}

QString TQInfoAyuda::PathOf(const QLabel *label) const
{
    return m_paths.value(label);
}

QStringList TQInfoAyuda::ArgumentsOf(const QLabel *label) const
{
    QStringList arguments{QStringLiteral("--protocol"), session.protocol, QStringLiteral("--alias"), session.alias,
                          QStringLiteral("--server"), session.server, QStringLiteral("--user"), session.user,
                          QStringLiteral("--company"), QString::number(session.company)};
    const auto *edit = qobject_cast<const QLineEdit *>(label->buddy());
    for (const Llave &llave : m_keys.value(label))
        arguments << QStringLiteral("--key") << llave.key << QStringLiteral("--field") << llave.text
                  << QStringLiteral("--value") << (edit ? edit->text() : QString());
    return arguments;
}

void TQInfoAyuda::LabelClick(QLabel *label)
{
    const QString path = PathOf(label).trimmed();
    if (path.isEmpty())
        throw Exception(QStringLiteral("No hay un programa asociado a \"%1\".").arg(label->text()));
    QString error;
    if (!ProgramLauncher::instance().start(path, ArgumentsOf(label), session.password, &error))
        throw Exception(error);
}

bool TQInfoAyuda::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto *label = qobject_cast<QLabel *>(watched);
        if (label && m_paths.contains(label) && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            ErrorGuard::run([&] { LabelClick(label); });
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
