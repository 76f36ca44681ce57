#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace OrvaneNet {

/// Where a matrix text failed to parse: the part shared by the three parse
/// errors below. A handler that catches std::invalid_argument or
/// std::out_of_range can reach it with dynamic_cast<const ParseErrorInfo*>.
class ParseErrorInfo {
 public:
  /// The 1-based line of the file (Load) on which parsing failed, counting
  /// blank lines; 0 when the text was not read from a file.
  std::size_t line() const noexcept { return m_line; }
  /// The offending text exactly as what() quotes it, surrounding white space
  /// included.
  const std::string& piece() const noexcept { return *m_piece; }

 protected:
  ParseErrorInfo(std::string_view piece, std::size_t line)
      : m_piece(std::make_shared<const std::string>(piece)), m_line(line) {}
  ~ParseErrorInfo() = default;
  ParseErrorInfo(const ParseErrorInfo&) noexcept = default;
  ParseErrorInfo& operator=(const ParseErrorInfo&) noexcept = default;

 private:
  // Shared, so that copying an exception never allocates.
  std::shared_ptr<const std::string> m_piece;
  std::size_t m_line;
};

/// A piece of a matrix text that is not a number, or an empty field of a
/// complex element. what() is, byte for byte,
///   Input string was not in a correct format: "<piece>"
class NumberFormatError : public std::invalid_argument, public ParseErrorInfo {
 public:
  /// An error whose what() is message, about piece on line (0: not a file).
  NumberFormatError(const std::string& message, std::string_view piece, std::size_t line)
      : std::invalid_argument(message), ParseErrorInfo(piece, line) {}
};

/// A number of a matrix text beyond the range of double (a value below the
/// smallest subnormal is read as zero instead). what() is, byte for byte,
///   Value was either too large or too small for a Double: "<piece>"
class NumberRangeError : public std::out_of_range, public ParseErrorInfo {
 public:
  /// An error whose what() is message, about piece on line (0: not a file).
  NumberRangeError(const std::string& message, std::string_view piece, std::size_t line)
      : std::out_of_range(message), ParseErrorInfo(piece, line) {}
};

/// A complex element of a matrix text with a real part only. piece() is the
/// element as the complex parser cut it out: ComplexBeginsWith still in it,
/// ComplexEndsWith removed. what() is, byte for byte,
///   A complex element needs a real and an imaginary part: "<piece>"
class MissingImaginaryPartError : public std::out_of_range, public ParseErrorInfo {
 public:
  /// An error whose what() is message, about piece on line (0: not a file).
  MissingImaginaryPartError(const std::string& message, std::string_view piece, std::size_t line)
      : std::out_of_range(message), ParseErrorInfo(piece, line) {}
};

}  // namespace OrvaneNet
