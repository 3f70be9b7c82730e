#pragma once

// A plain, slow, literal discrete Laplace fit for the differential tests: every man an object of
// his own (counted rows written out), PAM over the full distance matrix, EM with the products
// of f as they stand, Newton on the full parameter vector (a_1..a_L, b_2..b_k) solved by
// Gaussian elimination, centre moves by trying every value of the observed range.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <vector>

namespace tarnwick::literal {

using Haplotype = std::vector<int>;

struct Fit {
    std::vector<Haplotype> centres;
    std::vector<std::vector<double>> p; // [cluster][locus]
    std::vector<double> tau;
    double logLikelihood = 0, bic = 0;
    int iterations = 0;
};

inline double f(long long d, double p) {
    return p == 0 ? (d == 0 ? 1.0 : 0.0) : (1 - p) / (1 + p) * std::pow(p, std::llabs(d));
}

inline double probability(const Fit& fit, const std::vector<std::optional<int>>& h) {
    double sum = 0;
    for (std::size_t j = 0; j < fit.tau.size(); ++j) {
        double product = fit.tau[j];
        for (std::size_t l = 0; l < h.size(); ++l)
            if (h[l])
                product *= f(static_cast<long long>(*h[l]) - fit.centres[j][l], fit.p[j][l]);
        sum += product;
    }
    return sum;
}

inline long long distance(const Haplotype& a, const Haplotype& b) {
    long long sum = 0;
    for (std::size_t l = 0; l < a.size(); ++l)
        sum += std::llabs(static_cast<long long>(a[l]) - b[l]);
    return sum;
}

// BUILD then SWAP; the medoids (men) in cluster order.
inline std::vector<std::size_t> pam(const std::vector<Haplotype>& x, std::size_t k) {
    const std::size_t n = x.size();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<std::vector<double>> d(n, std::vector<double>(n));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            d[i][j] = static_cast<double>(distance(x[i], x[j]));
    std::vector<std::size_t> medoids;
    const auto isMedoid = [&](std::size_t i) {
        return std::find(medoids.begin(), medoids.end(), i) != medoids.end();
    };
    const auto nearest = [&](std::size_t j) {
        double D = inf;
        for (const std::size_t m : medoids)
            D = std::min(D, d[j][m]);
        return D;
    };
    for (std::size_t step = 0; step < k; ++step) {
        std::size_t best = 0;
        double bestGain = -inf;
        for (std::size_t i = 0; i < n; ++i) {
            if (isMedoid(i))
                continue;
            double gain = 0;
            for (std::size_t j = 0; j < n; ++j)
                gain += step == 0 ? -d[j][i] : std::max(nearest(j) - d[j][i], 0.0);
            if (gain >= bestGain) { // the last of the largest
                bestGain = gain;
                best = i;
            }
        }
        medoids.push_back(best);
    }
    for (;;) {
        std::sort(medoids.begin(), medoids.end());
        std::vector<double> D(n), E(n);
        double total = 0;
        for (std::size_t j = 0; j < n; ++j) {
            std::vector<double> to;
            for (const std::size_t m : medoids)
                to.push_back(d[j][m]);
            std::sort(to.begin(), to.end());
            D[j] = to[0];
            E[j] = to.size() > 1 ? to[1] : inf;
            total += D[j];
        }
        double best = inf;
        std::size_t bestH = 0, bestI = 0;
        for (std::size_t h = 0; h < n; ++h) {
            if (isMedoid(h))
                continue;
            for (std::size_t s = 0; s < medoids.size(); ++s) {
                const std::size_t i = medoids[s];
                double T = 0;
                for (std::size_t j = 0; j < n; ++j)
                    T += d[j][i] == D[j] ? std::min(d[j][h], E[j]) - D[j]
                                         : std::min(d[j][h] - D[j], 0.0);
                if (T < best) {
                    best = T;
                    bestH = h;
                    bestI = s;
                }
            }
        }
        if (!(best < -16 * DBL_EPSILON * total))
            break;
        medoids[bestI] = bestH;
    }
    std::sort(medoids.begin(), medoids.end());
    std::vector<std::size_t> ordered;
    for (std::size_t j = 0; j < n; ++j) {
        std::size_t first = medoids[0];
        for (const std::size_t m : medoids)
            if (d[j][m] < d[j][first])
                first = m;
        if (std::find(ordered.begin(), ordered.end(), first) == ordered.end())
            ordered.push_back(first);
    }
    return ordered;
}

// Solves A z = r by Gaussian elimination with partial pivoting.
inline std::vector<double> solve(std::vector<std::vector<double>> A, std::vector<double> r) {
    const std::size_t n = r.size();
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t i = c + 1; i < n; ++i)
            if (std::abs(A[i][c]) > std::abs(A[pivot][c]))
                pivot = i;
        std::swap(A[c], A[pivot]);
        std::swap(r[c], r[pivot]);
        for (std::size_t i = c + 1; i < n; ++i) {
            const double factor = A[i][c] / A[c][c];
            for (std::size_t j = c; j < n; ++j)
                A[i][j] -= factor * A[c][j];
            r[i] -= factor * r[c];
        }
    }
    std::vector<double> z(n);
    for (std::size_t i = n; i-- > 0;) {
        double sum = r[i];
        for (std::size_t j = i + 1; j < n; ++j)
            sum -= A[i][j] * z[j];
        z[i] = sum / A[i][i];
    }
    return z;
}

