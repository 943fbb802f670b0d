// The document file: exact bytes, what a save keeps and drops, how loading rebuilds
// the tree, malformed and truncated files, and round trips over generated trees.

#include "model/ModelTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace KivTest;

namespace {

using Strings = std::vector<std::string>;

const std::string kWorkedExample = Bytes()
                                       .Header()
                                       .U32(2)
                                       .Bookmark("aa", "A")
                                       .Bookmark("bb", "B")
                                       .U32(1)
                                       .Folder("Web", 1)
                                       .U32(1)
                                       .Link(0, 0)
                                       .str();

class FileTest : public ::testing::Test
{
protected:
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    std::string SaveFile(CKivDoc& doc, const char* name = "doc.kiv")
    {
        EXPECT_TRUE(doc.DoSave(Path(name)));
        return ReadFile(Path(name)).toStdString();
    }
    QTemporaryDir m_dir;
};

// --- exact bytes -----------------------------------------------------------------------

TEST_F(FileTest, WorkedExampleIsWrittenAsItsFortyEightBytes)
{
    CKivDoc doc;
    CFolderNode* web = doc.CreateFolder(&doc.m_root, "Web", false);
    ASSERT_TRUE(doc.AddBookmark("aa", "A", nullptr, web, false));
    ASSERT_TRUE(doc.AddBookmark("bb", "B", nullptr, nullptr, false));
    ASSERT_TRUE(doc.IsModified());
    EXPECT_EQ(SaveFile(doc), kWorkedExample);
    EXPECT_EQ(kWorkedExample.size(), 48u);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(FileTest, WorkedExampleLoadsWithTheUnlinkedBookmarkInTheRoot)
{
    ASSERT_TRUE(WriteFile(Path("w.kiv"), kWorkedExample));
    CKivDoc doc;
    ASSERT_TRUE(doc.OpenDocumentFile(Path("w.kiv")));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Names(doc, doc.m_root), Strings{"B"});
    ASSERT_EQ(ChildNames(doc.m_root), Strings{"Web"});
    EXPECT_EQ(Names(doc, *doc.m_root.m_pFirstChild), Strings{"A"});
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("w.kiv"));
    EXPECT_EQ(SaveFile(doc, "again.kiv"), kWorkedExample);
}

TEST_F(FileTest, EmptyDocumentIsTwentyBytes)
{
    CKivDoc doc;
    doc.OnNewDocument();
    EXPECT_EQ(SaveFile(doc), Bytes().Header().U32(0).U32(0).U32(0).str());
}

// --- what a save keeps ---------------------------------------------------------------

TEST_F(FileTest, SharedBookmarkIsWrittenOnceAndLinkedTwice)
{
    CKivDoc doc;
    ASSERT_TRUE(doc.AddBookmarkAtPath("http://s", "S", "One", false));
    ASSERT_TRUE(doc.AddBookmarkAtPath("http://s", "S", "Two", false));
    EXPECT_EQ(SaveFile(doc), Bytes()
                                 .Header()
                                 .U32(1)
                                 .Bookmark("http://s", "S")
                                 .U32(2)
                                 .Folder("One", 1)
                                 .Folder("Two", 1)
                                 .U32(2)
                                 .Link(0, 0)
                                 .Link(1, 0)
                                 .str());
}

TEST_F(FileTest, BookmarkInRootAndFolderComesBackInTheFolderOnly)
{
    CKivDoc doc;
    ASSERT_TRUE(doc.AddBookmark("http://x", "X", nullptr, nullptr, false));
    ASSERT_TRUE(doc.AddBookmarkAtPath("http://x", "X", "F", false));
    SaveFile(doc);
    ASSERT_TRUE(doc.OpenDocumentFile(Path("doc.kiv")));
    EXPECT_TRUE(doc.m_root.m_aBookmarks.empty());
    EXPECT_EQ(Names(doc, *doc.m_root.m_pFirstChild), Strings{"X"});
}

TEST_F(FileTest, TrashAndCheckAreNotSavedButTrashSubfoldersKeepTheirBookmarks)
{
    CKivDoc doc;
    ASSERT_TRUE(doc.AddBookmark("http://trash", "T", nullptr, &doc.m_trash, false));
    ASSERT_TRUE(doc.AddBookmark("http://check", "C", nullptr, &doc.m_check, true));
    CFolderNode* sub = doc.CreateFolder(&doc.m_trash, "Old", false);
    ASSERT_TRUE(doc.AddBookmark("http://sub", "Sub", nullptr, sub, false));
    doc.CreateFolder(&doc.m_root, "Kept", false);
    EXPECT_EQ(SaveFile(doc), Bytes()
                                 .Header()
                                 .U32(1)
                                 .Bookmark("http://sub", "Sub")
                                 .U32(1)
                                 .Folder("Kept", 1)
                                 .U32(0)
                                 .str());
    ASSERT_TRUE(doc.OpenDocumentFile(Path("doc.kiv")));
    EXPECT_EQ(Names(doc, doc.m_root), Strings{"Sub"});
    EXPECT_TRUE(doc.m_trash.m_aBookmarks.empty());
    EXPECT_EQ(doc.m_trash.m_pFirstChild, nullptr);
}

