#include "tidy/LinkChecker.h"
#include "LoopbackHttpServer.h"
#include "tidy/LinkCache.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>

namespace {

// Runs a check to its end (or until stop says so) and returns the results by URL.
std::map<QString, CLinkResult> RunCheck(CLinkChecker& checker, const QStringList& urls,
                                        const std::function<bool(int)>& stop = nullptr)
{
    std::map<QString, CLinkResult> results;
    QEventLoop loop;
    QObject::connect(&checker, &CLinkChecker::resultReady, &loop, [&](const CLinkResult& r) {
        results[r.url] = r;
        if (stop && stop(int(results.size())))
            checker.Cancel();
    });
    QObject::connect(&checker, &CLinkChecker::finished, &loop, &QEventLoop::quit);
    // A check that never ends fails the test rather than hanging it.
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    checker.Start(urls);
    if (checker.IsRunning())
        loop.exec();
    return results;
}

class LinkCheckerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // 127.0.0.11 and .12 answer, .13 accepts and never answers, .14 refuses.
        ASSERT_TRUE(servers.Listen(11, 2));
        ASSERT_TRUE(servers.Listen(13, 1, 0, true));
        ASSERT_TRUE(cache.Open(dir.filePath(QStringLiteral("links.sqlite"))));
    }

    QTemporaryDir dir;
    CLoopbackHttpServers servers;
    CLinkCache cache;
};

TEST_F(LinkCheckerTest, EveryKindOfAnswerGetsItsStatus)
{
    struct Expect
    {
        QString url;
        LinkStatus status;
        int http;
        QString final;
        bool permanent;
    };
    const QString ok = servers.Url(11, "/ok");
    const std::vector<Expect> expected = {
        {ok, LinkStatus::Ok, 200, {}, false},
        {servers.Url(11, "/moved"), LinkStatus::Redirected, 200, ok, true},
        {servers.Url(11, "/found"), LinkStatus::Redirected, 200, ok, false},
        {servers.Url(11, "/perm"), LinkStatus::Redirected, 200, ok, true},
        {servers.Url(11, "/away"), LinkStatus::Redirected, 200, servers.Url(12, "/ok"), true},
        {servers.Url(11, "/gone"), LinkStatus::Gone, 404, {}, false},
        {servers.Url(11, "/gone410"), LinkStatus::Gone, 410, {}, false},
        {servers.Url(11, "/error"), LinkStatus::ServerError, 500, {}, false},
        {servers.Url(11, "/nohead"), LinkStatus::Ok, 200, {}, false},
        {servers.Url(11, "/slow"), LinkStatus::Timeout, 0, {}, false},
        {servers.Url(11, "/reset"), LinkStatus::NetworkError, 0, {}, false},
        {servers.Url(11, "/garbage"), LinkStatus::NetworkError, 0, {}, false},
        {servers.Url(11, "/loop1"), LinkStatus::RedirectLoop, 302, {}, false},
        {servers.Url(13, "/ok"), LinkStatus::Timeout, 0, {}, false},
        {servers.Url(14, "/ok"), LinkStatus::Refused, 0, {}, false},
        {QString(servers.Url(12, "/ok")).replace(QStringLiteral("http:"), QStringLiteral("https:")),
         LinkStatus::TlsError,
         0,
         {},
         false},
        {QStringLiteral("ftp://127.0.0.11/file"), LinkStatus::NotChecked, 0, {}, false},
        {QStringLiteral("javascript:alert(1)"), LinkStatus::NotChecked, 0, {}, false},
    };
    QStringList urls;
    for (const Expect& e : expected)
        urls << e.url;
    urls << ok; // asked twice, checked once

    CLinkChecker checker;
    CLinkChecker::Options options;
    options.timeoutMs = 1500;
    options.perHost = 2;
    checker.SetOptions(options);
    const std::map<QString, CLinkResult> results = RunCheck(checker, urls);
    ASSERT_EQ(results.size(), expected.size());
    EXPECT_EQ(checker.Done(), int(expected.size()));
    EXPECT_LE(checker.PeakPerHost(), 2);
    for (const Expect& e : expected) {
        const CLinkResult& r = results.at(e.url);
        EXPECT_EQ(LinkStatusId(r.status), LinkStatusId(e.status)) << e.url.toStdString();
        EXPECT_EQ(r.httpStatus, e.http) << e.url.toStdString();
        if (e.status == LinkStatus::Redirected) {
            EXPECT_EQ(r.finalUrl, e.final) << e.url.toStdString();
            EXPECT_EQ(r.permanent, e.permanent) << e.url.toStdString();
        }
    }
    // Nothing was requested of the hosts for the links that are not http.
    EXPECT_LE(servers.PeakConnections(), 2);
}

TEST_F(LinkCheckerTest, FreshResultsAreNotAskedAgainAndAnInterruptedCheckResumes)
{
    QStringList urls;
    for (int k = 0; k < 12; ++k)
        urls << servers.Url(11, "/ok") + QStringLiteral("?n=%1").arg(k);
    CLinkChecker checker;
    CLinkChecker::Options options;
    options.perHost = 1;
    checker.SetOptions(options);
    checker.SetCache(&cache);

    // Stopped after five answers: those five are kept.
    const auto first = RunCheck(checker, urls, [](int seen) { return seen == 5; });
    EXPECT_EQ(first.size(), 5u);
    const int asked = servers.Requests();

    const auto second = RunCheck(checker, urls);
    ASSERT_EQ(second.size(), 12u);
    int cached = 0;
    for (const auto& [url, r] : second) {
        EXPECT_EQ(r.status, LinkStatus::Ok) << url.toStdString();
        cached += r.fromCache ? 1 : 0;
    }
    EXPECT_EQ(cached, 5);
    EXPECT_EQ(servers.Requests() - asked, 7);

    // A maximum age of 0 checks everything again.
    options.maxAgeDays = 0;
    checker.SetOptions(options);
    const auto third = RunCheck(checker, urls);
    for (const auto& [url, r] : third)
        EXPECT_FALSE(r.fromCache) << url.toStdString();
    EXPECT_EQ(servers.Requests() - asked, 19);
}

} // namespace
