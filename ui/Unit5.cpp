// Unit5: TForm5, "Instructions", the help text.
#include "ui/Unit5.h"

#include "ui/Fonts.h"

#include <QScreen>

#include <algorithm>

namespace tarnwick {

const char* const kInstructionsText =
    "Для работы с Tarnwick загрузите два исходных файла: базу данных, с гаплотипами которой "
    "проводится сравнение (кнопка \"Load database\"),\n"
    "и файл с анализируемыми данными (кнопка \"Load haplotype(s) for search\"). Программа "
    "читает файлы в форматах \".xls\" и \".csv\".\n"
    "\n"
    "В базе данных каждому признаку отведён свой столбец: популяция, к которой относится "
    "образец, номер образца, маркер, определяющий его гаплогруппу,\n"
    "гаплогруппа и число повторов в каждом из исследуемых STR-локусов, по одному локусу на "
    "столбец. Файл для поиска содержит номер образца, комментарий к нему\n"
    "и числа повторов в STR-локусах, также по одному признаку на столбец. Если в базе данных "
    "или в файле для поиска есть ошибки, программа предупредит об этом.\n"
    "\n"
    "О скорости работы: программа уверенно справляется с большими базами данных (10 000 - "
    "15 000 образцов), но быстрее всего работает, когда в файле для поиска\n"
    "не больше 50 образцов; с ростом их числа расчёт заметно замедляется, поэтому наборы "
    "из более чем 50 образцов лучше загружать частями.\n"
    "\n"
    "После загрузки выберите шаг (команда \"Number of steps(max)\"): наибольшее суммарное "
    "различие по всем маркерам между гаплотипом и базой данных.\n"
    "Шаги 0, 1, 2 и 3 предложены готовыми, можно ввести и любое другое число; выбор "
    "зависит от задач исследования.\n"
    "\n"
    "Затем запустите сравнение всех гаплотипов кнопкой \"Calculate\". По его окончании будут "
    "показаны гаплотипы базы данных, ближайшие к искомым в пределах выбранного шага.\n"
    "Результаты можно просматривать по-разному. \"By haplotype(s)\" даёт таблицу с номером "
    "искомого гаплотипа, номером найденного гаплотипа базы, числом локусов,\n"
    "в которых они совпадают, числом шагов, на которое гаплотип базы отличается, локусом "
    "или локусами, в которых лежит различие, и всеми сведениями об этом гаплотипе базы.\n"
    "\"By populations\" перестраивает результаты и показывает, сколько совпадений с "
    "искомыми гаплотипами найдено в каждой популяции.\n"
    "\n"
    "Формат результатов\n"
    "Результаты сохраняются в формате \".csv\" или \".xls\" кнопкой \"Save\"; результаты "
    "\"By populations\" и \"By haplotype(s)\" сохраняются каждый отдельно.\n"
    "\n"
    "Завершение работы\n"
    "Чтобы закончить работу с Tarnwick, откройте меню \"File\" и выберите \"Quit\".";

namespace {

constexpr QSize kDesignedSize(972, 416);

} // namespace

TForm5::TForm5(QWidget* parent)
    : QDialog(parent), scrollBox_(new QScrollArea(this)), lbl1(new QLabel(kInstructionsText)) {
    setObjectName("Form5");
    setWindowTitle("Instructions");
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