TEST_F(FileTest, NamesAreKeptAsStoredAndEqualUrlsStaySeparate)
{
    ASSERT_TRUE(WriteFile(Path("d.kiv"), Bytes()
                                             .Header()
                                             .U32(2)
                                             .Bookmark("http://same", "  Blank")
                                             .Bookmark("http://same", "Other", "note")
                                             .U32(0)
                                             .U32(0)
                                             .str()));
    CKivDoc doc;
    ASSERT_TRUE(doc.OpenDocumentFile(Path("d.kiv")));
    ASSERT_EQ(doc.BookmarkCount(), 2u);
    EXPECT_EQ(Names(doc, doc.m_root), (Strings{"  Blank", "Other"}));
    EXPECT_EQ(doc.Bookmark(1).m_strComment, "note");
}

TEST_F(FileTest, SiblingsAreSortedAgainOnLoadKeepingFileOrderAmongEqualNames)
{
    ASSERT_TRUE(WriteFile(Path("d.kiv"), Bytes()
                                             .Header()
                                             .U32(0)
                                             .U32(3)
                                             .Folder("b", 1)
                                             .Folder("a", 1)
                                             .Folder("A", 1)
                                             .U32(0)
                                             .str()));
    CKivDoc doc;
    ASSERT_TRUE(doc.OpenDocumentFile(Path("d.kiv")));
    EXPECT_EQ(ChildNames(doc.m_root), (Strings{"a", "A", "b"}));
}

