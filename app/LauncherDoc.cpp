// The document's commands: each is forwarded to the main frame.
#include "LauncherDoc.h"

#include "LauncherApp.h"
#include "MainFrame.h"
#include "ScreenSizes.h"
#include "res/resource.h"

namespace {

// Enables a larger size only when the display holds it, and checks it when it is current.
void UpdateSizeItem(CCmdUI* ui, int sizeIndex)
{
    CMainFrame* frame = LauncherFrame();
    int maxIndex = frame->GetMaxScreenSizeIndex();
    int current = frame->GetScreenSizeIndex();
    ui->SetCheck(0);
    if (maxIndex >= sizeIndex) {
        ui->Enable(TRUE);
        if (current == sizeIndex)
            ui->SetCheck(1);
    } else {
        ui->Enable(FALSE);
    }
}

} // namespace

template <int Game> void CLauncherVlm2001Doc::OnLaunch()
{
    LauncherFrame()->LaunchGame(Game, false);
}

template <int Game> void CLauncherVlm2001Doc::OnUpdateLaunch(CCmdUI* ui)
{
    ui->Enable(LauncherFrame()->LaunchGame(Game, true));
}

const MessageEntry CLauncherVlm2001Doc::messageEntries[] = {
    OnCommand<ID_SIZE_SMALL, &CLauncherVlm2001Doc::OnSizeSmall>(),
    OnUpdateCommand<ID_SIZE_SMALL, &CLauncherVlm2001Doc::OnUpdateSizeSmall>(),
    OnCommand<ID_SIZE_MEDIUM, &CLauncherVlm2001Doc::OnSizeMedium>(),
    OnUpdateCommand<ID_SIZE_MEDIUM, &CLauncherVlm2001Doc::OnUpdateSizeMedium>(),
    OnCommand<ID_SIZE_LARGE, &CLauncherVlm2001Doc::OnSizeLarge>(),
    OnUpdateCommand<ID_SIZE_LARGE, &CLauncherVlm2001Doc::OnUpdateSizeLarge>(),
    OnCommand<ID_LAUNCH_BACKGAMMON, &CLauncherVlm2001Doc::OnLaunch<0>>(),
    OnUpdateCommand<ID_LAUNCH_BACKGAMMON, &CLauncherVlm2001Doc::OnUpdateLaunch<0>>(),
    OnCommand<ID_LAUNCH_BRIDGE, &CLauncherVlm2001Doc::OnLaunch<1>>(),
    OnUpdateCommand<ID_LAUNCH_BRIDGE, &CLauncherVlm2001Doc::OnUpdateLaunch<1>>(),
    OnCommand<ID_LAUNCH_CHECKERS, &CLauncherVlm2001Doc::OnLaunch<2>>(),
    OnUpdateCommand<ID_LAUNCH_CHECKERS, &CLauncherVlm2001Doc::OnUpdateLaunch<2>>(),
    OnCommand<ID_LAUNCH_CHESS, &CLauncherVlm2001Doc::OnLaunch<3>>(),
    OnUpdateCommand<ID_LAUNCH_CHESS, &CLauncherVlm2001Doc::OnUpdateLaunch<3>>(),
    OnCommand<ID_LAUNCH_CHINESECHESS, &CLauncherVlm2001Doc::OnLaunch<4>>(),
    OnUpdateCommand<ID_LAUNCH_CHINESECHESS, &CLauncherVlm2001Doc::OnUpdateLaunch<4>>(),
    OnCommand<ID_LAUNCH_DOMINOES, &CLauncherVlm2001Doc::OnLaunch<5>>(),
    OnUpdateCommand<ID_LAUNCH_DOMINOES, &CLauncherVlm2001Doc::OnUpdateLaunch<5>>(),
    OnCommand<ID_LAUNCH_FOURINALINE, &CLauncherVlm2001Doc::OnLaunch<6>>(),
    OnUpdateCommand<ID_LAUNCH_FOURINALINE, &CLauncherVlm2001Doc::OnUpdateLaunch<6>>(),
    OnCommand<ID_LAUNCH_GO, &CLauncherVlm2001Doc::OnLaunch<7>>(),
    OnUpdateCommand<ID_LAUNCH_GO, &CLauncherVlm2001Doc::OnUpdateLaunch<7>>(),
    OnCommand<ID_LAUNCH_GOMOKU, &CLauncherVlm2001Doc::OnLaunch<8>>(),
    OnUpdateCommand<ID_LAUNCH_GOMOKU, &CLauncherVlm2001Doc::OnUpdateLaunch<8>>(),
    OnCommand<ID_LAUNCH_REVERSI, &CLauncherVlm2001Doc::OnLaunch<9>>(),
    OnUpdateCommand<ID_LAUNCH_REVERSI, &CLauncherVlm2001Doc::OnUpdateLaunch<9>>(),
    OnCommand<ID_LAUNCH_SHOGI, &CLauncherVlm2001Doc::OnLaunch<10>>(),
    OnUpdateCommand<ID_LAUNCH_SHOGI, &CLauncherVlm2001Doc::OnUpdateLaunch<10>>(),
    OnCommand<ID_LAUNCH_TAIPEI, &CLauncherVlm2001Doc::OnLaunch<11>>(),
    OnUpdateCommand<ID_LAUNCH_TAIPEI, &CLauncherVlm2001Doc::OnUpdateLaunch<11>>(),
};
const MessageMap CLauncherVlm2001Doc::messageMap = MakeMessageMap(&CDocument::messageMap, messageEntries);

BOOL CLauncherVlm2001Doc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

void CLauncherVlm2001Doc::Serialize(CArchive&)
{
    // The launcher keeps nothing in its document.
}

void CLauncherVlm2001Doc::OnSizeSmall()
{
    LauncherFrame()->SetScreenSizeIndex(velmora::kSmall);
}

void CLauncherVlm2001Doc::OnSizeMedium()
{
    LauncherFrame()->SetScreenSizeIndex(velmora::kMedium);
}

void CLauncherVlm2001Doc::OnSizeLarge()
{
    LauncherFrame()->SetScreenSizeIndex(velmora::kLarge);
}

void CLauncherVlm2001Doc::OnUpdateSizeSmall(CCmdUI* ui)
{
    ui->Enable(TRUE);
    ui->SetCheck(LauncherFrame()->GetScreenSizeIndex() == velmora::kSmall);
}

void CLauncherVlm2001Doc::OnUpdateSizeMedium(CCmdUI* ui)
{
    UpdateSizeItem(ui, velmora::kMedium);
}

void CLauncherVlm2001Doc::OnUpdateSizeLarge(CCmdUI* ui)
{
    UpdateSizeItem(ui, velmora::kLarge);
}
