#pragma once

#include <string>
#include <utility>

namespace OrvaneNet {

// The settings of the matrix text format: one line per row,
//   LineBeginsWith e0 ElementSeparatedBy e1 ... LineEndsWith
// where a complex element is
//   ComplexBeginsWith re ComplexValueSepratedBy im ComplexEndsWith.
// Pass it to the handles' ToString, Save and Load. The setters store any value;
// Load rejects an empty marker it has to remove (std::invalid_argument).
class MatrixFormatter {
 public:
  // "[", "]", ",", 4 decimals, "(", ")", ",".
  MatrixFormatter() = default;

  const std::string& get_LineBeginsWith() const noexcept { return m_lineBeginsWith; }
  void set_LineBeginsWith(std::string value) { m_lineBeginsWith = std::move(value); }
  const std::string& get_LineEndsWith() const noexcept { return m_lineEndsWith; }
  void set_LineEndsWith(std::string value) { m_lineEndsWith = std::move(value); }
  const std::string& get_ElementSeparatedBy() const noexcept { return m_elementSeparatedBy; }
  void set_ElementSeparatedBy(std::string value) { m_elementSeparatedBy = std::move(value); }
  // Digits after the decimal point; 0 or less selects the general form
  // (up to 15 significant digits, 1E+15 style beyond 1e15 and below 1e-4).
  int get_NumberOfDigit() const noexcept { return m_numberOfDigit; }
  void set_NumberOfDigit(int value) noexcept { m_numberOfDigit = value; }
  const std::string& get_ComplexBeginsWith() const noexcept { return m_complexBeginsWith; }
  void set_ComplexBeginsWith(std::string value) { m_complexBeginsWith = std::move(value); }
  const std::string& get_ComplexEndsWith() const noexcept { return m_complexEndsWith; }
  void set_ComplexEndsWith(std::string value) { m_complexEndsWith = std::move(value); }
  // Spelled so: the property name is part of the interface.
  const std::string& get_ComplexValueSepratedBy() const noexcept {
    return m_complexValueSeparatedBy;
  }
  void set_ComplexValueSepratedBy(std::string value) {
    m_complexValueSeparatedBy = std::move(value);
  }

 private:
  std::string m_lineBeginsWith = "[";
  std::string m_lineEndsWith = "]";
  std::string m_elementSeparatedBy = ",";
  int m_numberOfDigit = 4;
  std::string m_complexBeginsWith = "(";
  std::string m_complexEndsWith = ")";
  std::string m_complexValueSeparatedBy = ",";
};

}  // namespace OrvaneNet
