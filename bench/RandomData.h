// Reproducible inputs for the benchmarks: `count` values uniform in [-1, 1)
// (real and imaginary parts alike) from a fixed seed.
#pragma once

#include <complex>
#include <cstddef>
#include <random>
#include <type_traits>
#include <vector>

namespace bench {

template <class T = double>
std::vector<T> RandomData(std::size_t count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-1, 1);
  std::vector<T> v(count);
  for (auto& x : v) {
    if constexpr (std::is_same_v<T, double>) {
      x = dist(rng);
    } else {
      const double re = dist(rng);
      x = T(re, dist(rng));
    }
  }
  return v;
}

}  // namespace bench
