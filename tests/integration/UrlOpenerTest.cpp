#include "integration/UrlOpener.h"
#include "IntegrationFixtures.h"
#include "integration/DdeClient.h"
#include "integration/ProgramStarter.h"
#include "integration/XdgBrowser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using KivTest::DdeRecord;
using KivTest::FakeDdeServer;
using KivTest::RecordingStarter;
using Args = std::vector<std::string>;

namespace {

// A URL that must reach every browser unchanged, in every form.
const std::string kUrl = "http://x/a b\"c,d;$(id)`id`";
const std::string kItem = kUrl + ",,0xFFFFFFFF,0x3,,,";
const std::string kExecData = kUrl + '\0';
constexpr const char* kTopic = "WWW_OpenURL";
constexpr const char* kDefaultCmd = "defaultbrowser --flag";

enum class Path { Empty, Missing, Exists };

struct OpenCase
{
    const char* name;
    int choice;
    bool newWindow;
    std::map<std::string, std::string> servers;             // service -> mode
    Path browserPath;                                       // of the chosen browser
    std::vector<std::pair<std::string, std::string>> calls; // service, op
    bool launchesProgram;                                   // the configured program with the URL
    bool launchesDefault;                                   // the default command with the URL
    const char* defaultCmd = kDefaultCmd;
};

void PrintTo(const OpenCase& c, std::ostream* os)
{
    *os << c.name;
}

class OpenUrlTest : public ::testing::TestWithParam<OpenCase>
{
};

} // namespace

