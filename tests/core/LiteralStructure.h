#pragma once

// The population-structure formulas as written, for comparison with the fast code: AMOVA by
// plain loops over pairs of men (Excoffier, Smouse & Quattro 1992), and classical scaling with
// its eigenproblem solved by Jacobi rotations.

#include "core/statistics/Amova.h"
#include "core/statistics/StructureSample.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <vector>

namespace tarnwick::literal {

inline double distance(const StructureSample& sample, StructureDistance kind, std::size_t i,
                       std::size_t j) {
    double d = 0;
    for (std::size_t l = 0; l < sample.loci.size(); ++l) {
        const double x = sample.repeat(i, l);
        const double y = sample.repeat(j, l);
        d += kind == StructureDistance::Rst ? (x - y) * (x - y) : (x != y ? 1 : 0);
    }
    return d;
}

// SSD(g) = sum over ordered pairs of men in g of d / (2 n_g).
inline double ssd(const StructureSample& sample, StructureDistance kind,
                  const std::vector<std::size_t>& men) {
    double sum = 0;
    for (const std::size_t i : men)
        for (const std::size_t j : men)
            sum += distance(sample, kind, i, j);
    return sum / (2.0 * static_cast<double>(men.size()));
}

struct Result {
    double ssdAmong, ssdWithin, varianceAmong, varianceWithin;
    std::optional<double> phi;
};

// The AMOVA of groups of men (numbers of the sample's men).
inline Result amova(const StructureSample& sample, StructureDistance kind,
                    const std::vector<std::vector<std::size_t>>& groups) {
    std::vector<std::size_t> all;
    double within = 0;
    double squares = 0;
    for (const auto& men : groups) {
        all.insert(all.end(), men.begin(), men.end());
        within += ssd(sample, kind, men);
        squares += static_cast<double>(men.size() * men.size());
    }
    const double n = static_cast<double>(all.size());
    const double p = static_cast<double>(groups.size());
    const double among = ssd(sample, kind, all) - within;
    const double n0 = (n - squares / n) / (p - 1);
    const double sw = within / (n - p);
    const double sa = (among / (p - 1) - sw) / n0;
    Result r{among, within, sa, sw, std::nullopt};
    if (sa + sw != 0)
        r.phi = sa / (sa + sw);
    return r;
}

inline std::vector<std::size_t> menOf(const StructureSample& sample, std::size_t p) {
    std::vector<std::size_t> men(sample.populations[p].men);
    std::iota(men.begin(), men.end(), sample.firstMan(p));
    return men;
}

// Eigenvalues and eigenvectors (columns) of a symmetric matrix by cyclic Jacobi rotations.
inline void jacobi(std::vector<std::vector<double>> a, std::vector<double>& values,
                   std::vector<std::vector<double>>& vectors) {
    const std::size_t n = a.size();
    vectors.assign(n, std::vector<double>(n, 0));
    for (std::size_t i = 0; i < n; ++i)
        vectors[i][i] = 1;
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0;
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = i + 1; j < n; ++j)
                off += a[i][j] * a[i][j];
        if (off < 1e-30)
            break;
        for (std::size_t p = 0; p < n; ++p)
            for (std::size_t q = p + 1; q < n; ++q) {
                if (a[p][q] == 0)
                    continue;
                const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                const double t =
                    (theta >= 0 ? 1 : -1) / (std::abs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (std::size_t k = 0; k < n; ++k) { // columns p, q
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (std::size_t k = 0; k < n; ++k) { // rows p, q
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (std::size_t k = 0; k < n; ++k) {
                    const double vkp = vectors[k][p], vkq = vectors[k][q];
                    vectors[k][p] = c * vkp - s * vkq;
                    vectors[k][q] = s * vkp + c * vkq;
                }
            }
    }
    values.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        values[i] = a[i][i];
}

// cmdscale(M, k = 2) as written: B = -1/2 J (M o M) J; the eigenvectors of the two largest
// eigenvalues times their square roots (signs as they come). Also all eigenvalues, descending.
inline std::vector<std::vector<double>> cmdscale(const std::vector<std::vector<double>>& m,
                                                 std::vector<double>& descending) {
    const std::size_t n = m.size();
    std::vector<std::vector<double>> j(n, std::vector<double>(n)), b(n, std::vector<double>(n));
    for (std::size_t r = 0; r < n; ++r)
        for (std::size_t c = 0; c < n; ++c)
            j[r][c] = (r == c ? 1.0 : 0.0) - 1.0 / static_cast<double>(n);
    for (std::size_t r = 0; r < n; ++r)
        for (std::size_t c = 0; c < n; ++c)
            for (std::size_t k = 0; k < n; ++k)
                for (std::size_t l = 0; l < n; ++l)
                    b[r][c] += -0.5 * j[r][k] * m[k][l] * m[k][l] * j[l][c];
    std::vector<double> values;
    std::vector<std::vector<double>> vectors;
    jacobi(b, values, vectors);
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](auto x, auto y) { return values[x] > values[y]; });
    descending.clear();
    for (const std::size_t i : order)
        descending.push_back(values[i]);
    std::vector<std::vector<double>> points(n, std::vector<double>(2, 0));
    for (std::size_t axis = 0; axis < 2 && axis < n; ++axis)
        for (std::size_t r = 0; r < n; ++r)
            points[r][axis] =
                vectors[r][order[axis]] * std::sqrt(std::max(values[order[axis]], 0.0));
    return points;
}

} // namespace tarnwick::literal
