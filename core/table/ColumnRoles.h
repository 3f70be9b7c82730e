#pragma once

// What each column of a table as it comes holds, told from its title: a locus, the population,
// the sample, the number of men a row stands for, or something else.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

enum class ColumnRole : std::uint8_t { Other, Locus, Population, Sample, Count };

// "locus", "population", "sample", "count", "other".
std::string_view roleName(ColumnRole role);

// A title as titles are compared here: upper case, spaces and tabs left out.
std::string comparedTitle(std::string_view title);

// The role a title names by itself: a locus by its key (isLocusKey); "Population",
// "Population Code", "Pop", "Group" the population; "Sample", "Sample Name", "ID", "Haplotype"
// the sample; "Count", "n", "Number", "Weight" the count (case and spaces aside); else other.
ColumnRole roleOfTitle(std::string_view title);

// A role a user gives the columns with a title, over what the title names.
struct ColumnMark {
    std::string title;
    ColumnRole role;
};

// The role of each column: its mark, else what its title names. The population, the sample and
// the count are each one column: the first marked so, else the first whose title names it; any
// other column naming it is other. An untitled column is other unless marked.
std::vector<ColumnRole> columnRoles(std::span<const std::string> titles,
                                    std::span<const ColumnMark> marks);

// Whether a sheet's name is one a spreadsheet program gives by itself ("Sheet1", "Лист1",
// "Feuil1", "Tabelle1", "Hoja1" ...), and so names no population.
bool isDefaultSheetName(std::string_view name);

} // namespace tarnwick
