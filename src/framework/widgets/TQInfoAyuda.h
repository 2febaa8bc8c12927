#pragma once
// Help labels that open another program of the suite. AsignarEventosMouseDown gives each label a
// click handler that starts the program whose path stands at the same position; the handler can
// also be called from code (a menu item). CrearLlavesInformacion registers, per label, the key
// under which the started program receives the value its focus control (the label's buddy)
// shows. Starts go through the program launcher with the session the owner hands it, so the
// program opens on the same database, company and record.

#include "framework/Session.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QLabel;

class TQInfoAyuda : public QObject {
    Q_OBJECT
public:
    explicit TQInfoAyuda(QObject *parent = nullptr);

    // Where, as whom and in which company the started programs open.
    Session session;

    void AsignarEventosMouseDown(const QList<QLabel *> &labels, const QStringList &paths);
    void CrearLlavesInformacion(const QString &key, const QString &text, QLabel *label);
    // What a click on the label does; throws when it has no program or the program cannot start.
    void LabelClick(QLabel *label);
    QString PathOf(const QLabel *label) const;
    // The arguments the label's program is started with.
    QStringList ArgumentsOf(const QLabel *label) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Llave {
        QString key;
        QString text;
    };
    QHash<const QLabel *, QString> m_paths;
    QHash<const QLabel *, QList<Llave>> m_keys;
};
