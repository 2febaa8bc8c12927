#pragma once
// An edit bound to one field of a data source's dataset. It shows the field's display text, and
// its edit text while it has the focus; typing starts an edit of the row (when the source allows
// it), and leaving the edit or pressing Enter stores the text in the field inside the error guard.
// A refused value keeps the typed text and the row in edit, so nothing the user typed is lost.
// Before the dataset posts, it asks the edit for its typed text as well (a save pressed without
// leaving the edit), and a refused value refuses the post.

#include "framework/dataset/TDataLink.h"

#include <QLineEdit>

class TDataSet;
class TDataSource;
class TField;

class TDBEdit : public QLineEdit, private TDataLink {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget *parent = nullptr);
    ~TDBEdit() override;

    void setDataSource(TDataSource *source);
    void setDataField(const QString &fieldName);
    QString DataField() const { return m_fieldName; }
    TField *Field() const;
    // Stores the text in the field now; false when the field refused it.
    bool UpdateRecord();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void dataEvent(TDataEvent event, TField *field) override;
    void dataSetDestroyed() override;
    void bindDataSet(TDataSet *dataSet);
    void showField();
    void storeTyped();

    TDataSource *m_source = nullptr;
    TDataSet *m_dataSet = nullptr;
    QString m_fieldName;
    bool m_typed = false;
    bool m_storing = false;
};
