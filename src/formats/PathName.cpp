#include "PathName.h"

size_t CPathName::LastSep(size_t before) const
{
    for (size_t i = before; i > 0; --i)
        if (IsSep(m_strPath[i - 1]))
            return i - 1;
    return std::string::npos;
}

void CPathName::Append(std::string_view text)
{
    while (text.size() >= 2 && text[0] == '.' && text[1] == '/')
        text.remove_prefix(2);
    while (text.size() >= 2 && text.substr(0, 2) == ".." && RemoveLastComponent()) {
        text.remove_prefix(2);
        if (!text.empty() && IsSep(text[0]))
            text.remove_prefix(1);
    }
    if (text.substr(0, 2) == "..") {
        if (m_strPath.size() == 1)
            m_strPath.clear();
        m_strPath.append(text);
        return;
    }
    if (m_strPath.empty() || text.empty()) {
        m_strPath.append(text);
        return;
    }
    const bool pathEnds = IsSep(m_strPath.back());
    const bool textBegins = IsSep(text.front());
    if (!pathEnds && !textBegins)
        m_strPath += Separator();
    else if (pathEnds && textBegins)
        text.remove_prefix(1);
    m_strPath.append(text);
}

CPathName CPathName::Join(const CPathName& a, std::string_view b)
{
    std::string out = a.m_strPath;
    if (!out.empty() && !b.empty()) {
        const bool aEnds = a.IsSep(out.back());
        const bool bBegins = a.IsSep(b.front());
        if (!aEnds && !bBegins)
            out += a.Separator();
        else if (aEnds && bBegins)
            out.pop_back();
    }
    out.append(b);
    CPathName result(a);
    result.m_strPath = std::move(out);
    return result;
}

std::string CPathName::GetDirectory() const
{
    const size_t at = LastSep(m_strPath.size());
    return at == std::string::npos ? std::string() : m_strPath.substr(0, at + 1);
}

std::string CPathName::GetExtension() const
{
    const size_t sep = LastSep(m_strPath.size());
    const size_t start = sep == std::string::npos ? 0 : sep + 1;
    const size_t dot = m_strPath.rfind('.');
    if (dot == std::string::npos || dot < start)
        return {};
    return m_strPath.substr(dot + 1);
}

std::string CPathName::GetTitle() const
{
    const size_t sep = LastSep(m_strPath.size());
    const size_t start = sep == std::string::npos ? 0 : sep + 1;
    const size_t dot = m_strPath.rfind('.');
    if (dot == std::string::npos || dot < start)
        return m_strPath.substr(start);
    return m_strPath.substr(start, dot - start);
}

bool CPathName::RemoveLastComponent()
{
    if (m_strPath.empty())
        return false;
    const size_t at = LastSep(m_strPath.size() - 1);
    if (at == std::string::npos)
        return false;
    m_strPath.resize(at + 1);
    return true;
}

std::string SanitizeFileName(std::string_view name)
{
    if (name.empty())
        return std::string(1, '_');
    std::string out(name);
    for (char& c : out) {
        switch (c) {
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
        case '\0':
            c = '_';
            break;
        default:
            break;
        }
    }
    if (out == "." || out.substr(0, 2) == "..")
        out[0] = '_';
    return out;
}
