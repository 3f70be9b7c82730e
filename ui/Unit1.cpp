// Unit1: TForm1, the main window: command bar, the four views, status strip and menu.
#include "ui/Unit1.h"

#include "commands/Calculation.h"
#include "commands/ErrorReport.h"
#include "commands/MatchProbabilityView.h"
#include "commands/PopulationViews.h"
#include "commands/Readings.h"
#include "commands/StructureView.h"
#include "ui/EnterKey.h"
#include "ui/Fonts.h"
#include "ui/MatchProbabilityProgress.h"
#include "ui/SelectionCopy.h"
#include "ui/StructureProgress.h"
#include "ui/StructureSettingsDialog.h"
#include "ui/StructureWidget.h"
#include "ui/TextFit.h"
#include "ui/Unit5.h"
#include "ui/Unit6.h"
#include "ui/Unit7.h"
#include "ui/WorkProgress.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QResizeEvent>
#include <QShortcut>

#include <algorithm>
#include <exception>

namespace tarnwick {
namespace {

constexpr int kClientWidth = 697;
constexpr int kClientHeight = 515;
constexpr int kRowHeight = 24;

// The client area: reports its size changes to the window's layout.
class ClientArea : public QWidget {
public:
    ClientArea(std::function<void()> onResize, QWidget* parent)
        : QWidget(parent), onResize_(std::move(onResize)) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        onResize_();
    }

private:
    std::function<void()> onResize_;
};

QPushButton* button(const char* name, const QString& text, QRect geometry, QWidget* parent) {
    auto* result = new QPushButton(text, parent);
    result->setObjectName(name);
    result->setGeometry(geometry);
    return result;
}

} // namespace

TForm1::TForm1(Program& program, Dialogs& dialogs, const TextMeasurer& measurer)
    : program_(program), workspace_(program.workspace), dialogs_(dialogs), measurer_(measurer) {
    setObjectName("Form1");
    setWindowTitle("Tarnwick");
    setFont(msSansSerif8());
    auto* client = new ClientArea([this] { FormResize(); }, this);
    client->setObjectName("client");
    client->setMinimumSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    createControls(client);
    createMenu();
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    refreshWidgets();
}

void TForm1::setSecondaryWindows(TForm7* form7, TForm5* form5, TForm6* form6) {
    form7_ = form7;
    form5_ = form5;
    form6_ = form6;
}

QTableView* TForm1::createView(StringGrid& grid, GridModel*& model, const char* name,
                               QWidget* client) {
    auto* view = new QTableView(client);
    view->setObjectName(name);
    model = new GridModel(grid, view);
    view->setModel(model);
    view->setFont(msSansSerif8());
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed); // no resizing by mouse
    view->horizontalHeader()->setHighlightSections(false);
    view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideNone);
    view->setGeometry(0, 62, kClientWidth, 424);
    copySelectionOnCtrlC(view, *model);
    return view;
}

