// Classical scaling against cmdscale written out (double centring by matrix products, Jacobi
// eigenvectors), and its rules for signs and for axes without variance.
#include "core/statistics/ClassicalScaling.h"
#include "LiteralStructure.h"

#include <gtest/gtest.h>

#include <random>

namespace tarnwick {
namespace {

std::vector<double> flat(const std::vector<std::vector<double>>& m) {
    std::vector<double> values;
    for (const auto& row : m)
        values.insert(values.end(), row.begin(), row.end());
    return values;
}

TEST(ClassicalScaling, AgreesWithCmdscaleWrittenOut) {
    std::mt19937 random(17);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int round = 0; round < 40; ++round) {
        const std::size_t n = 3 + static_cast<std::size_t>(round % 7);
        // Distances of random points in 3 dimensions, or (odd rounds) any symmetric values,
        // which give negative eigenvalues.
        std::vector<std::vector<double>> points(n, std::vector<double>(3));
        for (auto& p : points)
            for (double& x : p)
                x = unit(random);
        std::vector<std::vector<double>> m(n, std::vector<double>(n, 0));
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = i + 1; j < n; ++j) {
                double d = 0;
                for (std::size_t k = 0; k < 3; ++k)
                    d += (points[i][k] - points[j][k]) * (points[i][k] - points[j][k]);
                m[i][j] = m[j][i] = round % 2 == 0 ? std::sqrt(d) : unit(random);
            }
        std::vector<double> eigenvalues;
        const auto expected = literal::cmdscale(m, eigenvalues);
        const ClassicalScaling fast = classicalScaling(flat(m), n);
        double positive = 0;
        for (const double lambda : eigenvalues)
            positive += std::max(lambda, 0.0);
        EXPECT_NEAR(fast.goodnessOfFit.value(),
                    (eigenvalues[0] + std::max(eigenvalues[1], 0.0)) / positive, 1e-9);
        for (std::size_t axis = 0; axis < 2; ++axis) {
            EXPECT_NEAR(fast.eigenvalues[axis], eigenvalues[axis], 1e-9);
            if (eigenvalues[axis] <= 1e-10 * std::max(eigenvalues[0], -eigenvalues[n - 1])) {
                for (std::size_t i = 0; i < n; ++i)
                    EXPECT_EQ(fast.points[i][axis], 0);
                continue;
            }
            // The same axis up to its sign, turned so its largest coordinate is positive.
            std::size_t largest = 0;
            for (std::size_t i = 0; i < n; ++i)
                if (std::abs(expected[i][axis]) > std::abs(expected[largest][axis]) * (1 + 1e-9))
                    largest = i;
            const double sign = expected[largest][axis] < 0 ? -1 : 1;
            for (std::size_t i = 0; i < n; ++i)
                EXPECT_NEAR(fast.points[i][axis], sign * expected[i][axis], 1e-9)
                    << "round " << round << " axis " << axis << " object " << i;
        }
    }
}

TEST(ClassicalScaling, AxesWithoutVarianceAreZerosAndTiesGoToTheFirstObject) {
    // On a line: one axis; the ends tie for the largest magnitude, and the first is positive.
    const ClassicalScaling line = classicalScaling({0, 1, 2, 1, 0, 1, 2, 1, 0}, 3);
    EXPECT_NEAR(line.points[0][0], 1, 1e-12);
    EXPECT_NEAR(line.points[1][0], 0, 1e-12);
    EXPECT_NEAR(line.points[2][0], -1, 1e-12);
    for (const auto& point : line.points)
        EXPECT_EQ(point[1], 0);
    EXPECT_NEAR(line.goodnessOfFit.value(), 1, 1e-12);

    const ClassicalScaling two = classicalScaling({0, 0.3, 0.3, 0}, 2);
    EXPECT_NEAR(two.points[0][0], 0.15, 1e-12);
    EXPECT_NEAR(two.points[1][0], -0.15, 1e-12);
    EXPECT_EQ(two.points[0][1], 0);

    const ClassicalScaling none = classicalScaling(std::vector<double>(16, 0), 4);
    for (const auto& point : none.points)
        EXPECT_EQ(point, (std::array<double, 2>{0, 0}));
    EXPECT_FALSE(none.goodnessOfFit);
}

} // namespace
} // namespace tarnwick
