#pragma once

#include "model/KivDoc.h"
#include "views/ViewContext.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

class CKivView;
class CLeftView;
class QSplitter;

namespace KivTest {

// Creates, once per test binary, the QApplication (offscreen) and the panes'
// settings, kept in a temporary configuration folder.
void EnsureApp();
// The settings every pane made by Panes reads.
CViewSettings& Settings();

// Writes sample.kiv into dir and returns its path:
//   Escritorio: r-alpha, r-beta
//     a: a-one
//     b: b-one, b-two
//       b1: shared
//     c: c1 .. c5
QString WriteSample(const QString& dir);

// The two panes in a splitter, as the frame makes them, shown on the offscreen screen.
struct Panes
{
    explicit Panes(CKivDoc& doc);
    ~Panes();
    QSplitter* splitter;
    CLeftView* tree;
    CKivView* list;
};

// Both panes on the sample collection, with the English texts: the set-up the view
// and drag tests share. The fixture sends the initial update when it is ready.
class SamplePanesTest : public ::testing::Test
{
protected:
    // Opens the sample, lets BeforeViews change it, then makes the panes.
    void OpenSamplePanes();
    // The panes go and any open popup closes.
    void TearDown() override;
    // Changes to the collection before the views see it.
    virtual void BeforeViews() {}

    CFolderNode* Child(CFolderNode* parent, const std::string& name);
    CFolderNode* Folder(const std::string& name) { return Child(&m_doc.m_root, name); }

    QTemporaryDir m_dir;
    CKivDoc m_doc;
    std::unique_ptr<Panes> m_panes;
    CLeftView* m_tree = nullptr;
    CKivView* m_list = nullptr;
};

}  // namespace KivTest
