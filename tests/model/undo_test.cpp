// The change history: every step taken back and made again leaves exactly the
// contents it found, down to the reference counts and the trash.

#include "model/ModelTestSupport.h"
#include "support/DocDump.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using namespace KivTest;

namespace {

const char* const kNames[] = {"alpha", "Beta", "beta", "gamma", "", " delta", "Zeta", "eta"};

// The operations the window performs, each as the views call the document, chosen
// by a seed so that two documents can be driven alike.
class Driver
{
public:
    explicit Driver(uint32_t seed) : m_rng(seed) {}

    void Step(CKivDoc& doc)
    {
        std::vector<CFolderNode*> folders = AllFolders(doc);
        CFolderNode* f = folders[Pick(folders.size())];
        CFolderNode* g = folders[Pick(folders.size())];
        const std::string name = kNames[Pick(std::size(kNames))];
        const bool ordinary = !doc.IsTrash(f) && !doc.IsCheck(f);
        std::vector<uint32_t> rows;
        for (uint32_t i : f->m_aBookmarks)
            if (Pick(3) == 0)
                rows.push_back(i);
        switch (Pick(12)) {
        case 0: // new bookmark, paste of one, drop of a link
            doc.AddBookmark(Url().c_str(), name.c_str(), "c", ordinary ? f : &doc.m_root, false);
            break;
        case 1: { // import or paste of many
            std::vector<CBookmark> entries(Pick(20));
            std::vector<const CBookmark*> pointers;
            for (CBookmark& e : entries) {
                e.m_strUrl = Url();
                e.m_strName = kNames[Pick(std::size(kNames))];
                pointers.push_back(&e);
            }
            CFolderNode* into = ordinary ? doc.CreateFolder(f, name + "imp", Pick(2)) : &doc.m_root;
            doc.AddBookmarks(into, pointers);
            break;
        }
        case 2: // new folder
            if (ordinary)
                doc.CreateFolder(f, name.empty() ? "n" : name, false);
            break;
        case 3: // the tree's folder move (refused where it cannot go)
            doc.MoveFolder(f, g);
            break;
        case 4: // rename a folder
            doc.RenameFolder(f, name);
            break;
        case 5: // delete a folder to the trash, while some folder is the current one
            if (!doc.IsBuiltIn(f)) {
                doc.m_pCurFolder = g;
                doc.DeleteFolderToTrash(f);
            }
            break;
        case 6: // move or copy rows by drag and drop, cut and paste
            doc.MoveOrCopyBookmarks(f, g, rows, Pick(3) == 0);
            break;
        case 7: // delete rows: to the trash, or for good from the trash
            if (doc.IsTrash(f))
                doc.UnlinkBookmarks(f, rows);
            else
                doc.MoveOrCopyBookmarks(f, &doc.m_trash, rows, false);
            break;
        case 8: // edit a bookmark: its fields, and its place by the new name where shown
            if (!f->m_aBookmarks.empty()) {
                const uint32_t i = f->m_aBookmarks[Pick(f->m_aBookmarks.size())];
                doc.EditBookmark(i, name, Url(), name + "!", f);
            }
            break;
        case 9: // compare: unknown URLs go to the check folder
            for (int k = 0; k < 4; ++k)
                doc.AddBookmark(Url().c_str(), name.c_str(), "", &doc.m_check, true);
            break;
        case 10: // one row dragged onto another folder
            if (!f->m_aBookmarks.empty() && f != g) {
                const uint32_t i = f->m_aBookmarks[Pick(f->m_aBookmarks.size())];
                doc.LinkBookmark(g, i);
                doc.UnlinkBookmark(f, i);
            }
            break;
        case 11: // empty the check folder
            doc.UnlinkAllBookmarks(&doc.m_check);
            break;
        }
    }

private:
    uint32_t Pick(size_t n) { return static_cast<uint32_t>(m_rng() % n); }
    std::string Url() { return "http://h" + std::to_string(Pick(150)) + "/"; }