// The M-step over the loci that vary: theta_jl = a_l + b_j, b_1 = 0.
inline std::vector<std::vector<double>> mStep(const std::vector<std::vector<double>>& R,
                                              const std::vector<double>& W,
                                              const std::vector<bool>& varies) {
    const std::size_t k = W.size(), L = varies.size();
    std::vector<std::size_t> loci;
    for (std::size_t l = 0; l < L; ++l)
        if (varies[l])
            loci.push_back(l);
    const std::size_t nA = loci.size(), size = nA + k - 1;
    std::vector<double> z(size, 0.0); // a over the varying loci, then b_2..b_k
    for (std::size_t i = 0; i < nA; ++i)
        z[i] = std::log(0.1);
    const auto theta = [&](const std::vector<double>& at, std::size_t j, std::size_t i) {
        return at[i] + (j == 0 ? 0.0 : at[nA + j - 1]);
    };
    const auto objective = [&](const std::vector<double>& at) {
        double sum = 0;
        for (std::size_t j = 0; j < k; ++j)
            for (std::size_t i = 0; i < nA; ++i) {
                const double t = theta(at, j, i), p = std::exp(t);
                if (!(t < 0))
                    return -std::numeric_limits<double>::infinity();
                sum += R[j][loci[i]] * t + W[j] * std::log((1 - p) / (1 + p));
            }
        return sum;
    };
    for (int step = 0; step < 2000; ++step) {
        std::vector<double> g(size, 0.0);
        std::vector<std::vector<double>> H(size, std::vector<double>(size, 0.0));
        for (std::size_t j = 0; j < k; ++j)
            for (std::size_t i = 0; i < nA; ++i) {
                const double p = std::exp(theta(z, j, i));
                const double slope = R[j][loci[i]] - W[j] * 2 * p / (1 - p * p);
                const double curve = -W[j] * 2 * p * (1 + p * p) / ((1 - p * p) * (1 - p * p));
                std::vector<std::size_t> of{i};
                if (j > 0)
                    of.push_back(nA + j - 1);
                for (const std::size_t u : of) {
                    g[u] += slope;
                    for (const std::size_t w : of)
                        H[u][w] += curve;
                }
            }
        for (auto& row : H)
            for (double& h : row)
                h = -h;
        std::vector<double> direction = solve(H, g);
        double longest = 0;
        for (const double d : direction)
            longest = std::max(longest, std::abs(d));
        for (double& d : direction)
            d *= longest > 4 ? 4 / longest : 1; // at most 4 in ln p at once
        double t = 1, largest = 0;
        const double now = objective(z);
        for (int halving = 0; halving < 60; ++halving, t /= 2) {
            std::vector<double> next = z;
            for (std::size_t u = 0; u < size; ++u)
                next[u] += t * direction[u];
            if (objective(next) >= now - 1e-12 * (1 + std::abs(now))) {
                for (std::size_t u = 0; u < size; ++u)
                    largest = std::max(largest, std::abs(t * direction[u]));
                z = next;
                break;
            }
        }
        if (largest < 1e-14)
            break;
    }
    std::vector<std::vector<double>> p(k, std::vector<double>(L, 0.0));
    for (std::size_t j = 0; j < k; ++j)
        for (std::size_t i = 0; i < nA; ++i)
            p[j][loci[i]] = std::exp(theta(z, j, i));
    return p;
}

