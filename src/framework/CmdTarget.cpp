#include "CmdTarget.h"

void CCmdTarget::OnCommand(unsigned id, Handler handler) { m_commands[id] = std::move(handler); }

void CCmdTarget::OnCommandRange(unsigned first, unsigned last,
                                std::function<void(unsigned)> handler)
{
    m_ranges[first] = Range{last, std::move(handler)};
}

void CCmdTarget::OnUpdate(unsigned id, UpdateHandler handler) { m_updates[id] = std::move(handler); }

void CCmdTarget::OnUpdateRange(unsigned first, unsigned last, UpdateHandler handler)
{
    m_updateRanges[first] = UpdateRange{last, std::move(handler)};
}

const CCmdTarget::Range* CCmdTarget::FindRange(unsigned id) const
{
    auto it = m_ranges.upper_bound(id);
    if (it == m_ranges.begin())
        return nullptr;
    --it;
    return id <= it->second.last ? &it->second : nullptr;
}

const CCmdTarget::UpdateRange* CCmdTarget::FindUpdateRange(unsigned id) const
{
    auto it = m_updateRanges.upper_bound(id);
    if (it == m_updateRanges.begin())
        return nullptr;
    --it;
    return id <= it->second.last ? &it->second : nullptr;
}

bool CCmdTarget::ListsCommand(unsigned id) const
{
    return m_commands.count(id) || FindRange(id) || m_updates.count(id) || FindUpdateRange(id);
}

bool CCmdTarget::OnCmdMsg(unsigned id)
{
    if (auto it = m_commands.find(id); it != m_commands.end()) {
        if (it->second)
            it->second();
        return true;
    }
    if (const Range* r = FindRange(id)) {
        r->handler(id);
        return true;
    }
    return false;
}

bool CCmdTarget::OnUpdateCmdMsg(CCmdUI* cmdUI)
{
    const unsigned id = cmdUI->m_nID;
    if (auto it = m_updates.find(id); it != m_updates.end()) {
        it->second(cmdUI);
        return true;
    }
    if (const UpdateRange* r = FindUpdateRange(id)) {
        r->handler(cmdUI);
        return true;
    }
    if (m_commands.count(id) || FindRange(id)) {
        cmdUI->Enable(true);
        return true;
    }
    return false;
}

template<class F> bool CCmdRouter::Route(unsigned id, F&& f)
{
    if (auto it = m_redirects.find(id); it != m_redirects.end()) {
        CCmdTarget* t = it->second ? it->second() : nullptr;
        return t && f(t);
    }
    CCmdTarget* chain[] = {m_activeView ? m_activeView() : nullptr, m_pDocument, m_pFrame, m_pApp};
    for (CCmdTarget* t : chain)
        if (t && f(t))
            return true;
    return false;
}

bool CCmdRouter::Execute(unsigned id)
{
    // A disabled command does nothing, whichever way it was sent.
    if (!Update(id).m_bEnabled)
        return false;
    struct Bracket
    {
        CCmdRouter& router;
        unsigned id;
        ~Bracket()
        {
            if (router.m_afterCommand)
                router.m_afterCommand(id);
        }
    };
    if (m_beforeCommand)
        m_beforeCommand(id);
    bool handled = false;
    {
        const Bracket bracket{*this, id};
        handled = Route(id, [id](CCmdTarget* t) { return t->OnCmdMsg(id); });
    }
    if (handled && m_executed)
        m_executed(id);
    return handled;
}

CCmdUI CCmdRouter::Update(unsigned id)
{
    CCmdUI ui(id);
    if (!Route(id, [&ui](CCmdTarget* t) { return t->OnUpdateCmdMsg(&ui); }))
        ui.Enable(false);
    return ui;
}