TEST_P(OpenUrlTest, OrderOfAttempts)
{
    const OpenCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath(QStringLiteral("dde.log"));
    std::vector<std::unique_ptr<FakeDdeServer>> servers;
    for (const auto& [service, mode] : c.servers) {
        servers.push_back(std::make_unique<FakeDdeServer>(service, mode, log));
        ASSERT_TRUE(servers.back()->IsReady());
    }
    int shown = 0;
    const auto previousSink
        = CDdeClient::SetMessageSink([&](const QString&, const QString&) { ++shown; });

    CBrowserSettings settings;
    settings.m_nBrowserChoice = c.choice;
    settings.m_strDefaultBrowserCmd = c.defaultCmd;
    const std::string program = dir.filePath(QStringLiteral("My Browser.exe")).toStdString();
    if (c.browserPath == Path::Exists) {
        QFile file(QString::fromStdString(program));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    for (std::string& path : settings.m_strBrowser)
        path = c.browserPath == Path::Empty ? std::string() : program;

    RecordingStarter starter;
    CUrlOpener opener(&starter);
    opener.SetDdeTimeout(2000); // only the hanging server waits for it
    opener.OpenUrl(settings, kUrl, c.newWindow);
    CDdeClient::SetMessageSink(previousSink);

    std::vector<DdeRecord> expectedCalls;
    for (const auto& [service, op] : c.calls) {
        DdeRecord r{service, op, kTopic, "", ""};
        if (op == "request")
            r.item = kItem;
        if (op == "execute")
            r.data = kExecData;
        expectedCalls.push_back(r);
    }
    EXPECT_EQ(KivTest::ReadDdeLog(log), expectedCalls);

    std::vector<RecordingStarter::Launch> expectedLaunches;
    if (c.launchesProgram)
        expectedLaunches.push_back({program, {kUrl}});
    if (c.launchesDefault)
        expectedLaunches.push_back({"defaultbrowser", {"--flag", kUrl}});
    EXPECT_EQ(starter.launches, expectedLaunches);
    EXPECT_EQ(shown, 0); // opening a URL never shows a message
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Procedures, OpenUrlTest,
    ::testing::Values(
        OpenCase{"NetscapeRunningGetsOneRequest", 2, false,
                 {{"Netscape", "accept"}, {"iexplore", "accept"}}, Path::Exists,
                 {{"Netscape", "connect"}, {"Netscape", "request"}}, false, false},
        OpenCase{"NetscapeRefusingStartsItsProgram", 2, false, {{"Netscape", "refuse"}},
                 Path::Exists, {{"Netscape", "connect"}}, true, false},
        OpenCase{"NetscapeNewWindowSkipsDde", 2, true, {{"Netscape", "accept"}}, Path::Exists,
                 {}, true, false},
        OpenCase{"ExplorerRunningGetsTheUrlByExecute", 1, false, {{"iexplore", "accept"}},
                 Path::Exists, {{"iexplore", "connect"}, {"iexplore", "execute"}}, false, false},
        OpenCase{"ExplorerNewWindowStartsItsProgram", 1, true, {{"iexplore", "accept"}},
                 Path::Exists, {}, true, false},
        OpenCase{"ExplorerNewWindowMissingProgramUsesDefaultCommand", 1, true,
                 {{"iexplore", "accept"}, {"Netscape", "accept"}}, Path::Missing, {}, false, true},
        OpenCase{"ExplorerNotAnsweringAndNoProgramTriesExplorerTwiceThenNetscape", 1, false,
                 {{"iexplore", "refuse"}, {"Netscape", "refuse"}}, Path::Empty,
                 {{"iexplore", "connect"}, {"iexplore", "connect"}, {"Netscape", "connect"}},
                 false, true},
        OpenCase{"ExplorerAbsentAndNoProgramReachesNetscape", 1, false, {{"Netscape", "accept"}},
                 Path::Missing, {{"Netscape", "connect"}, {"Netscape", "request"}}, false, false},
        OpenCase{"OperaRunningGetsTheUrlByExecute", 3, false, {{"Opera", "accept"}}, Path::Empty,
                 {{"Opera", "connect"}, {"Opera", "execute"}}, false, false},
        OpenCase{"OperaNotRunningNoProgramRunsTheDefaultProcedure", 3, false,
                 {{"Opera", "refuse"}, {"iexplore", "refuse"}, {"Netscape", "refuse"}}, Path::Empty,
                 {{"Opera", "connect"}, {"iexplore", "connect"}, {"Netscape", "connect"}},
                 false, true},
        OpenCase{"OperaAbsentStartsItsProgram", 3, false, {}, Path::Exists, {}, true, false},
        OpenCase{"DefaultNewWindowNeverTriesDde", 0, true,
                 {{"iexplore", "accept"}, {"Netscape", "accept"}}, Path::Exists, {}, false, true},
        OpenCase{"DefaultExplorerFirst", 0, false,
                 {{"iexplore", "accept"}, {"Netscape", "accept"}}, Path::Empty,
                 {{"iexplore", "connect"}, {"iexplore", "execute"}}, false, false},
        OpenCase{"DefaultExplorerRefusingNetscapeAnswering", 0, false,
                 {{"iexplore", "refuse"}, {"Netscape", "accept"}}, Path::Empty,
                 {{"iexplore", "connect"}, {"Netscape", "connect"}, {"Netscape", "request"}},
                 false, false},
        OpenCase{"DefaultNoServersLaunchesTheRegisteredCommand", 0, false, {}, Path::Exists, {},
                 false, true},
        OpenCase{"DefaultNoServersNoRegisteredCommandStartsNothing", 0, false, {}, Path::Exists,
                 {}, false, false, ""},
        OpenCase{"UnknownChoiceBehavesAsDefault", 7, false, {{"Opera", "accept"}}, Path::Exists,
                 {}, false, true},
        // A conversation that fails after it was established ends the operation.
        OpenCase{"ExplorerHangingNoFallback", 1, false, {{"iexplore", "hang"}}, Path::Exists,
                 {{"iexplore", "connect"}, {"iexplore", "execute"}}, false, false},
        OpenCase{"ExplorerRejectingNoFallback", 1, false, {{"iexplore", "reject"}}, Path::Exists,
                 {{"iexplore", "connect"}, {"iexplore", "execute"}}, false, false},
        OpenCase{"NetscapeDyingNoFallback", 2, false, {{"Netscape", "die"}}, Path::Exists,
                 {{"Netscape", "connect"}, {"Netscape", "request"}}, false, false}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// "--gpu-launcher=touch x" from an imported file would run a command in some
// browsers: a URL that reads as an option reaches no program, by no way at all.
TEST(OptionLikeUrl, ReachesNoProgramByAnyWay)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("browser"));
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    RecordingStarter starter;
    CUrlOpener opener(&starter);
    opener.SetDdeTimeout(2000);
    for (const std::string url : {"--gpu-launcher=touch x", " \t-x"}) {
        EXPECT_TRUE(UrlReadsAsOption(url));
        for (int choice : {0, 1, 2, 3}) {
            CBrowserSettings settings;
            settings.m_nBrowserChoice = choice;
            settings.m_strDefaultBrowserCmd = kDefaultCmd;
            for (std::string& path : settings.m_strBrowser)
                path = program.toStdString();
            opener.OpenUrl(settings, url, true);
            opener.OpenUrl(settings, url, false);
        }
        EXPECT_FALSE(LaunchCommandWithUrl("browser --url=%1", url, &starter));
        EXPECT_FALSE(LaunchCommandWithUrl("browser", url, &starter));
    }
    EXPECT_TRUE(starter.launches.empty());
    // A dash later in the text is an ordinary character of a URL.
    EXPECT_FALSE(UrlReadsAsOption("http://x/-y"));
    EXPECT_TRUE(LaunchCommandWithUrl("browser", "http://x/-y", &starter));
    EXPECT_EQ(starter.launches.size(), 1u);
}

TEST(NetscapeRequestItem, UrlThenTheSixOtherFields)
{
    EXPECT_EQ(CUrlOpener::NetscapeRequestItem("http://a/%s,b"), "http://a/%s,b,,0xFFFFFFFF,0x3,,,");
}

// --- real programs: the recorder stands in for a browser ------------------------------

namespace {

class RealLaunchTest : public ::testing::TestWithParam<std::string>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // A browser installed under a path with a space.
        QDir().mkpath(m_dir.filePath(QStringLiteral("My Browser")));
        m_browser = m_dir.filePath(QStringLiteral("My Browser/browser"));
        ASSERT_TRUE(QFile::copy(KivTest::RecorderProgram(), m_browser));
        QFile::setPermissions(m_browser, QFile::permissions(m_browser) | QFile::ExeOwner);
        m_log = m_dir.filePath(QStringLiteral("argv.log"));
        qputenv("KIV_RECORDER_LOG", m_log.toLocal8Bit());
    }
    void TearDown() override { qunsetenv("KIV_RECORDER_LOG"); }

    QTemporaryDir m_dir;
    QString m_browser;
    QString m_log;
};

} // namespace

