#include "transfer/TransferTestSupport.h"

#include "framework/Archive.h"
#include "model/KivDoc.h"
#include "res/Strings.h"
#include "views/Clipboard.h"

#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

using namespace KivClipboard;
using namespace KivTransferTest;

namespace {

// Payload bytes built field by field: the document file's tables without the header.
QByteArray Payload(const KivTest::Bytes& b)
{
    return QByteArray::fromStdString(b.str());
}

class RecordingView : public CView
{
public:
    void OnUpdate(CView*, const CHint& hint) override { hints.emplace_back(hint.code, hint.folder); }
    std::vector<std::pair<int, CFolderNode*>> hints;
};

class ClipboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KivStrings::SetLanguage(KivStrings::Lang1033);
        BuildSample(source);
        alpha = Child(source.m_root, "Alpha");
        target.CreateFolder(&target.m_root, "Target", false);
        into = Child(target.m_root, "Target");
        target.SetModifiedFlag(false);
    }
    void TearDown() override { KivStrings::ResetLanguage(); }

    CKivDoc source;
    CKivDoc target;
    CFolderNode* alpha = nullptr;
    CFolderNode* into = nullptr;
};

TEST_F(ClipboardTest, BookmarkListPayloadIsTheFileTableLayout)
{
    const QByteArray payload = CopyBookmarks(source, {1, 0});
    const QByteArray expected = Payload(KivTest::Bytes()
                                            .U32(2)
                                            .Bookmark("http://r2.example/", "Root two", "")
                                            .Bookmark("http://r1.example/", "Root one", "first")
                                            .U32(0)
                                            .U32(0));
    EXPECT_EQ(payload, expected);

    // The same tables as the document file writes behind its magic number and version.
    CKivDoc only;
    only.AddBookmark("http://r2.example/", "Root two", "", &only.m_root, false);
    std::vector<char> file;
    CArchive ar(&file);
    only.Serialize(ar);
    const QByteArray body = QByteArray(file.data(), qsizetype(file.size())).mid(8);
    EXPECT_EQ(CopyBookmarks(only, {0}), body);
}

TEST_F(ClipboardTest, BookmarksPastedIntoAnotherFolderAreListedNotDuplicated)
{
    const QByteArray payload = CopyBookmarks(source, alpha->m_aBookmarks);
    CFolderNode* zeta = Child(source.m_root, "Zeta");
    const uint32_t before = source.BookmarkCount();

    const CPasteResult r = PastePayload(source, zeta, payload);
    EXPECT_EQ(r.status, CPasteResult::pasted);
    EXPECT_FALSE(r.subtree);
    EXPECT_EQ(r.added, 2u);
    EXPECT_EQ(source.BookmarkCount(), before);
    EXPECT_EQ(zeta->m_aBookmarks.size(), 3u);
    EXPECT_TRUE(source.IsModified());

    // Pasting again adds nothing: a folder never lists a bookmark twice.
    EXPECT_EQ(PastePayload(source, zeta, payload).added, 0u);
    EXPECT_EQ(zeta->m_aBookmarks.size(), 3u);
}

TEST_F(ClipboardTest, BookmarksPastedIntoAnotherDocumentKeepTheirFields)
{
    const CPasteResult r = PastePayload(target, into, CopyBookmarks(source, alpha->m_aBookmarks));
    ASSERT_EQ(r.status, CPasteResult::pasted);
    const FolderShape expected{
        "Target", {"http://a1.example/|Apfel ä|fruit", "http://a2.example/|Bananen|"}, {}};
    EXPECT_EQ(KivTest::Shape(target, *into), expected);
}

TEST_F(ClipboardTest, ShortUrlsAreSkipped)
{
    const QByteArray payload = Payload(KivTest::Bytes()
                                           .U32(3)
                                           .Bookmark("", "empty")
                                           .Bookmark("x", "one")
                                           .Bookmark("ab", "two")
                                           .U32(0)
                                           .U32(0));
    const CPasteResult r = PastePayload(target, into, payload);
    EXPECT_EQ(r.status, CPasteResult::pasted);
    EXPECT_EQ(r.added, 1u);
    EXPECT_EQ(target.BookmarkCount(), 1u);
}

// A folder copied from the source and pasted into "Target" of an empty document.
struct SubtreeCase
{
    const char* label;
    CFolderNode* (*pick)(CKivDoc&);
    FolderShape (*expected)(const CKivDoc& source, CFolderNode* copied);
};

class SubtreeRoundTrip : public ClipboardTest, public ::testing::WithParamInterface<SubtreeCase>
{
};

FolderShape UnderTarget(std::vector<FolderShape> children, std::vector<std::string> bookmarks = {})
{
    return FolderShape{"Target", std::move(bookmarks), std::move(children)};
}

