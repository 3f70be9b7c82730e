#include "core/table/ColumnRoles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

TEST(ColumnRoles, TitlesNameTheirRoles) {
    const ColumnRole L = ColumnRole::Locus, O = ColumnRole::Other, P = ColumnRole::Population,
                     S = ColumnRole::Sample, C = ColumnRole::Count;
    const std::vector<std::pair<std::string, ColumnRole>> cases = {
        {"DYS19", L},      {"DYS389 II", L},
        {"dys389i", L},    {"DYS464C", L},
        {"DYS385a/b", L},  {"DYS385 a", L},
        {"DYS4", O},       {"DYS12345", O},
        {"DYS385sum", O},  {"DYS389IIII", O},
        {"DYS464E", O},    {"DYF387S1", L},
        {"DYF387S1a", L},  {"DYF387", O},
        {"DYF387S1D", O},  {"Y-GATA-H4", L},
        {"GATA A7.1", L},  {"GATAA10", L},
        {"GATA", O},       {"GATAH1234", O},
        {"YCAII", L},      {"YCAII b", L},
        {"YCAIIc", O},     {"DXYS156Y", L},
        {"DXYS156", O},    {"Frequency", O},
        {"haplogroup", O}, {"", O},
        {"Population", P}, {"Population Code", P},
        {"pop", P},        {"GROUP", P},
        {"Sample", S},     {"Sample Name", S},
        {"ID", S},         {"Haplotype", S},
        {"Count", C},      {"n", C},
        {"Number", C},     {"weight", C},
    };
    for (const auto& [title, role] : cases)
        EXPECT_EQ(roleOfTitle(title), role) << '"' << title << '"';
}

TEST(ColumnRoles, MarksComeFirstAndEachSingleRoleIsOneColumn) {
    const ColumnRole L = ColumnRole::Locus, O = ColumnRole::Other, P = ColumnRole::Population,
                     S = ColumnRole::Sample, C = ColumnRole::Count;
    const std::vector<std::string> titles = {"ID", "Sample", "Pop",   "Group",
                                             "n",  "Freq",   "DYS19", "Region"};
    struct Case {
        std::vector<ColumnMark> marks;
        std::vector<ColumnRole> roles;
    };
    const std::vector<Case> cases = {
        {{}, {S, O, P, O, C, O, L, O}},
        {{{"region", P}}, {S, O, O, O, C, O, L, P}},
        {{{"Freq", C}, {"DYS19", O}, {"sample", S}}, {O, S, P, O, O, C, O, O}},
        {{{"Region", L}}, {S, O, P, O, C, O, L, L}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(columnRoles(titles, c.marks), c.roles) << c.marks.size() << " marks";
}

TEST(ColumnRoles, DefaultSheetNamesNameNoPopulation) {
    for (const char* name : {"Sheet1", "sheet 12", "Лист1", "Feuil3", "Tabelle1", "Hoja2"})
        EXPECT_TRUE(isDefaultSheetName(name)) << name;
    for (const char* name : {"", "Sheet", "European", "Sheet1 (2)", "Sheets1", "East Asian"})
        EXPECT_FALSE(isDefaultSheetName(name)) << name;
}

} // namespace
} // namespace tarnwick
