#include "core/statistics/DiscreteLaplaceFit.h"

#include "core/Error.h"
#include "core/statistics/Dispersions.h"
#include "core/statistics/Medoids.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <string>

namespace tarnwick {
namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();

// The median of a locus over all men, rounded half to even.
int medianOf(std::vector<std::pair<int, std::uint64_t>> counted, std::uint64_t men) {
    std::sort(counted.begin(), counted.end());
    const auto valueAt = [&](std::uint64_t place) { // 0-based, among the men in value order
        for (const auto& [value, count] : counted) {
            if (place < count)
                return static_cast<long long>(value);
            place -= count;
        }
        return static_cast<long long>(counted.back().first);
    };
    const long long sum = valueAt((men - 1) / 2) + valueAt(men / 2);
    const long long half = sum >= 0 ? sum / 2 : -((-sum + 1) / 2); // rounded down
    return static_cast<int>(sum % 2 == 0 || half % 2 == 0 ? half : half + 1);
}

class Fitter {
public:
    Fitter(const HaplotypeSample& sample, const FitOptions& options, const FitGoOn& goOn,
           std::size_t maxClusters)
        : distinct_(distinctHaplotypes(sample)), options_(options), goOn_(goOn),
          maxClusters_(maxClusters), loci_(sample.loci), men_(sample.men()), m_(distinct_.count()) {
        if (m_ == 0)
            throw Error("The population has no men to fit the discrete Laplace model to");
        if (loci_ == 0)
            throw Error("The population has no locus to fit the discrete Laplace model over");
        if (!(options.epsilon > 0))
            throw Error("The convergence criterion of the fit must be above 0");
        for (std::size_t l = 0; l < loci_; ++l) {
            bool same = true;
            for (std::size_t h = 1; h < m_ && same; ++h)
                same = at(h, l) == at(0, l);
            if (!same)
                free_.push_back(l);
        }
        x_.resize(m_ * free_.size());
        for (std::size_t h = 0; h < m_; ++h)
            for (std::size_t f = 0; f < free_.size(); ++f)
                x_[h * free_.size() + f] = at(h, free_[f]);
        weights_.assign(distinct_.weights.begin(), distinct_.weights.end());
        byValue_.resize(free_.size());
        for (std::size_t f = 0; f < free_.size(); ++f) {
            for (std::size_t h = 0; h < m_; ++h)
                byValue_[f].push_back({xf(h, f), h});
            std::sort(byValue_[f].begin(), byValue_[f].end());
        }
    }

    std::size_t haplotypes() const { return m_; }

    DiscreteLaplaceFit fit(std::size_t k) {
        if (k == 0 || k > m_)
            throw Error(std::to_string(k) +
                        " clusters need at least as many different "
                        "haplotypes; this population has " +
                        std::to_string(m_));
        k_ = k;
        centres_ = startingCentres();
        v_.assign(m_ * k, 1.0 / static_cast<double>(k));
        tau_.assign(k, 1.0 / static_cast<double>(k));
        DispersionFit dispersions(k, free_.size());
        DiscreteLaplaceFit result;
        result.converged = true;
        for (;;) {
            result.converged = runEm(dispersions, result.iterations) && result.converged;
            std::vector<int> moved = movedCentres();
            if (moved == centres_ || coincide(moved) ||
                result.centreMoves >= options_.maxCentreMoves)
                break;
            centres_ = std::move(moved);
            ++result.centreMoves;
        }
        result.model = model();
        result.logLikelihood = logLikelihood();
        const double n = static_cast<double>(men_), L = static_cast<double>(loci_),
                     kk = static_cast<double>(k);
        result.bic = std::log(n * L) * (kk * L + L + kk - 1 + kk - 1) - 2 * result.logLikelihood;
        return result;
    }

private:
    int at(std::size_t h, std::size_t l) const { return distinct_.values[h * loci_ + l]; }
    std::size_t freeLoci() const { return free_.size(); }
    int xf(std::size_t h, std::size_t f) const { return x_[h * free_.size() + f]; }
    int yf(std::size_t j, std::size_t f) const { return centresF_[j * free_.size() + f]; }

    // The centres over the free loci, laid out as x_.
    void takeCentres() {
        centresF_.resize(k_ * freeLoci());
        for (std::size_t j = 0; j < k_; ++j)
            for (std::size_t f = 0; f < freeLoci(); ++f)
                centresF_[j * freeLoci() + f] = centres_[j * loci_ + free_[f]];
    }

    bool goOn(FitProgress::Stage stage, std::size_t step) const {
        return !goOn_ || goOn_(FitProgress{k_, maxClusters_, stage, step});
    }

