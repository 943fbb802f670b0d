#include "ImportTarget.h"

#include "ItemName.h"
#include "framework/TextRules.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

CImportTarget::CImportTarget(CKivDoc& doc, bool checkMode)
    : m_doc(doc)
    , m_checkMode(checkMode)
{
    m_stack[0] = checkMode ? &doc.m_check : &doc.m_root;
}

CImportTarget::~CImportTarget()
{
    Finish();
}

void CImportTarget::Finish()
{
    if (m_pending.empty())
        return;
    if (m_doc.LinkBookmarks(m_pendingFolder, m_pending) > 0 && !m_checkMode)
        m_doc.SetModifiedFlag();
    m_pending.clear();
}

void CImportTarget::Push(CFolderNode* folder)
{
    if (m_level + 1 == int(m_stack.size()))
        ++m_surplus;
    else
        m_stack[size_t(++m_level)] = folder;
}

void CImportTarget::OpenFolder(std::string_view name)
{
    CFolderNode* current = m_stack[size_t(m_level)];
    // Inside the trash, in check mode and beyond the stack no folder is made.
    const bool makes
        = m_level + 1 < int(m_stack.size()) && current && current != &m_doc.m_trash && !m_checkMode;
    Push(makes ? m_doc.CreateFolder(current, name, true) : current);
}

void CImportTarget::OpenSameFolder()
{
    Push(m_stack[size_t(m_level)]);
}

void CImportTarget::OpenTrash()
{
    Push(m_checkMode ? nullptr : &m_doc.m_trash);
}

void CImportTarget::CloseFolder()
{
    if (m_surplus > 0)
        --m_surplus;
    else if (m_level > 0)
        --m_level;
}

uint32_t CImportTarget::AddBookmark(std::string_view url, std::string_view name,
                                    std::string_view comment)
{
    CFolderNode* folder = m_stack[size_t(m_level)];
    // The model's texts end at a NUL.
    const std::string link(url.substr(0, url.find('\0')));
    std::string shown(name.substr(0, name.find('\0')));
    const std::string note(comment.substr(0, comment.find('\0')));
    if (!folder || link.empty())
        return kNone;
    // Icon-only bookmarks and the like have no name: they get the one a new bookmark
    // would, without the blanks a URL may put at its ends.
    if (KivText::TrimLeft(shown).empty())
        shown = KivText::Trim(KivItem::NameFromUrl(link));
    if (shown.empty())
        shown = KivStrings::Load(IDS_NEW).toStdString();
    uint32_t index = kNone;
    if (folder != &m_doc.m_trash) {
        if (link.size() < 2
            || !m_doc.FindOrAppend(link.c_str(), shown.c_str(), note.c_str(), m_checkMode, index))
            return kNone;
        if (folder != m_pendingFolder) {
            Finish();
            m_pendingFolder = folder;
        }
        m_pending.push_back(index);
        return index;
    }
    // Deleted in the source: a URL new here goes straight to the trash; one the
    // collection holds stays where it is.
    if (m_doc.AddBookmark(link.c_str(), shown.c_str(), note.c_str(), folder, true, &index))
        m_doc.SetModifiedFlag();
    return index;
}

void CImportTarget::SetComment(uint32_t index, std::string comment)
{
    if (!m_checkMode && m_doc.Bookmark(index).m_strComment != comment)
        m_doc.SetModifiedFlag();
    m_doc.SetBookmarkComment(index, std::move(comment));
}