const SubtreeCase kSubtrees[] = {
    {"Folder", [](CKivDoc& d) { return Child(d.m_root, "Alpha"); },
     [](const CKivDoc& d, CFolderNode* f) { return UnderTarget({KivTest::Shape(d, *f)}); }},
    {"Leaf", [](CKivDoc& d) { return Child(d.m_root, "Zeta"); },
     [](const CKivDoc& d, CFolderNode* f) { return UnderTarget({KivTest::Shape(d, *f)}); }},
    // The root stands for the target itself: its bookmarks and folders land there.
    {"Root", [](CKivDoc& d) { return &d.m_root; },
     [](const CKivDoc& d, CFolderNode* f) {
         FolderShape s = KivTest::Shape(d, *f);
         return UnderTarget(s.folders, s.bookmarks);
     }},
    // The trash and the check folder have no name: a nameless child holds their bookmarks.
    {"Trash", [](CKivDoc& d) { return &d.m_trash; },
     [](const CKivDoc& d, CFolderNode* f) { return UnderTarget({KivTest::Shape(d, *f)}); }},
    {"Check", [](CKivDoc& d) { return &d.m_check; },
     [](const CKivDoc& d, CFolderNode* f) { return UnderTarget({KivTest::Shape(d, *f)}); }},
};

TEST_P(SubtreeRoundTrip, PastedTreeMatchesTheCopiedOne)
{
    CFolderNode* copied = GetParam().pick(source);
    const QByteArray payload = CopyFolder(source, copied);

    CFlatTree flat;
    ASSERT_EQ(ReadPayload(payload, flat), ReadStatus::ok);
    ASSERT_FALSE(flat.m_flatFolders.empty());
    EXPECT_EQ(flat.m_flatFolders[0].depth, 1);
    EXPECT_EQ(flat.m_flatFolders[0].name, copied->m_strName);
    EXPECT_EQ(PayloadBytes(flat), payload);

    const CPasteResult r = PastePayload(target, into, payload);
    ASSERT_EQ(r.status, CPasteResult::pasted);
    EXPECT_TRUE(r.subtree);
    EXPECT_EQ(r.target, into);
    EXPECT_EQ(KivTest::Shape(target, *into), GetParam().expected(source, copied));
    EXPECT_EQ(Child(*into, "_root_"), nullptr);
    EXPECT_TRUE(target.IsModified());
    EXPECT_EQ(KivTest::CheckInvariants(target), "");
}

INSTANTIATE_TEST_SUITE_P(Folders, SubtreeRoundTrip, ::testing::ValuesIn(kSubtrees),
                         [](const auto& info) { return std::string(info.param.label); });

// The payload is taken before anything is inserted, so a folder pasted into its own
// subfolder is copied once and does not chase its own growth.
TEST_F(ClipboardTest, FolderPastedIntoItsOwnSubfolder)
{
    const FolderShape copied = KivTest::Shape(source, *alpha);
    CFolderNode* beta = alpha->m_pFirstChild;
    const uint32_t before = source.BookmarkCount();
    ASSERT_EQ(PastePayload(source, beta, CopyFolder(source, alpha)).status, CPasteResult::pasted);
    CFolderNode* inner = Child(*beta, "Alpha");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(KivTest::Shape(source, *inner), copied);
    EXPECT_EQ(source.BookmarkCount(), before);
    EXPECT_EQ(KivTest::CheckInvariants(source), "");
}

TEST_F(ClipboardTest, CopyingNoFolderGivesNothing)
{
    EXPECT_TRUE(CopyFolder(source, nullptr).isEmpty());
}

TEST_F(ClipboardTest, SubtreeMergesIntoFoldersOfTheSameNameIgnoringCase)
{
    CFolderNode* existing = target.CreateFolder(into, "alpha", false);
    CFolderNode* beta = target.CreateFolder(existing, "Bet", false); // a near miss
    CFolderNode* betaSharp = target.CreateFolder(existing, "beta ß", false);
    target.AddBookmark("http://a2.example/", "Kept name", "kept", existing, false);
    target.SetModifiedFlag(false);

    ASSERT_EQ(PastePayload(target, into, CopyFolder(source, alpha)).status, CPasteResult::pasted);

    // Alpha merged into "alpha", "Beta ß" into "beta ß"; nothing new beside them.
    EXPECT_EQ(into->m_pFirstChild, existing);
    EXPECT_EQ(existing->m_pNext, nullptr);
    EXPECT_EQ(existing->m_strName, "alpha");
    EXPECT_EQ(beta->m_pFirstChild, nullptr);
    ASSERT_NE(betaSharp->m_pFirstChild, nullptr);
    EXPECT_EQ(betaSharp->m_pFirstChild->m_strName, "Gamma");
    // The known URL keeps the name and comment it already had.
    const FolderShape alphaShape{
        "alpha",
        {"http://a1.example/|Apfel ä|fruit", "http://a2.example/|Kept name|kept"},
        {KivTest::Shape(target, *beta), KivTest::Shape(target, *betaSharp)}};
    EXPECT_EQ(KivTest::Shape(target, *existing), alphaShape);
    EXPECT_EQ(target.BookmarkCount(), 4u);
    EXPECT_EQ(KivTest::CheckInvariants(target), "");
}

