#include "ImportMerge.h"

#include "ImportTarget.h"

namespace {

// Model strings end at a NUL wherever they are handed on as C strings.
std::string CutAtNul(std::string text)
{
    if (const size_t nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    return text;
}

} // namespace

void CImportTree::OpenFolder(std::string name)
{
    m_entries.push_back({Entry::openFolder, {}, CutAtNul(std::move(name)), {}});
    ++m_nOpen;
}

void CImportTree::CloseFolder()
{
    if (m_nOpen == 0)
        return;
    --m_nOpen;
    m_entries.push_back({Entry::closeFolder, {}, {}, {}});
}

void CImportTree::AddBookmark(std::string url, std::string name, std::string comment)
{
    url = CutAtNul(std::move(url));
    if (url.size() >= 2)
        ++m_nBookmarks;
    m_entries.push_back(
        {Entry::bookmark, std::move(url), CutAtNul(std::move(name)), CutAtNul(std::move(comment))});
}

void CImportTree::CommentLast(std::string comment)
{
    comment = CutAtNul(std::move(comment));
    if (!comment.empty())
        m_entries.push_back({Entry::lateComment, {}, {}, std::move(comment)});
}

void CImportTree::Clear()
{
    m_entries.clear();
    m_nBookmarks = 0;
    m_nOpen = 0;
}

void MergeImport(CKivDoc& doc, const CImportTree& tree, bool checkMode)
{
    CImportTarget target(doc, checkMode);
    uint32_t last = CImportTarget::kNone; // the entry a later comment describes
    const auto comment = [&](const std::string& text) {
        if (last != CImportTarget::kNone && !text.empty())
            target.SetComment(last, text);
    };
    for (const CImportTree::Entry& e : tree.Entries()) {
        switch (e.kind) {
        case CImportTree::Entry::bookmark:
            last = target.AddBookmark(e.url, e.name, e.comment);
            comment(e.comment); // the source's description wins over a known entry's
            break;
        case CImportTree::Entry::lateComment:
            comment(e.comment);
            break;
        case CImportTree::Entry::openFolder:
            target.OpenFolder(e.name);
            break;
        case CImportTree::Entry::closeFolder:
            target.CloseFolder();
            break;
        }
    }
    target.Finish();
}
