// The matrix text format next to a bare std::to_chars / std::from_chars loop
// over the same numbers, in MB/s of text (bytes_per_second). Each library
// case has a Bare twin doing the same I/O (write + fsync, or read) with the
// plainest conversion loop; the ratio of the two medians is the overhead of
// the format's rules (15-digit rounding, markers, locale, checks).
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
#include "handles/MatrixFile.h"
#include "handles/TextFormat.h"
#include "kinds/complex/ComplexGeneralMatrix.h"
#include "kinds/real/DoubleGeneralMatrix.h"

using namespace OrvaneNet;

namespace {

constexpr int kRealN = 1000;
constexpr int kComplexN = 500;

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string("orvane-bench-") + std::to_string(::getpid()) + "-" + name))
      .string();
}

const DoubleGeneralMatrix& RealMatrix() {
  static const DoubleGeneralMatrix a = [] {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> dist(-1, 1);
    DoubleGeneralMatrix m(kRealN, kRealN);
    for (long k = 0; k < long(kRealN) * kRealN; ++k) m.Dat()[k] = dist(rng);
    return m;
  }();
  return a;
}

const ComplexGeneralMatrix& ComplexMatrixData() {
  static const ComplexGeneralMatrix a = [] {
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> dist(-1, 1);
    ComplexGeneralMatrix m(kComplexN, kComplexN);
    for (long k = 0; k < long(kComplexN) * kComplexN; ++k) {
      const double re = dist(rng);
      m.Dat()[k] = {re, dist(rng)};
    }
    return m;
  }();
  return a;
}

// The same text layout as the default formatter, with to_chars(fixed, 4).
void AppendBare(std::string& out, double x) {
  char buf[64];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 4).ptr);
}

std::string BareFormat(const DoubleGeneralMatrix& a) {
  const int m = a.get_RowNum(), n = a.get_ColNum();
  std::string out;
  out.reserve(std::size_t(m) * n * 9 + 64);
  for (int i = 0; i < m; ++i) {
    out += '[';
    for (int j = 0; j < n; ++j) {
      if (j > 0) out += ',';
      AppendBare(out, a.Dat()[i + std::size_t(j) * m]);
    }
    out += "]\r\n";
  }
  return out;
}

std::string BareFormat(const ComplexGeneralMatrix& a) {
  const int m = a.get_RowNum(), n = a.get_ColNum();
  std::string out;
  out.reserve(std::size_t(m) * n * 19 + 64);
  for (int i = 0; i < m; ++i) {
    out += '[';
    for (int j = 0; j < n; ++j) {
      if (j > 0) out += ',';
      const auto z = a.Dat()[i + std::size_t(j) * m];
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

template <class M>
void LibraryFormat(benchmark::State& state, const M& a) {
  const MatrixFormatter f;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = detail::FormatString(a, f);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

template <class M>
void BareFormatCase(benchmark::State& state, const M& a) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = BareFormat(a);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

template <class M>
void LibrarySave(benchmark::State& state, const M& a) {
  const std::string path = TempPath("lib.txt");
  const MatrixFormatter f;
  for (auto _ : state) detail::SaveMatrixFile(path, a, f);
  state.SetBytesProcessed(std::int64_t(state.iterations()) *
                          std::int64_t(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}

template <class M>
void BareSave(benchmark::State& state, const M& a) {
  const std::string path = TempPath("bare.txt");
  for (auto _ : state) BareWrite(path, BareFormat(a) + "\r\n");
  state.SetBytesProcessed(std::int64_t(state.iterations()) *
                          std::int64_t(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}

template <class T, class M>
void LibraryLoad(benchmark::State& state, const M& a) {
  const std::string path = TempPath("load.txt");
  const MatrixFormatter f;
  detail::SaveMatrixFile(path, a, f);
  for (auto _ : state) {
    const auto t = detail::LoadMatrixFile<T>(path, f);
    benchmark::DoNotOptimize(t.values.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) *
                          std::int64_t(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}

template <class M>
void BareLoad(benchmark::State& state, const M& a) {
  const std::string path = TempPath("bareload.txt");
  detail::SaveMatrixFile(path, a, MatrixFormatter());
  for (auto _ : state) {
    const auto v = BareParse(BareRead(path));
    benchmark::DoNotOptimize(v.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) *
                          std::int64_t(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}

void Real_Format(benchmark::State& s) { LibraryFormat(s, RealMatrix()); }
void Real_FormatBare(benchmark::State& s) { BareFormatCase(s, RealMatrix()); }
void Real_Save(benchmark::State& s) { LibrarySave(s, RealMatrix()); }
void Real_SaveBare(benchmark::State& s) { BareSave(s, RealMatrix()); }
void Real_Load(benchmark::State& s) { LibraryLoad<double>(s, RealMatrix()); }
void Real_LoadBare(benchmark::State& s) { BareLoad(s, RealMatrix()); }
void Complex_Format(benchmark::State& s) { LibraryFormat(s, ComplexMatrixData()); }
void Complex_FormatBare(benchmark::State& s) { BareFormatCase(s, ComplexMatrixData()); }
void Complex_Save(benchmark::State& s) { LibrarySave(s, ComplexMatrixData()); }
void Complex_SaveBare(benchmark::State& s) { BareSave(s, ComplexMatrixData()); }
void Complex_Load(benchmark::State& s) { LibraryLoad<Complex>(s, ComplexMatrixData()); }
void Complex_LoadBare(benchmark::State& s) { BareLoad(s, ComplexMatrixData()); }

}  // namespace

BENCHMARK(Real_Format)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Real_FormatBare)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Real_Save)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Real_SaveBare)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Real_Load)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Real_LoadBare)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Complex_Format)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Complex_FormatBare)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Complex_Save)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Complex_SaveBare)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Complex_Load)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Complex_LoadBare)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
