#include "tidy/UrlKey.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct KeyRow
{
    const char* a;
    const char* b;
    bool same;
    UrlKeyOptions options;
};

class UrlKeyTest : public ::testing::TestWithParam<KeyRow>
{
};

TEST_P(UrlKeyTest, TellsOnePageFromAnother)
{
    const KeyRow& row = GetParam();
    const std::string a = UrlKey(row.a, row.options), b = UrlKey(row.b, row.options);
    if (row.same)
        EXPECT_EQ(a, b) << row.a << " / " << row.b;
    else
        EXPECT_NE(a, b) << row.a << " / " << row.b;
}

constexpr UrlKeyOptions kLoose{};
constexpr UrlKeyOptions kStrictScheme{false, true};
constexpr UrlKeyOptions kStrictWww{true, false};

INSTANTIATE_TEST_SUITE_P(
    Rows, UrlKeyTest,
    ::testing::Values(
        KeyRow{"http://x.org", "https://x.org/", true, kLoose},
        KeyRow{"http://x.org", "https://www.x.org/#top", true, kLoose},
        KeyRow{"http://x.org", "https://x.org/?utm_source=feed", true, kLoose},
        KeyRow{"HTTP://X.ORG:80/a", "http://x.org/a", true, kLoose},
        KeyRow{"https://x.org:443/a", "https://x.org/a", true, kStrictScheme},
        KeyRow{"http://x.org/a?utm_medium=x&id=3&fbclid=abc&gclid=1&mc_eid=9",
               "http://x.org/a?id=3", true, kLoose},
        KeyRow{"http://x.org/%7euser/a%2fb", "http://x.org/~user/a%2Fb", true, kLoose},
        KeyRow{"http://bücher.example/é", "http://xn--bcher-kva.example/%C3%A9", true, kLoose},
        KeyRow{"http://x.org./", "http://x.org/", true, kLoose},
        // What changes the page stays.
        KeyRow{"http://x.org/A", "http://x.org/a", false, kLoose},
        KeyRow{"http://x.org/a?id=3", "http://x.org/a?id=4", false, kLoose},
        KeyRow{"http://x.org/a?utm=1", "http://x.org/a", false, kLoose},
        KeyRow{"http://x.org:8080/", "http://x.org/", false, kLoose},
        KeyRow{"http://x.org/%2F", "http://x.org//", false, kLoose},
        KeyRow{"http://x.org/", "https://x.org/", false, kStrictScheme},
        KeyRow{"http://www.x.org/", "http://x.org/", false, kStrictWww},
        KeyRow{"https://x.org:80/", "https://x.org/", false, kStrictScheme},
        KeyRow{"ftp://x.org/", "http://x.org/", false, kLoose},
        // A route fragment is another page of a web application.
        KeyRow{"https://mail.x.org/#/inbox", "https://mail.x.org/#/settings", false, kLoose},
        KeyRow{"https://x.org/#!/a", "https://x.org/", false, kLoose},
        KeyRow{"https://x.org/?utm_source=a#/a", "http://x.org/#/a", true, kLoose},
        KeyRow{"mailto:a@x.org", "mailto:a@x.org#z", true, kLoose}));

TEST(UrlKey, TrackingParametersAreListedInOnePlace)
{
    for (const char* name : {"utm_source", "utm_campaign", "fbclid", "gclid", "mc_eid", "msclkid"})
        EXPECT_TRUE(IsTrackingParameter(name)) << name;
    for (const char* name : {"utm_", "id", "q", "page", "fbclid2"})
        EXPECT_FALSE(IsTrackingParameter(name)) << name;
    // Only tracking parameters: no "?" left over.
    EXPECT_EQ(UrlKey("https://X.org?utm_source=a&fbclid=b#frag"), "http://x.org/");
}

} // namespace
