// The matrix text format next to a bare std::to_chars / std::from_chars loop
// over the same numbers. Each library case runs paired with a bare twin doing
// the same I/O (write + fsync, or read) with the plainest conversion loop
// (PairedTiming.h: alternating, CPU time except for saving, which waits on
// the disk); the ratio is the overhead of the format's rules (15-digit
// rounding, markers, locale, checks). lib_MB/s is the library's text rate.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "OrvaneNet/MatrixFormatter.h"
#include "PairedTiming.h"
#include "text/MatrixFile.h"
#include "text/TextFormat.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"

using namespace OrvaneNet;

namespace {

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string("orvane-bench-") + std::to_string(::getpid()) + "-" + name))
      .string();
}

DoubleGeneralMatrix RealMatrix(int n) {
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> dist(-1, 1);
  DoubleGeneralMatrix m(n, n);
  const auto v = m.View();
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) v(i, j) = dist(rng);
  return m;
}

ComplexGeneralMatrix ComplexMatrixData(int n) {
  std::mt19937 rng(2);
  std::uniform_real_distribution<double> dist(-1, 1);
  ComplexGeneralMatrix m(n, n);
  const auto v = m.View();
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const double re = dist(rng);
      v(i, j) = {re, dist(rng)};
    }
  return m;
}

// The same text layout as the default formatter, with to_chars(fixed, 4).
void AppendBare(std::string& out, double x) {
  char buf[64];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 4).ptr);
}

std::string BareFormat(const DoubleGeneralMatrix& a) {
  const int m = a.get_RowNum(), n = a.get_ColNum();
  const auto v = a.View();
  std::string out;
  out.reserve(std::size_t(m) * n * 9 + 64);
  for (int i = 0; i < m; ++i) {
    out += '[';
    for (int j = 0; j < n; ++j) {
      if (j > 0) out += ',';
      AppendBare(out, v(i, j));
    }
    out += "]\r\n";
  }
  return out;
}

std::string BareFormat(const ComplexGeneralMatrix& a) {
  const int m = a.get_RowNum(), n = a.get_ColNum();
  const auto v = a.View();
  std::string out;
  out.reserve(std::size_t(m) * n * 19 + 64);
  for (int i = 0; i < m; ++i) {
    out += '[';
    for (int j = 0; j < n; ++j) {
      if (j > 0) out += ',';
      const auto z = v(i, j);
      out += '(';
      AppendBare(out, z.real());
      out += ',';
      AppendBare(out, z.imag());
      out += ')';
    }
    out += "]\r\n";
  }
  return out;
}

void BareWrite(const std::string& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t k = ::write(fd, text.data() + done, text.size() - done);
    if (k <= 0) break;
    done += std::size_t(k);
  }
  ::fsync(fd);
  ::close(fd);
}

std::string BareRead(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  std::string data;
  char buf[1 << 16];
  for (std::size_t k; (k = std::fread(buf, 1, sizeof buf, f)) > 0;) data.append(buf, k);
  std::fclose(f);
  return data;
}

// from_chars on every number, skipping the markers between them.
std::vector<double> BareParse(const std::string& text) {
  std::vector<double> out;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    if ((*p >= '0' && *p <= '9') || *p == '-') {
      double v;
      p = std::from_chars(p, end, v).ptr;
      out.push_back(v);
    } else {
      ++p;
    }
  }
  return out;
}

// Text size of the library's format, for the MB/s counter.
void SetBytes(benchmark::State& state, std::size_t bytes) {
  state.counters["lib_MB/s"] =
      state.counters["lib_ms"] > 0 ? double(bytes) / (state.counters["lib_ms"] * 1e3) : 0.0;
}

template <class M>
void Format(benchmark::State& state, const M& a) {
  const MatrixFormatter f;
  std::size_t bytes = 0;
  bench::RunPaired(
      state,
      [&] {
        const std::string text = BareFormat(a);
        benchmark::DoNotOptimize(text.data());
      },
      [&] {
        const std::string text = detail::FormatString(a, f);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
      });
  SetBytes(state, bytes);
}

