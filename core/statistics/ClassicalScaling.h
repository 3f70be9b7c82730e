#pragma once

// Classical multidimensional scaling (Torgerson 1952; Gower 1966), as R's cmdscale computes it,
// in two dimensions.

#include <array>
#include <optional>
#include <vector>

namespace tarnwick {

struct ClassicalScaling {
    std::vector<std::array<double, 2>> points; // one per object
    std::array<double, 2> eigenvalues{};       // the two largest, largest first
    // The two axes' eigenvalues over the sum of the positive ones; none when none is positive.
    std::optional<double> goodnessOfFit;
};

// The n objects of a symmetric matrix of distances M (row by row, zeros on the diagonal):
// B = -1/2 J (M o M) J with J = I - 11'/n; the axes are B's eigenvectors of the two largest
// eigenvalues scaled by their square roots. An axis whose eigenvalue is at most 1e-10 times the
// largest magnitude of any (or 0) is all zeros; otherwise its sign makes its coordinate of
// largest magnitude positive (the first such, among those within 1e-9 of it relatively).
ClassicalScaling classicalScaling(const std::vector<double>& distances, std::size_t n);

} // namespace tarnwick
