#include "integration/XdgBrowser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// --- desktop entry Exec values as command templates ------------------------------------

struct ExecCase
{
    const char* exec;
    const char* command;
};

void PrintTo(const ExecCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(c.exec);
}

class ExecTemplateTest : public ::testing::TestWithParam<ExecCase>
{
};

TEST_P(ExecTemplateTest, FieldCodesAndQuoting)
{
    EXPECT_EQ(KivXdg::ExecToCommandTemplate(GetParam().exec), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ExecTemplateTest,
    ::testing::Values(ExecCase{"firefox %u", "firefox %1"}, ExecCase{"b %U", "b %1"},
                      ExecCase{"b %f --x %F", "b %1 --x %1"},
                      ExecCase{R"("/opt/My Browser/b" --new-window %u)",
                               R"("/opt/My Browser/b" --new-window %1)"},
                      ExecCase{"b %i --name %c %k %d %D %n %N %v %m", "b --name"},
                      ExecCase{"b --pct=100%% %u", "b --pct=100%% %1"},
                      ExecCase{"b --pct=100%%", "b --pct=100%"},
                      ExecCase{"b --url=%u", "b --url=%1"},
                      ExecCase{R"(b "a \"q\" \$x \`y\` \\z" "")", R"(b "a \"q\" $x `y` \z" "")"},
                      ExecCase{"b", "b"}, ExecCase{"", ""}, ExecCase{"  %u", ""},
                      ExecCase{"%i", ""}));

// --- the registered browser from a fake XDG tree ------------------------------------

namespace {

class XdgLookupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_dirs.configHome = Path("home/config");
        m_dirs.configDirs = {Path("etc/xdg"), Path("etc/xdg2")};
        m_dirs.dataHome = Path("home/data");
        m_dirs.dataDirs = {Path("usr/local/share"), Path("usr/share")};
    }

    QString Path(const char* relative) const { return m_dir.filePath(QString::fromUtf8(relative)); }
    void Write(const QString& path, const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    void Defaults(const QString& folder, const QByteArray& lines,
                  const char* name = "mimeapps.list")
    {
        Write(folder + u'/' + QString::fromUtf8(name),
              "# defaults\n[Added Associations]\nx-scheme-handler/http=added.desktop;\n"
              "[Default Applications]\n"
                  + lines + "\n");
    }
    void Entry(const QString& dataDir, const char* id, const QByteArray& exec,
               const QByteArray& extra = {})
    {
        Write(dataDir + QStringLiteral("/applications/") + QString::fromUtf8(id),
              "[Desktop Action x]\nExec=wrong\n[Desktop Entry]\nType=Application\nName=B\n"
              "Exec="
                  + exec + "\n" + extra);
    }
    std::string Lookup() const
    {
        std::string command = "stale";
        const bool found = GetDefaultBrowserCommand(command, m_dirs);
        EXPECT_EQ(found, !command.empty());
        return command;
    }

    QTemporaryDir m_dir;
    CXdgDirs m_dirs;
};

} // namespace

TEST_F(XdgLookupTest, NothingRegisteredGivesAnEmptyCommand)
{
    EXPECT_EQ(Lookup(), "");
    Entry(m_dirs.dataHome, "added.desktop", "added %u");
    EXPECT_EQ(Lookup(), ""); // an added association is no default
}

TEST_F(XdgLookupTest, UserConfigurationComesFirst)
{
    Entry(m_dirs.dataDirs[1], "system.desktop", "system %u");
    Entry(m_dirs.dataHome, "mine.desktop", "mine --x %u");
    Defaults(m_dirs.dataDirs[1] + QStringLiteral("/applications"),
             "x-scheme-handler/http=system.desktop");
    EXPECT_EQ(Lookup(), "system %1");
    Defaults(m_dirs.configDirs[1], "x-scheme-handler/http=mine.desktop");
    EXPECT_EQ(Lookup(), "mine --x %1");
    Defaults(m_dirs.configHome, "x-scheme-handler/http=system.desktop;");
    EXPECT_EQ(Lookup(), "system %1");
}

TEST_F(XdgLookupTest, DesktopSpecificListWins)
{
    Entry(m_dirs.dataHome, "a.desktop", "a %u");
    Entry(m_dirs.dataHome, "b.desktop", "b %u");
    Defaults(m_dirs.configHome, "x-scheme-handler/http=a.desktop");
    Defaults(m_dirs.configHome, "x-scheme-handler/http=b.desktop", "kde-mimeapps.list");
    EXPECT_EQ(Lookup(), "a %1");
    m_dirs.desktops = {QStringLiteral("kde")};
    EXPECT_EQ(Lookup(), "b %1");
}