TEST_P(RealLaunchTest, HostileUrlArrivesAsOneArgumentInEveryForm)
{
    const std::string& url = GetParam();
    const std::string browser = m_browser.toStdString();
    const std::string quoted = '"' + browser + '"';

    // 1. the configured program, no DDE wanted
    CBrowserSettings settings;
    settings.m_nBrowserChoice = CBrowserSettings::InternetExplorer;
    settings.m_strBrowser[0] = browser;
    CUrlOpener().OpenUrl(settings, url, true);
    // 2. a registered command without an insert; 3. with inserts inside arguments
    EXPECT_TRUE(LaunchCommandWithUrl(quoted + " -nohome", url));
    EXPECT_TRUE(LaunchCommandWithUrl(quoted + " --url=%1 \"%1\"", url));
    // 4. the registered command found through the desktop's default handler
    const QString apps = m_dir.filePath(QStringLiteral("data/applications"));
    QDir().mkpath(apps);
    QDir().mkpath(m_dir.filePath(QStringLiteral("config")));
    QFile list(m_dir.filePath(QStringLiteral("config/mimeapps.list")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("[Default Applications]\nx-scheme-handler/http=recorder.desktop\n");
    list.close();
    QFile entry(apps + QStringLiteral("/recorder.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nExec=\"" + m_browser.toUtf8()
                + "\" --new-window %u\n");
    entry.close();
    CXdgDirs dirs;
    dirs.configHome = m_dir.filePath(QStringLiteral("config"));
    dirs.dataHome = m_dir.filePath(QStringLiteral("data"));
    std::string command;
    ASSERT_TRUE(GetDefaultBrowserCommand(command, dirs));
    settings.m_nBrowserChoice = CBrowserSettings::Default;
    settings.m_strDefaultBrowserCmd = command;
    CUrlOpener().OpenUrl(settings, url, true);

    auto runs = KivTest::WaitForRecorderRuns(m_log, 4);
    // Detached programs may finish in any order.
    std::sort(runs.begin(), runs.end());
    std::vector<Args> expected{
        {url}, {"-nohome", url}, {"--url=" + url, url}, {"--new-window", url}};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(runs, expected);
}

INSTANTIATE_TEST_SUITE_P(HostileUrls, RealLaunchTest,
                         ::testing::Values("http://example.com/?a=1&b=2",
                                           "http://x/a b\" --evil \"c",
                                           "http://x/;touch /tmp/kiv-pwned;$(id)`id`",
                                           "http://x/ -dash --and-more", "http://x/a\\\"b\\",
                                           "http://x/caf\xC3\xA9%20%1%%"));
