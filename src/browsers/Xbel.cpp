#include "Xbel.h"

#include "ImportFile.h"
#include "formats/ExportFile.h"
#include "formats/ImportMerge.h"
#include "framework/TextRules.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <QFile>
#include <QXmlStreamReader>

#include <vector>

// --- reading -------------------------------------------------------------------------

namespace {

struct OpenFolder
{
    std::string title;
    bool opened; // handed to the tree (the root <xbel> counts as opened)
    bool titled = false;
};

// A folder's name is its first <title>, which comes after the start tag: the folder
// is opened in the tree once anything else of it is met.
void OpenPending(OpenFolder& folder, CImportTree& tree)
{
    if (folder.opened)
        return;
    tree.OpenFolder(folder.title);
    folder.opened = true;
}

bool IsNamed(const QXmlStreamReader& xml, const char* name)
{
    return xml.name() == QLatin1String(name);
}

QString Text(QXmlStreamReader& xml)
{
    return xml.readElementText(QXmlStreamReader::SkipChildElements);
}

void ReadBookmark(QXmlStreamReader& xml, CImportTree& tree)
{
    const QString url = xml.attributes().value(QLatin1String("href")).toString();
    QString title, desc;
    bool haveTitle = false, haveDesc = false;
    while (xml.readNextStartElement()) {
        if (IsNamed(xml, "title") && !haveTitle) {
            title = Text(xml);
            haveTitle = true;
        } else if (IsNamed(xml, "desc") && !haveDesc) {
            desc = Text(xml);
            haveDesc = true;
        } else {
            xml.skipCurrentElement();
        }
    }
    // The address stands for a bookmark that has no name, as browsers show it.
    tree.AddBookmark(url.toStdString(), (title.isEmpty() ? url : title).toStdString(),
                     desc.toStdString());
}

} // namespace

FormatResult ParseXbel(QIODevice& in, CImportTree& tree)
{
    tree.Clear();
    QXmlStreamReader xml(&in);
    const auto refuse = [&tree](unsigned id) {
        tree.Clear();
        return Refused(id);
    };

    while (!xml.atEnd() && !xml.isStartElement()) {
        xml.readNext();
        if (xml.isDTD() && !xml.entityDeclarations().isEmpty())
            return refuse(IDS_XBEL_ENTITIES);
    }
    if (xml.hasError() || !IsNamed(xml, "xbel"))
        return refuse(IDS_BAD_XBEL);

    std::vector<OpenFolder> folders{{{}, true}};
    while (!folders.empty() && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            OpenFolder& current = folders.back();
            if (IsNamed(xml, "title") && !current.opened && !current.titled) {
                current.title = Text(xml).toStdString();
                current.titled = true;
            } else if (IsNamed(xml, "folder")) {
                OpenPending(current, tree);
                folders.push_back({{}, false});
            } else if (IsNamed(xml, "bookmark")) {
                OpenPending(current, tree);
                ReadBookmark(xml, tree);
            } else {
                xml.skipCurrentElement();
            }
            if (tree.Size() > kMaxImportEntries)
                return refuse(IDS_IMPORT_TOO_LARGE);
        } else if (xml.isEndElement()) {
            // Only <folder> and <xbel> end here: every other element was read whole.
            if (folders.size() > 1) {
                OpenPending(folders.back(), tree);
                tree.CloseFolder();
            }
            folders.pop_back();
        }
    }
    if (xml.hasError() || !folders.empty())
        return refuse(IDS_BAD_XBEL);
    return {};
}

FormatResult ReadXbel(const QString& path, CImportTree& tree)
{
    QFile file(path);
    FormatResult result = OpenImportFile(file);
    if (!result.Ok())
        return result;
    result = ParseXbel(file, tree);
    if (result.Ok() && file.error() != QFileDevice::NoError) {
        tree.Clear();
        result.status = FormatResult::fileError;
        result.error.cause = CFileError::genericRead;
        result.error.path = path;
    }
    return result;
}

FormatResult ImportXbel(CKivDoc& doc, const QString& path)
{
    return ReadAndMerge(doc, path, ReadXbel);
}

// --- writing -------------------------------------------------------------------------

namespace {

// Text for element content or an attribute value. Characters XML 1.0 cannot carry
// at all (most control characters, U+FFFE, U+FFFF) are left out; line breaks and
// tabs in attributes, and carriage returns anywhere, are written as references so a
// reader gets them back instead of blanks.
std::string Escape(std::string_view text, bool attribute)
{
    std::string valid;
    if (!KivText::IsValidUtf8(text)) {
        valid = QString::fromUtf8(text.data(), qsizetype(text.size())).toStdString();
        text = valid;
    }
    std::string out;
    out.reserve(text.size() + 16);
    for (size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        switch (c) {
        case '&':
            out += "&amp;";
            continue;
        case '<':
            out += "&lt;";
            continue;
        case '>':
            out += "&gt;";
            continue;
        case '"':
            out += attribute ? "&quot;" : "\"";
            continue;
        case '\r':
            out += "&#13;";
            continue;
        case '\n':
            out += attribute ? "&#10;" : "\n";
            continue;
        case '\t':
            out += attribute ? "&#9;" : "\t";
            continue;
        default:
            break;
        }
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20)
            continue;
        if (b == 0xEF && k + 2 < text.size() && static_cast<unsigned char>(text[k + 1]) == 0xBF
            && (static_cast<unsigned char>(text[k + 2]) & 0xFE) == 0xBE) {
            k += 2; // U+FFFE, U+FFFF
            continue;
        }
        out += c;
    }
    return out;
}

void WriteBookmarks(CExportFile& file, const CKivDoc& doc, const CFolderNode& folder, int depth)
{
    std::string line;
    for (uint32_t i : folder.m_aBookmarks) {
        const CBookmark& b = doc.Bookmark(i);
        line.assign("<bookmark href=\"")
            .append(Escape(b.m_strUrl, true))
            .append("\"><title>")
            .append(Escape(b.m_strName, false))
            .append("</title>");
        if (!b.m_strComment.empty())
            line.append("<desc>").append(Escape(b.m_strComment, false)).append("</desc>");
        line.append("</bookmark>");
        file.WriteIndentedLine(depth, line);
    }
}

void WriteFolders(CExportFile& file, const CKivDoc& doc, const CFolderNode* first, int depth)
{
    for (const CFolderNode* f = first; f; f = f->m_pNext) {
        file.WriteIndentedLine(depth, "<folder>");
        file.WriteIndentedLine(depth + 1, "<title>" + Escape(f->m_strName, false) + "</title>");
        WriteBookmarks(file, doc, *f, depth + 1);
        WriteFolders(file, doc, f->m_pFirstChild, depth + 1);
        file.WriteIndentedLine(depth, "</folder>");
    }
}

} // namespace

FormatResult ExportXbel(const CKivDoc& doc, const QString& path)
{
    FormatResult result;
    CExportFile file;
    if (!file.Open(path)) {
        result.status = FormatResult::notOpened;
        return result;
    }
    file.WriteLine("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    file.WriteLine("<!DOCTYPE xbel>");
    file.WriteLine("<xbel version=\"1.0\">");
    WriteBookmarks(file, doc, doc.m_root, 1);
    WriteFolders(file, doc, doc.m_root.m_pFirstChild, 1);
    file.WriteLine("</xbel>");
    if (!file.Close(&result.error))
        result.status = FormatResult::fileError;
    return result;
}