TEST_F(XdgLookupTest, UninstalledHiddenOrUnusableEntriesAreSkipped)
{
    Entry(m_dirs.dataHome, "hidden.desktop", "hidden %u", "Hidden=true\n");
    Entry(m_dirs.dataHome, "noexec.desktop", "");
    Entry(m_dirs.dataDirs[0], "good.desktop", "good %u");
    Entry(m_dirs.dataDirs[0], "later.desktop", "later %u");
    Defaults(m_dirs.configHome,
             "x-scheme-handler/http=missing.desktop;hidden.desktop;noexec.desktop;good.desktop;");
    Defaults(m_dirs.configDirs[0], "x-scheme-handler/http=later.desktop");
    EXPECT_EQ(Lookup(), "good %1");
}

TEST_F(XdgLookupTest, HtmlHandlerWhenNoSchemeHandler)
{
    Entry(m_dirs.dataHome, "html.desktop", "html %f");
    Entry(m_dirs.dataHome, "web.desktop", "web %u");
    Defaults(m_dirs.configHome, "text/html=html.desktop\nx-scheme-handler/https=web.desktop");
    EXPECT_EQ(Lookup(), "html %1");
    Defaults(m_dirs.dataHome + QStringLiteral("/applications"),
             "x-scheme-handler/http=web.desktop");
    EXPECT_EQ(Lookup(), "web %1"); // any scheme handler beats any page handler
}

TEST_F(XdgLookupTest, VendorPrefixedIdsAndLegacyList)
{
    Write(m_dirs.dataDirs[1] + QStringLiteral("/applications/vendor/browser.desktop"),
          "[Desktop Entry]\nExec=\"/opt/vendor browser/run\" %U\n");
    Defaults(m_dirs.dataDirs[1] + QStringLiteral("/applications"),
             "x-scheme-handler/http=vendor-browser.desktop", "defaults.list");
    EXPECT_EQ(Lookup(), "\"/opt/vendor browser/run\" %1");
    EXPECT_EQ(KivXdg::DefaultHandlerEntry(m_dirs, QStringLiteral("x-scheme-handler/http")),
              m_dirs.dataDirs[1] + QStringLiteral("/applications/vendor/browser.desktop"));
}

TEST_F(XdgLookupTest, ValueEscapesAreUndone)
{
    Entry(m_dirs.dataHome, "esc.desktop", R"("/opt/a\sb/run" --x\s%u)");
    Defaults(m_dirs.configHome, "x-scheme-handler/http=esc.desktop");
    EXPECT_EQ(Lookup(), R"("/opt/a b/run" --x %1)");
}

TEST(XdgDirs, EnvironmentWithStandardDefaults)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), QStringLiteral("/home/u"));
    CXdgDirs dirs = CXdgDirs::FromEnvironment(env);
    EXPECT_EQ(dirs.configHome, QStringLiteral("/home/u/.config"));
    EXPECT_EQ(dirs.configDirs, QStringList{QStringLiteral("/etc/xdg")});
    EXPECT_EQ(dirs.dataHome, QStringLiteral("/home/u/.local/share"));
    EXPECT_EQ(dirs.dataDirs,
              (QStringList{QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")}));
    EXPECT_TRUE(dirs.desktops.isEmpty());

    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("/c/home/"));
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral("/c/1:relative:/c/2"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("relative/data"));
    env.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/d/1::/d/2/"));
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("ubuntu:GNOME"));
    dirs = CXdgDirs::FromEnvironment(env);
    EXPECT_EQ(dirs.configHome, QStringLiteral("/c/home"));
    EXPECT_EQ(dirs.configDirs, (QStringList{QStringLiteral("/c/1"), QStringLiteral("/c/2")}));
    EXPECT_EQ(dirs.dataHome, QStringLiteral("/home/u/.local/share")); // relative: ignored
    EXPECT_EQ(dirs.dataDirs, (QStringList{QStringLiteral("/d/1"), QStringLiteral("/d/2")}));
    EXPECT_EQ(dirs.desktops, (QStringList{QStringLiteral("ubuntu"), QStringLiteral("gnome")}));
}