void TForm1::createControls(QWidget* client) {
    Bevel2 = new QFrame(client);
    Bevel2->setObjectName("Bevel2");
    Bevel2->setFrameShape(QFrame::HLine);
    Bevel2->setGeometry(0, 0, kClientWidth, 1);
    Label1 = new QLabel(tr("Number of steps(max):"), client);
    Label1->setObjectName("Label1");
    Label1->setGeometry(296, 11, 105, 13);
    widenToText(Label1);
    Button1 = button("Button1", tr("Load database"), {1, 24, 103, 25}, client);
    Button2 = button("Button2", tr("Load haplotype(s) for search"), {108, 24, 165, 25}, client);
    ComboBox1 = new QComboBox(client);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert); // what is typed never joins the list
    ComboBox1->addItems({"0", "1", "2", "3"});
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText("");
    ComboBox1->setGeometry(276, 26, 137, 21);
    Button3 = button("Button3", tr("Calculate"), {416, 24, 75, 25}, client);
    Button5 = button("Button5", tr("By populations"), {512, 8, 89, 25}, client);
    Button6 = button("Button6", tr("By haplotype(s)"), {512, 40, 89, 25}, client);
    Button4 = button("Button4", tr("Save"), {616, 24, 75, 25}, client);
    StringGrid1 = createView(workspace_.StringGrid1, model1_, "StringGrid1", client);
    StringGrid2 = createView(workspace_.StringGrid2, model2_, "StringGrid2", client);
    StringGrid5 = createView(workspace_.StringGrid5, model5_, "StringGrid5", client);
    StringGrid7 = createView(workspace_.StringGrid7, model7_, "StringGrid7", client);
    probabilitiesView_ = createView(workspace_.matchProbabilities, probabilitiesModel_,
                                    "MatchProbabilitiesView", client);
    structureView_ = new StructureWidget(workspace_.structure, dialogs_, client);
    structureView_->setGeometry(0, 62, kClientWidth, 424);
    structureSettings_ = new StructureSettingsDialog(this);
    StringGrid1->setItemDelegate(
        new FaultyCellDelegate(*model1_, workspace_.databaseHasErrors, faulty_, StringGrid1));
    StringGrid2->setItemDelegate(
        new FaultyCellDelegate(*model2_, workspace_.searchHasErrors, faulty_, StringGrid2));
    Bevel1 = new QFrame(client);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(0, 496, kClientWidth, 20);
    Label3 = new QLabel(tr("Comment:"), client);
    Label3->setObjectName("Label3");
    Label3->setGeometry(512, 500, 47, 13);
    Label2 = new QLabel(client);
    Label2->setObjectName("Label2");
    Label2->move(568, 504);

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    connect(ComboBox1, &QComboBox::editTextChanged, this,
            [this](const QString& text) { workspace_.stepLimit = text.toStdString(); });
    // Enter in the box runs Calculate with the limit typed.
    runOnEnter(ComboBox1, [this] { Button3Click(); });
}

void TForm1::createMenu() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    Loaddatabase1 = file->addAction(tr("Load database"), this, &TForm1::Button1Click);
    Loadhaplotypersforsearch1 =
        file->addAction(tr("Load haplotype(s) for search"), this, &TForm1::Button2Click);
    Importdatabase1 =
        file->addAction(tr("Import database..."), this, &TForm1::Importdatabase1Click);
    Importhaplotypes1 = file->addAction(tr("Import haplotype(s) for search..."), this,
                                        &TForm1::Importhaplotypes1Click);
    // An import is a load of another kind: offered exactly when its load is.
    connect(Loaddatabase1, &QAction::enabledChanged, Importdatabase1, &QAction::setEnabled);
    connect(Loadhaplotypersforsearch1, &QAction::enabledChanged, Importhaplotypes1,
            &QAction::setEnabled);
    Save1 = file->addAction(tr("Save"), this, &TForm1::Button4Click);
    Quit1 = file->addAction(tr("Quit"), this, &TForm1::Quit1Click);
    QMenu* settings = menuBar()->addMenu(tr("&Settings"));
    Numberofsteps1 =
        settings->addAction(tr("Number of steps(max)"), this, &TForm1::Numberofsteps1Click);
    Readgenotypes1 = settings->addAction(tr("Read genotypes"));
    Readgenotypes1->setCheckable(true);
    connect(Readgenotypes1, &QAction::toggled, this, &TForm1::Readgenotypes1Click);
    QMenu* calculate = menuBar()->addMenu(tr("&Calculate"));
    Calculate1 = calculate->addAction(tr("Calculate"), this, &TForm1::Button3Click);
    MatchProbabilities1 =
        calculate->addAction(tr("Match probabilities"), this, &TForm1::MatchProbabilities1Click);
    DiscreteLaplace1 = calculate->addAction(tr("Discrete Laplace"));
    DiscreteLaplace1->setCheckable(true);
    // Only the user's click: the check set from the workspace runs nothing.
    connect(DiscreteLaplace1, &QAction::triggered, this, &TForm1::DiscreteLaplace1Click);
    PopulationStructure1 =
        calculate->addAction(tr("Population structure"), this, &TForm1::PopulationStructure1Click);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    Instructions1 = help->addAction(tr("Instructions"), this, &TForm1::Instructions1Click);
    Abouttheprogramme1 =
        help->addAction(tr("About the programme"), this, &TForm1::Abouttheprogramme1Click);
    Loaddatabase1->setObjectName("Loaddatabase1");
    Loadhaplotypersforsearch1->setObjectName("Loadhaplotypersforsearch1");
    Importdatabase1->setObjectName("Importdatabase1");
    Importhaplotypes1->setObjectName("Importhaplotypes1");
    Save1->setObjectName("Save1");
    Quit1->setObjectName("Quit1");
    Numberofsteps1->setObjectName("Numberofsteps1");
    Readgenotypes1->setObjectName("Readgenotypes1");
    Calculate1->setObjectName("Calculate1");
    MatchProbabilities1->setObjectName("MatchProbabilities1");
    DiscreteLaplace1->setObjectName("DiscreteLaplace1");
    PopulationStructure1->setObjectName("PopulationStructure1");
    Instructions1->setObjectName("Instructions1");
    Abouttheprogramme1->setObjectName("Abouttheprogramme1");
    Loaddatabase1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Loadhaplotypersforsearch1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Calculate1->setShortcut(QKeySequence(Qt::Key_F5));
    Quit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Instructions1->setShortcut(QKeySequence(Qt::Key_F1));
    // F10 opens the menu bar, as in other desktop programs.
    auto* openMenuBar = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(openMenuBar, &QShortcut::activated, this, [this] {
        menuBar()->setFocus(Qt::MenuBarFocusReason);
        menuBar()->setActiveAction(menuBar()->actions().constFirst());
    });
}

