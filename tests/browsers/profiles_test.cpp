// Profile discovery in a home folder of the test's own: Firefox's profiles.ini in
// the native and Flatpak places, Chromium-family profile folders with the names
// their Local State gives, and the bookmark count the choice shows.
#include "BrowserFixtures.h"
#include "BrowsersTestSupport.h"

#include "browsers/BrowserProfiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace BrowserFixtures;
using FormatsTest::WriteAll;

namespace {

class Profiles : public ::testing::Test
{
protected:
    QString Make(const QString& relative, const QByteArray& bytes = {})
    {
        const QString path = m_home.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(WriteAll(path, bytes));
        return path;
    }
    void Places(const QString& relative, int bookmarks)
    {
        PlacesRoots roots;
        for (int k = 0; k < bookmarks; ++k)
            roots.toolbar.children.push_back(
                Bookmark("b" + std::to_string(k), "https://b" + std::to_string(k) + ".example/"));
        QDir().mkpath(m_home.filePath(relative));
        ASSERT_TRUE(WritePlaces(m_home.filePath(relative + "/places.sqlite"), roots));
    }
    void Chromium(const QString& relative, int bookmarks)
    {
        Node bar = Folder("", {});
        for (int k = 0; k < bookmarks; ++k)
            bar.children.push_back(Bookmark("c", "https://c" + std::to_string(k) + ".example/"));
        Make(relative + "/Bookmarks", ChromiumJson(bar, Folder("", {}), Folder("", {})));
    }
    std::string Listed(CBrowserProfile::Family family)
    {
        CProfileRoots roots{m_home.path(), m_home.filePath(".config")};
        std::string out;
        for (const CBrowserProfile& p : FindBrowserProfiles(family, roots)) {
            out += p.browser.toStdString() + "|" + p.name.toStdString() + "|"
                   + QDir(m_home.path()).relativeFilePath(p.dir).toStdString()
                   + (p.isDefault ? "|default" : "") + "|"
                   + std::to_string(CountProfileBookmarks(p)) + "\n";
        }
        return out;
    }

    QTemporaryDir m_home;
};

} // namespace

TEST_F(Profiles, FirefoxProfilesComeFromProfilesIniWithTheDefaultFirst)
{
    Make(".mozilla/firefox/profiles.ini",
         "[General]\nStartWithLastProfile=1\nVersion=2\n\n"
         "[Profile1]\nName=default\nIsRelative=1\nPath=xyz.default\nDefault=1\n\n"
         "[Profile0]\nName=default-release\nIsRelative=1\nPath=abcd.default-release\n\n"
         "[Profile2]\nName=Work, with a comma\nIsRelative=0\nPath="
             + m_home.filePath("elsewhere/work").toUtf8()
             + "\n\n[Profile3]\nName=never used\nIsRelative=1\nPath=empty.profile\n\n"
               "[Install4F96D1932A9F858E]\nDefault=abcd.default-release\nLocked=1\n");
    Places(".mozilla/firefox/xyz.default", 1);
    Places(".mozilla/firefox/abcd.default-release", 3);
    Places("elsewhere/work", 2);
    QDir().mkpath(m_home.filePath(".mozilla/firefox/empty.profile"));
    Make(".var/app/org.mozilla.firefox/.mozilla/firefox/profiles.ini",
         "[Profile0]\nName=flat\nIsRelative=1\nPath=p.flat\nDefault=1\n");
    Places(".var/app/org.mozilla.firefox/.mozilla/firefox/p.flat", 0);
    Make(".mozilla/firefox/broken/places.sqlite", "not a database");
    Make(".librewolf/profiles.ini", "[Profile0]\nName=lw\nPath=broken.lw\n");
    Make(".librewolf/broken.lw/places.sqlite", "not a database");

    EXPECT_EQ(
        Listed(CBrowserProfile::firefox),
        "Firefox|default-release|.mozilla/firefox/abcd.default-release|default|3\n"
        "Firefox|default|.mozilla/firefox/xyz.default|1\n"
        "Firefox|Work, with a comma|elsewhere/work|2\n"
        "Firefox (Flatpak)|flat|.var/app/org.mozilla.firefox/.mozilla/firefox/p.flat|default|0\n"
        "LibreWolf|lw|.librewolf/broken.lw|-1\n");
}

TEST_F(Profiles, ChromiumProfilesAreEveryFolderWithABookmarksFile)
{
    Make(
        ".config/google-chrome/Local State",
        R"({"profile":{"last_used":"Profile 1","info_cache":{"Default":{"name":"Person 1"},"Profile 1":{"name":"Work"}}}})");
    Chromium(".config/google-chrome/Default", 2);
    Chromium(".config/google-chrome/Profile 1", 1);
    Chromium(".config/google-chrome/System Profile", 5);
    QDir().mkpath(m_home.filePath(".config/google-chrome/Profile 2"));
    Chromium("snap/chromium/common/chromium/Default", 4);
    Chromium(".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser/Default", 1);
    Make(".config/microsoft-edge/Default/Bookmarks", "{\"roots\": 5}");

    EXPECT_EQ(Listed(CBrowserProfile::chromium),
              "Chromium (Snap)|Default|snap/chromium/common/chromium/Default|default|4\n"
              "Google Chrome|Work|.config/google-chrome/Profile 1|default|1\n"
              "Google Chrome|Person 1|.config/google-chrome/Default|2\n"
              "Brave "
              "(Flatpak)|Default|.var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser/"
              "Default|default|1\n"
              "Microsoft Edge|Default|.config/microsoft-edge/Default|default|-1\n");
}
