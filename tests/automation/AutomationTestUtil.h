#pragma once

#include "model/KivDoc.h"

#include <QCoreApplication>
#include <QString>

// The bus classes want an application object; one for the whole test binary.
inline void EnsureApp()
{
    static int argc = 1;
    static char name[] = "automation_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance()
                                       ? QCoreApplication::instance()
                                       : new QCoreApplication(argc, argv);
    (void)app;
}

// The sample collection: at the top "Alpha" and "Beta" and the folder "Sub";
// "Sub" holds "Gamma" and the folder "Deep", which holds "Delta" and "Gamma" again.
inline void FillSample(CKivDoc& doc)
{
    uint32_t gamma = 0;
    doc.AddBookmark("http://alpha.example/", "Alpha", "top entry", &doc.m_root, false);
    doc.AddBookmark("http://beta.example/", "Beta", "", &doc.m_root, false);
    CFolderNode* sub = doc.CreateFolder(&doc.m_root, "Sub", false);
    doc.AddBookmark("http://gamma.example/", "Gamma", "inside sub", sub, false, &gamma);
    CFolderNode* deep = doc.CreateFolder(sub, "Deep", false);
    doc.AddBookmark("http://delta.example/", "Delta", "deepest", deep, false);
    doc.LinkBookmark(deep, gamma);
}

inline bool SaveSample(const QString& path)
{
    CKivDoc doc;
    doc.OnNewDocument();
    FillSample(doc);
    return doc.DoSave(path);
}
