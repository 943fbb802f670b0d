// The program on a Linux desktop: its command line, the framework's own texts in the
// user's language, and printing through the desktop's handler of the print document.
#include "AppTestSupport.h"

#include "res/Commands.h"
#include "app/KivApp.h"
#include "app/ShellFileTypes.h"
#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QTranslator>

#include <functional>

#include <gtest/gtest.h>

using namespace KivAppTest;

namespace {

// Runs the event loop until the condition holds; false when it never did. The bound
// only stops a broken run, it decides nothing.
bool WaitFor(const std::function<bool()>& condition, int seconds = 60)
{
    for (int k = 0; k < seconds * 100; ++k) {
        if (condition())
            return true;
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return condition();
}

void WriteFile(const QString& path, const QByteArray& content, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(content);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

QString DocumentOwner()
{
    const QDBusReply<QString> owner = QDBusConnection::sessionBus().interface()->serviceOwner(
        QStringLiteral("org.halvane.Kiv.Document"));
    return owner.isValid() ? owner.value() : QString();
}

} // namespace

TEST(CommandLine, OnlyKnownFlagsAreFlagsEveryOtherArgumentIsAPath)
{
    AppEnv env;
    {
        // An absolute path with a single slash is a file, not a flag.
        CKivApp app;
        EXPECT_FALSE(app.InitInstance({QStringLiteral("/kiv-absent-sample.kiv")}));
        EXPECT_EQ(env.m_ui->MessageTexts(),
                  QStringList{QStringLiteral("/kiv-absent-sample.kiv was not found.")});
        EXPECT_FALSE(app.HasMainWindow());
    }
    env.m_ui->m_messages.clear();
    {
        // The framework's shell flags are flags in both forms; the file after them opens.
        const QString sample = env.WriteSample();
        CKivApp app;
        ASSERT_TRUE(app.InitInstance({QStringLiteral("/p"), QStringLiteral("-dde"), sample}));
        EXPECT_EQ(app.Document().GetPathName(), sample);
        EXPECT_FALSE(app.IsAutomationStart());
        EXPECT_TRUE(env.m_ui->m_messages.empty());
    }
    for (const char* flag : {"/Automation", "-embedding", "/EMBEDDING"}) {
        CKivApp app;
        ASSERT_TRUE(app.InitInstance({QString::fromLatin1(flag)})) << flag;
        EXPECT_TRUE(app.IsAutomationStart()) << flag;
        EXPECT_FALSE(app.HasMainWindow()) << flag;
    }
}

TEST(Translations, TheFrameworkSpeaksTheUsersLanguage)
{
    AppEnv env;
    for (const auto& [name, cancel] :
         {std::pair{"de_DE", "Abbrechen"}, std::pair{"fr_FR", "Annuler"},
          std::pair{"es_ES", "Cancelar"}}) {
        QTranslator* translator
            = CKivApp::InstallFrameworkTranslations(QLocale(QLatin1String(name)));
        ASSERT_NE(translator, nullptr) << name << ": is qt6-translations-l10n installed?";
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QLatin1String(cancel))
            << name;
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    // English needs none, and the texts stay as they are.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

TEST(ShellFileTypes, PrintDocumentTypeAndHandlerAreRegisteredForTheUser)
{
    QTemporaryDir home;
    const QString printer = QStringLiteral("/opt/kiv dir/kiv-print");
    const QStringList written
        = KivShellFileTypes::Register(home.path(), QStringLiteral("/opt/kiv dir/kiv"), printer);
    EXPECT_EQ(written.size(), 4);
    QFile entry(home.path() + QStringLiteral("/applications/kiv-print.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=\"/opt/kiv dir/kiv-print\" %f\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("MimeType=application/x-kiv-print;")));
    // The type's literal name outweighs shared-mime-info's "*.viv".
    EXPECT_TRUE(KivShellFileTypes::PrintMimeTypeXml().contains(
        QStringLiteral("<glob pattern=\"Zezivezu.viv\" weight=\"90\"/>")));
    EXPECT_TRUE(
        KivShellFileTypes::Register(home.path(), QStringLiteral("/opt/kiv dir/kiv"), printer)
            .isEmpty());
    if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()) {
        EXPECT_TRUE(QFileInfo::exists(home.path() + QStringLiteral("/mime/mime.cache")));
    }
}

// The whole chain: the print command opens the print document with the desktop's
// handler, found through the user's MIME database; the handler here is kiv-print
// writing a PDF. A second copy of the program owns the running document's name, yet
// the copy that printed has its own collection printed.
TEST(Print, CommandPrintsThisCopysCollectionThroughTheDesktopHandler)
{
    AppEnv env;
    if (QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty()
        && QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        GTEST_SKIP() << "neither gio nor xdg-open is installed";
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());

    // The user's handler of the print document: kiv-print, writing a PDF.
    const QString pdf = env.Path(QStringLiteral("printed.pdf"));
    const QString wrapper = env.Path(QStringLiteral("print-to-pdf"));
    WriteFile(wrapper,
              QStringLiteral("#!/bin/sh\n\"%1\" --pdf \"%2.part\" \"$@\" && mv \"%2.part\" \"%2\" "
                             "|| touch \"%2.failed\"\n")
                  .arg(QStringLiteral(KIV_BIN_DIR "/kiv-print"), pdf)
                  .toUtf8(),
              true);
    const QString applications = DataHome() + QStringLiteral("/applications");
    WriteFile(
        applications + QStringLiteral("/kiv-test-print-pdf.desktop"),
        QStringLiteral("[Desktop Entry]\nType=Application\nName=Print to PDF\nExec=\"%1\" %f\n"
                       "MimeType=application/x-kiv-print;\nNoDisplay=true\n")
            .arg(wrapper)
            .toUtf8());
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    WriteFile(config + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\napplication/x-kiv-print=kiv-test-print-pdf.desktop\n");

    // Another copy, with another collection, owns the document's name.
    CKivDoc otherDoc;
    otherDoc.OnNewDocument();
    otherDoc.AddBookmark("http://other.example", "other-copy-bookmark", "", &otherDoc.m_root,
                         false);
    const QString otherFile = env.Path(QStringLiteral("other.kiv"));
    ASSERT_TRUE(otherDoc.DoSave(otherFile));
    QProcess other;
    other.setProcessChannelMode(QProcess::ForwardedChannels);
    other.start(QStringLiteral(KIV_BIN_DIR "/kiv"), {otherFile});
    ASSERT_TRUE(other.waitForStarted());
    ASSERT_TRUE(WaitFor([] { return !DocumentOwner().isEmpty(); }))
        << "the other copy never registered";
    const QString otherOwner = DocumentOwner();

    {
        const QString sample = env.WriteSample();
        CKivApp app;
        ASSERT_TRUE(app.InitInstance({sample}));
        // The start wrote the print document's type and handler for the user.
        EXPECT_TRUE(QFileInfo::exists(DataHome()
                                      + QStringLiteral("/mime/packages/kiv-print-document.xml")));
        EXPECT_TRUE(QFileInfo::exists(applications + QStringLiteral("/kiv-print.desktop")));
        // The desktop finds the test's handler entry too.
        QProcess::execute(QStringLiteral("update-desktop-database"), {applications});
        ASSERT_FALSE(app.AutomationServer().UniqueBusName().isEmpty());
        EXPECT_NE(app.AutomationServer().UniqueBusName(), otherOwner);
        EXPECT_EQ(DocumentOwner(), otherOwner);

        EXPECT_TRUE(app.Router().Execute(ID_PRINT_WORD));
        // This process answers kiv-print's calls while it waits.
        ASSERT_TRUE(WaitFor([&] {
            return QFileInfo::exists(pdf) || QFileInfo::exists(pdf + QStringLiteral(".failed"))
                   || !env.m_ui->m_messages.empty();
        }));
        EXPECT_TRUE(env.m_ui->m_messages.empty())
            << env.m_ui->MessageTexts().join('\n').toStdString();
        ASSERT_TRUE(QFileInfo::exists(pdf));
    }
    other.terminate();
    other.waitForFinished();

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished());
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QStringLiteral("root-one"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Noticias"))) << printed.toStdString();
    EXPECT_FALSE(printed.contains(QStringLiteral("other-copy-bookmark"))) << printed.toStdString();
    QFile::remove(config + QStringLiteral("/mimeapps.list"));
    QFile::remove(applications + QStringLiteral("/kiv-test-print-pdf.desktop"));
}

TEST(Print, APrintThatCannotBeStartedIsReported)
{
    AppEnv env;
    CKivApp app;
    ASSERT_TRUE(app.InitInstance({env.WriteSample()}));
    // A desktop without any opener.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", env.Path(QStringLiteral("nothing-here")).toLocal8Bit());
    EXPECT_TRUE(app.Router().Execute(ID_PRINT_WORD));
    qputenv("PATH", path);
    ASSERT_TRUE(WaitFor([&] { return !env.m_ui->m_messages.empty(); }));
    EXPECT_EQ(env.m_ui->MessageTexts(),
              QStringList{
                  QStringLiteral("Printing could not be started: no program of the desktop opens ")
                  + app.m_strPrintDocPath + QLatin1Char('.')});
    EXPECT_EQ(env.m_ui->m_messages.front().icon, CUi::MB_ICONWARNING);
}
