// Command-line plumbing of the orvane tool: failures with their exit status,
// option parsing and the text format options.
#pragma once

#include <OrvaneNet/MatrixFormatter.h>

#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {

// Exit statuses: 2 for bad usage or bad input, 1 for a numerical failure.
inline constexpr int kBadInput = 2;
inline constexpr int kNumericalFailure = 1;

// A failure that main() prints as one line on standard error.
class Failure : public std::runtime_error {
 public:
  Failure(int status, const std::string& message) : std::runtime_error(message), m_status(status) {}
  int status() const { return m_status; }

 private:
  int m_status;
};

[[noreturn]] void BadInput(const std::string& message);
[[noreturn]] void NumericalFailure(const std::string& message);

// One option a subcommand accepts; "-o" and "--output" are one option.
struct OptionSpec {
  const char* name;
  bool takesValue;
};

// The words after the subcommand: positional ones in order, options by name.
class Options {
 public:
  std::vector<std::string> positional;

  bool Has(const std::string& name) const { return m_values.count(name) != 0; }
  // The last value given for name, if any.
  std::optional<std::string> Value(const std::string& name) const;
  // Every value given for name, in order.
  const std::vector<std::string>& Values(const std::string& name) const;
  void Add(const std::string& name, std::string value) { m_values[name].push_back(std::move(value)); }

 private:
  std::map<std::string, std::vector<std::string>> m_values;
};

// Splits args by optionSpecs. A word is an option only when it starts with "--" or
// is "-o"/"-h", so negative numbers stay positional. Unknown options and
// missing values are bad usage.
Options ParseOptions(const std::vector<std::string>& args, std::span<const OptionSpec> optionSpecs,
                     const std::string& command);

// Whole-word numbers in the C++ classic notation; `what` names the word in
// the error line.
int ParseInt(const std::string& text, const std::string& what);
double ParseDouble(const std::string& text, const std::string& what);
// Comma-separated numbers ("1,2.5,-3").
std::vector<double> ParseDoubleList(const std::string& text, const std::string& what);

// --digits N|exact and --format KEY=VALUE applied to a default MatrixFormatter.
OrvaneNet::MatrixFormatter FormatterFrom(const Options& options);

// The options every subcommand accepts besides its own.
inline constexpr OptionSpec kCommonOptions[] = {
    {"--digits", true}, {"--format", true}, {"--output", true}, {"--help", false}};

}  // namespace orvane