TEST_F(ClipboardTest, ThePasteTellsTheViewsWhatToRedraw)
{
    RecordingView view;
    target.AddView(&view);
    SendPasteHints(target, PastePayload(target, into, CopyFolder(source, alpha)));
    const std::vector<std::pair<int, CFolderNode*>> subtree{{HINT_SYNC_FOLDER, into},
                                                     {HINT_REFRESH, nullptr}};
    EXPECT_EQ(view.hints, subtree);

    view.hints.clear();
    SendPasteHints(target, PastePayload(target, into, CopyBookmarks(source, {0})));
    const std::vector<std::pair<int, CFolderNode*>> list{{HINT_REFRESH, nullptr}};
    EXPECT_EQ(view.hints, list);

    view.hints.clear();
    SendPasteHints(target, PastePayload(target, into, QByteArray("\x01", 1)));
    SendPasteHints(target, PastePayload(target, nullptr, CopyBookmarks(source, {0})));
    EXPECT_TRUE(view.hints.empty());
    target.RemoveView(&view);
}

TEST_F(ClipboardTest, ClipboardDataOffersOnlyThePrivateFormat)
{
    std::unique_ptr<QMimeData> data(MakeMimeData(CopyBookmarks(source, {0})));
    EXPECT_EQ(data->formats(), QStringList{"Vedirodo"});
    EXPECT_TRUE(OffersPayload(data.get()));
    EXPECT_EQ(data->data("Vedirodo"), CopyBookmarks(source, {0}));

    QMimeData text;
    text.setText("http://r1.example/");
    EXPECT_FALSE(OffersPayload(&text));
    EXPECT_FALSE(OffersPayload(nullptr));
    text.setData("Vedirodo", QByteArray(12, '\0'));
    EXPECT_TRUE(OffersPayload(&text));
}

TEST_F(ClipboardTest, BytesAfterThePayloadAreIgnored)
{
    QByteArray payload = CopyFolder(source, alpha);
    payload.append(QByteArray(37, '\xFF'));
    EXPECT_EQ(PastePayload(target, into, payload).status, CPasteResult::pasted);
    EXPECT_EQ(KivTest::Shape(target, *Child(*into, "Alpha")), KivTest::Shape(source, *alpha));
}

// Every prefix of a real payload is refused with a message, and the document stays
// exactly as it was.
TEST_F(ClipboardTest, EveryTruncationChangesNothing)
{
    KivTransferTest::BuildSample(target); // a target with content to disturb
    into = Child(target.m_root, "Zeta");
    const std::vector<FolderShape> before = Snapshot(target);
    for (CFolderNode* copied : {alpha, &source.m_root}) {
        const QByteArray payload = CopyFolder(source, copied);
        for (qsizetype n = 0; n < payload.size(); ++n) {
            const CPasteResult r = PastePayload(target, into, payload.left(n));
            ASSERT_NE(r.status, CPasteResult::pasted) << "prefix of " << n << " bytes";
            EXPECT_EQ(r.messageId, IDS_PASTE_DAMAGED);
            ASSERT_FALSE(target.IsModified()) << "prefix of " << n << " bytes";
        }
    }
    EXPECT_EQ(Snapshot(target), before);
    EXPECT_EQ(PastePayload(target, into, QByteArray()).status, CPasteResult::truncated);
    EXPECT_FALSE(KivStrings::Load(IDS_PASTE_DAMAGED).isEmpty());
}

// Payloads breaking the table rules: each is refused whole.
struct MalformedCase
{
    const char* label;
    QByteArray bytes;
};

class MalformedPayload : public ClipboardTest, public ::testing::WithParamInterface<MalformedCase>
{
};

KivTest::Bytes TwoBookmarks()
{
    KivTest::Bytes b;
    b.U32(2).Bookmark("http://m1.example/", "m1").Bookmark("http://m2.example/", "m2");
    return b;
}

