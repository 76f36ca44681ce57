#include "text/MatrixFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include "core/Messages.h"
#include "core/NumberParse.h"
#include "kinds/DenseView.h"
#include "text/TextFormat.h"

namespace OrvaneNet::detail {
namespace {

constexpr std::string_view kLineTerminator = "\r\n";

[[noreturn]] void ThrowFileError(int error, const char* prefix, const std::string& path) {
  throw std::system_error(error, std::generic_category(), prefix + path + msg::QuotedPathEnd);
}

// Saving through a symbolic link replaces the file it points to, not the link.
std::string ResolveLink(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      std::string resolved = real;
      std::free(real);
      return resolved;
    }
  }
  return path;
}

// A new file beside the target that becomes the target only on Commit; until
// then the destructor removes it.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& target)
      : m_target(target), m_destination(ResolveLink(target)) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = m_destination.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "" : m_destination.substr(0, slash + 1);
    const std::string stem = folder + ".orvanenet-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
      m_path = stem + std::to_string(counter++) + ".tmp";
      m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (m_fd >= 0 || errno != EEXIST) break;
    }
    if (m_fd < 0) ThrowFileError(errno, msg::CannotCreateFile, m_target);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_committed) ::unlink(m_path.c_str());
  }

  void Write(std::string_view data) {
    while (!data.empty()) {
      const ssize_t n = ::write(m_fd, data.data(), data.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowFileError(errno, msg::CannotWriteFile, m_target);
      }
      data.remove_prefix(static_cast<std::size_t>(n));
    }
  }

  void Commit() {
    // A replaced file keeps its permissions; a new one gets 0666 less umask.
    struct stat st;
    if (::stat(m_destination.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      ::fchmod(m_fd, st.st_mode & 07777);
    }
    if (::fsync(m_fd) != 0) ThrowFileError(errno, msg::CannotWriteFile, m_target);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) ThrowFileError(errno, msg::CannotWriteFile, m_target);
    if (::rename(m_path.c_str(), m_destination.c_str()) != 0) {
      ThrowFileError(errno, msg::CannotWriteFile, m_target);
    }
    m_committed = true;
  }

 private:
  std::string m_target;       // as the caller named it, for messages
  std::string m_destination;  // the file that is replaced
  std::string m_path;
  int m_fd = -1;
  bool m_committed = false;
};

template <class Mat>
void SaveMatrix(const std::string& path, const Mat& mat, const MatrixFormatter& formatter) {
  TemporaryFile file(path);
  std::string text = FormatString(mat, formatter);
  text += kLineTerminator;
  file.Write(text);
  file.Commit();
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// UTF-16 or UTF-32 (code units of `width` bytes) after the byte-order mark, to
// UTF-8. Unpaired surrogates and a truncated last unit become U+FFFD.
std::string Transcode(std::string_view data, int width, bool bigEndian) {
  auto unit = [&](std::size_t k) {
    std::uint32_t v = 0;
    for (int b = 0; b < width; ++b) {
      const auto byte = static_cast<unsigned char>(data[k + static_cast<std::size_t>(bigEndian ? b : width - 1 - b)]);
      v = (v << 8) | byte;
    }
    return v;
  };
  const std::size_t w = static_cast<std::size_t>(width);
  std::string out;
  out.reserve(data.size() / w);
  std::size_t k = 0;
  for (; k + w <= data.size(); k += w) {
    std::uint32_t cp = unit(k);
    if (width == 2 && cp >= 0xD800 && cp <= 0xDBFF && k + 2 * w <= data.size()) {
      const std::uint32_t low = unit(k + w);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        k += w;
      }
    }
    AppendUtf8(out, cp);
  }
  if (k < data.size()) AppendUtf8(out, 0xFFFD);
  return out;
}

