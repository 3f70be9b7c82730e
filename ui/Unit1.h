#pragma once

#include "core/Workspace.h"
#include "load/Dialogs.h"
#include "load/LoadCommand.h"
#include "load/SaveCommand.h"
#include "ui/FaultyCellDelegate.h"
#include "ui/GridModel.h"
#include "ui/QtTextMeasurer.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>

#include <functional>
#include <memory>

namespace tarnwick {

class TForm5;
class TForm6;
class TForm7;

// The main window. Each handler calls one window-free command and then shows the workspace.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(Dialogs& dialogs);
    ~TForm1() override;

    void setSecondaryWindows(TForm7* form7, TForm5* form5, TForm6* form6);

    Workspace& workspace() { return workspace_; }
    LoadCommands& loadCommands() { return loads_; }
    SaveCommand& saveCommand() { return save_; }

    // Shows the workspace: views, their contents and widths, enabled commands, status line.
    void refreshWidgets();
    // Replaces the text of the step-limit box (the step-limit dialog's "Ok").
    void setStepLimitText(const QString& text);

    // Handlers; a button and its menu item run the same one.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Numberofsteps1Click();
    void Instructions1Click();
    void Abouttheprogramme1Click();
    void Quit1Click();
    void FormResize();

    QFrame* Bevel1;
    QFrame* Bevel2;
    QLabel* Label1;
    QLabel* Label2; // the status line
    QLabel* Label3;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QPushButton* Button6;
    QComboBox* ComboBox1;
    QTableView* StringGrid1;
    QTableView* StringGrid2;
    QTableView* StringGrid5;
    QTableView* StringGrid7;
    QAction* Loaddatabase1;
    QAction* Loadhaplotypersforsearch1;
    QAction* Save1;
    QAction* Quit1;
    QAction* Numberofsteps1;
    QAction* Calculate1;
    QAction* Instructions1;
    QAction* Abouttheprogramme1;

private:
    struct View {
        QTableView* view;
        GridModel* model;
    };

    void createControls(QWidget* client);
    void createMenu();
    QTableView* createView(StringGrid& grid, GridModel*& model, QWidget* client);
    void runCommand(const std::function<void()>& command);
    void refreshView(const View& view);

    Workspace workspace_;
    Dialogs& dialogs_;
    std::unique_ptr<QtTextMeasurer> measurer_;
    LoadCommands loads_;
    SaveCommand save_;
    FaultyCells faulty_;
    GridModel* model1_ = nullptr;
    GridModel* model2_ = nullptr;
    GridModel* model5_ = nullptr;
    GridModel* model7_ = nullptr;
    TForm7* form7_ = nullptr;
    TForm5* form5_ = nullptr;
    TForm6* form6_ = nullptr;
};

} // namespace tarnwick
