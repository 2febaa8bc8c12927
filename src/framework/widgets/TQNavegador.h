#pragma once
// The suite's dataset navigator: first, prior, next, last, new, delete, edit, post, cancel and
// refresh buttons over a data source, of which VisibleButtons shows some; each button has its
// Spanish hint and is enabled by the dataset's state and position. Every press runs inside the
// error guard; a delete asks first.

#include "framework/dataset/TDataLink.h"

#include <QFlags>
#include <QStringList>
#include <QWidget>
#include <memory>

class QToolButton;
class TDataSet;
class TDataSource;
namespace Ui { class TQNavegador; }

class TQNavegador : public QWidget, private TDataLink {
    Q_OBJECT
public:
    enum TNavigateBtn {
        nbFirst = 0x1, nbPrior = 0x2, nbNext = 0x4, nbLast = 0x8, nbInsert = 0x10,
        nbDelete = 0x20, nbEdit = 0x40, nbPost = 0x80, nbCancel = 0x100, nbRefresh = 0x200
    };
    Q_DECLARE_FLAGS(TButtonSet, TNavigateBtn)

    explicit TQNavegador(QWidget *parent = nullptr);
    ~TQNavegador() override;

    void setDataSource(TDataSource *source);
    TDataSource *DataSource() const { return m_source; }
    void setVisibleButtons(TButtonSet buttons);
    TButtonSet VisibleButtons() const { return m_visible; }
    // One hint per button in the order of TNavigateBtn.
    void setHints(const QStringList &hints);
    QStringList Hints() const { return m_hints; }
    QToolButton *button(TNavigateBtn which) const;
    // Presses a button as a click would.
    void BtnClick(TNavigateBtn which);

    static QStringList defaultHints();

private:
    void dataEvent(TDataEvent event, TField *field) override;
    void dataSetDestroyed() override;
    void bindDataSet(TDataSet *dataSet);
    void updateButtons();

    std::unique_ptr<Ui::TQNavegador> ui;
    TDataSource *m_source = nullptr;
    TDataSet *m_dataSet = nullptr;
    TButtonSet m_visible;
    QStringList m_hints;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TQNavegador::TButtonSet)
