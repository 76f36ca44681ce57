// Standard output belongs to the calling program: the library writes to it
// only through LAPACK's error handler (whose line LapackLayerTest checks). At
// run time the bad-input catalogue captures standard output around every row;
// here the library binary itself is searched, so that a print on a path no
// test takes is caught too.
#include <OrvaneNet/Bessel.h>
#include <dlfcn.h>

#include <array>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "TestUtil.h"

TEST(NoStdout, OnlyTheLapackErrorHandlerReferencesStandardOutput) {
  // The shared library that holds OrvaneNet's code, unless it is linked into this executable.
  Dl_info lib{}, self{};
  if (!::dladdr(reinterpret_cast<void*>(&OrvaneNet::Bessel::J), &lib) || !lib.dli_fname ||
      (::dladdr(reinterpret_cast<void*>(+[] {}), &self) && self.dli_fname &&
       std::string(self.dli_fname) == lib.dli_fname)) {
    GTEST_SKIP() << "the library is linked statically into the test";
  }
  const std::string command = "objdump -d --no-show-raw-insn '" + std::string(lib.dli_fname) + "' 2>/dev/null";
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
  for (; std::fgets(buf.data(), buf.size(), pipe.get()); ++lines) {
    std::string line = buf.data();
    if (line.ends_with('\n')) line.pop_back();
    // "0000000000012340 <name>:" starts a function; an instruction names
    // what it calls or loads as "<symbol@version>" or "<symbol+offset>".
    const std::size_t open = line.find(" <");
    if (!line.empty() && line[0] != ' ' && line.ends_with(">:") && open != std::string::npos) {
      function = line.substr(open + 2, line.size() - open - 4);
      continue;
    }
    for (std::size_t at = line.find('<'); at != std::string::npos; at = line.find('<', at + 1)) {
      const std::size_t end = line.find_first_of("@+>", at + 1);
      if (end == std::string::npos) break;
      if (stdoutUse.count(line.substr(at + 1, end - at - 1)) && !function.ends_with("@plt")) users.insert(function);
    }
  }
  ASSERT_GT(lines, 1000u) << "objdump printed no disassembly of " << lib.dli_fname;
  EXPECT_EQ(users, std::set<std::string>{"xerbla_"});
}
