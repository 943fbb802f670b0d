#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

#include <functional>

class QEvent;
class QMimeData;
class QWidget;

// What a view does with things other programs drop on it. Points are screen
// coordinates.
class CDropSink
{
public:
    virtual ~CDropSink() = default;
    // text: a URL of at most 256 characters, or the full path of a ".url" file.
    virtual void Drop(const QPoint& screenPoint, const QString& text) = 0;
    virtual void DragOver(const QPoint& screenPoint) = 0;
    virtual void DragLeave() = 0;
};

// The drop target of a view for drags from other programs: links from browsers and
// file lists from file managers. Links go to the sink as text; ".url" files go to
// the sink as paths; ".kiv" files are opened as the document; anything else is
// refused or ignored. The only state kept between calls is whether the current
// drag was accepted, decided afresh at each DragEnter.
class CExternalDropTarget
{
public:
    using OpenDocument = std::function<void(const QString& path)>;

    // `sink` may be null (".kiv" files are still opened); without `openDocument`
    // they are not.
    explicit CExternalDropTarget(CDropSink* sink, OpenDocument openDocument = {});

    // Each answers the action to report to the dragging program: never a move, so
    // the source never deletes what it dragged here; IgnoreAction refuses.
    Qt::DropAction DragEnter(const QMimeData& data, Qt::DropActions possible);
    Qt::DropAction DragOver(const QPoint& screenPoint, Qt::DropActions possible);
    void DragLeave();
    Qt::DropAction Drop(const QMimeData& data, const QPoint& screenPoint, Qt::DropActions possible);

    // Translates the drag events of a widget into the calls above and accepts or
    // ignores them; false for any other event.
    bool HandleEvent(QWidget* target, QEvent* event);

    bool IsAccepted() const { return m_bAccepted; }
    void SetOpenDocument(OpenDocument openDocument) { m_openDocument = std::move(openDocument); }

private:
    CDropSink* m_pSink;
    OpenDocument m_openDocument;
    bool m_bAccepted = false;
};
