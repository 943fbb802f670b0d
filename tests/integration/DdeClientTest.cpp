#include "integration/DdeClient.h"
#include "IntegrationFixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using KivTest::DdeRecord;
using KivTest::FakeDdeServer;
using KivTest::ReadDdeLog;

namespace {

constexpr const char* kTopic = "WWW_OpenURL";
// Long enough for a busy machine to answer, short enough for a server that never does.
constexpr uint32_t kShortTimeout = 1000;

// Runs the DDE client against fake servers and records what the user would see.
class DdeClientTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previousSink
            = CDdeClient::SetMessageSink([this](const QString& text, const QString& caption) {
                  m_shown.push_back((caption + u'|' + text).toStdString());
              });
    }
    void TearDown() override { CDdeClient::SetMessageSink(m_previousSink); }

    QString LogPath() const { return m_dir.filePath(QStringLiteral("dde.log")); }
    std::unique_ptr<FakeDdeServer> Server(const std::string& service, const std::string& mode)
    {
        auto server = std::make_unique<FakeDdeServer>(service, mode, LogPath());
        EXPECT_TRUE(server->IsReady());
        return server;
    }
    std::vector<DdeRecord> Log() const { return ReadDdeLog(LogPath()); }

    QTemporaryDir m_dir;
    CDdeClient::MessageSink m_previousSink;
    std::vector<std::string> m_shown;
};

} // namespace

// --- texts and settings -------------------------------------------------------------

struct ErrorTextCase
{
    uint32_t code;
    const char* text;
};

void PrintTo(const ErrorTextCase& c, std::ostream* os)
{
    *os << std::hex << c.code;
}

class DdeErrorTextTest : public ::testing::TestWithParam<ErrorTextCase>
{
};

