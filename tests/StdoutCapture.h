// Captures what the process writes to standard output (file descriptor 1,
// so C stdio, iostreams and raw write(1, ...) alike) between construction
// and Text().
#pragma once

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>

namespace orvane_test {

class StdoutCapture {
 public:
  StdoutCapture() {
    std::fflush(stdout);
    std::cout.flush();
    m_file = std::tmpfile();
    m_saved = ::dup(1);
    if (!m_file || m_saved < 0 || ::dup2(::fileno(m_file), 1) < 0) {
      throw std::runtime_error("cannot redirect standard output");
    }
  }
  ~StdoutCapture() {
    Restore();
    if (m_file) std::fclose(m_file);
  }
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;

  // Ends the capture and returns everything written meanwhile.
  std::string Text() {
    Restore();
    std::string text;
    std::rewind(m_file);
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, m_file)) > 0;) text.append(buf, n);
    return text;
  }

 private:
  void Restore() {
    if (m_saved < 0) return;
    std::fflush(stdout);
    std::cout.flush();
    ::dup2(m_saved, 1);
    ::close(m_saved);
    m_saved = -1;
  }

  std::FILE* m_file = nullptr;
  int m_saved = -1;
};

// Whether `text` consists only of LAPACK's illegal-argument lines, the one
// thing the library lets reach standard output.
inline bool OnlyLapackLines(const std::string& text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) return false;
    const std::string line = text.substr(pos, end - pos);
    if (line.rfind("** On entry to ", 0) != 0 ||
        line.find(" had an illegal value") != line.size() - 21) {
      return false;
    }
    pos = end + 1;
  }
  return true;
}

}  // namespace orvane_test