void TForm1::runCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        // The command ends where it was; the window goes on.
        refreshWidgets();
        dialogs_.showError(errorReportText(error.what()));
    }
    refreshWidgets();
}

void TForm1::Readgenotypes1Click(bool checked) {
    runCommand([this, checked] { setReadGenotypes(workspace_, checked); });
}

void TForm1::loadDatabaseFile(const std::string& fileName) {
    runCommand([this, &fileName] {
        WindowWorkRunner runner(this);
        program_.loads.load(InputRole::Database, fileName, runner);
    });
}

void TForm1::MatchProbabilities1Click() {
    runCommand([this] {
        WindowWorkRunner runner(this);
        showMatchProbabilities(workspace_, dialogs_, measurer_,
                               matchProbabilitiesWithProgress(this), runner);
    });
}

void TForm1::DiscreteLaplace1Click(bool checked) {
    runCommand([this, checked] {
        WindowWorkRunner runner(this);
        setDiscreteLaplace(workspace_, checked, dialogs_, measurer_,
                           matchProbabilitiesWithProgress(this), runner);
    });
}

void TForm1::PopulationStructure1Click() {
    runCommand([this] {
        if (!canShowPopulationStructure(workspace_))
            return;
        const auto settings = structureSettings_->ask();
        if (!settings)
            return;
        const StructureSample sample = structureSampleOf(workspace_);
        auto result = computeWithProgress(this, sample, *settings);
        if (!result)
            return; // cancelled: everything stays as it was
        showPopulationStructure(
            workspace_, std::make_shared<const StructureResult>(std::move(*result)), measurer_);
    });
}

void TForm1::Button1Click() {
    runCommand([this] {
        WindowWorkRunner runner(this);
        program_.loads.Button1Click(runner);
    });
}

void TForm1::Button2Click() {
    runCommand([this] {
        WindowWorkRunner runner(this);
        program_.loads.Button2Click(runner);
    });
}

void TForm1::Importdatabase1Click() {
    runCommand([this] {
        WindowWorkRunner runner(this);
        program_.loads.import(InputRole::Database, std::nullopt, runner);
    });
}

void TForm1::Importhaplotypes1Click() {
    runCommand([this] {
        WindowWorkRunner runner(this);
        program_.loads.import(InputRole::Search, std::nullopt, runner);
    });
}

void TForm1::Button3Click() {
    runCommand([this] {
        WindowWorkRunner runner(this);
        calculate(workspace_, dialogs_, measurer_, runner);
    });
}

void TForm1::Button4Click() {
    runCommand([this] {
        WindowWorkRunner runner(this);
        program_.save.run(runner);
    });
}

void TForm1::Button5Click() {
    runCommand([this] { showByPopulations(workspace_, measurer_); });
}

void TForm1::Button6Click() {
    runCommand([this] { showByHaplotypes(workspace_); });
}

void TForm1::Numberofsteps1Click() {
    if (form7_)
        form7_->exec();
}

void TForm1::Instructions1Click() {
    if (form5_)
        form5_->exec();
}

void TForm1::Abouttheprogramme1Click() {
    if (form6_)
        form6_->exec();
}

void TForm1::Quit1Click() {
    close();
    workspace_.statusLine.clear();
    refreshWidgets();
}

void TForm1::setStepLimitText(const QString& text) {
    ComboBox1->setEditText(text);
    workspace_.stepLimit = text.toStdString();
}

