// The document's whole edits, each seen from outside: what it changed, what it
// refused, and that the rules of the tree and the table still hold after it.
#include "model/ModelTestSupport.h"

#include <gtest/gtest.h>

namespace {

using KivTest::CheckInvariants;
using Move = CKivDoc::FolderMove;

class DocumentEdits : public ::testing::Test
{
protected:
    void SetUp() override
    {
        a = m_doc.CreateFolder(&m_doc.m_root, "a", false);
        b = m_doc.CreateFolder(&m_doc.m_root, "b", false);
        b1 = m_doc.CreateFolder(b, "b1", false);
        for (const char* n : {"one", "two", "three"})
            ASSERT_TRUE(m_doc.AddBookmark((std::string("http://") + n).c_str(), n, "", b1, false));
        ASSERT_TRUE(m_doc.AddBookmark("http://a", "alpha", "", a, false));
        m_doc.SetModifiedFlag(false);
    }
    std::vector<std::string> Names(const CFolderNode* f)
    {
        std::vector<std::string> out;
        for (uint32_t i : f->m_aBookmarks)
            out.push_back(std::string(m_doc.Bookmark(i).m_strName));
        return out;
    }

    CKivDoc m_doc;
    CFolderNode* a = nullptr;
    CFolderNode* b = nullptr;
    CFolderNode* b1 = nullptr;
};

TEST_F(DocumentEdits, FolderMovesAreRefusedWhereTheTreeWouldBreakAndDoneElsewhere)
{
    EXPECT_EQ(m_doc.CheckFolderMove(b, b), Move::onItself);
    EXPECT_EQ(m_doc.CheckFolderMove(b, &m_doc.m_root), Move::onParent);
    EXPECT_EQ(m_doc.CheckFolderMove(b, &m_doc.m_check), Move::onCheck);
    EXPECT_EQ(m_doc.CheckFolderMove(b, b1), Move::onChild);
    EXPECT_EQ(m_doc.CheckFolderMove(&m_doc.m_trash, a), Move::notMovable);
    // A chain 98 levels deep below `a` leaves room for one more level only.
    CFolderNode* deep = a;
    for (int k = 2; k <= CKivDoc::kMaxDepth; ++k)
        deep = m_doc.CreateFolder(deep, "d", false);
    m_doc.SetModifiedFlag(false);
    EXPECT_EQ(m_doc.CheckFolderMove(b, deep), Move::tooDeep);
    EXPECT_FALSE(m_doc.MoveFolder(b, b1));
    EXPECT_FALSE(m_doc.IsModified());

    ASSERT_TRUE(m_doc.MoveFolder(b, &m_doc.m_trash));
    EXPECT_EQ(b->m_pParent, &m_doc.m_trash);
    EXPECT_EQ(m_doc.m_root.m_pFirstChild, a);
    EXPECT_EQ(a->m_pNext, nullptr);
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(CheckInvariants(m_doc), "");
}

TEST_F(DocumentEdits, RenameTakesTheFolderToItsNewPlace)
{
    ASSERT_TRUE(m_doc.RenameFolder(a, "z"));
    EXPECT_EQ(m_doc.m_root.m_pFirstChild, b);
    EXPECT_EQ(b->m_pNext, a);
    EXPECT_EQ(a->m_pNext, nullptr);
    EXPECT_EQ(a->m_strName, "z");
    EXPECT_FALSE(m_doc.RenameFolder(&m_doc.m_root, "x"));
    EXPECT_EQ(CheckInvariants(m_doc), "");
}

TEST_F(DocumentEdits, DeletingAFolderTrashesItsSubtreesBookmarksAndFreesNoCurrentFolder)
{
    m_doc.m_pCurFolder = b1;
    ASSERT_TRUE(m_doc.DeleteFolderToTrash(b));
    EXPECT_EQ(m_doc.m_pCurFolder, &m_doc.m_root);
    EXPECT_EQ(Names(&m_doc.m_trash), (std::vector<std::string>{"one", "three", "two"}));
    EXPECT_EQ(m_doc.m_root.m_pFirstChild, a);
    EXPECT_EQ(a->m_pNext, nullptr);
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(CheckInvariants(m_doc), "");
    EXPECT_FALSE(m_doc.DeleteFolderToTrash(&m_doc.m_trash));
}

TEST_F(DocumentEdits, BookmarksMoveOrCopyButNeverIntoTheCheckFolder)
{
    const std::vector<uint32_t> two{b1->m_aBookmarks[0], b1->m_aBookmarks[2]}; // one, two
    EXPECT_EQ(m_doc.MoveOrCopyBookmarks(b1, &m_doc.m_check, two, false), 0u);
    EXPECT_EQ(m_doc.MoveOrCopyBookmarks(b1, b1, two, false), 0u);
    EXPECT_FALSE(m_doc.IsModified());

    EXPECT_EQ(m_doc.MoveOrCopyBookmarks(b1, a, two, true), 2u);
    EXPECT_EQ(Names(a), (std::vector<std::string>{"alpha", "one", "two"}));
    EXPECT_EQ(Names(b1).size(), 3u);
    EXPECT_EQ(m_doc.MoveOrCopyBookmarks(b1, b, two, false), 2u);
    EXPECT_EQ(Names(b1), (std::vector<std::string>{"three"}));
    // All of a folder at once.
    EXPECT_EQ(m_doc.MoveOrCopyBookmarks(b1, b, b1->m_aBookmarks, false), 1u);
    EXPECT_TRUE(b1->m_aBookmarks.empty());
    EXPECT_EQ(Names(b), (std::vector<std::string>{"one", "three", "two"}));
    EXPECT_EQ(CheckInvariants(m_doc), "");
}

TEST_F(DocumentEdits, AnEditedNameResortsTheShownFolderOnly)
{
    ASSERT_EQ(m_doc.MoveOrCopyBookmarks(b1, a, {b1->m_aBookmarks[0]}, true), 1u); // "one" in a too
    const uint32_t one = b1->m_aBookmarks[0];
    // Same name in other letters: the order stays, the fields change.
    EXPECT_EQ(m_doc.EditBookmark(one, "ONE", "http://1", "c", b1), -1);
    EXPECT_EQ(m_doc.Bookmark(one).m_strUrl, "http://1");
    EXPECT_EQ(m_doc.Bookmark(one).m_strComment, "c");
    EXPECT_EQ(m_doc.EditBookmark(one, "zulu", "http://1", "c", b1), 2);
    EXPECT_EQ(Names(b1), (std::vector<std::string>{"three", "two", "zulu"}));
    EXPECT_EQ(Names(a), (std::vector<std::string>{"alpha", "zulu"}));
    EXPECT_EQ(m_doc.EditBookmark(one, "aaa", "http://1", "c", a), 0);
    EXPECT_EQ(Names(a), (std::vector<std::string>{"aaa", "alpha"}));
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(CheckInvariants(m_doc), "");
}

TEST_F(DocumentEdits, AFlatTreeMergesByNameOrIsRefusedWhole)
{
    using Status = CKivDoc::FlatInsert::Status;
    // A copy of b: its bookmarks, b1 with three of its own, plus one new address.
    CFlatTree copy;
    m_doc.FlattenSubtree(copy, b, 1, true);
    copy.m_flatBookmarks.push_back({"http://new", "new", ""});
    copy.m_flatLinks.push_back({1, 1, static_cast<uint32_t>(copy.m_flatBookmarks.size() - 1)});
    copy.m_flatFolders[1].name = "B1"; // merges with b1 whatever the letters

    // Below a 98-level chain the copy's two levels do not fit: nothing changes.
    CFolderNode* deep = a;
    for (int k = 2; k < CKivDoc::kMaxDepth; ++k)
        deep = m_doc.CreateFolder(deep, "d", false);
    m_doc.SetModifiedFlag(false);
    const uint32_t count = m_doc.BookmarkCount();
    const std::string before = KivTest::SaveToBytes(m_doc);
    EXPECT_EQ(m_doc.InsertFlatTree(deep, copy).status, Status::tooDeep);
    // A link to a bookmark the tables do not hold, or a folder two levels below the
    // one before it, is refused before the first change.
    CFlatTree broken = copy;
    broken.m_flatLinks.push_back({0, 1, 99});
    EXPECT_EQ(m_doc.InsertFlatTree(a, broken).status, Status::damaged);
    broken = copy;
    broken.m_flatFolders.push_back({"x", 4});
    EXPECT_EQ(m_doc.InsertFlatTree(a, broken).status, Status::damaged);
    EXPECT_EQ(m_doc.InsertFlatTree(nullptr, copy).status, Status::noTarget);
    EXPECT_EQ(KivTest::SaveToBytes(m_doc), before);
    EXPECT_FALSE(m_doc.IsModified());

    // Into its own parent the copy merges with b and b1: the known addresses are
    // listed again where they already are not, the new one is added once.
    const CKivDoc::FlatInsert merged = m_doc.InsertFlatTree(&m_doc.m_root, copy);
    ASSERT_EQ(merged.status, Status::inserted);
    EXPECT_TRUE(merged.subtree);
    EXPECT_EQ(m_doc.BookmarkCount(), count + 1);
    EXPECT_EQ(Names(b1), (std::vector<std::string>{"new", "one", "three", "two"}));
    EXPECT_EQ(b->m_pNext, nullptr);
    EXPECT_EQ(b1->m_pNext, nullptr);
    // Into a: a new b with its own b1, the bookmarks shared with the old ones.
    ASSERT_EQ(m_doc.InsertFlatTree(a, copy).status, Status::inserted);
    CFolderNode* copied = a->m_pFirstChild; // sorted before the chain's "d"
    EXPECT_EQ(copied->m_strName, "b");
    EXPECT_EQ(copied->m_pNext->m_strName, "d");
    ASSERT_NE(copied->m_pFirstChild, nullptr);
    EXPECT_EQ(Names(copied->m_pFirstChild), Names(b1));
    EXPECT_EQ(m_doc.BookmarkCount(), count + 1);
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(CheckInvariants(m_doc), "");

    // A bookmark list goes into the target itself.
    CFlatTree list;
    list.m_flatBookmarks = {{"http://x", "same", "first"}, {"http://y", "same", "second"}};
    const CKivDoc::FlatInsert listed = m_doc.InsertFlatTree(a, list);
    ASSERT_EQ(listed.status, Status::inserted);
    EXPECT_FALSE(listed.subtree);
    EXPECT_EQ(listed.added, 2u);
    EXPECT_EQ(Names(a), (std::vector<std::string>{"alpha", "same", "same"}));
    EXPECT_EQ(CheckInvariants(m_doc), "");
}

} // namespace
