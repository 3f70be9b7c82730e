// Unit1: TForm1, the main window: command bar, the four views, status strip and menu.
#pragma once

#include "commands/Dialogs.h"
#include "commands/Program.h"
#include "commands/TextMeasurer.h"
#include "ui/FaultyCellDelegate.h"
#include "ui/GridModel.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>

#include <functional>

namespace tarnwick {

class StructureSettingsDialog;
class StructureWidget;
class TForm5;
class TForm6;
class TForm7;

// The main window. Each handler calls one window-free command and then shows the program's
// state; the program is made before the window and outlives it.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(Program& program, Dialogs& dialogs, const TextMeasurer& measurer);

    void setSecondaryWindows(TForm7* form7, TForm5* form5, TForm6* form6);

    // Shows the program's state: views, their contents and widths, enabled commands, status
    // line; and turns in-place editing on for a shown input table whose faults are painted.
    void refreshWidgets();
    // Replaces the text of the step-limit box (the step-limit dialog's "Ok").
    void setStepLimitText(const QString& text);

    // Handlers; a button and its menu item run the same one.
    void Button1Click();
    void Button2Click();
    void Importdatabase1Click();
    void Importhaplotypes1Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Numberofsteps1Click();
    void Readgenotypes1Click(bool checked);
    void MatchProbabilities1Click();
    void DiscreteLaplace1Click(bool checked);
    void PopulationStructure1Click();
    // "Load database" with the file given instead of chosen (the file the program started with).
    void loadDatabaseFile(const std::string& fileName);
    void Instructions1Click();
    void Abouttheprogramme1Click();
    void Quit1Click();
    void FormResize();

private:
    struct View {
        QTableView* view;
        GridModel* model;
    };

    void createControls(QWidget* client);
    void createMenu();
    QTableView* createView(StringGrid& grid, GridModel*& model, const char* name, QWidget* client);
    void runCommand(const std::function<void()>& command);
    void refreshView(const View& view);
    void placeStatusLine();

    Program& program_;
    Workspace& workspace_;
    Dialogs& dialogs_;
    const TextMeasurer& measurer_;
    FaultyCells faulty_;
    GridModel* model1_ = nullptr;
    GridModel* model2_ = nullptr;
    GridModel* model5_ = nullptr;
    GridModel* model7_ = nullptr;
    GridModel* probabilitiesModel_ = nullptr;
    TForm7* form7_ = nullptr;
    TForm5* form5_ = nullptr;
    TForm6* form6_ = nullptr;

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
    QTableView* probabilitiesView_;  // Calculate, "Match probabilities"
    StructureWidget* structureView_; // Calculate, "Population structure"
    StructureSettingsDialog* structureSettings_;
    QAction* Loaddatabase1;
    QAction* Loadhaplotypersforsearch1;
    QAction* Importdatabase1;
    QAction* Importhaplotypes1;
    QAction* Save1;
    QAction* Quit1;
    QAction* Numberofsteps1;
    QAction* Readgenotypes1; // checkable
    QAction* Calculate1;
    QAction* MatchProbabilities1;
    QAction* DiscreteLaplace1; // checkable
    QAction* PopulationStructure1;
    QAction* Instructions1;
    QAction* Abouttheprogramme1;
};

} // namespace tarnwick
