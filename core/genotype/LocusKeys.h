#pragma once

// Locus names as different kits and laboratories write them ("DYS389 I", "Y-GATA-H4",
// "DYS385a/b", "DYS394"), brought to one key each.

#include <string>
#include <string_view>

namespace tarnwick {

// Upper case; spaces, tabs, "-", "_" and "." removed; a leading "Y" before "GATA" dropped; a
// final "A/B" dropped; then the aliases DYS394 = DYS19, DYS395 = DYS393, GATAA4 = DYS439,
// GATAA71 = DYS460, GATAA72 = DYS461, GATAC4 = DYS635.
std::string locusKey(std::string_view title);

// Whether a key (as locusKey gives it) names a Y-STR locus: DYS + 2-4 digits + I, II, III or one
// letter A-D (DYS19, DYS389II, DYS464C); DYF + 3 digits + S1 + A-C (DYF387S1A); GATA + a letter +
// 1-3 digits (GATAH4); YCAII + A or B; DXYS + digits + Y. Derived columns such as "DYS385sum" are
// no locus.
bool isLocusKey(std::string_view key);

// Whether a locus (by key) has two copies, so that a single allele written for the whole locus
// is a man with the same allele at both: DYS385, DYF387S1, DYS459, YCAII, DYS527, DYS528,
// DYF404S1.
bool isDuplicatedLocus(std::string_view key);

// The title of a locus split into columns a and b, from its a column's: without the final a or A
// and any space, "-", "_" or "." before it ("DYS385a" is "DYS385").
std::string titleWithoutCopy(std::string_view title);

} // namespace tarnwick
