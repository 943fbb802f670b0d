#include "DragDrop.h"

#include "model/Bookmark.h"

#include <algorithm>

namespace KivDrag {

CRowDragData::CRowDragData(CKivView* source)
    : m_pSource(source)
{
    setData(QString::fromLatin1(kInternalFormat), QByteArray("rows"));
}

CFolderDragData::CFolderDragData(CFolderNode* folder)
    : m_pFolder(folder)
{
    setData(QString::fromLatin1(kInternalFormat), QByteArray("folder"));
}

int SubtreeHeight(const CFolderNode* folder)
{
    // Iterative, so a deep chain never deepens the call stack.
    int height = 0;
    int depth = 0;
    const CFolderNode* f = folder;
    while (f) {
        height = std::max(height, depth);
        if (f->m_pFirstChild) {
            f = f->m_pFirstChild;
            ++depth;
            continue;
        }
        while (f != folder && !f->m_pNext) {
            f = f->m_pParent;
            --depth;
        }
        if (f == folder)
            break;
        f = f->m_pNext;
    }
    return height;
}

} // namespace KivDrag

CQtDragTimer::CQtDragTimer()
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_fire)
            m_fire();
    });
}
