#include "Journal.h"

#include <type_traits>

CDocStep::~CDocStep()
{
    // A folder out of the tree belongs to the step that took it out: a deletion
    // that is done, or a creation that is undone.
    for (Entry& e : m_entries)
        if (auto* life = std::get_if<FolderLife>(&e))
            if (life->created != m_bDone)
                delete life->node;
}

void CDocStep::Add(Entry entry)
{
    std::visit(
        [this](auto& e) {
            using T = std::decay_t<decltype(e)>;
            m_nBytes += sizeof(Entry);
            if constexpr (std::is_same_v<T, Splice>)
                m_nBytes += (e.positions.capacity() + e.indexes.capacity()) * sizeof(uint32_t);
            else if constexpr (std::is_same_v<T, Field> || std::is_same_v<T, FolderName>)
                m_nBytes += e.other.capacity();
            else if constexpr (std::is_same_v<T, Append>)
                m_nBytes += e.saved.m_strUrl.size() + e.saved.m_strName.size()
                            + e.saved.m_strComment.size();
            else if constexpr (std::is_same_v<T, FolderLife>)
                m_nBytes += sizeof(CFolderNode) + e.node->m_strName.capacity()
                            + e.node->m_aBookmarks.capacity() * sizeof(uint32_t);
        },
        entry);
    m_entries.push_back(std::move(entry));
}


CDocStep::Kind CDocStep::GetKind() const
{
    if (m_said != Kind::Change)
        return m_said;
    size_t appended = 0, fields = 0, links = 0, renames = 0, created = 0, deleted = 0;
    size_t into[3] = {}, outOf[3] = {};
    for (const Entry& e : m_entries) {
        if (auto* s = std::get_if<Splice>(&e))
            (s->inserted ? into : outOf)[s->place] += s->indexes.size();
        else if (std::holds_alternative<Append>(e))
            ++appended;
        else if (std::holds_alternative<Field>(e))
            ++fields;
        else if (std::holds_alternative<FolderLink>(e))
            ++links;
        else if (std::holds_alternative<FolderName>(e))
            ++renames;
        else if (auto* l = std::get_if<FolderLife>(&e))
            ++(l->created ? created : deleted);
    }
    if (renames)
        return Kind::RenameFolder;
    if (deleted)
        return Kind::DeleteFolder;
    if (into[2])
        return Kind::Compare;
    // An import sets the notes of the bookmarks it brings: those belong to the addition.
    if (appended || (created && into[0]))
        return Kind::AddBookmarks;
    if (fields)
        return Kind::EditBookmark;
    if (created)
        return Kind::NewFolder;
    if (links)
        return Kind::MoveFolder;
    if (into[1] || (!into[0] && (outOf[0] || outOf[1] || outOf[2])))
        return Kind::DeleteBookmarks;
    if (into[0] && (outOf[0] || outOf[1] || outOf[2]))
        return Kind::MoveBookmarks;
    if (into[0])
        return Kind::CopyBookmarks;
    return Kind::Change;
}

size_t CDocStep::Count() const
{
    if (m_said != Kind::Change)
        return m_nSaidCount;
    size_t into[3] = {}, outOf[3] = {};
    for (const Entry& e : m_entries)
        if (auto* s = std::get_if<Splice>(&e))
            (s->inserted ? into : outOf)[s->place] += s->indexes.size();
    switch (GetKind()) {
    case Kind::DeleteBookmarks:
        return into[1] ? into[1] : outOf[0] + outOf[1] + outOf[2];
    case Kind::Compare:
        return into[2];
    case Kind::AddBookmarks:
    case Kind::MoveBookmarks:
    case Kind::CopyBookmarks:
        return into[0];
    default:
        return 1;
    }
}
