#include "integration/CommandLine.h"
#include "IntegrationFixtures.h"
#include "integration/UrlOpener.h"

#include <gtest/gtest.h>

using KivTest::RecordingStarter;
using Args = std::vector<std::string>;

// --- splitting with the Windows quoting rules ---------------------------------------

struct SplitCase
{
    const char* line;
    Args args;
};

void PrintTo(const SplitCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(c.line);
}

class SplitTest : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitTest, GivesTheArgumentsTheRuntimeWould)
{
    EXPECT_EQ(KivCommandLine::Split(GetParam().line), GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"   \t ", {}},
                      SplitCase{R"("C:\Program Files\Browser\b.exe" -nohome)",
                                {R"(C:\Program Files\Browser\b.exe)", "-nohome"}},
                      SplitCase{"  prog  a\tb   c ", {"prog", "a", "b", "c"}},
                      SplitCase{R"(prog "a b" c)", {"prog", "a b", "c"}},
                      SplitCase{R"(prog a\\b)", {"prog", R"(a\\b)"}},
                      SplitCase{R"(prog a\"b)", {"prog", R"(a"b)"}},
                      SplitCase{R"(prog a\\\"b)", {"prog", R"(a\"b)"}},
                      SplitCase{R"(prog "a\\" b)", {"prog", R"(a\)", "b"}},
                      SplitCase{R"(prog a\\"b c")", {"prog", R"(a\b c)"}},
                      SplitCase{R"(prog "a""b")", {"prog", R"(a"b)"}},
                      SplitCase{R"(prog "" x)", {"prog", "", "x"}},
                      SplitCase{R"(prog "unterminated arg)", {"prog", "unterminated arg"}},
                      // The program name takes no backslash escapes.
                      SplitCase{R"(C:\dir\prog.exe x)", {R"(C:\dir\prog.exe)", "x"}},
                      SplitCase{R"("C:\a b\"c d)", {R"(C:\a b\c)", "d"}}));

// --- quoting back: whatever an argument holds, Join then Split gives it back ----------

class JoinTest : public ::testing::TestWithParam<Args>
{
};

TEST_P(JoinTest, SplitGivesTheArgumentsBack)
{
    EXPECT_EQ(KivCommandLine::Split(KivCommandLine::Join(GetParam())), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    HostileArguments, JoinTest,
    ::testing::Values(Args{"prog"}, Args{"/opt/My Browser/b", "--x"}, Args{"prog", ""},
                      Args{"prog", "a b", "c\"d", R"(e\)", R"(f\\")", R"(\"g\")"},
                      Args{"prog", "http://x/?q=\"a b\"&c", "$(id)", "`id`;rm -rf x"},
                      Args{R"(C:\Program Files\b.exe)", R"(trailing\\)", "\t", "-leading"}));

// --- numbered inserts ------------------------------------------------------------

struct InsertCase
{
    const char* pattern;
    std::vector<std::string_view> args;
    const char* expected;
};

void PrintTo(const InsertCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(c.pattern);
}

class InsertsTest : public ::testing::TestWithParam<InsertCase>
{
};

TEST_P(InsertsTest, ExpandsLikeTheMessageFormatter)
{
    std::string out = "stale";
    EXPECT_TRUE(KivCommandLine::ExpandInserts(out, GetParam().pattern, GetParam().args, 511));
    EXPECT_EQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, InsertsTest,
    ::testing::Values(
        InsertCase{R"(%1\shell\open\command)", {"htmlfile"}, R"(htmlfile\shell\open\command)"},
        InsertCase{"%1 and %1", {"u"}, "u and u"}, InsertCase{"100%% %1", {"u"}, "100% u"},
        InsertCase{"%2 and %1", {"a", "b"}, "b and a"}, InsertCase{"[%2]", {"a"}, "[]"},
        InsertCase{"[%12]", {"a"}, "[]"}, InsertCase{"<%1!s!>", {"a"}, "<a>"},
        InsertCase{"50%", {}, "50%"}, InsertCase{"%x %0 % y", {"a"}, "%x %0 % y"},
        // Inserted text is never scanned for inserts again.
        InsertCase{"%1", {"%1%%2"}, "%1%%2"}));

TEST(FormatInserts, CutsAt511BytesNeverInsideACharacter)
{
    std::string out;
    EXPECT_TRUE(FormatInserts(out, "%1", {std::string(511, 'a')}));
    EXPECT_EQ(out.size(), 511u);
    EXPECT_FALSE(FormatInserts(out, std::string(510, 'a') + "%1", {"\xC3\xA9"}));
    EXPECT_EQ(out, std::string(510, 'a'));
}

// --- launching a command template with a URL ----------------------------------------

struct LaunchCase
{
    const char* name;
    const char* commandTemplate;
    std::string program;
    Args args; // "URL" stands for the URL
};

void PrintTo(const LaunchCase& c, std::ostream* os)
{
    *os << c.name;
}

class LaunchCommandTest : public ::testing::TestWithParam<std::tuple<LaunchCase, std::string>>
{
};

TEST_P(LaunchCommandTest, TheUrlIsExactlyOneArgumentOrPartOfOne)
{
    const auto& [c, url] = GetParam();
    RecordingStarter starter;
    EXPECT_TRUE(LaunchCommandWithUrl(c.commandTemplate, url, &starter));
    Args expected;
    for (const std::string& arg : c.args) {
        std::string a = arg;
        for (size_t p; (p = a.find("URL")) != std::string::npos;)
            a.replace(p, 3, url);
        expected.push_back(a);
    }
    ASSERT_EQ(starter.launches.size(), 1u);
    EXPECT_EQ(starter.launches[0].program, c.program);
    EXPECT_EQ(starter.launches[0].args, expected);
}

const std::string kHostileUrls[] = {
    "http://example.com/",
    "http://x/a b\"c,d",
    "http://x/\" --remote \"evil",
    "http://x/;rm -rf ~;$(id)`id`",
    "http://x/ --user-data-dir=/tmp/x",
    "http://x/a\\\"b\\",
    "http://x/%1%2%%",
    "http://x/caf\xC3\xA9\t",
};

INSTANTIATE_TEST_SUITE_P(
    Shapes, LaunchCommandTest,
    ::testing::Combine(
        ::testing::Values(
            LaunchCase{"QuotedProgramAndOption",
                       R"("/opt/My Browser/b" -nohome)",
                       "/opt/My Browser/b",
                       {"-nohome", "URL"}},
            LaunchCase{"PercentOneReplaced", "/usr/bin/b %1", "/usr/bin/b", {"URL"}},
            LaunchCase{"PercentOneInsideArguments",
                       R"(b --url=%1 "%1" "x y")",
                       "b",
                       {"--url=URL", "URL", "x y"}},
            LaunchCase{"PercentPercentWithInsert", "b --pct=50%% %1", "b", {"--pct=50%", "URL"}},
            LaunchCase{"PercentOneOnlyFirstCharacter", "%1 x", "%1", {"x", "URL"}},
            LaunchCase{"UrlNeverBecomesTheProgram", "%1x %1", "x", {"URL"}}),
        ::testing::ValuesIn(kHostileUrls)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_" + std::to_string(info.index);
    });

TEST(LaunchCommandWithUrl, EmptyTemplateStartsNothingAndFails)
{
    RecordingStarter starter;
    EXPECT_FALSE(LaunchCommandWithUrl("", "http://x/", &starter));
    EXPECT_TRUE(LaunchCommandWithUrl("   ", "http://x/", &starter));
    EXPECT_TRUE(starter.launches.empty());
}

TEST(LaunchCommandWithUrl, LongUrlIsNeverCut)
{
    RecordingStarter starter;
    const std::string url = "http://x/" + std::string(2000, 'q');
    LaunchCommandWithUrl("b %1", url, &starter);
    ASSERT_EQ(starter.launches.size(), 1u);
    EXPECT_EQ(starter.launches[0].args, Args{url});
}
