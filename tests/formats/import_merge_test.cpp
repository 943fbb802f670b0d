// The merge of a whole read source: its rules, and that linking each folder's
// bookmarks together gives exactly what adding them one by one in source order gives.
#include "FormatsTestSupport.h"

#include "formats/ImportMerge.h"
#include "formats/ItemName.h"
#include "framework/TextRules.h"
#include "model/KivDoc.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

using FormatsTest::FolderText;
using FormatsTest::TreeText;

namespace {

// The rules applied bookmark by bookmark, in source order, the way the HTML import
// has always done it.
void MergeOneByOne(CKivDoc& doc, const CImportTree& tree, bool check)
{
    std::vector<CFolderNode*> stack{check ? &doc.m_check : &doc.m_root};
    int surplus = 0;
    int64_t last = -1;
    const auto comment = [&](const std::string& text) {
        if (last < 0 || text.empty() || doc.Bookmark(uint32_t(last)).m_strComment == text)
            return;
        if (!check)
            doc.SetModifiedFlag();
        doc.SetBookmarkComment(uint32_t(last), text);
    };
    for (const CImportTree::Entry& e : tree.Entries()) {
        switch (e.kind) {
        case CImportTree::Entry::bookmark: {
            uint32_t index = std::numeric_limits<uint32_t>::max();
            // A blank name becomes the one a new bookmark gets from its URL.
            std::string name = e.name;
            if (KivText::TrimLeft(name).empty())
                name = KivText::Trim(KivItem::NameFromUrl(e.url));
            doc.AddBookmark(e.url.c_str(), name.c_str(), "", stack.back(), check, &index);
            last = index == std::numeric_limits<uint32_t>::max() ? -1 : int64_t(index);
            comment(e.comment);
            break;
        }
        case CImportTree::Entry::lateComment:
            comment(e.comment);
            break;
        case CImportTree::Entry::openFolder:
            if (int(stack.size()) - 1 >= CKivDoc::kMaxDepth)
                ++surplus;
            else
                stack.push_back(check ? &doc.m_check
                                      : doc.CreateFolder(stack.back(), e.name, true));
            break;
        case CImportTree::Entry::closeFolder:
            if (surplus > 0)
                --surplus;
            else if (stack.size() > 1)
                stack.pop_back();
            break;
        }
    }
}

void Seed(CKivDoc& doc)
{
    doc.OnNewDocument();
    CFolderNode* news = doc.CreateFolder(&doc.m_root, "News", false);
    doc.AddBookmark("http://u3/", "Known three", "kept", news, false);
    doc.AddBookmark("http://u7/", "alpha", "", &doc.m_root, false);
    doc.AddBookmark("http://u9/", "Beta", "old", &doc.m_trash, false);
    doc.SetModifiedFlag(false);
}

CImportTree RandomTree(unsigned seed)
{
    std::mt19937 random(seed);
    const auto pick = [&random](std::initializer_list<const char*> items) {
        return std::string(items.begin()[random() % items.size()]);
    };
    CImportTree tree;
    for (int step = 0; step < 400; ++step) {
        const unsigned roll = random() % 20;
        if (roll < 2 && tree.OpenDepth() < 5)
            tree.OpenFolder(pick({"news", "News", "Work", "", "work", "Zeta"}));
        else if (roll < 4)
            tree.CloseFolder();
        else if (roll < 5)
            tree.CommentLast(pick({"", "late", "later"}));
        else
            tree.AddBookmark(
                pick({"http://u1/", "http://u2/", "http://u3/", "http://u4/", "http://u5/",
                      "http://u6/", "http://u7/", "http://u8/", "http://u9/", "x", ""})
                    + (random() % 4 == 0 ? std::to_string(random() % 50) : ""),
                pick({"alpha", "Alpha", "  alpha", "beta", "Beta", "", "zeta", "Éclair"}),
                pick({"", "", "c1", "c2"}));
    }
    return tree;
}

std::string WholeText(CKivDoc& doc)
{
    return TreeText(doc) + " | trash " + FolderText(doc, doc.m_trash) + " | check "
           + FolderText(doc, doc.m_check) + (doc.IsModified() ? " | modified" : "");
}

} // namespace

TEST(ImportMerge, FoldersLinkedTogetherGiveTheOneByOneResult)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const CImportTree tree = RandomTree(seed);
        for (bool check : {false, true}) {
            CKivDoc fast, reference;
            Seed(fast);
            Seed(reference);
            MergeImport(fast, tree, check);
            MergeOneByOne(reference, tree, check);
            ASSERT_EQ(WholeText(fast), WholeText(reference))
                << "seed " << seed << " check " << check;
        }
    }
}

TEST(ImportMerge, KnownUrlsKeepTheirEntryAndFoldersJoinByName)
{
    CKivDoc doc;
    Seed(doc);
    CImportTree tree;
    tree.OpenFolder("news");
    tree.AddBookmark("http://u3/", "Other name", ""); // known, listed here: unchanged
    tree.AddBookmark("http://u7/", "Another",
                     "new comment"); // known elsewhere: linked, comment replaced
    tree.AddBookmark("http://new/", "  Fresh", "c");
    tree.AddBookmark("http://new/", "Fresh again", ""); // same folder: not twice
    tree.CloseFolder();
    tree.AddBookmark("h", "too short");
    tree.CommentLast("ignored: the last bookmark was refused");
    MergeImport(doc, tree);
    EXPECT_EQ(TreeText(doc), "alpha<http://u7/>{new comment} News[alpha<http://u7/>{new comment} "
                             "Fresh<http://new/>{c} Known three<http://u3/>{kept}]");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Bookmark(1).m_nRefs, 2);
}

TEST(ImportMerge, FoldersBeyondTheFileDepthPourIntoTheDeepestKeptOne)
{
    CKivDoc doc;
    doc.OnNewDocument();
    CImportTree tree;
    for (int k = 1; k <= 10000; ++k)
        tree.OpenFolder("f" + std::to_string(k));
    tree.AddBookmark("http://deep/", "Deep");
    for (int k = 0; k < 10000; ++k)
        tree.CloseFolder();
    tree.AddBookmark("http://top/", "Top");
    MergeImport(doc, tree);
    const CFolderNode* f = doc.m_root.m_pFirstChild;
    int depth = 1;
    while (f->m_pFirstChild) {
        f = f->m_pFirstChild;
        ++depth;
    }
    EXPECT_EQ(depth, CKivDoc::kMaxDepth);
    EXPECT_EQ(f->m_strName, "f99");
    EXPECT_EQ(FolderText(doc, *f), "Deep<http://deep/>");
    EXPECT_EQ(FolderText(doc, doc.m_root).substr(0, 16), "Top<http://top/>");
}
