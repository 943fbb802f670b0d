#include "ViewTestApp.h"

#include "framework/Profile.h"
#include "res/Strings.h"
#include "model/KivDoc.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include <QApplication>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace KivTest {

namespace {

// Qt must go away inside main, so the test environment owns it and ends it after
// the last test.
class AppEnvironment : public ::testing::Environment
{
public:
    void Create()
    {
        if (m_app)
            return;
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
        QApplication::setOrganizationName(QStringLiteral("halvane"));
        QApplication::setApplicationName(QStringLiteral("Kiv"));
        m_profile = std::make_unique<CProfile>();
        m_settings.profile = m_profile.get();
    }
    void TearDown() override
    {
        m_profile.reset();
        m_app.reset();
    }
    CViewSettings& Settings() { return m_settings; }

private:
    QTemporaryDir m_config;
    int m_argc = 1;
    char m_name[11] = "views_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
    std::unique_ptr<CProfile> m_profile;
    CViewSettings m_settings;
};

AppEnvironment* const g_environment =
    static_cast<AppEnvironment*>(::testing::AddGlobalTestEnvironment(new AppEnvironment));

}  // namespace

void EnsureApp() { g_environment->Create(); }

CViewSettings& Settings()
{
    EnsureApp();
    return g_environment->Settings();
}

QString WriteSample(const QString& dir)
{
    CKivDoc doc;
    doc.OnNewDocument();
    CFolderNode* a = doc.CreateFolder(&doc.m_root, "a", false);
    CFolderNode* b = doc.CreateFolder(&doc.m_root, "b", false);
    CFolderNode* b1 = doc.CreateFolder(b, "b1", false);
    CFolderNode* c = doc.CreateFolder(&doc.m_root, "c", false);
    doc.AddBookmark("http://beta.example", "r-beta", "", &doc.m_root, false);
    doc.AddBookmark("http://alpha.example", "r-alpha", "first", &doc.m_root, false);
    doc.AddBookmark("http://a1.example", "a-one", "", a, false);
    doc.AddBookmark("http://b2.example", "b-two", "", b, false);
    doc.AddBookmark("http://b1.example", "b-one", "", b, false);
    doc.AddBookmark("http://shared.example", "shared", "", b1, false);
    for (const char* name : {"c1", "c2", "c3", "c4", "c5"})
        doc.AddBookmark((std::string("http://") + name + ".example").c_str(), name, "", c, false);
    const QString path = dir + QStringLiteral("/sample.kiv");
    if (!doc.DoSave(path))
        std::abort();
    return path;
}

Panes::Panes(CKivDoc& doc)
{
    splitter = new QSplitter;
    CViewContext context;
    context.settings = &Settings();
    tree = new CLeftView(doc, splitter, context);
    list = new CKivView(doc, splitter, context);
    splitter->addWidget(tree);
    splitter->addWidget(list);
    splitter->resize(800, 600);
    splitter->show();
    splitter->activateWindow();
    QApplication::setActiveWindow(splitter);
    (void)QTest::qWaitForWindowExposed(splitter);
}

Panes::~Panes() { delete splitter; }

void SamplePanesTest::OpenSamplePanes()
{
    EnsureApp();
    KivStrings::SetLanguage(KivStrings::Lang1033);
    ASSERT_TRUE(m_dir.isValid());
    ASSERT_TRUE(m_doc.OpenDocumentFile(WriteSample(m_dir.path())));
    BeforeViews();
    m_panes = std::make_unique<Panes>(m_doc);
    m_tree = m_panes->tree;
    m_list = m_panes->list;
}

void SamplePanesTest::TearDown()
{
    m_panes.reset();
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

CFolderNode* SamplePanesTest::Child(CFolderNode* parent, const std::string& name)
{
    for (CFolderNode* c = parent->m_pFirstChild; c; c = c->m_pNext)
        if (c->m_strName == name)
            return c;
    return nullptr;
}

}  // namespace KivTest
