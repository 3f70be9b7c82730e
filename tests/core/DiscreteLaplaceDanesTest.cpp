// The discrete Laplace fit on the reference package's own data set (danes: 185 Danish men in 136
// counted rows, 10 loci), against the figures its documentation publishes.
#include "RealFiles.h"
#include "core/statistics/DiscreteLaplaceFit.h"

#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tarnwick {
namespace {

// The tab-separated file: a title row, then 10 repeat counts and the count of men per row.
HaplotypeSample readDanes(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    HaplotypeSample sample;
    sample.loci = 10;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::vector<int> values;
        std::string field;
        while (std::getline(fields, field, '\t')) {
            int value = 0;
            std::from_chars(field.data(), field.data() + field.size(), value);
            values.push_back(value);
        }
        if (values.size() != 11)
            continue;
        sample.add(std::span(values).first(10), static_cast<std::uint32_t>(values[10]));
    }
    return sample;
}

class Danes : public ::testing::Test {
protected:
    void SetUp() override {
        const auto path = testing_files::kRealFiles / "danes.txt";
        if (!std::filesystem::exists(path))
            GTEST_SKIP() << path << " is absent";
        sample = readDanes(path);
        ASSERT_EQ(sample.rows(), 136u);
        ASSERT_EQ(sample.men(), 185u);
    }
    HaplotypeSample sample;
};

TEST_F(Danes, BicAndIterationsAsPublished) {
    // disclapmix 1.7.4 reference manual, example of disclapmix_adaptive on danes (pkgdown page
    // reference/disclapmix_adaptive.html): marginal BIC for 1 to 9 clusters
    // 5202.647 4418.495 3726.156 3670.030 3697.715 3758.452 ..., the least at 4 clusters; total EM
    // iterations 1, 10, 10, 16, 23 for 1 to 5 clusters.
    const double bic[] = {5202.647, 4418.495, 3726.156, 3670.030, 3697.715, 3758.452};
    const std::size_t iterations[] = {1, 10, 10, 16, 23};
    const ClusterChoice choice = chooseClusters(sample);
    ASSERT_EQ(choice.fits.size(), 6u); // rose at 5 and 6
    for (std::size_t k = 1; k <= 6; ++k) {
        const auto& fit = choice.fits[k - 1];
        EXPECT_NEAR(fit.bic, bic[k - 1], 5e-4) << k << " clusters";
        if (k <= 5) {
            EXPECT_EQ(fit.iterations, iterations[k - 1]) << k << " clusters";
        }
        EXPECT_TRUE(fit.converged);
    }
    EXPECT_EQ(choice.chosen, 3u);
}

TEST_F(Danes, FourClustersAsInTheVignette) {
    // disclapmix vignette "Introduction" (inst/doc/introduction.html, 2019 build): bestfit$y and
    // bestfit$disclap_parameters of the 4-cluster fit, 16 EM iterations.
    const int centres[4][10] = {{14, 13, 29, 24, 11, 13, 13, 15, 12, 12},
                                {15, 14, 31, 23, 10, 12, 14, 14, 10, 11},
                                {15, 13, 30, 25, 10, 11, 13, 14, 11, 11},
                                {14, 12, 28, 22, 10, 11, 13, 16, 10, 11}};
    const double p[4][10] = {{0.1519902, 0.10790796, 0.2309797, 0.2190487, 0.11291165, 0.06488933,
                              0.10614775, 0.04510183, 0.04104708, 0.1842068},
                             {0.2119974, 0.15051099, 0.3221725, 0.3055310, 0.15749018, 0.09050823,
                              0.14805584, 0.06290844, 0.05725284, 0.2569333},
                             {0.1874694, 0.13309693, 0.2848973, 0.2701812, 0.13926864, 0.08003646,
                              0.13092584, 0.05562996, 0.05062871, 0.2272062},
                             {0.1235191, 0.08769439, 0.1877120, 0.1780160, 0.09176078, 0.05273412,
                              0.08626391, 0.03665325, 0.03335805, 0.1497008}};
    const DiscreteLaplaceFit fit = fitDiscreteLaplace(sample, 4);
    EXPECT_EQ(fit.iterations, 16u);
    for (std::size_t j = 0; j < 4; ++j)
        for (std::size_t l = 0; l < 10; ++l) {
            EXPECT_EQ(fit.model.centres[j * 10 + l], centres[j][l]) << j << "," << l;
            EXPECT_NEAR(fit.model.p[j * 10 + l], p[j][l], 2e-6 * p[j][l]) << j << "," << l;
        }
}

} // namespace
} // namespace tarnwick