TEST_P(DdeErrorTextTest, FrenchTextsOrCodeTwice)
{
    EXPECT_EQ(CDdeClient::ErrorText(GetParam().code).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Codes, DdeErrorTextTest,
                         ::testing::Values(ErrorTextCase{0x4006, "Param\xC3\xA8tres invalides"},
                                           ErrorTextCase{0x400A, "Conversation impossible"},
                                           ErrorTextCase{0x400E, "Serveur mort"},
                                           ErrorTextCase{0x4001, "n 16385 4001"},
                                           ErrorTextCase{0x4005, "n 16389 4005"},
                                           ErrorTextCase{0x4002, "n 16386 4002"}));

TEST(DdeClientNames, ServiceBecomesAValidBusName)
{
    EXPECT_EQ(CDdeClient::BusNameForService("iexplore"),
              QStringLiteral("org.halvane.Dde.iexplore"));
    EXPECT_EQ(CDdeClient::BusNameForService("My App-2.0"),
              QStringLiteral("org.halvane.Dde.My_App_2_0"));
    EXPECT_EQ(CDdeClient::BusNameForService("3com"), QStringLiteral("org.halvane.Dde._3com"));
}

TEST_F(DdeClientTest, TimeoutIs60000UntilSetAndZeroMeansAsynchronous)
{
    CDdeClient dde("absent", kTopic, true);
    EXPECT_EQ(dde.Timeout(), 60000u);
    dde.SetTimeout(5000);
    EXPECT_EQ(dde.Timeout(), 5000u);
    dde.SetTimeout(0);
    EXPECT_EQ(dde.Timeout(), 0xFFFFFFFFu);
    dde.Close();
}

// --- connecting ---------------------------------------------------------------------

struct ConnectCase
{
    const char* name;
    const char* mode; // nullptr: no server at all
    bool quiet;
    bool connected;
    std::vector<std::string> shown;
};

void PrintTo(const ConnectCase& c, std::ostream* os)
{
    *os << c.name;
}

class DdeConnectTest : public DdeClientTest, public ::testing::WithParamInterface<ConnectCase>
{
};

TEST_P(DdeConnectTest, ConversationAndMessages)
{
    const ConnectCase& c = GetParam();
    std::unique_ptr<FakeDdeServer> server;
    if (c.mode)
        server = Server("Browser", c.mode);
    {
        // Only the server that never answers gets a short time-out.
        const bool hangs = c.mode && std::string_view(c.mode) == "hangconnect";
        CDdeClient dde("Browser", kTopic, c.quiet, hangs ? 500 : CDdeClient::kDefaultTimeout);
        EXPECT_EQ(dde.IsConnected(), c.connected);
        EXPECT_NE(dde.Instance(), 0u);
        EXPECT_TRUE(dde.ReportError().isEmpty()); // a failed connect already reported
        dde.Close();
        dde.Close();
    }
    EXPECT_EQ(m_shown, c.shown);
    if (c.mode) {
        EXPECT_EQ(Log(), (std::vector<DdeRecord>{{"Browser", "connect", kTopic, "", ""}}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Servers, DdeConnectTest,
    ::testing::Values(
        ConnectCase{"Absent", nullptr, false, false, {"DDE Msg|Conversation impossible"}},
        ConnectCase{"AbsentQuiet", nullptr, true, false, {}},
        ConnectCase{"Refusing", "refuse", false, false, {"DDE Msg|Conversation impossible"}},
        ConnectCase{"RefusingQuiet", "refuse", true, false, {}},
        ConnectCase{
            "HangingOnConnect", "hangconnect", false, false, {"DDE Msg|Conversation impossible"}},
        ConnectCase{"Accepting", "accept", false, true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DdeClientTest, InvalidNamesAreInvalidParameters)
{
    CDdeClient emptyService("", kTopic, false);
    CDdeClient emptyTopic("Browser", "", false);
    CDdeClient tooLong(std::string(300, 's'), kTopic, false);
    EXPECT_FALSE(emptyService.IsConnected() || emptyTopic.IsConnected() || tooLong.IsConnected());
    EXPECT_EQ(m_shown, std::vector<std::string>(3, "DDE Msg|Param\xC3\xA8tres invalides"));
}

TEST_F(DdeClientTest, ConnectingAgainKeepsTheInstance)
{
    const auto first = Server("First", "accept");
    const auto second = Server("Second", "accept");
    CDdeClient dde("First", kTopic, true);
    const uint32_t instance = dde.Instance();
    dde.Connect("Nobody", kTopic);
    EXPECT_FALSE(dde.IsConnected());
    EXPECT_EQ(dde.ReportError(), QString()); // reported (quietly) by Connect itself
    dde.Connect("Second", "Other");
    EXPECT_TRUE(dde.IsConnected());
    EXPECT_EQ(dde.Instance(), instance);
    EXPECT_TRUE(dde.Execute("x"));
    dde.Close();
    EXPECT_EQ(dde.Instance(), 0u);
    const auto log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2], (DdeRecord{"Second", "execute", "Other", "", std::string("x\0", 2)}));
}

TEST(DdeClientWithoutBus, CloseAfterFailedInitialisationIsHarmless)
{
    EXPECT_EXIT(
        {
            // A bus that cannot be reached: the DDE instance cannot start.
            qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kiv-test-bus");
            int shown = 0;
            CDdeClient::SetMessageSink([&](const QString&, const QString&) { ++shown; });
            CDdeClient dde("Browser", kTopic, false);
            const bool sane = !dde.IsConnected() && dde.Instance() == 0
                              && dde.ReportError().isEmpty() && !dde.Execute("x")
                              && !dde.Request("x");
            dde.Close();
            dde.Close();
            std::exit(sane && shown == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// --- transactions -------------------------------------------------------------------

TEST_F(DdeClientTest, ExecuteSendsTheTerminatingZero)
{
    const auto server = Server("Browser", "accept");
    CDdeClient dde("Browser", kTopic, false);
    ASSERT_TRUE(dde.IsConnected());
    const std::string command = "http://x/a \"b\",c";
    EXPECT_TRUE(dde.Execute(command));
    dde.Close();
    const auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].data, command + '\0');
    EXPECT_TRUE(m_shown.empty());
}

TEST_F(DdeClientTest, RequestCopiesTheReplyUpToItsZero)
{
    const auto server = Server("Browser", "accept");
    CDdeClient dde("Browser", kTopic, false);
    std::string reply = "stale";
    EXPECT_TRUE(dde.Request("item,,0x1", &reply));
    EXPECT_EQ(reply, "ok:item,,0x1");
    EXPECT_TRUE(dde.Request("again"));
    dde.Close();
    const auto log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], (DdeRecord{"Browser", "request", kTopic, "item,,0x1", ""}));
}

TEST_F(DdeClientTest, NotConnectedTransactionsFailWithoutSending)
{
    const auto server = Server("Browser", "refuse");
    CDdeClient dde("Browser", kTopic, true);
    EXPECT_FALSE(dde.Execute("x"));
    EXPECT_FALSE(dde.Request("x"));
    dde.Close();
    EXPECT_EQ(Log().size(), 1u);
}

struct TransactionCase
{
    const char* name;
    const char* mode;
    const char* executeText; // shown by a failed Execute
    const char* requestText; // left for ReportError by a failed Request
};

void PrintTo(const TransactionCase& c, std::ostream* os)
{
    *os << c.name;
}

class DdeTransactionFailureTest : public DdeClientTest,
                                  public ::testing::WithParamInterface<TransactionCase>
{
};

TEST_P(DdeTransactionFailureTest, ExecuteReportsRequestKeepsTheError)
{
    const TransactionCase& c = GetParam();
    {
        const auto server = Server("Browser", c.mode);
        CDdeClient dde("Browser", kTopic, false);
        ASSERT_TRUE(dde.IsConnected());
        dde.SetTimeout(kShortTimeout);
        EXPECT_FALSE(dde.Request("item"));
        EXPECT_TRUE(m_shown.empty()); // a failed request is not reported
        EXPECT_EQ(dde.ReportError().toStdString(), c.requestText);
        EXPECT_EQ(dde.ReportError(), QString()); // reading the error cleared it
        m_shown.clear();
        dde.Close();
    }
    {
        const auto server = Server("Browser", c.mode);
        CDdeClient dde("Browser", kTopic, false);
        ASSERT_TRUE(dde.IsConnected());
        dde.SetTimeout(kShortTimeout);
        EXPECT_FALSE(dde.Execute("http://x/"));
        EXPECT_EQ(m_shown, std::vector<std::string>{std::string("DDE Msg|") + c.executeText});
        dde.Close();
    }
    {
        // The same failure on a quiet client shows nothing.
        const auto server = Server("Browser", c.mode);
        m_shown.clear();
        CDdeClient dde("Browser", kTopic, true);
        dde.SetTimeout(kShortTimeout);
        EXPECT_FALSE(dde.Execute("http://x/"));
        dde.Close();
        EXPECT_TRUE(m_shown.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Servers, DdeTransactionFailureTest,
    ::testing::Values(TransactionCase{"Refusing", "reject", "n 16393 4009", "n 16393 4009"},
                      TransactionCase{"Hanging", "hang", "n 16389 4005", "n 16386 4002"},
                      TransactionCase{"DyingMidCall", "die", "Serveur mort", "Serveur mort"},
                      TransactionCase{"BadArguments", "badargs", "Param\xC3\xA8tres invalides",
                                      "Param\xC3\xA8tres invalides"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DdeClientTest, ConversationEndsWithItsServerEvenWhenTheNameIsTakenAgain)
{
    auto first = Server("Browser", "accept");
    CDdeClient dde("Browser", kTopic, false);
    ASSERT_TRUE(dde.IsConnected());
    first->Stop();
    const auto second = Server("Browser", "accept");
    EXPECT_FALSE(dde.Execute("http://x/"));
    EXPECT_FALSE(dde.Request("item"));
    EXPECT_EQ(dde.ReportError(), QStringLiteral("Serveur mort"));
    dde.Close();
    // Once by the failed execute, once by the caller reading the request's error.
    EXPECT_EQ(m_shown, std::vector<std::string>(2, "DDE Msg|Serveur mort"));
    // The newcomer saw nothing of the old conversation.
    EXPECT_EQ(Log().size(), 1u);
}

TEST_F(DdeClientTest, AsynchronousTimeoutDoesNotWait)
{
    const auto server = Server("Browser", "hang");
    CDdeClient dde("Browser", kTopic, false);
    dde.SetTimeout(0);
    // Against a server that never answers, both return at once.
    EXPECT_TRUE(dde.Execute("http://x/"));
    EXPECT_FALSE(dde.Request("item"));
    dde.Close();
    EXPECT_TRUE(m_shown.empty());
}

TEST_F(DdeClientTest, WithoutASinkErrorsOnlyGoToTheLog)
{
    CDdeClient::SetMessageSink({});
    CDdeClient dde("absent", kTopic, false);
    EXPECT_FALSE(dde.IsConnected());
    dde.Close();
    EXPECT_TRUE(m_shown.empty());
}
