#include "ViewTestApp.h"

#include "app/KivApp.h"
#include "model/KivDoc.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include <QApplication>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

namespace KivTest {

void EnsureApp()
{
    static QTemporaryDir config;
    static std::unique_ptr<QApplication> app;
    static std::unique_ptr<CKivApp> kiv;
    if (app)
        return;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "views_test";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QApplication>(argc, argv);
    kiv = std::make_unique<CKivApp>();
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
    tree = new CLeftView(doc, splitter);
    list = new CKivView(doc, splitter);
    splitter->addWidget(tree);
    splitter->addWidget(list);
    splitter->resize(800, 600);
    splitter->show();
    splitter->activateWindow();
    QApplication::setActiveWindow(splitter);
    (void)QTest::qWaitForWindowExposed(splitter);
}

Panes::~Panes() { delete splitter; }

}  // namespace KivTest
