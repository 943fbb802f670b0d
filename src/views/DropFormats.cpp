#include "DropFormats.h"

#include "framework/TextRules.h"

#include <QByteArray>
#include <QFileInfo>
#include <QMimeData>
#include <QStringList>
#include <QTextBoundaryFinder>
#include <QUrl>

#include <cstring>

namespace KivDrop {

namespace {

// Text of a drag format in a byte encoding that may be UTF-8 or an old code page.
QString FromBytes(const QByteArray& bytes)
{
    return QString::fromStdString(KivText::LegacyToUtf8(bytes.toStdString()));
}

// Text of a UTF-16 drag format: the byte order from its mark, else the machine's.
QString FromUtf16(const QByteArray& bytes)
{
    std::u16string units(static_cast<size_t>(bytes.size() / 2), u'\0');
    if (!units.empty())
        std::memcpy(units.data(), bytes.constData(), units.size() * 2);
    return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
}

QString UpToZero(const QString& text)
{
    const qsizetype zero = text.indexOf(QChar(u'\0'));
    return zero < 0 ? text : text.left(zero);
}

// "url\ntitle\nurl\ntitle..." as the browsers write it.
std::vector<CDroppedUrl> UrlTitlePairs(const QString& text)
{
    std::vector<CDroppedUrl> out;
    const QStringList lines = UpToZero(text).split(u'\n');
    for (qsizetype k = 0; k < lines.size(); k += 2) {
        CDroppedUrl item;
        item.url = lines[k].trimmed();
        if (item.url.isEmpty())
            continue;
        if (k + 1 < lines.size())
            item.title = CutText(lines[k + 1].trimmed());
        out.push_back(std::move(item));
    }
    return out;
}

bool IsLocalFileUrl(const QUrl& url)
{
    if (!url.isLocalFile())
        return false;
    const QString host = url.host();
    return host.isEmpty() || host.compare(u"localhost", Qt::CaseInsensitive) == 0;
}

// The entries of a text/uri-list: comment lines and blank lines left out.
QStringList UriListEntries(const QByteArray& bytes)
{
    QStringList out;
    for (const QString& line : QString::fromUtf8(bytes).split(u'\n')) {
        const QString entry = line.trimmed();
        if (!entry.isEmpty() && !entry.startsWith(u'#'))
            out.push_back(entry);
    }
    return out;
}

QString DraggedPlainText(const QMimeData& data)
{
    if (!data.hasFormat(QStringLiteral("text/plain"))
        && !data.hasFormat(QStringLiteral("text/plain;charset=utf-8")))
        return {};
    return UpToZero(data.text()).trimmed();
}

} // namespace

CDroppedFile::Kind KindOfPath(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return CDroppedFile::other;
    const QStringView extension = QStringView(name).mid(dot + 1);
    if (extension.compare(u"url", Qt::CaseInsensitive) == 0)
        return CDroppedFile::shortcut;
    if (extension.compare(u"kiv", Qt::CaseInsensitive) == 0)
        return CDroppedFile::document;
    return CDroppedFile::other;
}

QString CutText(const QString& text, int maxChars)
{
    // Walk the character boundaries, counting code points, and keep the last
    // boundary that still fits.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype cut = 0;
    int count = 0;
    qsizetype from = 0;
    for (qsizetype to = finder.toNextBoundary(); to >= 0; to = finder.toNextBoundary()) {
        for (qsizetype k = from; k < to; ++k)
            if (!text.at(k).isLowSurrogate() || k == from || !text.at(k - 1).isHighSurrogate())
                ++count;
        if (count > maxChars)
            break;
        cut = to;
        from = to;
    }
    return text.left(cut);
}

CDropContent ReadDrop(const QMimeData& data)
{
    CDropContent content;

    // Files first: a file manager's list, or a link to a local file, names files the
    // program can read or open.
    QStringList nonFileEntries;
    if (data.hasFormat(QString::fromLatin1(kUriList))) {
        for (const QString& entry : UriListEntries(data.data(QString::fromLatin1(kUriList)))) {
            QUrl url(entry);
            if (IsLocalFileUrl(url)) {
                url.setHost(QString()); // "localhost" names this machine too
                const QString path = url.toLocalFile();
                content.files.push_back({path, KindOfPath(path)});
            } else if (url.isValid() && !url.scheme().isEmpty()
                       && url.scheme().compare(u"file", Qt::CaseInsensitive) != 0) {
                nonFileEntries.push_back(entry);
            }
        }
    }
    if (!content.files.empty()) {
        content.kind = CDropContent::Kind::files;
        return content;
    }

    std::vector<CDroppedUrl> urls;
    if (data.hasFormat(QString::fromLatin1(kMozUrl)))
        urls = UrlTitlePairs(FromUtf16(data.data(QString::fromLatin1(kMozUrl))));
    if (urls.empty() && data.hasFormat(QString::fromLatin1(kNetscapeUrl)))
        urls = UrlTitlePairs(FromBytes(data.data(QString::fromLatin1(kNetscapeUrl))));
    if (urls.empty() && data.hasFormat(QString::fromLatin1(kWindowsUrl))) {
        const QString url = UpToZero(FromBytes(data.data(QString::fromLatin1(kWindowsUrl))));
        if (!url.trimmed().isEmpty())
            urls.push_back({{}, url.trimmed(), {}});
    }
    if (urls.empty())
        for (const QString& entry : nonFileEntries)
            urls.push_back({{}, entry, {}});
    if (urls.empty())
        return content; // plain text alone, or nothing this program reads

    // A single link takes the dragged plain text, as the text a link drag offers.
    const QString plain = urls.size() == 1 ? DraggedPlainText(data) : QString();
    for (CDroppedUrl& item : urls)
        item.text = CutText(plain.isEmpty() ? item.url : plain);
    content.kind = CDropContent::Kind::links;
    content.urls = std::move(urls);
    return content;
}

Qt::DropAction AcceptedAction(Qt::DropActions possible)
{
    if (possible.testFlag(Qt::CopyAction))
        return Qt::CopyAction;
    if (possible.testFlag(Qt::LinkAction))
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

} // namespace KivDrop
