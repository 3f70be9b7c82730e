#include "core/statistics/ClassicalScaling.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>

namespace tarnwick {
namespace {

constexpr double kNegligibleEigenvalue = 1e-10;
constexpr double kSameMagnitude = 1e-9;

// Makes the axis's coordinate of largest magnitude positive.
void orient(std::vector<std::array<double, 2>>& points, std::size_t axis) {
    double largest = 0;
    for (const auto& point : points)
        largest = std::max(largest, std::abs(point[axis]));
    for (const auto& point : points) {
        if (std::abs(point[axis]) >= largest * (1 - kSameMagnitude)) {
            if (point[axis] < 0)
                for (auto& p : points)
                    p[axis] = -p[axis];
            return;
        }
    }
}

} // namespace

ClassicalScaling classicalScaling(const std::vector<double>& distances, std::size_t n) {
    ClassicalScaling result;
    result.points.assign(n, {0, 0});
    if (n == 0)
        return result;
    const auto size = static_cast<Eigen::Index>(n);
    Eigen::MatrixXd b(size, size);
    for (Eigen::Index i = 0; i < size; ++i)
        for (Eigen::Index j = 0; j < size; ++j) {
            const double d =
                distances[static_cast<std::size_t>(i) * n + static_cast<std::size_t>(j)];
            b(i, j) = -0.5 * d * d;
        }
    // Double centring: B = J A J.
    const Eigen::VectorXd rowMeans = b.rowwise().mean();
    const Eigen::VectorXd colMeans = b.colwise().mean().transpose();
    const double mean = b.mean();
    for (Eigen::Index i = 0; i < size; ++i)
        for (Eigen::Index j = 0; j < size; ++j)
            b(i, j) += mean - rowMeans(i) - colMeans(j);

    const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(b);
    const Eigen::VectorXd& values = solver.eigenvalues(); // ascending
    const double largestMagnitude = values.cwiseAbs().maxCoeff();
    double positive = 0;
    for (Eigen::Index i = 0; i < size; ++i)
        positive += std::max(values(i), 0.0);
    double kept = 0;
    for (std::size_t axis = 0; axis < 2 && axis < n; ++axis) {
        const Eigen::Index column = size - 1 - static_cast<Eigen::Index>(axis);
        const double lambda = values(column);
        result.eigenvalues[axis] = lambda;
        if (lambda <= kNegligibleEigenvalue * largestMagnitude || lambda <= 0)
            continue;
        kept += lambda;
        const double scale = std::sqrt(lambda);
        for (Eigen::Index i = 0; i < size; ++i)
            result.points[static_cast<std::size_t>(i)][axis] =
                solver.eigenvectors()(i, column) * scale;
        orient(result.points, axis);
    }
    if (positive > 0)
        result.goodnessOfFit = kept / positive;
    return result;
}

} // namespace tarnwick
