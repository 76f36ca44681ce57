// Standard output belongs to the calling program: the library writes to it
// only through LAPACK's error handler. At run time the bad-input catalogue
// captures standard output around every row; here the library binary itself
// is searched, so that a print on a path no test takes is caught too.
#include <OrvaneNet/Bessel.h>
#include <dlfcn.h>

#include <array>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "StdoutCapture.h"
#include "TestUtil.h"

extern "C" void xerbla_(const char* srname, const int* info, std::size_t srname_len);

namespace {

// The shared library that holds OrvaneNet's code, or "" when it is linked
// into the executable.
std::string LibraryPath() {
  Dl_info info{};
  if (!::dladdr(reinterpret_cast<void*>(&OrvaneNet::Bessel::J), &info) || !info.dli_fname) return {};
  Dl_info self{};
  if (::dladdr(reinterpret_cast<void*>(&LibraryPath), &self) && self.dli_fname &&
      std::string(self.dli_fname) == info.dli_fname) {
    return {};
  }
  return info.dli_fname;
}

}  // namespace

TEST(NoStdout, OnlyTheLapackErrorHandlerReferencesStandardOutput) {
  const std::string lib = LibraryPath();
  if (lib.empty()) GTEST_SKIP() << "the library is linked statically into the test";
  const std::string command = "objdump -d --no-show-raw-insn '" + lib + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  ASSERT_TRUE(pipe) << command;

  // Functions that print to standard output implicitly, and the objects
  // through which anything else would reach it.
  const std::set<std::string> stdoutUse = {
      "printf",   "vprintf",   "__printf_chk",     "__vprintf_chk",  "puts",     "putchar",
      "putchar_unlocked",      "putwchar",         "wprintf",        "vwprintf", "stdout",
      "_IO_2_1_stdout_",       "_ZSt4cout",        "_ZSt5wcout"};
  std::set<std::string> users;
  std::string function;
  std::size_t lines = 0;
  std::array<char, 4096> buf;
  while (std::fgets(buf.data(), buf.size(), pipe.get())) {
    std::string line = buf.data();
    if (!line.empty() && line.back() == '\n') line.pop_back();
    ++lines;
    // "0000000000012340 <name>:" starts a function; an instruction names
    // what it calls or loads as "<symbol@version>" or "<symbol+offset>".
    if (!line.empty() && line[0] != ' ' && line.size() > 2 && line.ends_with(">:")) {
      const std::size_t open = line.find(" <");
      if (open != std::string::npos) function = line.substr(open + 2, line.size() - open - 4);
      continue;
    }
    for (std::size_t at = line.find('<'); at != std::string::npos; at = line.find('<', at + 1)) {
      const std::size_t end = line.find_first_of("@+>", at + 1);
      if (end == std::string::npos) break;
      if (stdoutUse.count(line.substr(at + 1, end - at - 1)) &&
          function.find("@plt") == std::string::npos) {
        users.insert(function);
      }
    }
  }
  ASSERT_GT(lines, 1000u) << "objdump printed no disassembly of " << lib;
  EXPECT_EQ(users, std::set<std::string>{"xerbla_"});
}

TEST(NoStdout, TheLapackErrorHandlerPrintsItsOneLine) {
  orvane_test::StdoutCapture capture;
  const int info = 4;
  xerbla_("DGESV ", &info, 6);
  const std::string text = capture.Text();
  EXPECT_EQ(text, "** On entry to  DGESV, parameter number  4 had an illegal value\n");
  EXPECT_TRUE(orvane_test::OnlyLapackLines(text));
}
