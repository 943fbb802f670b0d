#include "FormatsTestSupport.h"

#include "framework/TextRules.h"
#include "formats/Find.h"

#include <gtest/gtest.h>

namespace {

// root: "Alpha one" (comment "zeta"), "Beta"; A: "alpha two"; A/Deep: "ALPHA three";
// B: "Gamma" (url http://alpha.example/); trash: "Alpha trash".
struct FindTest : ::testing::Test
{
    void SetUp() override
    {
        doc.AddBookmark("http://1/", "Alpha one", "zeta", &doc.m_root, false);
        doc.AddBookmark("http://2/", "Beta", "", &doc.m_root, false);
        a = doc.CreateFolder(&doc.m_root, "A", true);
        doc.AddBookmark("http://3/", "alpha two", "", a, false);
        deep = doc.CreateFolder(a, "Deep", true);
        doc.AddBookmark("http://4/", "ALPHA three", "", deep, false);
        b = doc.CreateFolder(&doc.m_root, "B", true);
        doc.AddBookmark("http://alpha.example/", "Gamma", "", b, false);
        doc.AddBookmark("http://5/", "Alpha trash", "", &doc.m_trash, false);
    }

    // One request as the window makes it: a hit selects its folder.
    FindStep Next(std::string_view text, FindFields fields = {})
    {
        const FindStep step = FindNext(doc, text, fields);
        if (step.outcome == FindStep::hit)
            doc.m_pCurFolder = step.folder;
        return step;
    }

    CKivDoc doc;
    CFolderNode* a = nullptr;
    CFolderNode* deep = nullptr;
    CFolderNode* b = nullptr;
};

} // namespace

TEST_F(FindTest, HitsComeInTreeOrderThenNothingThenTheFirstAgain)
{
    const std::pair<CFolderNode*, int> expected[] = {{&doc.m_root, 0}, {a, 0}, {deep, 0}, {b, 0}};
    for (const auto& [folder, pos] : expected) {
        const FindStep step = Next("alpha");
        ASSERT_EQ(step.outcome, FindStep::hit);
        EXPECT_EQ(step.folder, folder);
        EXPECT_EQ(step.position, pos);
        EXPECT_EQ(doc.m_nFindPos, pos);
    }
    EXPECT_EQ(Next("alpha").outcome, FindStep::nothing);
    EXPECT_TRUE(doc.m_bFindFromTop);
    const FindStep again = Next("alpha");
    EXPECT_EQ(again.outcome, FindStep::hit);
    EXPECT_EQ(again.folder, &doc.m_root);
}

TEST_F(FindTest, NoMatchReportsNotFoundOnEveryRequest)
{
    EXPECT_EQ(Next("nowhere").outcome, FindStep::notFound);
    EXPECT_EQ(Next("nowhere").outcome, FindStep::notFound);
    EXPECT_TRUE(doc.m_bFindFromTop);
    EXPECT_EQ(Next("").outcome, FindStep::nothing);
}

TEST_F(FindTest, ChangingOnlyTheCaseRestartsFromTheTop)
{
    Next("alpha");
    Next("alpha");
    const FindStep step = Next("ALPHA");
    EXPECT_EQ(step.folder, &doc.m_root);
    EXPECT_EQ(doc.m_strFindText, "ALPHA");
}

TEST_F(FindTest, FindCommandRestartsAtTheTopWithTheSameText)
{
    Next("alpha");
    Next("alpha");
    BeginFind(doc);
    EXPECT_EQ(Next("alpha").folder, &doc.m_root);
}

TEST_F(FindTest, ContinuationStartsInTheSelectedFolderAfterTheLastPosition)
{
    Next("alpha"); // root, position 0
    // The user selects A: the search goes on there from position 1, so A's own
    // "alpha two" is passed over and its subfolder comes next.
    doc.m_pCurFolder = a;
    EXPECT_EQ(Next("alpha").folder, deep);
    // Selecting B, whose only bookmark is at position 0, leaves nothing after it.
    doc.m_pCurFolder = b;
    EXPECT_EQ(Next("alpha").outcome, FindStep::nothing);
}

