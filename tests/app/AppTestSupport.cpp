#include "AppTestSupport.h"

#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <QApplication>
#include <QSettings>

#include <cstdlib>

namespace KivAppTest {

namespace {
QTemporaryDir& ConfigDir()
{
    static QTemporaryDir dir;
    return dir;
}
QTemporaryDir& DataDir()
{
    static QTemporaryDir dir;
    return dir;
}
}  // namespace

void EnsureQtApp()
{
    // Never destroyed: tearing Qt down among the other static objects at exit crashes.
    static QApplication* app = nullptr;
    if (app)
        return;
    qputenv("XDG_CONFIG_HOME", ConfigDir().path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", DataDir().path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kiv_app_test";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
}

QString DataHome() { return DataDir().path(); }

AppEnv::AppEnv()
{
    EnsureQtApp();
    QSettings settings(QStringLiteral("halvane"), QStringLiteral("Kiv"));
    settings.clear();
    settings.sync();
    KivStrings::SetLanguage(KivStrings::Lang1033);
    m_ui = std::make_unique<CScriptedUi>();
}

AppEnv::~AppEnv() { KivStrings::ResetLanguage(); }

QString AppEnv::WriteSample(const QString& name) const
{
    CKivDoc doc;
    doc.OnNewDocument();
    CFolderNode* news = doc.CreateFolder(&doc.m_root, "Noticias", false);
    CFolderNode* tools = doc.CreateFolder(&doc.m_root, "Herramientas", false);
    doc.AddBookmark("http://root.example", "root-one", "", &doc.m_root, false);
    doc.AddBookmark("http://root2.example", "root-two", "", &doc.m_root, false);
    doc.AddBookmark("http://news.example", "news", "", news, false);
    doc.AddBookmark("http://tool.example", "tool", "", tools, false);
    const QString path = m_dir.filePath(name);
    if (!doc.DoSave(path))
        std::abort();
    return path;
}

void SetSetting(const QString& key, const QVariant& value)
{
    QSettings settings(QStringLiteral("halvane"), QStringLiteral("Kiv"));
    settings.setValue(key, value);
    settings.sync();
}

QVariant Setting(const QString& key)
{
    QSettings settings(QStringLiteral("halvane"), QStringLiteral("Kiv"));
    return settings.value(key);
}

}  // namespace KivAppTest
