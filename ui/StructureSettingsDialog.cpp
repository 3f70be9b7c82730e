#include "ui/StructureSettingsDialog.h"

#include "ui/Fonts.h"

#include <QDialogButtonBox>
#include <QFormLayout>

namespace tarnwick {

StructureSettingsDialog::StructureSettingsDialog(QWidget* parent)
    : QDialog(parent), distance_(new QComboBox(this)), permutations_(new QComboBox(this)),
      significance_(new QDoubleSpinBox(this)) {
    setObjectName("PopulationStructureSettings");
    setWindowTitle(tr("Population structure"));
    setFont(msSansSerif8());
    distance_->setObjectName("Distance");
    permutations_->setObjectName("Permutations");
    significance_->setObjectName("Significance");
    for (const StructureDistance distance : {StructureDistance::Rst, StructureDistance::Fst})
        distance_->addItem(QString::fromStdString(structureStatisticSymbol(distance)),
                           static_cast<int>(distance));
    const StructureSettings defaults;
    for (const std::size_t count : kStructurePermutationChoices) {
        permutations_->addItem(QString::number(count), QVariant::fromValue(count));
        if (count == defaults.permutations)
            permutations_->setCurrentIndex(permutations_->count() - 1);
    }
    significance_->setDecimals(3);
    significance_->setRange(0.001, 0.5);
    significance_->setSingleStep(0.01);
    significance_->setValue(defaults.significance);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Distance:"), distance_);
    form->addRow(tr("Permutations:"), permutations_);
    form->addRow(tr("Significance level:"), significance_);
    form->addRow(buttons);
}

StructureSettings StructureSettingsDialog::settings() const {
    StructureSettings chosen;
    chosen.distance = static_cast<StructureDistance>(distance_->currentData().toInt());
    chosen.permutations = permutations_->currentData().value<std::size_t>();
    chosen.significance = significance_->value();
    return chosen;
}

std::optional<StructureSettings> StructureSettingsDialog::ask() {
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return settings();
}

} // namespace tarnwick
