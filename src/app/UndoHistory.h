#pragma once

#include "model/Journal.h"

#include <QString>

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class CKivDoc;

// The window's undo and redo: the steps the document records, newest last, with
// the position between done and undone ones and the position the file was saved
// at. The oldest steps go beyond a number of steps or of bytes.
class CUndoHistory
{
public:
    static constexpr size_t kMaxSteps = 100;
    static constexpr size_t kMaxBytes = size_t(256) << 20;

    explicit CUndoHistory(CKivDoc& doc);
    ~CUndoHistory();
    CUndoHistory(const CUndoHistory&) = delete;
    CUndoHistory& operator=(const CUndoHistory&) = delete;

    bool CanUndo() const { return m_nDone > 0; }
    bool CanRedo() const { return m_nDone < m_steps.size(); }
    void Undo();
    void Redo();
    // "Deshacer mover 3 marcadores": the Edit menu's texts for the next steps.
    QString UndoText() const;
    QString RedoText() const;
    // The contents as saved: the modified flag is clear exactly here.
    void SetClean();
    void Clear();
    size_t Count() const { return m_steps.size(); }
    size_t Bytes() const { return m_nBytes; }

    // Around every command: its changes become one step.
    void BeginCommand(unsigned id);
    void EndCommand();
    // Closes a step opened by a change made outside any command (a drop, an
    // in-place rename); called once control is back in the event loop.
    void CloseLooseStep();

    // The bookmarks selected in the list, kept with each step to select again.
    std::function<std::vector<uint32_t>()> m_selection;
    // After an undo or redo: the views show the contents again, with the current
    // folder and the selection the step found (or left).
    std::function<void(CFolderNode* current, const std::vector<uint32_t>& selection)>
        m_onReplayed;
    // A change made outside any command opened a step: schedule CloseLooseStep.
    std::function<void()> m_onLooseStep;

    static QString StepName(const CDocStep& step);

private:
    struct Entry
    {
        std::unique_ptr<CDocStep> step;
        std::vector<uint32_t> selectionBefore, selectionAfter;
        // Whether the document marked itself modified with it: a change only to what
        // the file does not keep (a compare's check folder) leaves the mark alone.
        bool marks = true;
        size_t Bytes() const
        {
            return step->Bytes()
                   + (selectionBefore.capacity() + selectionAfter.capacity()) * sizeof(uint32_t);
        }
    };

    void Push(std::unique_ptr<CDocStep> step);
    void FollowClean();
    // Keeps the selection and the modified mark a step about to be recorded starts from.
    void NoteStart();

    CKivDoc& m_doc;
    std::deque<Entry> m_steps;
    std::vector<uint32_t> m_selectionBefore;
    bool m_bModifiedBefore = false;
    size_t m_nDone = 0;
    // Where the saved contents are; -1 once no position in the history matches them.
    long m_nClean = 0;
    size_t m_nBytes = 0;
    bool m_bLooseOpen = false;
};
