#include "UndoHistory.h"

#include "model/KivDoc.h"
#include "res/Strings.h"

#include <algorithm>

CUndoHistory::CUndoHistory(CKivDoc& doc) : m_doc(doc)
{
    m_doc.m_onStep = [this](std::unique_ptr<CDocStep> step) { Push(std::move(step)); };
    m_doc.m_onStepOpened = [this] {
        NoteStart(); // the views have not followed the change yet
        m_bLooseOpen = true;
        if (m_onLooseStep)
            m_onLooseStep();
    };
    m_doc.m_onSaved = [this] { SetClean(); };
    m_doc.m_onHistoryLost = [this] {
        Clear();
        CloseLooseStep();
    };
}

CUndoHistory::~CUndoHistory()
{
    m_doc.m_onStep = nullptr;
    m_doc.m_onStepOpened = nullptr;
    m_doc.m_onHistoryLost = nullptr;
    m_doc.m_onSaved = nullptr;
    Clear();
}

void CUndoHistory::Clear()
{
    m_steps.clear();
    m_nDone = 0;
    m_nBytes = 0;
    m_nClean = 0;
    m_selectionBefore.clear();
}

void CUndoHistory::Push(std::unique_ptr<CDocStep> step)
{
    while (m_steps.size() > m_nDone) {
        m_nBytes -= m_steps.back().Bytes();
        m_steps.pop_back();
    }
    if (m_nClean > static_cast<long>(m_nDone))
        m_nClean = -1; // the saved contents were on the branch just dropped
    Entry entry{std::move(step), std::move(m_selectionBefore), {}, true};
    // Unmarked before and after: the document did not count it as a modification.
    entry.marks = m_bModifiedBefore || m_doc.IsModified();
    m_selectionBefore.clear();
    if (m_selection)
        entry.selectionAfter = m_selection();
    m_nBytes += entry.Bytes();
    m_steps.push_back(std::move(entry));
    ++m_nDone;
    while (m_steps.size() > 1 && (m_steps.size() > kMaxSteps || m_nBytes > kMaxBytes)) {
        m_nBytes -= m_steps.front().Bytes();
        m_steps.pop_front();
        --m_nDone;
        if (m_nClean >= 0)
            --m_nClean; // -1 when the saved contents were before the oldest step kept
    }
    FollowClean();
}

void CUndoHistory::FollowClean()
{
    // Modified unless every step between the saved contents and these left the mark alone.
    bool modified = m_nClean < 0;
    if (!modified) {
        const size_t from = std::min(static_cast<size_t>(m_nClean), m_nDone);
        const size_t to = std::max(static_cast<size_t>(m_nClean), m_nDone);
        for (size_t k = from; k < to && !modified; ++k)
            modified = m_steps[k].marks;
    }
    m_doc.SetModifiedFlag(modified);
}

void CUndoHistory::SetClean()
{
    // A change still waiting for its step belongs to what was saved.
    CloseLooseStep();
    m_nClean = static_cast<long>(m_nDone);
    FollowClean();
}

void CUndoHistory::CloseLooseStep()
{
    if (!m_bLooseOpen)
        return;
    m_bLooseOpen = false;
    m_doc.EndStep();
}

void CUndoHistory::NoteStart()
{
    m_selectionBefore = m_selection ? m_selection() : std::vector<uint32_t>();
    m_bModifiedBefore = m_doc.IsModified();
}

void CUndoHistory::BeginCommand(unsigned id)
{
    // A change left open by a drop or an in-place rename is a step of its own.
    CloseLooseStep();
    if (!m_doc.StepOpen())
        NoteStart();
    m_doc.BeginStep(id);
}

void CUndoHistory::EndCommand() { m_doc.EndStep(); }

void CUndoHistory::Undo()
{
    CloseLooseStep();
    if (!CanUndo())
        return;
    const Entry& entry = m_steps[--m_nDone];
    m_doc.UndoStep(*entry.step);
    FollowClean();
    if (m_onReplayed)
        m_onReplayed(entry.step->m_pFolderBefore, entry.selectionBefore);
}

void CUndoHistory::Redo()
{
    CloseLooseStep();
    if (!CanRedo())
        return;
    const Entry& entry = m_steps[m_nDone++];
    m_doc.RedoStep(*entry.step);
    FollowClean();
    if (m_onReplayed)
        m_onReplayed(entry.step->m_pFolderAfter, entry.selectionAfter);
}

QString CUndoHistory::StepName(const CDocStep& step)
{
    unsigned id = IDS_STEP_CHANGE;
    switch (step.GetKind()) {
    case CDocStep::Kind::Change: id = IDS_STEP_CHANGE; break;
    case CDocStep::Kind::AddBookmarks: id = IDS_STEP_ADD_BOOKMARKS; break;
    case CDocStep::Kind::DeleteBookmarks: id = IDS_STEP_DELETE_BOOKMARKS; break;
    case CDocStep::Kind::MoveBookmarks: id = IDS_STEP_MOVE_BOOKMARKS; break;
    case CDocStep::Kind::CopyBookmarks: id = IDS_STEP_COPY_BOOKMARKS; break;
    case CDocStep::Kind::EditBookmark: id = IDS_STEP_EDIT_BOOKMARK; break;
    case CDocStep::Kind::NewFolder: id = IDS_STEP_NEW_FOLDER; break;
    case CDocStep::Kind::RenameFolder: id = IDS_STEP_RENAME_FOLDER; break;
    case CDocStep::Kind::MoveFolder: id = IDS_STEP_MOVE_FOLDER; break;
    case CDocStep::Kind::DeleteFolder: id = IDS_STEP_DELETE_FOLDER; break;
    case CDocStep::Kind::Compare: id = IDS_STEP_COMPARE; break;
    case CDocStep::Kind::MergeBookmarks: id = IDS_STEP_MERGE_BOOKMARKS; break;
    case CDocStep::Kind::CopyToCheck: id = IDS_STEP_COPY_TO_CHECK; break;
    case CDocStep::Kind::UpdateUrls: id = IDS_STEP_UPDATE_URLS; break;
    }
    const QString text = KivStrings::Load(id);
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    if (newline < 0)
        return text;
    const size_t count = step.Count();
    return count == 1 ? text.left(newline) : text.mid(newline + 1).arg(count);
}

QString CUndoHistory::UndoText() const
{
    return CanUndo() ? KivStrings::Load(IDS_UNDO_ACTION).arg(StepName(*m_steps[m_nDone - 1].step))
                     : QString();
}

QString CUndoHistory::RedoText() const
{
    return CanRedo() ? KivStrings::Load(IDS_REDO_ACTION).arg(StepName(*m_steps[m_nDone].step))
                     : QString();
}
