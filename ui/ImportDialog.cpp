#include "ui/ImportDialog.h"

#include "ui/Fonts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <exception>
#include <filesystem>

namespace tarnwick {
namespace {

// The roles in the order the boxes offer them.
constexpr ColumnRole kRoles[] = {ColumnRole::Locus, ColumnRole::Population, ColumnRole::Sample,
                                 ColumnRole::Count, ColumnRole::Other};

// The roles' names as the boxes show them: core's English names, for lupdate to find here.
constexpr const char* kRoleNames[] = {QT_TRANSLATE_NOOP("tarnwick::ImportDialog", "locus"),
                                      QT_TRANSLATE_NOOP("tarnwick::ImportDialog", "population"),
                                      QT_TRANSLATE_NOOP("tarnwick::ImportDialog", "sample"),
                                      QT_TRANSLATE_NOOP("tarnwick::ImportDialog", "count"),
                                      QT_TRANSLATE_NOOP("tarnwick::ImportDialog", "other")};
static_assert(std::size(kRoleNames) == std::size(kRoles), "a name for every role");

QString roleText(ColumnRole role) {
    const std::string name(roleName(role));
    return QCoreApplication::translate("tarnwick::ImportDialog", name.c_str());
}

int roleIndex(ColumnRole role) {
    return static_cast<int>(std::find(std::begin(kRoles), std::end(kRoles), role) -
                            std::begin(kRoles));
}

// A table that asks for room for all its rows and columns; the dialog gives it what the screen
// has, and it scrolls the rest.
class PreviewTable : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return {horizontalHeader()->length() + frame + verticalScrollBar()->sizeHint().width(),
                horizontalHeader()->sizeHint().height() + verticalHeader()->length() + frame +
                    horizontalScrollBar()->sizeHint().height()};
    }
};

// Opening another sheet of a workbook can take a moment.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

ImportDialog::ImportDialog(ImportPreview& preview, QWidget* parent)
    : QDialog(parent), preview_(preview), form_(new QFormLayout(this)),
      sheets_(new QComboBox(this)), marksLabel_(new QLabel(this)), table_(new PreviewTable(this)),
      outcome_(new QLabel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)),
      outcomes_(new ImportOutcomeWorker(this)) {
    setObjectName("ImportDialog");
    setWindowTitle(preview.role() == InputRole::Database ? tr("Import database")
                                                         : tr("Import haplotype(s) for search"));
    setFont(msSansSerif8());
    sheets_->setObjectName("Sheets");
    table_->setObjectName("Preview");
    outcome_->setObjectName("Outcome");
    marksLabel_->setObjectName("MarksLabel");

    const QString path = QString::fromStdString(preview.fileName());
    auto* file = new QLabel(
        QString::fromStdString(std::filesystem::path(preview.fileName()).filename().string()),
        this);
    file->setObjectName("FileName");
    file->setToolTip(path);

    for (const std::string& name : preview.sheetNames())
        sheets_->addItem(QString::fromStdString(name));
    sheets_->addItem(tr("All sheets"));
    sheets_->setCurrentIndex(preview.allSheets() ? sheets_->count() - 1 : preview.sheet());

    marksLabel_->setText(tr("&Mark each column as locus, population, sample, count or other:"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false); // Tab goes on to the next control
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setHighlightSections(false);
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustIgnored);
    table_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    outcome_->setWordWrap(true);
    outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    form_->addRow(tr("File:"), file);
    form_->addRow(tr("&Sheet:"), sheets_);
    // One sheet, or a file without named ones: nothing to choose.
    form_->setRowVisible(sheets_, preview.sheetNames().size() > 1);
    form_->addRow(marksLabel_);
    form_->addRow(table_);
    form_->addRow(tr("Result:"), outcome_);
    form_->addRow(buttons_);

    connect(sheets_, &QComboBox::activated, this, &ImportDialog::chooseSheet);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(outcomes_, &ImportOutcomeWorker::ready, this, &ImportDialog::showOutcomeText);
    buttons_->button(QDialogButtonBox::Ok)->setDefault(true); // Enter imports

    showRows();
    showOutcome();
    fitToScreen();
}

void ImportDialog::chooseSheet(int index) {
    try {
        WaitCursor wait;
        if (index >= static_cast<int>(preview_.sheetNames().size()))
            preview_.chooseAllSheets();
        else
            preview_.chooseSheet(index);
    } catch (const std::exception& error) {
        // The file changed or went since it was opened: nothing can be imported from it.
        outcomes_->drop();
        outcome_->setText(QString::fromStdString(error.what()));
        buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
        return;
    }
    showRows();
    showOutcome();
    fitToScreen();
}

