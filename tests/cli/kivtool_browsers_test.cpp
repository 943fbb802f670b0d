// kivtool's browser and XBEL commands, run as a real process with a home folder of
// the test's own.
#include "browsers/BrowserFixtures.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace BrowserFixtures;

namespace {

struct ToolRun
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

class KivToolBrowsers : public ::testing::Test
{
protected:
    ToolRun Tool(const QStringList& args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("HOME"), Path("home"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path("home/.config"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KIV_BIN_DIR "/kivtool"), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), p.readAllStandardError()};
    }
    QString Path(const QString& relative) const { return m_dir.filePath(relative); }
    void Write(const QString& relative, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(Path(relative)).path());
        QFile f(Path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QJsonValue Dump(const QString& doc)
    {
        return QJsonDocument::fromJson(Tool({"dump", doc}).out).object().value("root");
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(KivToolBrowsers, ProfilesAreListedAndTheDefaultOnesImported)
{
    Write("home/.mozilla/firefox/profiles.ini",
          "[Profile0]\nName=main\nPath=m.main\nDefault=1\n[Profile1]\nName=spare\nPath=s.spare\n");
    PlacesRoots roots;
    roots.menu.children.push_back(Bookmark("Fox", "https://fox.example/", "a description"));
    QDir().mkpath(Path("home/.mozilla/firefox/m.main"));
    QDir().mkpath(Path("home/.mozilla/firefox/s.spare"));
    ASSERT_TRUE(WritePlaces(Path("home/.mozilla/firefox/m.main/places.sqlite"), roots));
    ASSERT_TRUE(WritePlaces(Path("home/.mozilla/firefox/s.spare/places.sqlite"), PlacesRoots{}));
    Write("home/.config/BraveSoftware/Brave-Browser/Default/Bookmarks",
          ChromiumJson(Folder("", {Bookmark("Lion", "https://lion.example/")}), Folder("", {}),
                       Folder("", {})));

    const ToolRun list = Tool({"profiles"});
    ASSERT_EQ(list.status, 0) << list.err.toStdString();
    const QJsonArray profiles = QJsonDocument::fromJson(list.out).array();
    ASSERT_EQ(profiles.size(), 3) << list.out.toStdString();
    const auto row = [&](int k) {
        const QJsonObject o = profiles[k].toObject();
        return o["family"].toString() + "|" + o["browser"].toString() + "|" + o["name"].toString()
               + "|" + QDir(Path("home")).relativeFilePath(o["path"].toString()) + "|"
               + (o["default"].toBool() ? "default" : "") + "|"
               + QString::number(o["bookmarks"].toInt());
    };
    EXPECT_EQ(row(0), "firefox|Firefox|main|.mozilla/firefox/m.main|default|1");
    EXPECT_EQ(row(1), "firefox|Firefox|spare|.mozilla/firefox/s.spare||0");
    EXPECT_EQ(row(2),
              "chromium|Brave|Default|.config/BraveSoftware/Brave-Browser/Default|default|1");

    EXPECT_EQ(Tool({"import-firefox", Path("d.kiv")}).status, 0);
    EXPECT_EQ(Tool({"import-chromium", Path("d.kiv")}).status, 0);
    EXPECT_EQ(QJsonDocument(Dump(Path("d.kiv")).toObject()).toJson(QJsonDocument::Compact),
              R"({"bookmarks":[],"folders":[{"bookmarks":[1],"folders":[],"name":"Bookmarks bar"},)"
              R"({"bookmarks":[0],"folders":[],"name":"Bookmarks Menu"}]})");
}

TEST_F(KivToolBrowsers, XbelBothWaysAndTheExitStatusOfEveryFailure)
{
    Write(
        "a.xbel",
        "<?xml version=\"1.0\"?><!DOCTYPE xbel><xbel version=\"1.0\"><folder><title>Reading</title>"
        "<bookmark href=\"http://a.example/\"><title>A</title><desc>note</desc></bookmark>"
        "</folder></xbel>");
    ASSERT_EQ(Tool({"import-xbel", Path("d.kiv"), Path("a.xbel")}).status, 0);
    ASSERT_EQ(Tool({"export-xbel", Path("d.kiv"), Path("b.xbel")}).status, 0);
    ASSERT_EQ(Tool({"import-xbel", Path("e.kiv"), Path("b.xbel")}).status, 0);
    EXPECT_EQ(Tool({"dump", Path("e.kiv")}).out, Tool({"dump", Path("d.kiv")}).out);

    Write("bad.xbel", "<xbel><folder>");
    Write("Bookmarks", "{\"roots\":{\"other\":{\"children\":[{\"type\":\"url\",\"url\":5}]}}}");
    const QByteArray before = Tool({"dump", Path("d.kiv")}).out;
    const struct
    {
        QStringList args;
        int status;
        const char* message;
    } rows[] = {
        {{"import-xbel", Path("d.kiv"), Path("bad.xbel")}, 1, "Not an XBEL 1.0 bookmark file"},
        {{"import-chromium", Path("d.kiv"), Path("Bookmarks")}, 1, "Not a Chromium bookmark file"},
        {{"import-firefox", Path("d.kiv"), Path("a.xbel")}, 1, "Not a Firefox bookmark database"},
        {{"import-firefox", Path("d.kiv"), Path("missing")}, 2, "was not found"},
        {{"import-firefox", Path("d.kiv")}, 2, "No browser profile with bookmarks was found."},
        {{"import-chromium", Path("d.kiv")}, 2, "No browser profile with bookmarks was found."},
        {{"export-xbel", Path("missing.kiv"), Path("c.xbel")}, 2, "missing.kiv"},
        {{"import-xbel", Path("d.kiv")}, 2, "usage: kivtool"},
        {{"profiles", "extra"}, 2, "usage: kivtool"},
    };
    for (const auto& row : rows) {
        const ToolRun r = Tool(row.args);
        EXPECT_EQ(r.status, row.status) << row.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(row.message)) << r.err.toStdString();
    }
    EXPECT_EQ(Tool({"dump", Path("d.kiv")}).out, before);
}
