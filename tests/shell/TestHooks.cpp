#include "TestHooks.h"

#include "res/Commands.h"
#include "app/KivApp.h"
#include "frame/MainFrame.h"
#include "model/KivDoc.h"
#include "views/Clipboard.h"
#include "views/LeftView.h"

#include <QApplication>
#include <QClipboard>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace KivTestHooks {

namespace {

QString TakeValue(QStringList& arguments, const QString& option)
{
    const qsizetype i = arguments.indexOf(option);
    if (i < 0)
        return {};
    const QString value = arguments.value(i + 1);
    arguments.remove(i, std::min<qsizetype>(2, arguments.size() - i));
    return value;
}

// The folder a "/"-separated path of exact names names below the root, or null.
CFolderNode* FindFolder(CKivDoc& doc, const QString& path)
{
    CFolderNode* folder = &doc.m_root;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const std::string name = part.toStdString();
        CFolderNode* child = folder->m_pFirstChild;
        while (child && child->m_strName != name)
            child = child->m_pNext;
        if (!child)
            return nullptr;
        folder = child;
    }
    return folder;
}

void Say(const char* text)
{
    std::fprintf(stdout, "kiv: %s\n", text);
    std::fflush(stdout);
}

void Fail(const char* text)
{
    std::fprintf(stderr, "kiv: %s\n", text);
    QApplication::exit(2);
}

// Selects the folder in the tree and makes the tree the pane commands go to.
bool SelectInTree(CKivApp& app, const QString& path)
{
    CMainFrame* frame = app.GetMainFrame();
    CFolderNode* folder = frame ? FindFolder(app.Document(), path) : nullptr;
    if (!folder || !frame->GetLeftPane()->SelectFolder(folder))
        return false;
    frame->SetActivePane(0);
    return true;
}

void Copy(CKivApp& app, const QString& path)
{
    if (!SelectInTree(app, path))
        return Fail("no such folder to copy");
    app.Router().Execute(ID_EDIT_COPY);
    if (!KivClipboard::OffersPayload(QGuiApplication::clipboard()->mimeData()))
        return Fail("the copy put nothing on the clipboard");
    Say("copied");
    // The clipboard is served from here; a forgotten copy ends by itself.
    QTimer::singleShot(120000, qApp, [] { QApplication::exit(0); });
}

void PasteWhenOffered(CKivApp& app, const CHooks& hooks, int attemptsLeft)
{
    if (!KivClipboard::OffersPayload(QGuiApplication::clipboard()->mimeData())) {
        if (attemptsLeft <= 0)
            return Fail("the clipboard never offered anything to paste");
        QTimer::singleShot(100, qApp, [&app, hooks, attemptsLeft] {
            PasteWhenOffered(app, hooks, attemptsLeft - 1);
        });
        return;
    }
    if (!SelectInTree(app, hooks.pasteInto))
        return Fail("no such folder to paste into");
    app.Router().Execute(ID_EDIT_PASTE);
    Say("pasted");
    if (!hooks.saveExit)
        return;
    CKivDoc& doc = app.Document();
    if (!doc.DoSave(doc.GetPathName()))
        return Fail("saving failed");
    Say("saved");
    QApplication::exit(0);
}

} // namespace

CHooks Take(QStringList& arguments)
{
    CHooks hooks;
    hooks.copyFolder = TakeValue(arguments, QStringLiteral("--test-copy-folder"));
    hooks.pasteInto = TakeValue(arguments, QStringLiteral("--test-paste-into"));
    if (const qsizetype i = arguments.indexOf(QStringLiteral("--test-save-exit")); i >= 0) {
        arguments.remove(i);
        hooks.saveExit = true;
    }
    return hooks;
}

void Run(CKivApp& app, const CHooks& hooks)
{
    if (!hooks.Any())
        return;
    QTimer::singleShot(0, qApp, [&app, hooks] {
        if (!hooks.copyFolder.isEmpty())
            Copy(app, hooks.copyFolder);
        if (!hooks.pasteInto.isEmpty()) {
            PasteWhenOffered(app, hooks, 300);
        } else if (hooks.saveExit) {
            CKivDoc& doc = app.Document();
            if (!doc.DoSave(doc.GetPathName()))
                return Fail("saving failed");
            QApplication::exit(0);
        }
    });
}

} // namespace KivTestHooks
