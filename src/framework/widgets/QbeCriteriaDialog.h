#pragma once
// The criteria dialog of the query-by-example button: one row per condition (field, operator,
// value), all of which must hold. Rows left without a value are ignored. Accepting hands the
// conditions to a check (the button builds its statement there); when the check refuses them its
// message is shown and the dialog stays open with everything the user typed.

#include "framework/widgets/QbeConditionBuilder.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class QbeCriteriaDialog;
}

class QbeCriteriaDialog : public QDialog {
    Q_OBJECT
public:
    // `campos`: field name and the caption shown for it, in the order offered.
    explicit QbeCriteriaDialog(const QList<QPair<QString, QString>> &campos, QWidget *parent = nullptr);
    ~QbeCriteriaDialog() override;

    void setCriteria(const QList<QbeCriterion> &criteria);
    QList<QbeCriterion> criteria() const;

    // Runs on accept; throwing keeps the dialog open.
    std::function<void(const QList<QbeCriterion> &)> check;

    // Adds an empty condition row and returns its index. Its editors are named cmbCampoN,
    // cmbOperadorN and edtValorN.
    int addRow();

private:
    void removeCurrentRow();
    void acceptCriteria();

    std::unique_ptr<Ui::QbeCriteriaDialog> ui;
    QList<QPair<QString, QString>> m_campos;
};
