// Unit6: TForm6, "About the programme".
#include "ui/Unit6.h"

#include "core/Version.h"
#include "ui/Fonts.h"

namespace tarnwick {

TForm6::TForm6(QWidget* parent)
    : QDialog(parent), Label1(new QLabel(tr("Tarnwick software, version %1.\n"
                                            "\n"
                                            "Compares Y-STR haplotypes by repeat steps.\n"
                                            "Written by the Tarnwick team.\n"
                                            "Built with Qt, libgsf, expat and libxlsxwriter.\n"
                                            "Free to use in research and teaching.\n"
                                            "Questions and reports of faults are welcome.\n"
                                            "Thanks to everyone who shared population data.")
                                             .arg(kVersion),
                                         this)) {
    setObjectName("Form6");
    setWindowTitle(tr("About the programme"));
    setFont(msSansSerif8());
    setFixedSize(319, 131);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(24, 16, 272, 104);
}

} // namespace tarnwick
