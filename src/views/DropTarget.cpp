#include "DropTarget.h"

#include "views/DropFormats.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

CExternalDropTarget::CExternalDropTarget(CDropSink* sink, OpenDocument openDocument)
    : m_pSink(sink)
    , m_openDocument(std::move(openDocument))
{
}

Qt::DropAction CExternalDropTarget::DragEnter(const QMimeData& data, Qt::DropActions possible)
{
    m_bAccepted = KivDrop::AcceptsDrop(data);
    if (!m_bAccepted)
        return Qt::IgnoreAction;
    const Qt::DropAction action = KivDrop::AcceptedAction(possible);
    m_bAccepted = action != Qt::IgnoreAction;
    return action;
}

Qt::DropAction CExternalDropTarget::DragOver(const QPoint& screenPoint, Qt::DropActions possible)
{
    if (!m_bAccepted)
        return Qt::IgnoreAction;
    if (m_pSink)
        m_pSink->DragOver(screenPoint);
    return KivDrop::AcceptedAction(possible);
}

void CExternalDropTarget::DragLeave()
{
    m_bAccepted = false;
    if (m_pSink)
        m_pSink->DragLeave();
}

Qt::DropAction CExternalDropTarget::Drop(const QMimeData& data, const QPoint& screenPoint,
                                         Qt::DropActions possible)
{
    if (!m_bAccepted)
        return Qt::IgnoreAction;
    m_bAccepted = false;
    const Qt::DropAction action = KivDrop::AcceptedAction(possible);
    if (action == Qt::IgnoreAction)
        return action;
    // Read again from the data of the drop itself, never from an earlier drag.
    const KivDrop::CDropContent content = KivDrop::ReadDrop(data);
    switch (content.kind) {
    case KivDrop::CDropContent::Kind::links:
        // One link per drop, as a single URL text.
        if (m_pSink && !content.urls.empty())
            m_pSink->Drop(screenPoint, content.urls.front().text);
        return action;
    case KivDrop::CDropContent::Kind::files:
        for (const KivDrop::CDroppedFile& file : content.files) {
            if (file.kind == KivDrop::CDroppedFile::shortcut && m_pSink)
                m_pSink->Drop(screenPoint, file.path);
            else if (file.kind == KivDrop::CDroppedFile::document && m_openDocument)
                m_openDocument(file.path);
        }
        return action;
    case KivDrop::CDropContent::Kind::none:
        break;
    }
    return Qt::IgnoreAction;
}

namespace {

// Tells the dragging program the answer: accepted with an action, or refused.
void Answer(QDropEvent* event, Qt::DropAction action)
{
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

} // namespace

bool CExternalDropTarget::HandleEvent(QWidget* target, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto* e = static_cast<QDragEnterEvent*>(event);
        Answer(e,
               e->mimeData() ? DragEnter(*e->mimeData(), e->possibleActions()) : Qt::IgnoreAction);
        return true;
    }
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        Answer(e, DragOver(target->mapToGlobal(e->position().toPoint()), e->possibleActions()));
        return true;
    }
    case QEvent::DragLeave:
        DragLeave();
        event->accept();
        return true;
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        Answer(e, e->mimeData() ? Drop(*e->mimeData(), target->mapToGlobal(e->position().toPoint()),
                                       e->possibleActions())
                                : Qt::IgnoreAction);
        return true;
    }
    default:
        return false;
    }
}