// Writing ends in fsync: wall time is the figure here. bareText(a) is the
// bare loop's text of the same numbers.
template <class M, class BareText>
void Save(benchmark::State& state, const M& a, const MatrixFormatter& f, BareText bareText) {
  const std::string libPath = TempPath("lib.txt"), barePath = TempPath("bare.txt");
  bench::RunPaired(
      state, [&] { BareWrite(barePath, bareText(a) + "\r\n"); },
      [&] { detail::SaveMatrixFile(libPath, a, f); }, bench::Clock::kWall);
  SetBytes(state, std::filesystem::file_size(libPath));
  std::filesystem::remove(libPath);
  std::filesystem::remove(barePath);
}
template <class M>
void Save(benchmark::State& state, const M& a) {
  Save(state, a, MatrixFormatter(), [](const M& m) { return BareFormat(m); });
}

// With RoundTrip on, the library's values are checked to be read back exactly.
template <class T, class M>
void Load(benchmark::State& state, const M& a, const MatrixFormatter& f = MatrixFormatter()) {
  const std::string path = TempPath("load.txt");
  detail::SaveMatrixFile(path, a, f);
  bench::RunPaired(
      state,
      [&] {
        const auto v = BareParse(BareRead(path));
        benchmark::DoNotOptimize(v.data());
      },
      [&] {
        const auto t = detail::LoadMatrixFile<T>(path, f);
        benchmark::DoNotOptimize(t.values.data());
      });
  SetBytes(state, std::filesystem::file_size(path));
  if (f.get_RoundTrip() && detail::LoadMatrixFile<T>(path, f).values[1] != a.get_Item(1, 0)) {
    state.SkipWithError("not read back exactly");
  }
  std::filesystem::remove(path);
}

void RealFormat(benchmark::State& s) { Format(s, RealMatrix(int(s.range(0)))); }
void RealSave(benchmark::State& s) { Save(s, RealMatrix(int(s.range(0)))); }
void RealLoad(benchmark::State& s) { Load<double>(s, RealMatrix(int(s.range(0)))); }
void ComplexFormat(benchmark::State& s) { Format(s, ComplexMatrixData(int(s.range(0)))); }
void ComplexSave(benchmark::State& s) { Save(s, ComplexMatrixData(int(s.range(0)))); }
void ComplexLoad(benchmark::State& s) { Load<Complex>(s, ComplexMatrixData(int(s.range(0)))); }

// ---- RoundTrip: the shortest exact form ----
// Paired with the bare loop writing the same text (to_chars without a
// precision) and reading it (from_chars), doing the same file I/O. The data
// are uniform over [-1, 1): 17 significant digits mostly, the long case.

MatrixFormatter RoundTripFormat() {
  MatrixFormatter f;
  f.set_RoundTrip(true);
  return f;
}

std::string BareShortest(const DoubleGeneralMatrix& a) {
  const int m = a.get_RowNum(), n = a.get_ColNum();
  const auto v = a.View();
  std::string out;
  out.reserve(std::size_t(m) * n * 24 + 64);
  char buf[32];
  for (int i = 0; i < m; ++i) {
    out += '[';
    for (int j = 0; j < n; ++j) {
      if (j > 0) out += ',';
      out.append(buf, std::to_chars(buf, buf + sizeof buf, v(i, j)).ptr);
    }
    out += "]\r\n";
  }
  return out;
}

void RoundTripSave(benchmark::State& s) { Save(s, RealMatrix(int(s.range(0))), RoundTripFormat(), BareShortest); }
void RoundTripLoad(benchmark::State& s) { Load<double>(s, RealMatrix(int(s.range(0))), RoundTripFormat()); }

void RoundTripSizes(benchmark::internal::Benchmark* b) {
  b->ArgName("n")->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond);
}

void RealSizes(benchmark::internal::Benchmark* b) {
  b->ArgName("n")->Arg(300)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond);
}
void ComplexSizes(benchmark::internal::Benchmark* b) {
  b->ArgName("n")->Arg(150)->Arg(500)->UseManualTime()->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(RealFormat)->Apply(RealSizes);
BENCHMARK(RealSave)->Apply(RealSizes);
BENCHMARK(RealLoad)->Apply(RealSizes);
BENCHMARK(ComplexFormat)->Apply(ComplexSizes);
BENCHMARK(ComplexSave)->Apply(ComplexSizes);
BENCHMARK(ComplexLoad)->Apply(ComplexSizes);
BENCHMARK(RoundTripSave)->Apply(RoundTripSizes);
BENCHMARK(RoundTripLoad)->Apply(RoundTripSizes);
BENCHMARK_MAIN();