TEST_F(FileTest, NamesBeyondTheFirstPlaneLoadInOrderAndAreNotListedTwice)
{
    // U+20531 sorts before U+208FB. Listed the other way round in the file, the
    // folder is sorted on load, and it then refuses the URL it already lists.
    const std::string later = "\xF0\xA0\xA3\xBB", earlier = "\xF0\xA0\x94\xB1";
    ASSERT_LT(KivText::CompareNoCase(earlier, later), 0);
    ASSERT_TRUE(WriteFile(Path("d.kiv"), Bytes()
                                             .Header()
                                             .U32(2)
                                             .Bookmark("http://later", later)
                                             .Bookmark("http://earlier", earlier)
                                             .U32(1)
                                             .Folder("F", 1)
                                             .U32(2)
                                             .Link(0, 0)
                                             .Link(0, 1)
                                             .str()));
    CKivDoc doc;
    ASSERT_TRUE(doc.OpenDocumentFile(Path("d.kiv")));
    CFolderNode* folder = doc.m_root.m_pFirstChild;
    ASSERT_TRUE(folder);
    EXPECT_EQ(Names(doc, *folder), (Strings{earlier, later}));
    EXPECT_FALSE(doc.AddBookmark("http://later", "x", "", folder, false));
    EXPECT_FALSE(doc.AddBookmark("http://earlier", "x", "", folder, false));
    EXPECT_EQ(folder->m_aBookmarks.size(), 2u);
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST_F(FileTest, LinkMarkersAreIgnored)
{
    for (uint16_t marker : {0, 1, 2, 0xFFFF}) {
        ASSERT_TRUE(WriteFile(Path("m.kiv"), Bytes()
                                                 .Header()
                                                 .U32(1)
                                                 .Bookmark("aa", "A")
                                                 .U32(1)
                                                 .Folder("F", 1)
                                                 .U32(1)
                                                 .Link(0, 0, marker)
                                                 .str()));
        CKivDoc doc;
        ASSERT_TRUE(doc.OpenDocumentFile(Path("m.kiv")));
        EXPECT_EQ(doc.m_root.m_pFirstChild->m_aBookmarks, std::vector<uint32_t>{0}) << marker;
        EXPECT_TRUE(doc.m_root.m_aBookmarks.empty());
    }
}

TEST_F(FileTest, NonAsciiTextIsWrittenWideAndLegacyBytesReadAsWindows1252)
{
    ASSERT_TRUE(WriteFile(Path("l.kiv"), Bytes()
                                             .Header()
                                             .U32(1)
                                             .Bookmark("http://e", "Caf\xE9 \x80", "na\xC3\xAFve")
                                             .U32(0)
                                             .U32(0)
                                             .str()));
    CKivDoc doc;
    ASSERT_TRUE(doc.OpenDocumentFile(Path("l.kiv")));
    EXPECT_EQ(doc.Bookmark(0).m_strName, "Café €");
    EXPECT_EQ(doc.Bookmark(0).m_strComment, "naïve"); // valid UTF-8 is kept
    const std::string saved = SaveFile(doc, "w.kiv");
    // "Café €": FF FE FF, six UTF-16 characters.
    EXPECT_NE(saved.find(std::string("\xFF\xFE\xFF\x06" "C\0a\0f\0\xE9\0 \0\xAC\x20", 16)),
              std::string::npos);
    ASSERT_TRUE(doc.OpenDocumentFile(Path("w.kiv")));
    EXPECT_EQ(doc.Bookmark(0).m_strName, "Café €");
}

// --- header and truncation -------------------------------------------------------------

struct HeaderCase
{
    uint32_t magic;
    uint32_t version;
    CFileError::Cause cause;
};

class WrongHeaderTest : public FileTest, public ::testing::WithParamInterface<HeaderCase>
{
};

// Opening such a file as an empty collection would let the next save wipe it: it is
// refused instead, and the document keeps what it had.
TEST_P(WrongHeaderTest, IsRefusedAndTheDocumentStaysAsItWas)
{
    const std::string bytes =
        Bytes().Header(GetParam().magic, GetParam().version).U32(7).Str("junk").str();
    ASSERT_TRUE(WriteFile(Path("h.kiv"), bytes));
    CKivDoc doc;
    ASSERT_TRUE(doc.AddBookmark("http://old", "Old", nullptr, nullptr, false));
    std::vector<CFileError> errors;
    doc.SetErrorSink([&](const CFileError& e) { errors.push_back(e); });
    EXPECT_FALSE(doc.OpenDocumentFile(Path("h.kiv")));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].cause, GetParam().cause);
    EXPECT_EQ(errors[0].path, Path("h.kiv"));
    EXPECT_EQ(doc.BookmarkCount(), 1u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_EQ(ReadFile(Path("h.kiv")).toStdString(), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, WrongHeaderTest,
    ::testing::Values(HeaderCase{0x2506AB01, 2, CFileError::notOurFormat},
                      HeaderCase{0, 2, CFileError::notOurFormat},
                      HeaderCase{0x2506AB00, 1, CFileError::notOurFormat},
                      HeaderCase{0x2506AB00, 3, CFileError::newerFormat},
                      HeaderCase{0x00AB0625, 2, CFileError::notOurFormat}));

TEST_F(FileTest, EmptyFileOpensAsEmptyDocument)
{
    ASSERT_TRUE(WriteFile(Path("zero.kiv"), ""));
    CKivDoc doc;
    int errors = 0;
    doc.SetErrorSink([&](const CFileError&) { ++errors; });
    ASSERT_TRUE(doc.OpenDocumentFile(Path("zero.kiv")));
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(doc.BookmarkCount(), 0u);
}

// A collection with every kind of record and every string form.
void FillRich(CKivDoc& doc)
{
    doc.AddBookmarkAtPath("http://example.org/", "Example", "News/Tech", false);
    doc.AddBookmarkAtPath("http://example.org/", "Example", "Tools", false);
    doc.AddBookmark("http://long", std::string(300, 'L').c_str(), std::string(70000, 'c').c_str(),
                    nullptr, false);
    doc.AddBookmarkAtPath("http://wide", "Ünïcode ☃", "Tools/Ñ", false);
    doc.CreateFolder(&doc.m_root, "Empty", false);
}

TEST_F(FileTest, EveryTruncationFailsCleanlyAndLeavesAnUntitledEmptyDocument)
{
    CKivDoc doc;
    FillRich(doc);
    const std::string full = SaveFile(doc, "full.kiv");
    ASSERT_GT(full.size(), 70000u);
    // Every cut inside the header and the tables, and a sample through the long comment.
    std::vector<size_t> cuts;
    for (size_t n = 1; n < full.size(); n += (n < 400 || n > full.size() - 400) ? 1 : 997)
        cuts.push_back(n);
    for (size_t n : cuts) {
        ASSERT_TRUE(WriteFile(Path("cut.kiv"), full.substr(0, n)));
        ASSERT_TRUE(doc.OpenDocumentFile(Path("full.kiv")));
        ASSERT_GT(doc.BookmarkCount(), 0u);
        CFileError::Cause cause = CFileError::none;
        doc.SetErrorSink([&](const CFileError& e) { cause = e.cause; });
        ASSERT_FALSE(doc.OpenDocumentFile(Path("cut.kiv"))) << "cut at " << n;
        ASSERT_EQ(cause, CFileError::badFormat) << "cut at " << n;
        ASSERT_EQ(doc.BookmarkCount(), 0u);
        ASSERT_EQ(doc.m_root.m_pFirstChild, nullptr);
        ASSERT_TRUE(doc.m_root.m_aBookmarks.empty());
        ASSERT_TRUE(doc.FlatEmpty()) << "nothing half-loaded is kept";
        ASSERT_TRUE(doc.GetPathName().isEmpty());
        ASSERT_EQ(doc.GetTitle(), CDocument::UntitledName());
        ASSERT_FALSE(doc.IsModified());
    }
}

TEST_F(FileTest, MissingFileLeavesTheDocumentAsItWas)
{
    CKivDoc doc;
    ASSERT_TRUE(doc.AddBookmark("http://keep", "Keep", nullptr, nullptr, false));
    CFileError::Cause cause = CFileError::none;
    doc.SetErrorSink([&](const CFileError& e) { cause = e.cause; });
    EXPECT_FALSE(doc.OpenDocumentFile(Path("absent.kiv")));
    EXPECT_EQ(cause, CFileError::fileNotFound);
    EXPECT_EQ(doc.BookmarkCount(), 1u);
    EXPECT_TRUE(doc.IsModified());
}

// --- malformed tables ------------------------------------------------------------------

// Bookmark records A..E, then the given folders and links.
std::string Malformed(const std::vector<std::pair<std::string, uint16_t>>& folders,
                      const std::vector<std::pair<uint32_t, uint32_t>>& links)
{
    Bytes b;
    b.Header().U32(5);
    for (const char* n : {"A", "B", "C", "D", "E"})
        b.Bookmark(std::string("http://") + n, n);
    b.U32(static_cast<uint32_t>(folders.size()));
    for (const auto& [name, depth] : folders)
        b.Folder(name, depth);
    b.U32(static_cast<uint32_t>(links.size()));
    for (const auto& [folder, bookmark] : links)
        b.Link(folder, bookmark);
    return b.str();
}

// The loaded tree as text: "name[bookmarks](children)".
std::string Outline(const CKivDoc& doc, const CFolderNode& f)
{
    std::string s = f.m_strName + "[";
    for (const std::string& n : Names(doc, f))
        s += n;
    s += "]";
    if (f.m_pFirstChild) {
        s += "(";
        for (const CFolderNode* c = f.m_pFirstChild; c; c = c->m_pNext)
            s += (c == f.m_pFirstChild ? "" : " ") + Outline(doc, *c);
        s += ")";
    }
    return s;
}

struct MalformedCase
{
    const char* what;
    std::string bytes;
    const char* outline;
};

class MalformedTest : public FileTest, public ::testing::WithParamInterface<MalformedCase>
{
};

TEST_P(MalformedTest, SkipsTheBadRecordWithWhatIsNestedUnderIt)
{
    ASSERT_TRUE(WriteFile(Path("bad.kiv"), GetParam().bytes));
    CKivDoc doc;
    ASSERT_TRUE(doc.OpenDocumentFile(Path("bad.kiv")));
    EXPECT_EQ(Outline(doc, doc.m_root), GetParam().outline);
    EXPECT_EQ(CheckInvariants(doc), "");
    EXPECT_EQ(doc.BookmarkCount(), 5u);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, MalformedTest,
    ::testing::Values(
        MalformedCase{"depth 0",
                      Malformed({{"Z", 0}, {"T", 1}, {"U", 2}}, {{0, 0}, {1, 1}, {2, 2}}),
                      "_root_[ADE](T[B](U[C]))"},
        MalformedCase{"depth 0 between levels",
                      Malformed({{"T", 1}, {"Z", 0}, {"U", 2}}, {{1, 0}}),
                      "_root_[ABCDE](T[](U[]))"},
        MalformedCase{"depth above 99",
                      Malformed({{"T", 1}, {"X", 100}, {"Y", 0xFFFF}, {"U", 2}},
                                {{1, 0}, {2, 1}, {3, 2}}),
                      "_root_[ABDE](T[](U[C]))"},
        MalformedCase{"missing parent level",
                      Malformed({{"T", 1}, {"X", 3}, {"Y", 4}, {"U", 2}, {"V", 3}},
                                {{1, 0}, {2, 1}, {4, 2}}),
                      "_root_[ABDE](T[](U[](V[C])))"},
        MalformedCase{"first record below the top",
                      Malformed({{"X", 2}, {"T", 1}}, {{0, 0}, {1, 1}}), "_root_[ACDE](T[B])"},
        MalformedCase{"links beyond the tables",
                      Malformed({{"T", 1}}, {{0, 5}, {0, 0xFFFFFFFF}, {1, 0}, {0xFFFFFFFF, 1},
                                            {0, 3}, {0, 3}}),
                      "_root_[ABCE](T[D])"},
        MalformedCase{"a return to a filled level",
                      Malformed({{"T", 1}, {"U", 2}, {"W", 1}, {"V", 3}}, {{3, 0}}),
                      "_root_[BCDE](T[](U[](V[A])) W[])"}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& c : n)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST_F(FileTest, ChainOfNinetyNineLevelsLoads)
{
    std::vector<std::pair<std::string, uint16_t>> folders;
    for (uint16_t d = 1; d <= 99; ++d)
        folders.emplace_back("L" + std::to_string(d), d);
    ASSERT_TRUE(WriteFile(Path("deep.kiv"), Malformed(folders, {{98, 0}})));
    CKivDoc doc;
    ASSERT_TRUE(doc.OpenDocumentFile(Path("deep.kiv")));
    int depth = 0;
    const CFolderNode* f = &doc.m_root;
    while (f->m_pFirstChild) {
        f = f->m_pFirstChild;
        ++depth;
    }
    EXPECT_EQ(depth, 99);
    EXPECT_EQ(Names(doc, *f), Strings{"A"});
    EXPECT_EQ(SaveFile(doc, "deep2.kiv"), ReadFile(Path("deep.kiv")).toStdString());
}

// --- round trips over generated trees ------------------------------------------------------

void Generate(CKivDoc& doc, uint32_t seed)
{
    std::mt19937 rng(seed);
    const auto pick = [&](size_t n) { return static_cast<uint32_t>(rng() % n); };
    const char* const names[] = {"a", "A", "b", "Bé", "be", "Ω", "", "  x", "long name here"};
    std::vector<CFolderNode*> folders{&doc.m_root, &doc.m_trash, &doc.m_check};
    const int steps = 50 + static_cast<int>(pick(300));
    for (int k = 0; k < steps; ++k) {
        CFolderNode* f = folders[pick(folders.size())];
        std::string name = names[pick(std::size(names))];
        if (pick(10) == 0)
            name += std::string(250 + pick(10), 'n'); // around the one-byte prefix limit
        if (pick(3) == 0 && folders.size() < 60) {
            folders.push_back(doc.CreateFolder(f, name, false));
        } else {
            const std::string url = "http://h/" + std::to_string(pick(120));
            doc.AddBookmark(url.c_str(), name.c_str(), pick(2) ? "comment" : nullptr, f,
                            doc.IsCheck(f));
        }
    }
}

class RoundTripTest : public FileTest, public ::testing::WithParamInterface<uint32_t>
{
};

TEST_P(RoundTripTest, SaveLoadSaveIsByteIdenticalAndTheTreeEqual)
{
    CKivDoc doc;
    Generate(doc, GetParam());
    const std::string first = SaveFile(doc, "a.kiv");

    CKivDoc loaded;
    ASSERT_TRUE(loaded.OpenDocumentFile(Path("a.kiv")));
    EXPECT_EQ(CheckInvariants(loaded), "");
    EXPECT_EQ(SaveFile(loaded, "b.kiv"), first);

    // Folders below the root come back exactly, each list in its order.
    EXPECT_TRUE(Shape(loaded, loaded.m_root).folders == Shape(doc, doc.m_root).folders);
    // The root holds every saved bookmark that no folder below it lists (those of
    // the root itself, and those listed only below the trash or the check folder).
    std::vector<CFolderNode*> below;
    CollectFolders(doc.m_root.m_pFirstChild, below);
    std::multiset<std::string> wantRoot, gotRoot;
    for (uint32_t i = 0; i < doc.BookmarkCount(); ++i) {
        bool listed = false;
        for (CFolderNode* f : below)
            listed |= std::count(f->m_aBookmarks.begin(), f->m_aBookmarks.end(), i) > 0;
        if (doc.Bookmark(i).m_nRefs >= 1 && !listed)
            wantRoot.insert(doc.Bookmark(i).m_strUrl);
    }
    for (uint32_t i : loaded.m_root.m_aBookmarks)
        gotRoot.insert(loaded.Bookmark(i).m_strUrl);
    EXPECT_EQ(gotRoot, wantRoot);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RoundTripTest, ::testing::Range(1u, 41u));

}  // namespace
