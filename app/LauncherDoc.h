// The launcher's document: no data, only the game and screen-size commands.
#pragma once

#include "framework/Document.h"

class CLauncherVlm2001Doc : public CDocument {
public:
    BOOL OnNewDocument() override;
    void Serialize(CArchive& archive) override;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    void OnSizeSmall();
    void OnSizeMedium();
    void OnSizeLarge();
    void OnUpdateSizeSmall(CCmdUI* ui);
    void OnUpdateSizeMedium(CCmdUI* ui);
    void OnUpdateSizeLarge(CCmdUI* ui);

    // Game i's command and its menu state.
    template <int Game> void OnLaunch();
    template <int Game> void OnUpdateLaunch(CCmdUI* ui);

private:
    static const MessageEntry messageEntries[];
};