    // Centres over all loci, cluster after cluster.
    std::vector<int> startingCentres() {
        std::vector<int> centres;
        if (k_ == 1) {
            for (std::size_t l = 0; l < loci_; ++l) {
                std::map<int, std::uint64_t> counts;
                for (std::size_t h = 0; h < m_; ++h)
                    counts[at(h, l)] += distinct_.weights[h];
                centres.push_back(medianOf({counts.begin(), counts.end()}, men_));
            }
            return centres;
        }
        if (!medoids_)
            medoids_ = std::make_unique<MedoidSearch>(distinct_);
        std::size_t pass = 0;
        const auto medoids =
            medoids_->medoids(k_, [&] { return goOn(FitProgress::Stage::Medoids, ++pass); });
        for (const std::size_t h : medoids) {
            const auto values = distinct_.haplotype(h);
            centres.insert(centres.end(), values.begin(), values.end());
        }
        return centres;
    }

    // One EM run from the current v and tau; whether it met the criterion.
    bool runEm(DispersionFit& dispersions, std::size_t& iterations) {
        const std::size_t k = k_, F = freeLoci();
        std::vector<double> R(k * F), W(k), vNew(m_ * k), logW(k);
        takeCentres();
        for (std::size_t iteration = 1; iteration <= options_.maxIterations; ++iteration) {
            ++iterations;
            if (!goOn(FitProgress::Stage::Iterations, iterations))
                throw FitCancelled();
            // M-step.
            std::fill(R.begin(), R.end(), 0.0);
            std::fill(W.begin(), W.end(), 0.0);
            for (std::size_t h = 0; h < m_; ++h)
                for (std::size_t j = 0; j < k; ++j) {
                    const double weight = weights_[h] * v_[h * k + j];
                    W[j] += weight;
                    const int* x = x_.data() + h * F;
                    const int* y = centresF_.data() + j * F;
                    double* r = R.data() + j * F;
                    for (std::size_t f = 0; f < F; ++f)
                        r[f] += weight * std::abs(x[f] - y[f]);
                }
            p_ = dispersions.solve(R, W);
            // E-step.
            prepareLogTerms();
            double change = 0, largest = 0;
            std::vector<double> tauNew(k, 0.0);
            for (std::size_t h = 0; h < m_; ++h) {
                const double total = logWeights(h, logW);
                for (std::size_t j = 0; j < k; ++j) {
                    // A man no cluster can hold (not met in practice) keeps his v.
                    const double v = total == kNone ? v_[h * k + j] : std::exp(logW[j] - total);
                    vNew[h * k + j] = v;
                    tauNew[j] += weights_[h] * v;
                    change = std::max(change, std::abs(v - v_[h * k + j]));
                    largest = std::max(largest, v_[h * k + j]);
                }
            }
            for (double& t : tauNew)
                t /= static_cast<double>(men_);
            v_.swap(vNew);
            tau_ = std::move(tauNew);
            if (change / largest < options_.epsilon)
                return true;
        }
        return false;
    }

    void prepareLogTerms() {
        const std::size_t F = freeLoci();
        scale_.resize(k_ * F);
        slope_.resize(k_ * F);
        for (std::size_t i = 0; i < k_ * F; ++i) {
            scale_[i] = p_[i] > 0 ? std::log1p(-p_[i]) - std::log1p(p_[i]) : 0.0;
            slope_[i] = p_[i] > 0 ? std::log(p_[i]) : kNone;
        }
        logTau_.resize(k_);
        exact_.assign(k_, false);
        for (std::size_t j = 0; j < k_; ++j) {
            logTau_[j] = tau_[j] > 0 ? std::log(tau_[j]) : kNone;
            for (std::size_t f = 0; f < F; ++f) {
                exact_[j] = exact_[j] || !(p_[j * F + f] > 0);
                logTau_[j] += scale_[j * F + f];
            }
        }
    }

    // ln(tau_j prod_l f(x_hl - y_jl)) for each j, and ln of their sum.
    double logWeights(std::size_t h, std::vector<double>& logW) const {
        const std::size_t F = freeLoci();
        const int* x = x_.data() + h * F;
        for (std::size_t j = 0; j < k_; ++j) {
            // logTau_ holds the scales of the loci too; p = 0 only rules out other alleles.
            const int* y = centresF_.data() + j * F;
            const double* slope = slope_.data() + j * F;
            double sum = 0;
            if (exact_[j]) {
                for (std::size_t f = 0; f < F && sum != kNone; ++f)
                    if (x[f] != y[f])
                        sum += static_cast<double>(std::abs(x[f] - y[f])) * slope[f];
            } else {
                for (std::size_t f = 0; f < F; ++f)
                    sum += static_cast<double>(std::abs(x[f] - y[f])) * slope[f];
            }
            logW[j] = logTau_[j] + sum;
        }
        return logSumExp(logW);
    }

