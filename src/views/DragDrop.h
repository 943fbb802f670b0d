#pragma once

#include <QMimeData>
#include <QTimer>

#include <cstdint>
#include <functional>

class CFolderNode;
class CKivView;

// Drags inside the window carry these objects. They name things of this process
// (a list view, a folder), so they are only ever accepted from this process: data
// from anywhere else is never one of these classes.
namespace KivDrag {

// The marker format of drags inside the window; it carries no bytes another
// program could use.
inline constexpr char kInternalFormat[] = "application/x-kiv-internal-drag";

// Rows of the list: the drop acts on the rows selected in `source` at the drop.
class CRowDragData : public QMimeData
{
    Q_OBJECT
public:
    explicit CRowDragData(CKivView* source);
    CKivView* Source() const { return m_pSource; }

private:
    CKivView* m_pSource;
};

// A folder of the tree, with everything below it.
class CFolderDragData : public QMimeData
{
    Q_OBJECT
public:
    explicit CFolderDragData(CFolderNode* folder);
    CFolderNode* Folder() const { return m_pFolder; }

private:
    CFolderNode* m_pFolder;
};

inline const CRowDragData* RowData(const QMimeData* data)
{
    return qobject_cast<const CRowDragData*>(data);
}
inline const CFolderDragData* FolderData(const QMimeData* data)
{
    return qobject_cast<const CFolderDragData*>(data);
}
// Whether a drag started inside this window (whatever kind).
inline bool IsInternal(const QMimeData* data)
{
    return RowData(data) || FolderData(data);
}

} // namespace KivDrag

// The tree's auto-scroll and auto-expand timer during drags. The window uses
// CQtDragTimer; tests put in a timer they fire by hand.
class CDragTimer
{
public:
    virtual ~CDragTimer() = default;
    // (Re)starts the timer: `m_fire` runs after `ms` milliseconds, and again every
    // `ms` milliseconds until killed or restarted.
    virtual void Start(int ms) = 0;
    virtual void Kill() = 0;
    virtual bool IsActive() const = 0;

    std::function<void()> m_fire;
};

class CQtDragTimer : public CDragTimer
{
public:
    CQtDragTimer();
    void Start(int ms) override { m_timer.start(ms); }
    void Kill() override { m_timer.stop(); }
    bool IsActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};
