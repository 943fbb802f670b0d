#include "CommandLine.h"

#include "framework/TextRules.h"

namespace KivCommandLine {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> Split(std::string_view line)
{
    std::vector<std::string> args;
    size_t i = 0;
    const size_t n = line.size();
    while (i < n && IsBlank(line[i]))
        ++i;
    if (i == n)
        return args;

    // The program name: quotes only group, backslashes are path separators.
    std::string program;
    bool quoted = false;
    for (; i < n; ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && IsBlank(c))
            break;
        program += c;
    }
    args.push_back(std::move(program));

    for (;;) {
        while (i < n && IsBlank(line[i]))
            ++i;
        if (i == n)
            break;
        std::string arg;
        quoted = false;
        while (i < n) {
            const char c = line[i];
            if (!quoted && IsBlank(c))
                break;
            if (c == '\\') {
                size_t slashes = 0;
                while (i < n && line[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && line[i] == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                    // An even count leaves the quote to group below.
                } else {
                    arg.append(slashes, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            arg += c;
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string QuoteArgument(std::string_view argument, bool isProgram)
{
    const bool needsQuotes = argument.empty()
                             || argument.find_first_of(isProgram ? std::string_view(" \t")
                                                                 : std::string_view(" \t\"\n\v"))
                                    != std::string_view::npos;
    if (isProgram) {
        if (!needsQuotes || argument.find('"') != std::string_view::npos)
            return std::string(argument);
        return '"' + std::string(argument) + '"';
    }
    if (!needsQuotes)
        return std::string(argument);
    std::string out = "\"";
    size_t slashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        if (c == '"') {
            out.append(slashes * 2 + 1, '\\');
            out += '"';
        } else {
            out.append(slashes, '\\');
            out += c;
        }
        slashes = 0;
    }
    // Backslashes before the closing quote are doubled so they stay literal.
    out.append(slashes * 2, '\\');
    out += '"';
    return out;
}

std::string Join(const std::vector<std::string>& arguments)
{
    std::string line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            line += ' ';
        line += QuoteArgument(arguments[i], i == 0);
    }
    return line;
}

bool ExpandInserts(std::string& out, std::string_view pattern,
                   const std::vector<std::string_view>& args, size_t maxBytes)
{
    out.clear();
    const size_t n = pattern.size();
    size_t i = 0;
    while (i < n) {
        const char c = pattern[i];
        if (c != '%' || i + 1 == n) {
            out += c;
            ++i;
            continue;
        }
        const char next = pattern[i + 1];
        if (next == '%') {
            out += '%';
            i += 2;
            continue;
        }
        if (next < '1' || next > '9') {
            out += c;
            ++i;
            continue;
        }
        size_t number = static_cast<size_t>(next - '0');
        i += 2;
        if (i < n && pattern[i] >= '0' && pattern[i] <= '9') {
            number = number * 10 + static_cast<size_t>(pattern[i] - '0');
            ++i;
        }
        if (i < n && pattern[i] == '!') {
            const size_t close = pattern.find('!', i + 1);
            if (close != std::string_view::npos)
                i = close + 1;
        }
        if (number <= args.size())
            out += args[number - 1];
    }
    if (out.size() <= maxBytes)
        return true;
    out.resize(KivText::TruncateUtf8(out, maxBytes).size());
    return false;
}

} // namespace KivCommandLine

bool FormatInserts(std::string& out, std::string_view pattern,
                   std::initializer_list<std::string_view> args)
{
    return KivCommandLine::ExpandInserts(out, pattern, std::vector<std::string_view>(args), 511);
}
