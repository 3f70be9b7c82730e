// Unit5: TForm5, "Instructions", the help text.
#include "ui/Unit5.h"

#include "ui/Fonts.h"

#include <QCoreApplication>
#include <QScreen>

#include <algorithm>

namespace tarnwick {

// The text in English; its Russian form is the translation in tarnwick_ru.ts.
const char* const kInstructionsText = QT_TRANSLATE_NOOP(
    "tarnwick::TForm5",
    "Tarnwick compares Y-STR haplotypes with a database of reference haplotypes.\n"
    "\n"
    "1. Load the database (\"Load database\", Ctrl+O): seven descriptive columns, the population "
    "in the second, then one column per locus.\n"
    "   Load the haplotypes to search for (\"Load haplotype(s) for search\", Ctrl+Shift+O): a "
    "sample name, a comment, then loci. Loci are paired by their column titles.\n"
    "   Both read the first worksheet of .xls, .xlsx and .ods workbooks, CSV and TSV text. Cells "
    "that hold no repeat count are counted and shown in red:\n"
    "   \"Save\" writes a copy with them highlighted, \"Edit..\" lets you correct them in the "
    "table, \"Cancel\" drops the table.\n"
    "   \"Import database...\" and \"Import haplotype(s) for search...\" read any table: they "
    "preview its columns, let you choose the sheet and each\n"
    "   column's role (population, sample, count, locus), and say how many rows, men and loci "
    "result before anything is loaded.\n"
    "\n"
    "2. Two readings of locus cells. By default a cell holds a whole repeat count: \"15.2\" is "
    "read as 15, a text such as \"NA\" is a fault, an empty cell a locus not typed.\n"
    "   Settings, \"Read genotypes\" reads multi-copy loci (12,13), microvariants (13.2), null "
    "alleles and missing marks (NA, --) as geneticists write them;\n"
    "   it applies to the loads that follow, and the title says \"genotypes\" while it is on.\n"
    "\n"
    "3. Choose the step limit, the largest sum of repeat differences over the shared loci, in the "
    "box (0, 1, 2, 3 or any number typed)\n"
    "   or with Settings, \"Number of steps(max)\". \"Calculate\" (F5, or Enter in the box) "
    "lists every database haplotype within the limit,\n"
    "   sorted by steps, with the loci where it differs. \"By populations\" counts each "
    "population's exact matches and one-, two- and\n"
    "   three-step neighbours; \"By haplotype(s)\" returns to the matches.\n"
    "\n"
    "4. Calculate, \"Match probabilities\" shows how often each searched haplotype occurs in each "
    "population and in all, with a 95 % confidence interval.\n"
    "   Calculate, \"Population structure\" compares the populations (AMOVA, pairwise distances) "
    "and draws them as points of a map (MDS).\n"
    "   Check Calculate, \"Discrete Laplace\" to add to the match probabilities each haplotype's "
    "probability under the discrete Laplace model,\n"
    "   which also serves haplotypes seen once or never (fitted per population; it may take a "
    "while on large databases).\n"
    "\n"
    "5. \"Save\" (Ctrl+S) writes the table shown: as CSV text under a .csv name, else as a "
    "spreadsheet file. Ctrl+C copies the selected cells.\n"
    "\n"
    "6. The batch tool tarnwick-cli does the same work without the window, for scripted runs: "
    "tarnwick-cli --help lists its commands.\n"
    "   File, \"Quit\" (Ctrl+Q) ends the program.");

namespace {

constexpr QSize kDesignedSize(972, 416);

} // namespace

TForm5::TForm5(QWidget* parent)
    : QDialog(parent), scrollBox_(new QScrollArea(this)), lbl1(new QLabel(tr(kInstructionsText))) {
    setObjectName("Form5");
    setWindowTitle(tr("Instructions"));
    setFont(tahoma8());
    setFixedSize(kDesignedSize);
    lbl1->setObjectName("lbl1");
    lbl1->setWordWrap(false);
    lbl1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl1->setContentsMargins(8, 8, 0, 0);
    scrollBox_->setObjectName("ScrollBox1");
    scrollBox_->setFrameShape(QFrame::NoFrame);
    scrollBox_->setWidget(lbl1);
    lbl1->resize(lbl1->sizeHint().expandedTo(kDesignedSize));
    scrollBox_->setGeometry(rect());
}

void TForm5::setVisible(bool visible) {
    if (visible)
        fitToScreen();
    QDialog::setVisible(visible);
}

void TForm5::fitToScreen() {
    const QWidget* over = parentWidget() ? parentWidget() : this;
    const QScreen* shownOn = over->screen();
    if (!shownOn)
        return;
    const QRect available = shownOn->availableGeometry();
    // Room for the window manager's frame and title bar: as measured once shown, and at least
    // what common ones take.
    const QSize frame = (frameGeometry().size() - size()).expandedTo(QSize(16, 40));
    setFixedSize(kDesignedSize.boundedTo(available.size() - frame));
    scrollBox_->setGeometry(rect());
    if (testAttribute(Qt::WA_Moved)) {
        // Shown before: brought back whole onto the screen where it no longer fits there.
        QRect placed(pos(), size() + frame);
        placed.moveRight(std::min(placed.right(), available.right()));
        placed.moveBottom(std::min(placed.bottom(), available.bottom()));
        placed.moveLeft(std::max(placed.left(), available.left()));
        placed.moveTop(std::max(placed.top(), available.top()));
        move(placed.topLeft());
    }
}

} // namespace tarnwick