void TForm1::FormResize() {
    const int W = centralWidget()->width();
    const int H = centralWidget()->height();
    const QRect viewArea(3, 70, W - 6, H - 85);
    StringGrid5->setGeometry(viewArea);
    StringGrid1->setGeometry(viewArea);
    StringGrid2->setGeometry(viewArea);
    Bevel1->setGeometry(3, H - 15, W - 6, 14);
    placeStatusLine();
    Bevel2->resize(frameGeometry().width(), Bevel2->height());
    StringGrid7->setGeometry(viewArea);
    probabilitiesView_->setGeometry(viewArea);
    structureView_->setGeometry(viewArea);
    Button3->move(W - 260, Button3->y());
    Button4->move(W - 85, Button4->y());
    Button5->move(W - 180, Button5->y());
    Button6->move(W - 180, Button6->y());
    ComboBox1->resize(W - 540, ComboBox1->height());
}

void TForm1::placeStatusLine() {
    const int W = centralWidget()->width();
    const int H = centralWidget()->height();
    const QString text = QString::fromStdString(workspace_.statusLine);
    Label2->setText(text);
    Label2->setToolTip("");
    // "Comment:" and the text keep their places where the text fits before the strip's end, and
    // move left together where it is longer; a window narrower than the text elides it.
    constexpr int kLabel3ToLabel2 = 60;
    const int end = W - 5;
    const int leftmost = 8 + kLabel3ToLabel2;
    const int x = std::max(leftmost, std::min(W - 140, end - Label2->sizeHint().width()));
    if (Label2->sizeHint().width() > end - x) {
        Label2->setText(Label2->fontMetrics().elidedText(text, Qt::ElideRight,
                                                         end - x - Label2->margin() * 2 - 1));
        Label2->setToolTip(text);
    }
    Label3->setGeometry(x - kLabel3ToLabel2, H - 15, std::max(50, Label3->sizeHint().width()), 14);
    Label2->setGeometry(x, H - 15, std::min(Label2->sizeHint().width(), end - x), 14);
}

void TForm1::refreshView(const View& view) {
    StringGrid& grid = view.model->grid();
    view.model->reload();
    view.view->horizontalHeader()->setVisible(view.model->headerRows() > 0);
    view.view->horizontalHeader()->setFixedHeight(kRowHeight);
    for (int col = 0; col < grid.ColCount(); ++col)
        view.view->setColumnWidth(col, grid.ColWidths(col));
    view.view->setVisible(grid.Visible());
}

void TForm1::refreshWidgets() {
    faulty_.reload(workspace_.StringGrid6);
    // An input table whose faults are painted becomes editable as it is shown.
    if (workspace_.databaseHasErrors && workspace_.StringGrid1.Visible())
        workspace_.StringGrid1.setGoEditing(true);
    if (workspace_.searchHasErrors && workspace_.StringGrid2.Visible())
        workspace_.StringGrid2.setGoEditing(true);
    for (const View& view :
         {View{StringGrid1, model1_}, View{StringGrid2, model2_}, View{StringGrid5, model5_},
          View{StringGrid7, model7_}, View{probabilitiesView_, probabilitiesModel_}})
        refreshView(view);
    structureView_->refresh();
    // A higher-numbered view covers a lower-numbered one.
    StringGrid1->raise();
    StringGrid2->raise();
    StringGrid5->raise();
    StringGrid7->raise();
    probabilitiesView_->raise();
    structureView_->raise();
    Button4->setEnabled(workspace_.enabled.Button4);
    Save1->setEnabled(workspace_.enabled.Save1);
    Button5->setEnabled(workspace_.enabled.Button5);
    Button6->setEnabled(workspace_.enabled.Button6);
    MatchProbabilities1->setEnabled(canShowMatchProbabilities(workspace_));
    PopulationStructure1->setEnabled(canShowPopulationStructure(workspace_));
    setWindowTitle(QString::fromStdString(mainWindowTitle(workspace_)));
    Readgenotypes1->setChecked(workspace_.readGenotypes);
    DiscreteLaplace1->setChecked(workspace_.discreteLaplace);
    placeStatusLine();
    if (ComboBox1->currentText().toStdString() != workspace_.stepLimit)
        ComboBox1->setEditText(QString::fromStdString(workspace_.stepLimit));
}

} // namespace tarnwick
