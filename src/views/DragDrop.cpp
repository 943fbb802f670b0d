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

} // namespace KivDrag

CQtDragTimer::CQtDragTimer()
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_fire)
            m_fire();
    });
}