    // Each centre at the v-weighted median of each locus, the smallest of equals.
    std::vector<int> movedCentres() const {
        std::vector<int> centres = centres_;
        for (std::size_t f = 0; f < freeLoci(); ++f) {
            const auto& order = byValue_[f];
            for (std::size_t j = 0; j < k_; ++j) {
                double total = 0;
                for (std::size_t h = 0; h < m_; ++h)
                    total += weights_[h] * v_[h * k_ + j];
                if (!(total > 0))
                    continue;
                double below = 0;
                for (std::size_t i = 0; i < m_; ++i) {
                    const auto [value, h] = order[i];
                    below += weights_[h] * v_[h * k_ + j];
                    const bool lastOfValue = i + 1 == m_ || order[i + 1].first != value;
                    if (lastOfValue && 2 * below >= total) {
                        centres[j * loci_ + free_[f]] = value;
                        break;
                    }
                }
            }
        }
        return centres;
    }

    bool coincide(const std::vector<int>& centres) const {
        for (std::size_t a = 0; a < k_; ++a)
            for (std::size_t b = a + 1; b < k_; ++b)
                if (std::equal(centres.begin() + static_cast<std::ptrdiff_t>(a * loci_),
                               centres.begin() + static_cast<std::ptrdiff_t>((a + 1) * loci_),
                               centres.begin() + static_cast<std::ptrdiff_t>(b * loci_)))
                    return true;
        return false;
    }

    DiscreteLaplaceModel model() const {
        DiscreteLaplaceModel model;
        model.loci = loci_;
        model.centres = centres_;
        model.p.assign(k_ * loci_, 0.0);
        for (std::size_t j = 0; j < k_; ++j)
            for (std::size_t f = 0; f < freeLoci(); ++f)
                model.p[j * loci_ + free_[f]] = p_[j * freeLoci() + f];
        model.tau = tau_;
        return model;
    }

    double logLikelihood() {
        takeCentres();
        prepareLogTerms();
        std::vector<double> logW(k_);
        double sum = 0;
        for (std::size_t h = 0; h < m_; ++h)
            sum += weights_[h] * logWeights(h, logW);
        return sum;
    }

    DistinctHaplotypes distinct_;
    FitOptions options_;
    FitGoOn goOn_;
    std::size_t maxClusters_;
    std::size_t loci_;
    std::uint64_t men_;
    std::size_t m_;
    std::vector<std::size_t> free_; // loci where the men differ
    std::vector<int> x_;            // haplotype after haplotype, over the free loci
    std::vector<double> weights_;
    std::vector<std::vector<std::pair<int, std::size_t>>> byValue_; // per free locus
    std::unique_ptr<MedoidSearch> medoids_;
    // The fit in progress.
    std::size_t k_ = 0;
    std::vector<int> centres_; // over all loci
    std::vector<double> v_, tau_, p_;
    std::vector<int> centresF_; // over the free loci
    std::vector<double> scale_, slope_, logTau_;
    std::vector<bool> exact_; // clusters with p = 0 at a locus
};

} // namespace

DiscreteLaplaceFit fitDiscreteLaplace(const HaplotypeSample& sample, std::size_t clusters,
                                      const FitOptions& options, const FitGoOn& goOn) {
    Fitter fitter(sample, options, goOn, clusters);
    return fitter.fit(clusters);
}

ClusterChoice chooseClusters(const HaplotypeSample& sample, std::size_t maxClusters,
                             const FitOptions& options, const FitGoOn& goOn) {
    if (maxClusters == 0)
        throw Error("The most clusters to try must be at least 1");
    Fitter fitter(sample, options, goOn, maxClusters);
    ClusterChoice choice;
    std::size_t rises = 0;
    for (std::size_t k = 1; k <= std::min(maxClusters, fitter.haplotypes()) && rises < 2; ++k) {
        choice.fits.push_back(fitter.fit(k));
        if (k > 1)
            rises = choice.fits[k - 1].bic > choice.fits[k - 2].bic ? rises + 1 : 0;
        if (choice.fits[k - 1].bic < choice.fits[choice.chosen].bic)
            choice.chosen = k - 1;
    }
    return choice;
}

} // namespace tarnwick
