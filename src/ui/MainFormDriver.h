#pragma once
// Drives the module's real main form offscreen, as a user would: the company is chosen, the plan
// row of a node becomes current, its tree node is selected, the categories are ticked and
// "Generación Semaforo" is pressed. The command line's headless road and its page pictures go
// through it, so they show exactly what the window does.

#include "framework/widgets/DialogService.h"
#include "engine/ProfileScoring.h"

#include <QString>

class Session;
class TDataSet;
class TFrmAcSemaf;

class MainFormDriver {
public:
    // Creates the data module and the main form for `session` and proves the session on the
    // form's connection, as the load call does; throws Exception with the form's message when it
    // cannot be created.
    explicit MainFormDriver(const Session &session);
    ~MainFormDriver();
    MainFormDriver(const MainFormDriver &) = delete;
    MainFormDriver &operator=(const MainFormDriver &) = delete;

    void chooseCompany(int company);
    // Makes node `node` of plan `plan` current and selects it in the tree; throws when the
    // company has no such node.
    void goToNode(int plan, int node);
    void tickCategories(const engine::Categories &categories);
    // Presses the generation button; a message the form shows is thrown as an Exception.
    void pressGenerate();
    // Shows the page "ruta", "plan", "cargos" or "mapa" (its map computed first) and saves a
    // picture of the window.
    void savePage(const QString &page, const QString &file);

    TDataSet &result() const;
    TFrmAcSemaf *form() const { return m_form; }

private:
    void throwShownMessages();

    DialogRecorder m_dialogs;
    TFrmAcSemaf *m_form = nullptr;
};
