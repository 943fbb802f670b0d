#pragma once

#include <QString>

#include <functional>
#include <map>

// What an update handler may set on a menu item or toolbar button.
class CCmdUI
{
public:
    explicit CCmdUI(unsigned id) : m_nID(id) {}

    void Enable(bool on = true) { m_bEnabled = on; }
    void SetCheck(int check = 1) { m_nCheck = check; }
    void SetRadio(bool on = true)
    {
        m_nCheck = on ? 1 : 0;
        m_bRadio = true;
    }
    void SetText(const QString& text) { m_strText = text; m_bTextSet = true; }

    unsigned m_nID;
    bool m_bEnabled = true;
    int m_nCheck = -1; // -1 = not a check item, 0 unchecked, 1 checked
    bool m_bRadio = false;
    QString m_strText;
    bool m_bTextSet = false;
};

// An object with a command map: command number -> handler, number -> update handler.
class CCmdTarget
{
public:
    using Handler = std::function<void()>;
    using UpdateHandler = std::function<void(CCmdUI*)>;

    virtual ~CCmdTarget() = default;

    // Runs the handler when this object lists the command; false when it does not.
    virtual bool OnCmdMsg(unsigned id);
    // Decides the state when this object lists the command (its update handler, or
    // plainly enabled when it lists only a handler); false when it does not list it.
    virtual bool OnUpdateCmdMsg(CCmdUI* cmdUI);
    bool ListsCommand(unsigned id) const;

protected:
    void OnCommand(unsigned id, Handler handler);
    void OnCommandRange(unsigned first, unsigned last, std::function<void(unsigned)> handler);
    void OnUpdate(unsigned id, UpdateHandler handler);
    void OnUpdateRange(unsigned first, unsigned last, UpdateHandler handler);

private:
    struct Range
    {
        unsigned last;
        std::function<void(unsigned)> handler;
    };
    struct UpdateRange
    {
        unsigned last;
        UpdateHandler handler;
    };
    const Range* FindRange(unsigned id) const;
    const UpdateRange* FindUpdateRange(unsigned id) const;

    std::map<unsigned, Handler> m_commands;
    std::map<unsigned, Range> m_ranges;            // keyed by first id
    std::map<unsigned, UpdateHandler> m_updates;
    std::map<unsigned, UpdateRange> m_updateRanges; // keyed by first id
};

// Offers a command to the active view, then the document, the frame and the
// application; the first that lists it handles it. A command nobody lists is disabled.
class CCmdRouter
{
public:
    std::function<CCmdTarget*()> m_activeView;
    CCmdTarget* m_pDocument = nullptr;
    CCmdTarget* m_pFrame = nullptr;
    CCmdTarget* m_pApp = nullptr;
    // Commands the frame sends straight to one target whatever has the focus.
    std::map<unsigned, std::function<CCmdTarget*()>> m_redirects;
    // Called around every command that runs (the document's change history groups
    // each command's changes into one step).
    std::function<void(unsigned)> m_beforeCommand;
    std::function<void(unsigned)> m_afterCommand;
    // Told after every command that ran (the frame refreshes its toolbar then).
    std::function<void(unsigned id)> m_executed;

    bool Execute(unsigned id);
    CCmdUI Update(unsigned id);

private:
    template<class F> bool Route(unsigned id, F&& f);
};
