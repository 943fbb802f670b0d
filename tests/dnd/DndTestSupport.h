#pragma once

#include "app/UndoHistory.h"
#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"
#include "res/Strings.h"
#include "views/DragDrop.h"
#include "views/KivView.h"
#include "views/LeftView.h"
#include "views/ViewTestApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace KivDndTest {

// The window's history, closing a change made outside any command on the next turn
// of the event loop as the application does.
inline void CloseLooseStepsLater(CUndoHistory& history, QObject* context)
{
    history.m_onLooseStep = [&history, context] {
        QTimer::singleShot(0, context, [&history] { history.CloseLooseStep(); });
    };
}

// Runs the event loop until the change's step is closed; false if it stays open.
inline bool LetTheLoopTurn(const CKivDoc& doc)
{
    for (int turn = 0; turn < 10 && doc.StepOpen(); ++turn)
        QCoreApplication::processEvents();
    return !doc.StepOpen();
}

// A timer the test fires by hand: no waiting, and every start is recorded.
class CManualTimer : public CDragTimer
{
public:
    void Start(int ms) override
    {
        m_bActive = true;
        m_nDelay = ms;
        ++m_nStarts;
    }
    void Kill() override { m_bActive = false; }
    bool IsActive() const override { return m_bActive; }
    // What the window's timer does when its delay has passed.
    void Fire()
    {
        ASSERT_TRUE(m_bActive);
        m_fire();
    }

    bool m_bActive = false;
    int m_nDelay = 0;
    int m_nStarts = 0;
};

// Both panes on the sample collection, the timer and the clock of the tree replaced,
// every message box and dialog answered by a script.
class DndFixture : public KivTest::SamplePanesTest
{
protected:
    void SetUp() override
    {
        OpenSamplePanes();
        auto timer = std::make_unique<CManualTimer>();
        m_timer = timer.get();
        m_tree->SetDragTimer(std::move(timer));
        m_tree->SetDragClock([this] { return m_now; });
        m_doc.SendInitialUpdate();
    }


    CLeftView::Item* ItemOf(const CFolderNode* folder)
    {
        return m_tree->TreeModel().FindTreeItem(folder);
    }
    // The centre of a folder's row, in the tree's viewport.
    QPoint PointOf(const CFolderNode* folder)
    {
        const QModelIndex at = m_tree->TreeModel().IndexOf(ItemOf(folder));
        m_tree->scrollTo(at);
        return m_tree->visualRect(at).center();
    }
    QPoint PointOf(CLeftView::Item* item)
    {
        return m_tree->visualRect(m_tree->TreeModel().IndexOf(item)).center();
    }
    // A point of the viewport below the last row.
    QPoint EmptyPoint() { return QPoint(5, m_tree->viewport()->height() - 20); }

    QStringList ListNames()
    {
        QStringList names;
        for (int r = 0; r < m_list->RowCount(); ++r)
            names << m_list->ListModel().index(r, 0).data().toString();
        return names;
    }
    QStringList Names(const CFolderNode* folder)
    {
        QStringList names;
        for (uint32_t i : folder->m_aBookmarks)
            names << QString::fromStdString(m_doc.Bookmark(i).m_strName);
        return names;
    }

    // One drag over a widget, as the window system delivers it: enter, move, drop
    // (or leave). Each answers whether the widget accepted the event.
    static constexpr Qt::DropActions kAll = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    static bool Enter(QWidget* w, const QMimeData* data, QPoint at, Qt::DropActions actions = kAll,
                      Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        return Send<QDragEnterEvent>(w, data, at, actions, mods, Qt::LeftButton)
               != Qt::IgnoreAction;
    }
    template<class Event>
    static Qt::DropAction Send(QWidget* w, const QMimeData* data, QPoint at,
                               Qt::DropActions actions, Qt::KeyboardModifiers mods,
                               Qt::MouseButtons buttons)
    {
        Event e(at, actions, data, buttons, mods);
        e.ignore();
        QApplication::sendEvent(w, &e);
        return e.isAccepted() ? e.dropAction() : Qt::IgnoreAction;
    }
    static Qt::DropAction Move(QWidget* w, const QMimeData* data, QPoint at,
                               Qt::DropActions actions = kAll,
                               Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        return Send<QDragMoveEvent>(w, data, at, actions, mods, Qt::LeftButton);
    }
    static Qt::DropAction Drop(QWidget* w, const QMimeData* data, QPoint at,
                               Qt::DropActions actions = kAll,
                               Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        // The button is already up when the drop arrives.
        return Send<QDropEvent>(w, data, at, actions, mods, Qt::NoButton);
    }
    static void Leave(QWidget* w)
    {
        QDragLeaveEvent e;
        QApplication::sendEvent(w, &e);
    }
    // A whole drag that ends in a drop at `at`.
    static Qt::DropAction DragAndDrop(QWidget* w, const QMimeData* data, QPoint at,
                                      Qt::KeyboardModifiers mods = Qt::NoModifier,
                                      Qt::DropActions actions = kAll)
    {
        if (!Enter(w, data, at, actions, mods))
            return Qt::IgnoreAction;
        if (Move(w, data, at, actions, mods) == Qt::IgnoreAction) {
            Leave(w);
            return Qt::IgnoreAction;
        }
        return Drop(w, data, at, actions, mods);
    }

    CScriptedUi m_ui;
    CManualTimer* m_timer = nullptr;
    int64_t m_now = 100000;
};

} // namespace KivDndTest