inline Fit fit(const std::vector<Haplotype>& x, std::size_t k, double epsilon) {
    const std::size_t n = x.size(), L = x[0].size();
    Fit fit;
    std::vector<bool> varies(L, false);
    std::vector<int> low(L), high(L);
    for (std::size_t l = 0; l < L; ++l) {
        low[l] = high[l] = x[0][l];
        for (const auto& man : x) {
            varies[l] = varies[l] || man[l] != x[0][l];
            low[l] = std::min(low[l], man[l]);
            high[l] = std::max(high[l], man[l]);
        }
    }
    if (k == 1) {
        Haplotype centre(L);
        for (std::size_t l = 0; l < L; ++l) {
            std::vector<int> column;
            for (const auto& man : x)
                column.push_back(man[l]);
            std::sort(column.begin(), column.end());
            const double median = (column[(n - 1) / 2] + column[n / 2]) / 2.0;
            centre[l] = static_cast<int>(std::nearbyint(median)); // half to even
        }
        fit.centres = {centre};
    } else {
        for (const std::size_t m : pam(x, k))
            fit.centres.push_back(x[m]);
    }
    std::vector<std::vector<double>> v(n, std::vector<double>(k, 1.0 / static_cast<double>(k)));
    fit.tau.assign(k, 1.0 / static_cast<double>(k));
    for (int moves = 0; moves <= 100; ++moves) {
        for (int iteration = 1; iteration <= 100; ++iteration) {
            ++fit.iterations;
            std::vector<std::vector<double>> R(k, std::vector<double>(L, 0.0));
            std::vector<double> W(k, 0.0);
            for (std::size_t i = 0; i < n; ++i)
                for (std::size_t j = 0; j < k; ++j) {
                    W[j] += v[i][j];
                    for (std::size_t l = 0; l < L; ++l)
                        R[j][l] += v[i][j] * std::abs(x[i][l] - fit.centres[j][l]);
                }
            fit.p = mStep(R, W, varies);
            std::vector<std::vector<double>> next(n, std::vector<double>(k));
            double change = 0, largest = 0;
            for (std::size_t i = 0; i < n; ++i) {
                double sum = 0;
                for (std::size_t j = 0; j < k; ++j) {
                    next[i][j] = fit.tau[j];
                    for (std::size_t l = 0; l < L; ++l)
                        next[i][j] *= f(x[i][l] - fit.centres[j][l], fit.p[j][l]);
                    sum += next[i][j];
                }
                for (std::size_t j = 0; j < k; ++j) {
                    next[i][j] /= sum;
                    change = std::max(change, std::abs(next[i][j] - v[i][j]));
                    largest = std::max(largest, v[i][j]);
                }
            }
            v = next;
            for (std::size_t j = 0; j < k; ++j) {
                fit.tau[j] = 0;
                for (std::size_t i = 0; i < n; ++i)
                    fit.tau[j] += v[i][j] / static_cast<double>(n);
            }
            if (change / largest < epsilon)
                break;
        }
        std::vector<Haplotype> moved = fit.centres;
        for (std::size_t j = 0; j < k; ++j)
            for (std::size_t l = 0; l < L; ++l) {
                double best = std::numeric_limits<double>::infinity();
                for (int y = low[l]; y <= high[l]; ++y) {
                    double sum = 0;
                    for (std::size_t i = 0; i < n; ++i)
                        sum += v[i][j] * std::abs(x[i][l] - y);
                    if (sum < best) {
                        best = sum;
                        moved[j][l] = y;
                    }
                }
            }
        bool coincide = false;
        for (std::size_t a = 0; a < k; ++a)
            for (std::size_t b = a + 1; b < k; ++b)
                coincide = coincide || moved[a] == moved[b];
        if (moved == fit.centres || coincide)
            break;
        fit.centres = moved;
    }
    for (const auto& man : x) {
        std::vector<std::optional<int>> h(man.begin(), man.end());
        fit.logLikelihood += std::log(probability(fit, h));
    }
    const double dk = static_cast<double>(k), dL = static_cast<double>(L);
    fit.bic = std::log(static_cast<double>(n) * dL) * (dk * dL + dL + dk - 1 + dk - 1) -
              2 * fit.logLikelihood;
    return fit;
}

} // namespace tarnwick::literal