void ImportDialog::markColumn(int column, int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kRoles)))
        return;
    preview_.mark(column, kRoles[index]);
    // Another column may have given up the role.
    showRoles();
    showOutcome();
}

void ImportDialog::showRows() {
    const auto& titles = preview_.titles();
    const auto& rows = preview_.rows();
    const int columns = static_cast<int>(titles.size());
    table_->clear();
    roleBoxes_.clear();
    table_->setColumnCount(columns);
    table_->setRowCount(1 + static_cast<int>(rows.size())); // the role boxes, then the rows
    QStringList labels;
    for (const std::string& title : titles)
        labels << QString::fromStdString(title);
    table_->setHorizontalHeaderLabels(labels);

    const QFontMetrics metrics(table_->font());
    const int textMargin =
        2 * (table_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table_) + 1);
    int boxHeight = table_->verticalHeader()->defaultSectionSize();
    for (int column = 0; column < columns; ++column) {
        auto* box = new QComboBox;
        box->setObjectName(QString("Role%1").arg(column));
        for (const ColumnRole role : kRoles)
            box->addItem(roleText(role));
        box->setFocusPolicy(Qt::StrongFocus);
        box->setEnabled(!titles[static_cast<std::size_t>(column)].empty()); // marked by title
        box->installEventFilter(this);
        connect(box, &QComboBox::activated, this,
                [this, column](int index) { markColumn(column, index); });
        table_->setCellWidget(0, column, box);
        roleBoxes_.push_back(box);
        boxHeight = std::max(boxHeight, box->sizeHint().height());

        int width =
            std::max(table_->horizontalHeader()->sectionSizeHint(column), box->sizeHint().width());
        for (std::size_t row = 0; row < rows.size(); ++row) {
            const QString text =
                QString::fromStdString(rows[row][static_cast<std::size_t>(column)]);
            auto* item = new QTableWidgetItem(text);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table_->setItem(static_cast<int>(row) + 1, column, item);
            width = std::max(width, metrics.horizontalAdvance(text) + textMargin);
        }
        table_->setColumnWidth(column, width);
    }
    table_->setRowHeight(0, boxHeight);
    marksLabel_->setBuddy(roleBoxes_.empty() ? static_cast<QWidget*>(table_) : roleBoxes_.front());
    showRoles();
    orderTabs();
}

void ImportDialog::showRoles() {
    const auto& roles = preview_.roles();
    for (std::size_t column = 0; column < roleBoxes_.size() && column < roles.size(); ++column)
        roleBoxes_[column]->setCurrentIndex(roleIndex(roles[column]));
}

void ImportDialog::showOutcome() {
    outcome_->setText(tr("Reading the whole file..."));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(false);
    outcomes_->request(preview_.outcomeQuery());
}

void ImportDialog::showOutcomeText(const QString& text, bool importable) {
    outcome_->setText(text);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(importable);
}

void ImportDialog::orderTabs() {
    QWidget* previous = sheets_;
    for (QComboBox* box : roleBoxes_) {
        QWidget::setTabOrder(previous, box);
        previous = box;
    }
    QWidget::setTabOrder(previous, table_);
    QWidget::setTabOrder(table_, buttons_->button(QDialogButtonBox::Ok));
    QWidget::setTabOrder(buttons_->button(QDialogButtonBox::Ok),
                         buttons_->button(QDialogButtonBox::Cancel));
}

void ImportDialog::fitToScreen() {
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    // Room for the window manager's frame and title bar around the dialog.
    const QSize room = screen->availableGeometry().size() - QSize(16, 48);
    // Once shown, the dialog keeps the size the user gave it, growing for a wider sheet.
    resize(sizeHint().expandedTo(isVisible() ? size() : QSize()).boundedTo(room));
}

bool ImportDialog::eventFilter(QObject* watched, QEvent* event) {
    const auto found = std::find(roleBoxes_.begin(), roleBoxes_.end(), watched);
    if (found == roleBoxes_.end())
        return QDialog::eventFilter(watched, event);
    // A role box reached by Tab is scrolled into view with its column.
    if (event->type() == QEvent::FocusIn)
        table_->scrollTo(table_->model()->index(0, static_cast<int>(found - roleBoxes_.begin())));
    // The wheel over the boxes scrolls the table rather than changing a role unseen.
    if (event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(table_->viewport(), event);
        return true;
    }
    return false;
}

} // namespace tarnwick