// Calls f with every line of text; LF, CR and CR LF end a line.
template <class F>
void ForEachLine(std::string_view text, F&& f) {
  std::size_t start = 0;
  const std::size_t n = text.size();
  while (start < n) {
    std::size_t k = start;
    while (k < n && text[k] != '\n' && text[k] != '\r') ++k;
    f(text.substr(start, k - start));
    if (k < n && text[k] == '\r' && k + 1 < n && text[k + 1] == '\n') ++k;
    start = k + 1;
  }
}

}  // namespace

void SaveMatrixFile(const std::string& path, const IDoubleMatrix& mat,
                    const MatrixFormatter& formatter) {
  SaveMatrix(path, mat, formatter);
}
void SaveMatrixFile(const std::string& path, const IComplexMatrix& mat,
                    const MatrixFormatter& formatter) {
  SaveMatrix(path, mat, formatter);
}

std::string ReadMatrixFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowFileError(errno, msg::CannotReadFile, path);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st;
  if (::fstat(fd, &st) != 0) ThrowFileError(errno, msg::CannotReadFile, path);
  if (S_ISDIR(st.st_mode)) ThrowFileError(EISDIR, msg::CannotReadFile, path);

  std::string data;
  std::size_t size = 0;
  data.resize(S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) + 1 : 65536);
  for (;;) {
    if (size == data.size()) data.resize(data.size() * 2);
    const ssize_t n = ::read(fd, data.data() + size, data.size() - size);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowFileError(errno, msg::CannotReadFile, path);
    }
    if (n == 0) break;
    size += static_cast<std::size_t>(n);
  }
  data.resize(size);

  const std::string_view v = data;
  if (v.starts_with("\xEF\xBB\xBF")) return data.substr(3);
  if (v.starts_with(std::string_view("\xFF\xFE\0\0", 4))) return Transcode(v.substr(4), 4, false);
  if (v.starts_with(std::string_view("\0\0\xFE\xFF", 4))) return Transcode(v.substr(4), 4, true);
  if (v.starts_with("\xFF\xFE")) return Transcode(v.substr(2), 2, false);
  if (v.starts_with("\xFE\xFF")) return Transcode(v.substr(2), 2, true);
  return data;
}

template <class T>
MatrixText<T> ParseMatrixText(std::string_view text, const MatrixFormatter& formatter) {
  LineParser<T> parser(formatter);
  std::vector<T> flat;
  std::vector<std::size_t> rowEnds;
  std::size_t longest = 0;
  std::size_t lineNumber = 0;  // blank lines count: parse errors name the file's line
  ForEachLine(text, [&](std::string_view line) {
    ++lineNumber;
    if (TrimWhiteSpace(line).empty()) return;
    const std::size_t begin = flat.size();
    parser.Parse(line, flat, lineNumber);
    longest = std::max(longest, flat.size() - begin);
    rowEnds.push_back(flat.size());
  });
  if (rowEnds.size() > INT_MAX || longest > INT_MAX) throw std::out_of_range(msg::TooManyRows);

  MatrixText<T> out;
  out.rowNum = static_cast<int>(rowEnds.size());
  out.colNum = static_cast<int>(longest);
  out.values.assign(rowEnds.size() * longest, T{});
  const DenseView<T> values(out.values.data(), out.rowNum, out.colNum, out.rowNum);
  std::size_t begin = 0;
  for (int i = 0; i < out.rowNum; ++i) {
    for (std::size_t k = begin; k < rowEnds[i]; ++k)
      values(i, static_cast<int>(k - begin)) = flat[k];
    begin = rowEnds[i];
  }
  return out;
}

template <class T>
MatrixText<T> LoadMatrixFile(const std::string& path, const MatrixFormatter& formatter) {
  return ParseMatrixText<T>(ReadMatrixFile(path), formatter);
}

template MatrixText<double> ParseMatrixText(std::string_view, const MatrixFormatter&);
template MatrixText<Complex> ParseMatrixText(std::string_view, const MatrixFormatter&);
template MatrixText<double> LoadMatrixFile(const std::string&, const MatrixFormatter&);
template MatrixText<Complex> LoadMatrixFile(const std::string&, const MatrixFormatter&);

}  // namespace OrvaneNet::detail