const MalformedCase kMalformed[] = {
    {"LinkFolderBeyondTable", Payload(TwoBookmarks().U32(1).Folder("A", 1).U32(1).Link(1, 0))},
    {"LinkBookmarkBeyondTable", Payload(TwoBookmarks().U32(1).Folder("A", 1).U32(1).Link(0, 2))},
    {"LinkWithoutFolders", Payload(TwoBookmarks().U32(0).U32(1).Link(0, 0))},
    {"HugeIndexes",
     Payload(TwoBookmarks().U32(1).Folder("A", 1).U32(1).Link(0xFFFFFFFF, 0xFFFFFFFF))},
    {"FirstDepthZero", Payload(TwoBookmarks().U32(1).Folder("A", 0).U32(0))},
    {"FirstDepthTwo", Payload(TwoBookmarks().U32(1).Folder("A", 2).U32(0))},
    {"LaterDepthZero", Payload(TwoBookmarks().U32(2).Folder("A", 1).Folder("B", 0).U32(0))},
    {"DepthJump",
     Payload(TwoBookmarks().U32(3).Folder("A", 1).Folder("B", 2).Folder("C", 4).U32(1).Link(0, 0))},
    {"DepthMax", Payload(TwoBookmarks().U32(1).Folder("A", 0xFFFF).U32(0))},
    {"BadWidePrefix", QByteArray("\x01\x00\x00\x00\xFF\xFE\xFF\xFF\xFE\xFF", 10)},
};

TEST_P(MalformedPayload, IsRefusedAndChangesNothing)
{
    const std::vector<FolderShape> before = Snapshot(target);
    const CPasteResult r = PastePayload(target, into, GetParam().bytes);
    EXPECT_EQ(r.status, CPasteResult::damaged);
    EXPECT_EQ(r.messageId, IDS_PASTE_DAMAGED);
    EXPECT_EQ(Snapshot(target), before);
    EXPECT_FALSE(target.IsModified());

    // The read alone refuses it too, leaving no half-read tables behind.
    CFlatTree flat;
    EXPECT_EQ(ReadPayload(GetParam().bytes, flat), ReadStatus::damaged);
    EXPECT_TRUE(flat.FlatEmpty());
}

INSTANTIATE_TEST_SUITE_P(Rules, MalformedPayload, ::testing::ValuesIn(kMalformed),
                         [](const auto& info) { return std::string(info.param.label); });

// The deepest tree the rules allow, then a climb back to the top.
TEST_F(ClipboardTest, NinetyNineLevelsAndClimbingBackArePasted)
{
    KivTest::Bytes b = KivTest::Bytes().U32(1).Bookmark("http://deep.example/", "deep").U32(100);
    for (uint16_t d = 1; d <= 99; ++d)
        b.Folder("L" + std::to_string(d), d);
    b.Folder("Top", 1).U32(1).Link(98, 0);
    // Below a top-level folder the chain would reach level 100, which no file keeps.
    const CPasteResult deep = PastePayload(target, into, Payload(b));
    EXPECT_EQ(deep.status, CPasteResult::tooDeep);
    EXPECT_EQ(Child(*into, "L1"), nullptr);
    // In the root every level fits.
    CFolderNode* root = &target.m_root;
    const CPasteResult r = PastePayload(target, root, Payload(b));
    ASSERT_EQ(r.status, CPasteResult::pasted);
    EXPECT_EQ(r.added, 1u);
    CFolderNode* f = root;
    for (int d = 1; d <= 99; ++d) {
        f = Child(*f, "L" + std::to_string(d));
        ASSERT_NE(f, nullptr) << "level " << d;
    }
    EXPECT_EQ(f->m_aBookmarks.size(), 1u);
    EXPECT_NE(Child(*root, "Top"), nullptr);
}

TEST_F(ClipboardTest, OnlyAFirstFolderNamedRootStandsForTheTarget)
{
    const QByteArray payload = Payload(TwoBookmarks()
                                           .U32(3)
                                           .Folder("_ROOT_", 1)
                                           .Folder("_root_", 2)
                                           .Folder("_root_", 1)
                                           .U32(2)
                                           .Link(1, 0)
                                           .Link(2, 1));
    ASSERT_EQ(PastePayload(target, into, payload).status, CPasteResult::pasted);
    // Case matters for the marker: "_ROOT_" is an ordinary folder, and so is a later
    // "_root_" (which merges by name with the first one, ignoring case).
    CFolderNode* upper = Child(*into, "_ROOT_");
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(upper->m_pNext, nullptr);
    ASSERT_NE(Child(*upper, "_root_"), nullptr);
    EXPECT_EQ(Child(*upper, "_root_")->m_aBookmarks.size(), 1u);
    EXPECT_EQ(upper->m_aBookmarks.size(), 1u);
}

} // namespace
