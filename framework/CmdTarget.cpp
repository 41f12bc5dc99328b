// Message-map lookup and the command-target end of command routing.
#include "MessageMap.h"

const MessageMap CCmdTarget::messageMap = { nullptr, nullptr, 0 };

const MessageEntry* CCmdTarget::FindEntry(EntryKind kind, UINT message, UINT id) const
{
    for (const MessageMap* map = GetMessageMap(); map; map = map->base)
        for (std::size_t i = 0; i < map->count; ++i) {
            const MessageEntry& entry = map->entries[i];
            if (entry.kind == kind && entry.message == message && entry.id == id)
                return &entry;
        }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui)
{
    EntryKind kind = action == CmdAction::Update ? EntryKind::UpdateCommand : EntryKind::Command;
    const MessageEntry* entry = FindEntry(kind, 0, id);
    if (!entry)
        return FALSE;
    if (action != CmdAction::Probe)
        entry->thunk(*this, 0, reinterpret_cast<LPARAM>(ui));
    return TRUE;
}

void CCmdUI::Enable(BOOL on)
{
    m_bEnabled = on;
    if (m_hMenu)
        ::EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
}

void CCmdUI::SetCheck(int check)
{
    if (m_hMenu)
        ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
}