    std::mt19937 m_rng;
};

class UndoTest : public ::testing::TestWithParam<uint32_t>
{
};

TEST_P(UndoTest, EveryStepUndoesAndRedoesExactly)
{
    CKivDoc doc;      // with a history
    CKivDoc plain;    // the same operations, never undone
    std::vector<std::unique_ptr<CDocStep>> steps;
    doc.m_onStep = [&](std::unique_ptr<CDocStep> step) { steps.push_back(std::move(step)); };
    Driver drive(GetParam()), drivePlain(GetParam());
    const auto act = [&] {
        {
            CKivDoc::CStepScope scope(doc);
            drive.Step(doc);
        }
        drivePlain.Step(plain);
    };
    for (int k = 0; k < 30; ++k) // some contents before the history starts
        act();
    steps.clear();
    std::vector<std::string> dumps{Dump(doc)};
    for (int k = 0; k < 300; ++k) {
        const size_t before = steps.size();
        act();
        ASSERT_EQ(CheckInvariants(doc), "") << "after operation " << k;
        if (steps.size() > before)
            dumps.push_back(Dump(doc));
        else
            ASSERT_EQ(Dump(doc), dumps.back()) << "an unrecorded change in operation " << k;
    }
    ASSERT_GT(steps.size(), 150u);
    for (size_t s = steps.size(); s-- > 0;) {
        doc.UndoStep(*steps[s]);
        ASSERT_EQ(CheckInvariants(doc), "") << "after undoing step " << s;
        ASSERT_EQ(Dump(doc), dumps[s]) << "after undoing step " << s;
    }
    for (size_t s = 0; s < steps.size(); ++s) {
        doc.RedoStep(*steps[s]);
        ASSERT_EQ(CheckInvariants(doc), "") << "after redoing step " << s;
        ASSERT_EQ(Dump(doc), dumps[s + 1]) << "after redoing step " << s;
    }
    // The lookups and orders the document keeps beside its contents came back too:
    // from here on it behaves like the one that was never undone.
    for (int k = 0; k < 200; ++k) {
        act();
        ASSERT_EQ(Dump(doc), Dump(plain)) << "operation " << k << " after the replay";
    }
    EXPECT_EQ(SaveToBytes(doc), SaveToBytes(plain));
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoTest, ::testing::Range(1u, 9u));

TEST(Undo, DroppedStepsFreeTheFoldersTheyHoldAndLoadingForgetsTheHistory)
{
    CKivDoc doc;
    std::vector<std::unique_ptr<CDocStep>> steps;
    int lost = 0;
    doc.m_onStep = [&](std::unique_ptr<CDocStep> step) { steps.push_back(std::move(step)); };
    doc.m_onHistoryLost = [&] { ++lost; };
    CFolderNode* kept;
    {
        CKivDoc::CStepScope scope(doc, 7);
        kept = doc.CreateFolder(&doc.m_root, "kept", false);
        doc.CreateFolder(kept, "inner", false);
        doc.AddBookmark("http://a/", "a", "", kept, false);
    }
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0]->m_nCommand, 7u);
    EXPECT_EQ(steps[0]->GetKind(), CDocStep::Kind::AddBookmarks);
    {
        CKivDoc::CStepScope scope(doc);
        doc.DeleteFolderToTrash(kept);
    }
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1]->GetKind(), CDocStep::Kind::DeleteFolder);
    EXPECT_LT(steps[1]->Bytes(), 1024u);
    doc.UndoStep(*steps[1]);
    EXPECT_EQ(ChildNames(doc.m_root), std::vector<std::string>{"kept"});
    EXPECT_EQ(doc.Bookmark(0).m_nRefs, 1);
    doc.UndoStep(*steps[0]);
    EXPECT_EQ(doc.BookmarkCount(), 0u);
    // Both undone: the first step now owns the two folders it made (freed with it,
    // as a leak checker run of this test shows).
    steps.clear();
    {
        CKivDoc::CStepScope scope(doc);
        doc.AddBookmark("http://b/", "b", "", nullptr, false);
    }
    ASSERT_EQ(steps.size(), 1u);
    ASSERT_TRUE(LoadFromBytes(doc, SaveToBytes(doc)));
    EXPECT_GE(lost, 1);
    // A change made with no step open is still recorded, as a step of its own.
    steps.clear();
    int opened = 0;
    doc.m_onStepOpened = [&] { ++opened; };
    doc.AddBookmark("http://c/", "c", "", nullptr, false);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(doc.StepOpen());
    doc.EndStep();
    EXPECT_EQ(steps.size(), 1u);
}

} // namespace
