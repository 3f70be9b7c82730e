#pragma once

#include "commands/StructureView.h"

#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>

#include <optional>

namespace tarnwick {

// Asks what a population-structure run uses: the distance, the permutations and the
// significance level. Keeps the last choices for the next time.
class StructureSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit StructureSettingsDialog(QWidget* parent);

    // None when cancelled.
    std::optional<StructureSettings> ask();
    StructureSettings settings() const;

private:
    QComboBox* distance_;
    QComboBox* permutations_;
    QDoubleSpinBox* significance_;
};

} // namespace tarnwick
