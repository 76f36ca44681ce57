#include "Cli.h"

#include <charconv>
#include <cmath>

namespace orvane {

void BadInput(const std::string& message) { throw Failure(kBadInput, message); }
void NumericalFailure(const std::string& message) { throw Failure(kNumericalFailure, message); }

std::optional<std::string> Options::Value(const std::string& name) const {
  const auto it = m_values.find(name);
  if (it == m_values.end() || it->second.empty()) return std::nullopt;
  return it->second.back();
}

const std::vector<std::string>& Options::Values(const std::string& name) const {
  static const std::vector<std::string> none;
  const auto it = m_values.find(name);
  return it == m_values.end() ? none : it->second;
}

Options ParseOptions(const std::vector<std::string>& args, std::span<const OptionSpec> optionSpecs,
                     const std::string& command) {
  auto find = [&](const std::string& name) -> const OptionSpec* {
    for (const OptionSpec& s : optionSpecs) {
      if (name == s.name) return &s;
    }
    for (const OptionSpec& s : kCommonOptions) {
      if (name == s.name) return &s;
    }
    return nullptr;
  };
  Options out;
  for (std::size_t k = 0; k < args.size(); ++k) {
    std::string word = args[k];
    if (word == "-o") word = "--output";
    if (word == "-h") word = "--help";
    if (word.rfind("--", 0) != 0) {
      out.positional.push_back(word);
      continue;
    }
    std::optional<std::string> inlineValue;
    if (const auto eq = word.find('='); eq != std::string::npos) {
      inlineValue = word.substr(eq + 1);
      word.resize(eq);
    }
    const OptionSpec* s = find(word);
    if (s == nullptr) BadInput("unknown option " + word + " (see orvane " + command + " --help)");
    if (!s->takesValue) {
      if (inlineValue) BadInput("option " + word + " takes no value");
      out.Add(word, "");
    } else if (inlineValue) {
      out.Add(word, *inlineValue);
    } else {
      if (k + 1 == args.size()) BadInput("option " + word + " needs a value");
      out.Add(word, args[++k]);
    }
  }
  return out;
}

int ParseInt(const std::string& text, const std::string& what) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, value);
  if (ec == std::errc::result_out_of_range) BadInput(what + " '" + text + "' is out of range");
  if (ec != std::errc() || p != end || text.empty()) BadInput(what + " '" + text + "' is not an integer");
  return value;
}

double ParseDouble(const std::string& text, const std::string& what) {
  double value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;  // from_chars takes no plus sign
  const auto [p, ec] = std::from_chars(begin, end, value);
  if (ec == std::errc::result_out_of_range) BadInput(what + " '" + text + "' is out of range");
  if (ec != std::errc() || p != end || begin == end) BadInput(what + " '" + text + "' is not a number");
  return value;
}

std::vector<double> ParseDoubleList(const std::string& text, const std::string& what) {
  std::vector<double> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    out.push_back(ParseDouble(text.substr(start, comma - start), what));
    if (comma == std::string::npos) return out;
    start = comma + 1;
  }
}

OrvaneNet::MatrixFormatter FormatterFrom(const Options& options) {
  OrvaneNet::MatrixFormatter f;
  if (const auto digits = options.Value("--digits")) {
    if (*digits == "exact") {
      f.set_RoundTrip(true);
    } else {
      const int n = ParseInt(*digits, "--digits");
      if (n < 0 || n > 99) {
        BadInput("--digits must lie in 0..99 (0 selects the general form with up to 15 significant digits) "
                 "or be 'exact'");
      }
      f.set_NumberOfDigit(n);
    }
  }
  for (const std::string& setting : options.Values("--format")) {
    const std::size_t eq = setting.find('=');
    if (eq == std::string::npos) BadInput("--format needs KEY=VALUE, not '" + setting + "'");
    const std::string key = setting.substr(0, eq);
    std::string value = setting.substr(eq + 1);
    if (key == "line-begin") {
      f.set_LineBeginsWith(std::move(value));
    } else if (key == "line-end") {
      f.set_LineEndsWith(std::move(value));
    } else if (key == "separator") {
      f.set_ElementSeparatedBy(std::move(value));
    } else if (key == "complex-begin") {
      f.set_ComplexBeginsWith(std::move(value));
    } else if (key == "complex-end") {
      f.set_ComplexEndsWith(std::move(value));
    } else if (key == "complex-separator") {
      f.set_ComplexValueSepratedBy(std::move(value));
    } else {
      BadInput("--format: unknown key '" + key +
               "' (line-begin, line-end, separator, complex-begin, complex-end, complex-separator)");
    }
  }
  return f;
}

}  // namespace orvane
