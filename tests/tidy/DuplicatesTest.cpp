#include "tidy/Duplicates.h"
#include "TidyTestSupport.h"
#include "model/ModelTestSupport.h"
#include "tidy/DupesModel.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using TidyTest::AddEntry;
using TidyTest::Lists;

namespace {

// x.org four times (one of them twice under one URL), y.org twice, z.org once, and a
// trashed x.org that is no longer part of the collection.
class DuplicatesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        doc.OnNewDocument();
        f1 = doc.CreateFolder(&doc.m_root, "F1", false);
        f2 = doc.CreateFolder(&doc.m_root, "F2", false);
        f3 = doc.CreateFolder(f2, "F3", false);
        a = AddEntry(doc, "http://x.org", "A", f1);
        b = AddEntry(doc, "https://x.org/", "B", f1);
        doc.LinkBookmark(f2, b);
        c = AddEntry(doc, "https://www.x.org/#top", "C", f3);
        d = AddEntry(doc, "http://x.org", "D", &doc.m_root);
        y1 = AddEntry(doc, "http://y.org/p", "Y1", f2);
        y2 = AddEntry(doc, "http://y.org/p?utm_source=z", "Y2", f2);
        z = AddEntry(doc, "http://z.org/", "Z", f1);
        trashed = AddEntry(doc, "http://x.org/?gclid=1", "T", &doc.m_trash);
    }

    CKivDoc doc;
    CFolderNode *f1, *f2, *f3;
    uint32_t a, b, c, d, y1, y2, z, trashed;
};

TEST_F(DuplicatesTest, GroupsBiggestFirstWithTheBestToKeepFirst)
{
    const CPlacements placements(doc);
    const std::vector<CDupeGroup> groups = FindDuplicates(doc, placements);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].key, "http://x.org/");
    // Most placements, then https, then the shorter URL, then the older entry.
    EXPECT_EQ(groups[0].members, (std::vector<uint32_t>{b, c, a, d}));
    EXPECT_EQ(groups[1].members, (std::vector<uint32_t>{y1, y2}));
    EXPECT_EQ(placements.Folders(b), (std::vector<const CFolderNode*>{f1, f2}));

    // Strict www: the www. one stands apart; strict scheme: the https ones do.
    CDupeGroup strictWww = FindDuplicates(doc, placements, {true, false}).front();
    EXPECT_EQ(strictWww.members, (std::vector<uint32_t>{b, a, d}));
    CDupeGroup strictScheme = FindDuplicates(doc, placements, {false, true}).front();
    EXPECT_EQ(strictScheme.members, (std::vector<uint32_t>{a, d}));
}

TEST_F(DuplicatesTest, MergeKeepsEveryPlacementAndSurvivesSaving)
{
    const CPlacements placements(doc);
    const std::vector<CDupeGroup> groups = FindDuplicates(doc, placements);
    doc.SetModifiedFlag(false);
    doc.MergeBookmarks({CMergeSet{groups[0].members[0], {c, a, d}}});

    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(KivTest::CheckInvariants(doc), "");
    for (const CFolderNode* f : {&doc.m_root, f1, f2, f3})
        EXPECT_TRUE(Lists(f, b)) << f->m_strName;
    EXPECT_EQ(doc.Bookmark(b).m_nRefs, 4);
    for (uint32_t gone : {a, c, d}) {
        EXPECT_EQ(doc.Bookmark(gone).m_nRefs, 0);
        EXPECT_TRUE(Lists(&doc.m_trash, gone));
    }
    // The stored URLs are untouched.
    EXPECT_EQ(doc.Bookmark(b).m_strUrl, "https://x.org/");
    EXPECT_EQ(doc.Bookmark(c).m_strUrl, "https://www.x.org/#top");

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("merged.kiv"));
    ASSERT_TRUE(doc.DoSave(path));
    CKivDoc loaded;
    ASSERT_TRUE(loaded.OpenDocumentFile(path));
    const CPlacements after(loaded);
    const std::vector<CDupeGroup> left = FindDuplicates(loaded, after);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].key, "http://y.org/p");
    EXPECT_EQ(loaded.BookmarkCount(), 4u); // x, y twice, z
}

TEST_F(DuplicatesTest, TrashingAndOverlappingMergesKeepTheCollectionWhole)
{
    // B stands in F1 and F2, Y1 in F2: both leave every folder and are listed in the
    // trash once, beside the entry that was there already.
    doc.SetModifiedFlag(false);
    EXPECT_EQ(doc.TrashBookmarks({b, y1, b}), 2u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(KivTest::CheckInvariants(doc), "");
    for (const CFolderNode* f : {&doc.m_root, f1, f2, f3})
        EXPECT_FALSE(Lists(f, b) || Lists(f, y1)) << f->m_strName;
    EXPECT_EQ(doc.Bookmark(b).m_nRefs, 0);
    EXPECT_EQ(doc.m_trash.m_aBookmarks.size(), 3u);

    // A kept entry that another set would merge away stays where it stands: D takes
    // A's folder and keeps its own although the second set names it.
    EXPECT_EQ(doc.MergeBookmarks({CMergeSet{d, {a}}, CMergeSet{c, {d}}}), 1u);
    EXPECT_EQ(KivTest::CheckInvariants(doc), "");
    EXPECT_TRUE(Lists(f1, d) && Lists(&doc.m_root, d) && Lists(f3, c));
    EXPECT_FALSE(Lists(f1, a) || Lists(&doc.m_trash, d));
    EXPECT_TRUE(Lists(&doc.m_trash, a));
    EXPECT_EQ(doc.MergeBookmarks({}), 0u);
}

TEST_F(DuplicatesTest, ExactMergesOnlyJoinIdenticalUrls)
{
    const CPlacements placements(doc);
    const std::vector<CMergeSet> sets = ExactMergeSets(doc, FindDuplicates(doc, placements));
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].keep, a);
    EXPECT_EQ(sets[0].others, (std::vector<uint32_t>{d}));
}

TEST_F(DuplicatesTest, ModelShowsGroupsAndMergesTheCheckedMember)
{
    CDupesModel model(doc);
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    model.Refresh({});
    ASSERT_EQ(model.rowCount(), 2);
    const QModelIndex group = model.index(0, 0);
    ASSERT_EQ(model.rowCount(group), 4);
    EXPECT_EQ(model.index(0, CDupesModel::COL_FOLDERS, group).data().toString(),
              QStringLiteral("/F1; /F2"));
    EXPECT_EQ(model.index(0, 0, group).data(Qt::CheckStateRole).toInt(), Qt::Checked);

    // The user keeps C instead: C takes every folder.
    ASSERT_TRUE(model.setData(model.index(1, 0, group), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(model.index(0, 0, group).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_EQ(model.Keep(0), c);
    model.MergeGroups({0});
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.Group(0).key, "http://y.org/p");
    for (const CFolderNode* f : {&doc.m_root, f1, f2, f3})
        EXPECT_TRUE(Lists(f, c)) << f->m_strName;
    EXPECT_TRUE(Lists(&doc.m_trash, b));
    EXPECT_EQ(KivTest::CheckInvariants(doc), "");
}

} // namespace
