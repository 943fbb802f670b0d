#pragma once

#include <QString>
#include <Qt>

#include <vector>

class QMimeData;

// What other programs drop on the views: links dragged from a browser, or files
// dragged from a file manager. Everything is decided from the dragged data alone,
// so nothing of one drag can leak into the next.
namespace KivDrop {

// The longest text handed on for a dropped link, in characters.
inline constexpr int kMaxTextLength = 256;

// The drag formats of links, as the platforms name them.
inline constexpr char kMozUrl[] = "text/x-moz-url";     // UTF-16 "url\ntitle" pairs
inline constexpr char kNetscapeUrl[] = "_NETSCAPE_URL"; // "url\ntitle"
inline constexpr char kWindowsUrl[] =                   // a zero-terminated ANSI URL
    "application/x-qt-windows-mime;value=\"UniformResourceLocator\"";
inline constexpr char kUriList[] = "text/uri-list";

struct CDroppedUrl
{
    QString text;  // what the view receives: the dragged plain text for a single link,
                   // else the URL; at most kMaxTextLength characters
    QString url;   // the URL as the drag carried it
    QString title; // the link's title where the format carries one (cut like text)
};

struct CDroppedFile
{
    enum Kind {
        shortcut, // ".url": read as an Internet shortcut and handed to the view
        document, // ".kiv": opened as the document
        other,    // anything else: ignored
    };
    QString path;
    Kind kind = other;
};

struct CDropContent
{
    enum class Kind {
        none,  // refused: the cursor shows that nothing can be dropped here
        links, // URLs from a browser (or any program offering link formats)
        files, // local files from a file manager
    };
    Kind kind = Kind::none;
    std::vector<CDroppedUrl> urls;
    std::vector<CDroppedFile> files; // every local file, in drag order
};

// Decodes a drag. Link formats win over a file list; a text/uri-list counts as
// files when it names at least one local file, else as links; plain text alone is
// refused, as is anything else.
CDropContent ReadDrop(const QMimeData& data);

// Whether a drag is accepted at all (the same decision ReadDrop makes).
inline bool AcceptsDrop(const QMimeData& data)
{
    return ReadDrop(data).kind != CDropContent::Kind::none;
}

// The kind of a dropped file from its extension (after the last "." of the file
// name, compared case-insensitively).
CDroppedFile::Kind KindOfPath(const QString& path);

// At most `maxChars` characters (code points), cut only where a character ends:
// never inside a surrogate pair or between a letter and its combining marks.
QString CutText(const QString& text, int maxChars = kMaxTextLength);

// The action reported to the dragging program: copy where it allows copying, else
// link, else none (the drop is refused). Never move: the source must never delete
// what was dragged here.
Qt::DropAction AcceptedAction(Qt::DropActions possible);

} // namespace KivDrop
