#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Command lines in the shape browsers register them ("C:\Program Files\x.exe" -nohome
// "%1"): split with the Windows C runtime's quoting rules, never handed to a shell.
namespace KivCommandLine {

// The arguments of a command line. The program name ends at the first blank outside
// double quotes and takes no backslash escapes; the other arguments follow the C
// runtime: double quotes group, "" inside quotes is one quote, 2n backslashes before a
// quote give n and the quote groups, 2n+1 give n and a literal quote, other
// backslashes are literal.
std::vector<std::string> Split(std::string_view commandLine);

// One argument written so that Split gives it back unchanged. A program name cannot
// hold a double quote; it is then returned as it stands.
std::string QuoteArgument(std::string_view argument, bool isProgram);

// The command line whose Split is exactly `arguments` (the first one the program).
std::string Join(const std::vector<std::string>& arguments);

// The numbered inserts %1..%99 of a message pattern replaced by `args` (an insert
// with no argument becomes nothing, a printf-like "!s!" after the number is
// skipped), "%%" becomes "%", any other percent sign stays. The text inserted is
// never scanned again. The result is cut to maxBytes (never inside a character);
// false when it had to be cut.
bool ExpandInserts(std::string& out, std::string_view pattern,
                   const std::vector<std::string_view>& args, size_t maxBytes);

} // namespace KivCommandLine

// Message formatting with numbered inserts, at most 511 bytes of result.
bool FormatInserts(std::string& out, std::string_view pattern,
                   std::initializer_list<std::string_view> args);
