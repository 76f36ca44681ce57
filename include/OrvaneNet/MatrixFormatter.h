#pragma once

#include <string>
#include <utility>

namespace OrvaneNet {

/// The settings of the matrix text format: one line per row,
///   LineBeginsWith e0 ElementSeparatedBy e1 ... LineEndsWith
/// where a complex element is
///   ComplexBeginsWith re ComplexValueSepratedBy im ComplexEndsWith.
/// Pass it to the handles' ToString, Save and Load. The setters store any value;
/// Load rejects an empty marker it has to remove (std::invalid_argument).
class MatrixFormatter {
 public:
  /// "[", "]", ",", 4 decimals, "(", ")", ",".
  MatrixFormatter() = default;

  /// Written before the first element of each row (default "[").
  const std::string& get_LineBeginsWith() const noexcept { return m_lineBeginsWith; }
  /// Replaces LineBeginsWith; removed wherever it occurs when parsing.
  void set_LineBeginsWith(std::string value) { m_lineBeginsWith = std::move(value); }
  /// Written after the last element of each row (default "]").
  const std::string& get_LineEndsWith() const noexcept { return m_lineEndsWith; }
  /// Replaces LineEndsWith; removed wherever it occurs when parsing.
  void set_LineEndsWith(std::string value) { m_lineEndsWith = std::move(value); }
  /// Written between two elements of a row (default ",").
  const std::string& get_ElementSeparatedBy() const noexcept { return m_elementSeparatedBy; }
  /// Replaces ElementSeparatedBy. When parsing real rows every character of
  /// it is a delimiter by itself; an empty value splits at white space.
  void set_ElementSeparatedBy(std::string value) { m_elementSeparatedBy = std::move(value); }
  /// Digits after the decimal point; 0 or less selects the general form
  /// (up to 15 significant digits, 1E+15 style beyond 1e15 and below 1e-4).
  int get_NumberOfDigit() const noexcept { return m_numberOfDigit; }
  /// Replaces NumberOfDigit.
  void set_NumberOfDigit(int value) noexcept { m_numberOfDigit = value; }
  /// Written before the real part of a complex element (default "(").
  const std::string& get_ComplexBeginsWith() const noexcept { return m_complexBeginsWith; }
  /// Replaces ComplexBeginsWith.
  void set_ComplexBeginsWith(std::string value) { m_complexBeginsWith = std::move(value); }
  /// Written after the imaginary part of a complex element (default ")").
  const std::string& get_ComplexEndsWith() const noexcept { return m_complexEndsWith; }
  /// Replaces ComplexEndsWith; when parsing, each of its characters ends an
  /// element (white space when empty).
  void set_ComplexEndsWith(std::string value) { m_complexEndsWith = std::move(value); }
  /// Written between the real and the imaginary part (default ","). Spelled
  /// so: the property name is part of the interface.
  const std::string& get_ComplexValueSepratedBy() const noexcept {
    return m_complexValueSeparatedBy;
  }
  /// Replaces ComplexValueSepratedBy.
  void set_ComplexValueSepratedBy(std::string value) {
    m_complexValueSeparatedBy = std::move(value);
  }
  /// Whether numbers print in the shortest form that reads back to the same
  /// double (default false). When true, ToString and Save ignore
  /// NumberOfDigit and print each number as std::to_chars without a
  /// precision does ("0.1", "-0", "5e-324", "1.7976931348623157e+308"), with
  /// the locale's decimal separator and no group separators; NaN and
  /// infinities print as NaN, Infinity and -Infinity. Load of such a text
  /// gives back every element bit for bit (signed zeros and subnormals
  /// included; a NaN as a NaN). Pick separators that the locale's decimal
  /// separator cannot be mistaken for.
  bool get_RoundTrip() const noexcept { return m_roundTrip; }
  /// Replaces RoundTrip.
  void set_RoundTrip(bool value) noexcept { m_roundTrip = value; }

 private:
  std::string m_lineBeginsWith = "[";
  std::string m_lineEndsWith = "]";
  std::string m_elementSeparatedBy = ",";
  int m_numberOfDigit = 4;
  std::string m_complexBeginsWith = "(";
  std::string m_complexEndsWith = ")";
  std::string m_complexValueSeparatedBy = ",";
  bool m_roundTrip = false;
};

}  // namespace OrvaneNet
