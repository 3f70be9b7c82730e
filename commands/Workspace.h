#pragma once

#include "commands/InputRole.h"
#include "commands/StringGrid.h"
#include "commands/StructureView.h"

#include <string>

namespace tarnwick {

// Which result commands of the main window can be used. The "Save" button and the "Save" menu
// item are set by different commands and can differ.
struct EnabledCommands {
    bool Button4 = false; // "Save" button
    bool Save1 = false;   // File, "Save"
    bool Button5 = false; // "By populations"
    bool Button6 = false; // "By haplotype(s)"
};

// The whole state of the main window, free of any window code, so every command can run and be
// tested without a display. The four views (StringGrid1, 2, 5 and 7) carry their visible flags.
// (The window's work tables that nothing ever reads back, for the pairs of loci, the comparison
// of one search haplotype and the populations handled, are not kept.)
struct Workspace {
    StringGrid StringGrid1{1, 2, 1}; // database table
    StringGrid StringGrid2{1, 2, 1}; // search table
    StringGrid StringGrid5{1, 1};    // by-haplotype result table
    StringGrid StringGrid6{1, 2};    // faulty-cell list
    StringGrid StringGrid7{7, 2, 1}; // by-population result table
    // Calculate, "Match probabilities": a further view in the views' place.
    StringGrid matchProbabilities{1, 2, 1};
    // Calculate, "Population structure": another view in the views' place.
    StructureView structure;

    bool searchHasErrors = false;
    bool databaseHasErrors = false;

    // Settings, "Read genotypes": how the next load reads locus cells. The reading each input
    // table was loaded with is what Calculate uses.
    bool readGenotypes = false;
    CellReading databaseReading = CellReading::TidiedIntegers;
    CellReading searchReading = CellReading::TidiedIntegers;
    // Calculate, "Discrete Laplace": the match probabilities with the discrete Laplace columns.
    bool discreteLaplace = false;

    // The files the input tables were last loaded from; the window's title names them while
    // the tables are loaded.
    std::string databaseFile;
    std::string searchFile;

    std::string stepLimit;  // the text of the step-limit box, ComboBox1
    std::string statusLine; // Label2
    EnabledCommands enabled;

    Workspace();

    StringGrid& inputTable(InputRole role) {
        return role == InputRole::Database ? StringGrid1 : StringGrid2;
    }
    const StringGrid& inputTable(InputRole role) const {
        return role == InputRole::Database ? StringGrid1 : StringGrid2;
    }
    StringGrid& otherInputTable(InputRole role) {
        return role == InputRole::Database ? StringGrid2 : StringGrid1;
    }
    std::string& fileOf(InputRole role) {
        return role == InputRole::Database ? databaseFile : searchFile;
    }
    const std::string& fileOf(InputRole role) const {
        return role == InputRole::Database ? databaseFile : searchFile;
    }
    CellReading& readingOf(InputRole role) {
        return role == InputRole::Database ? databaseReading : searchReading;
    }
};

} // namespace tarnwick
