#include "views/DropFormats.h"

#include <QMimeData>

#include <gtest/gtest.h>

#include <functional>

using namespace KivDrop;

namespace {

QByteArray Utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// What a browser offers for a dragged link, format by format.
void AddMozUrl(QMimeData& d, const QString& url, const QString& title)
{
    d.setData(kMozUrl, Utf16(url + "\n" + title));
}
void AddNetscapeUrl(QMimeData& d, const QString& url, const QString& title)
{
    d.setData(kNetscapeUrl, (url + "\n" + title).toUtf8());
}
void AddWindowsUrl(QMimeData& d, const QString& url)
{
    d.setData(kWindowsUrl, url.toLatin1() + QByteArray(1, '\0'));
}
void AddUriList(QMimeData& d, const QStringList& lines)
{
    d.setData(kUriList, lines.join("\r\n").toUtf8() + "\r\n");
}

struct LinkCase
{
    const char* label;
    std::function<void(QMimeData&)> fill;
    const char* text;
    const char* url;
    const char* title;
};

class LinkDrag : public ::testing::TestWithParam<LinkCase>
{
};

const char kUrl[] = "https://example.org/a?b=c";

const LinkCase kLinks[] = {
    {"FirefoxLink",
     [](QMimeData& d) {
         AddMozUrl(d, kUrl, "Example title");
         AddUriList(d, {kUrl});
         d.setText(kUrl);
         AddNetscapeUrl(d, kUrl, "Example title");
     },
     kUrl, kUrl, "Example title"},
    {"MozUrlOnly", [](QMimeData& d) { AddMozUrl(d, kUrl, "Tïtle"); }, kUrl, kUrl, "Tïtle"},
    {"MozUrlWithByteOrderMark",
     [](QMimeData& d) {
         d.setData(kMozUrl, QByteArray("\xFF\xFE", 2) + Utf16(QString(kUrl) + "\nT"));
     },
     kUrl, kUrl, "T"},
    {"NetscapeUrl", [](QMimeData& d) { AddNetscapeUrl(d, kUrl, "Netscape"); }, kUrl, kUrl,
     "Netscape"},
    {"WindowsUrl", [](QMimeData& d) { AddWindowsUrl(d, kUrl); }, kUrl, kUrl, ""},
    {"UriListOfWebLinks",
     [](QMimeData& d) {
         AddUriList(d, {"# comment", kUrl});
     },
     kUrl, kUrl, ""},
    // The text of a single link comes from the dragged plain text where there is one.
    {"UriListWithPlainText",
     [](QMimeData& d) {
         AddUriList(d, {kUrl});
         d.setText("  http://typed.example/ \n");
     },
     "http://typed.example/", kUrl, ""},
};

TEST_P(LinkDrag, CarriesTheLink)
{
    QMimeData data;
    GetParam().fill(data);
    EXPECT_TRUE(AcceptsDrop(data));
    const CDropContent c = ReadDrop(data);
    ASSERT_EQ(c.kind, CDropContent::Kind::links);
    EXPECT_TRUE(c.files.empty());
    ASSERT_EQ(c.urls.size(), 1u);
    EXPECT_EQ(c.urls[0].text, QString::fromUtf8(GetParam().text));
    EXPECT_EQ(c.urls[0].url, QString::fromUtf8(GetParam().url));
    EXPECT_EQ(c.urls[0].title, QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(Browsers, LinkDrag, ::testing::ValuesIn(kLinks),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(DropFormats, SeveralLinksEachCarryTheirOwnUrl)
{
    QMimeData data;
    data.setData(kMozUrl, Utf16("http://one.example/\nOne\nhttp://two.example/\nTwo"));
    data.setText("http://one.example/\nhttp://two.example/");
    const CDropContent c = ReadDrop(data);
    ASSERT_EQ(c.urls.size(), 2u);
    EXPECT_EQ(c.urls[0].text, "http://one.example/");
    EXPECT_EQ(c.urls[1].text, "http://two.example/");
    EXPECT_EQ(c.urls[1].title, "Two");
}

TEST(DropFormats, FileManagerDragCarriesLocalPathsByKind)
{
    QMimeData data;
    AddUriList(data, {"file:///home/u/Links/News.URL", "file:///home/u/My%20Docs/b.kiv",
                      "file://localhost/home/u/c.txt", "file:///home/u/d.url/inner"});
    data.setText("/home/u/Links/News.URL");
    const CDropContent c = ReadDrop(data);
    ASSERT_EQ(c.kind, CDropContent::Kind::files);
    EXPECT_TRUE(c.urls.empty());
    ASSERT_EQ(c.files.size(), 4u);
    EXPECT_EQ(c.files[0].path, "/home/u/Links/News.URL");
    EXPECT_EQ(c.files[0].kind, CDroppedFile::shortcut);
    EXPECT_EQ(c.files[1].path, "/home/u/My Docs/b.kiv");
    EXPECT_EQ(c.files[1].kind, CDroppedFile::document);
    EXPECT_EQ(c.files[2].path, "/home/u/c.txt");
    EXPECT_EQ(c.files[2].kind, CDroppedFile::other);
    EXPECT_EQ(c.files[3].kind, CDroppedFile::other);
}

TEST(DropFormats, RemoteFileUrlsAreNeitherFilesNorLinks)
{
    QMimeData data;
    AddUriList(data, {"file://server/share/a.kiv"});
    EXPECT_EQ(ReadDrop(data).kind, CDropContent::Kind::none);
}

TEST(DropFormats, PlainTextAloneIsRefusedEvenAfterALinkDrag)
{
    QMimeData link;
    AddMozUrl(link, kUrl, "t");
    ASSERT_TRUE(AcceptsDrop(link));

    for (const char* text : {"http://looks.like/a/url", "just words", ""}) {
        QMimeData plain;
        plain.setText(text);
        EXPECT_FALSE(AcceptsDrop(plain)) << text;
        EXPECT_EQ(ReadDrop(plain).kind, CDropContent::Kind::none);
    }
    QMimeData html;
    html.setHtml("<a href=\"http://x.example/\">x</a>");
    EXPECT_FALSE(AcceptsDrop(html));
    QMimeData empty;
    EXPECT_FALSE(AcceptsDrop(empty));
    QMimeData blankLinks;
    AddMozUrl(blankLinks, "  ", "");
    AddUriList(blankLinks, {"# only a comment"});
    EXPECT_FALSE(AcceptsDrop(blankLinks));
}

// Texts and titles are cut at 256 characters, never inside one.
struct CutCase
{
    const char* label;
    QString text;
    QString expected;
};

class TextCut : public ::testing::TestWithParam<CutCase>
{
};

const QString kEmoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two UTF-16 units
const QString kAcute = QString::fromUtf8("e\xCC\x81");        // e and a combining accent
const QString kUmlaut = QString::fromUtf8("\xC3\xBC");        // two bytes in UTF-8

const CutCase kCuts[] = {
    {"Short", "http://a.example/", "http://a.example/"},
    {"ExactlyAtLimit", QString(256, 'a'), QString(256, 'a')},
    {"Ascii", QString(300, 'a'), QString(256, 'a')},
    {"TwoByteCharacters", kUmlaut.repeated(300), kUmlaut.repeated(256)},
    {"SurrogatePairs", kEmoji.repeated(300), kEmoji.repeated(256)},
    {"PairEndsAtLimit", QString(255, 'a') + kEmoji + "tail", QString(255, 'a') + kEmoji},
    {"AccentWouldBeCutOff", QString(255, 'a') + kAcute + "tail", QString(255, 'a')},
    {"AccentFits", QString(254, 'a') + kAcute + "tail", QString(254, 'a') + kAcute},
};

TEST_P(TextCut, KeepsWholeCharacters)
{
    EXPECT_EQ(CutText(GetParam().text), GetParam().expected);

    // The same cut reaches both the text and the title of a dropped link.
    QMimeData data;
    data.setData(kMozUrl, Utf16(GetParam().text + "\n" + GetParam().text));
    const CDropContent c = ReadDrop(data);
    ASSERT_EQ(c.urls.size(), 1u);
    EXPECT_EQ(c.urls[0].text, GetParam().expected);
    EXPECT_EQ(c.urls[0].title, GetParam().expected);
    EXPECT_EQ(c.urls[0].url, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextCut, ::testing::ValuesIn(kCuts),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(DropFormats, TheSourceIsNeverToldToMove)
{
    using A = Qt::DropAction;
    EXPECT_EQ(AcceptedAction(A::CopyAction | A::MoveAction | A::LinkAction), A::CopyAction);
    EXPECT_EQ(AcceptedAction(A::MoveAction | A::LinkAction), A::LinkAction);
    EXPECT_EQ(AcceptedAction(A::LinkAction), A::LinkAction);
    EXPECT_EQ(AcceptedAction(A::MoveAction), A::IgnoreAction);
    EXPECT_EQ(AcceptedAction(Qt::DropActions()), A::IgnoreAction);
}

TEST(DropFormats, FileKindsFollowTheLastExtension)
{
    EXPECT_EQ(KindOfPath("/a/News.url"), CDroppedFile::shortcut);
    EXPECT_EQ(KindOfPath("/a/NEWS.UrL"), CDroppedFile::shortcut);
    EXPECT_EQ(KindOfPath("/a/b.KIV"), CDroppedFile::document);
    EXPECT_EQ(KindOfPath("/a/b.kiv.bak"), CDroppedFile::other);
    EXPECT_EQ(KindOfPath("/a.url/b"), CDroppedFile::other);
    EXPECT_EQ(KindOfPath("/a/url"), CDroppedFile::other);
}

} // namespace