TEST_F(FindTest, FieldSwitchesChooseWhereToLook)
{
    EXPECT_EQ(Next("zeta", {true, true, false}).outcome, FindStep::notFound);
    EXPECT_EQ(Next("zeta", {false, false, true}).folder, &doc.m_root);
    EXPECT_EQ(Next("beta", {false, false, true}).outcome, FindStep::notFound);
    const FindStep url = Next("ALPHA.EXAMPLE", {false, true, false});
    EXPECT_EQ(url.folder, b);
}

TEST_F(FindTest, TrashAndCheckAreNotSearchedFromTheTop)
{
    EXPECT_EQ(Next("trash").outcome, FindStep::notFound);
}

TEST_F(FindTest, AContinuationInTheTrashSearchesOnlyWhatTheTreeCanShow)
{
    // A folder dragged onto the trash keeps its bookmarks but has no tree item: a hit
    // there could not be selected, and the list would show some other row instead.
    doc.InsertFolder(&doc.m_trash, doc.DetachFolder(b));
    Next("alpha");
    doc.m_pCurFolder = &doc.m_trash;
    doc.m_nFindPos = -1;
    const FindStep inTrash = Next("alpha");
    ASSERT_EQ(inTrash.outcome, FindStep::hit);
    EXPECT_EQ(inTrash.folder, &doc.m_trash);
    EXPECT_EQ(inTrash.position, 0);
    EXPECT_EQ(Next("alpha").outcome, FindStep::nothing);
}

TEST(FindText, CaseFoldingBeyondAscii)
{
    CKivDoc doc;
    doc.AddBookmark("http://1/", "Straße in ZÜRICH", "", &doc.m_root, false);
    doc.AddBookmark("http://2/",
                    "\xE2\x84\xAA"
                    "elvin",
                    "", &doc.m_root, false); // Kelvin sign
    EXPECT_TRUE(FindFrom(doc, &doc.m_root, 0, "zürich", {}));
    const FindHit kelvin = FindFrom(doc, &doc.m_root, 0, "kelvin", {});
    ASSERT_TRUE(kelvin);
    EXPECT_EQ(doc.Bookmark(doc.m_root.m_aBookmarks[size_t(kelvin.position)]).m_strUrl, "http://2/");
    // The ASCII path and the full rules agree on every field shape.
    for (const char* field : {"abcdef", "ABC", "xxabcé", "éabc", "ab", "a", "ÀBC"})
        for (const char* text : {"abc", "ABC", "bc", "é", "àbc"}) {
            CKivDoc one;
            one.AddBookmark("http://x/", field, "", &one.m_root, false);
            EXPECT_EQ(bool(FindFrom(one, &one.m_root, 0, text, {true, false, false})),
                      KivText::ContainsNoCase(field, text))
                << field << " / " << text;
        }
}

TEST(FindLarge, ResultsFollowTheTreeOrderPastTheFirstThousandsOfTests)
{
    // 40 folders of 1,000 bookmarks; the table order runs against the tree order, so
    // the hits come late in the walk but early in the table.
    CKivDoc doc;
    std::vector<CFolderNode*> folders;
    for (int f = 0; f < 40; ++f)
        folders.push_back(doc.CreateFolder(&doc.m_root, "F" + std::to_string(100 + f), true));
    for (int f = 39; f >= 0; --f)
        for (int b = 0; b < 1000; ++b) {
            const std::string url = "http://x/" + std::to_string(f) + "/" + std::to_string(b);
            const bool hit = (f == 35 && b == 500) || (f == 37 && b == 1) || (f == 37 && b == 2);
            const std::string name = (hit ? "Needle " : "hay ") + std::to_string(b);
            doc.AddBookmark(url.c_str(), name.c_str(), "", folders[size_t(f)], false);
        }
    std::vector<std::pair<CFolderNode*, std::string>> seen;
    for (;;) {
        const FindStep step = FindNext(doc, "needle", {true, false, false});
        if (step.outcome != FindStep::hit)
            break;
        doc.m_pCurFolder = step.folder;
        seen.emplace_back(step.folder,
                          doc.Bookmark(step.folder->m_aBookmarks[size_t(step.position)]).m_strName);
    }
    const std::vector<std::pair<CFolderNode*, std::string>> expected
        = {{folders[35], "Needle 500"}, {folders[37], "Needle 1"}, {folders[37], "Needle 2"}};
    EXPECT_EQ(seen, expected);
}
