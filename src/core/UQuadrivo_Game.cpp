// Game flow and game clock of the main window.
#include "core/UQuadrivo.h"

void TForm1::BTC_TippClick() {}

void TForm1::MsgTimerTimer() {}

void TForm1::WartezeitTimerTimer() {}

void TForm1::StartGame() {}

void TForm1::StopGameLocal() {}

void TForm1::FinishGame() {}

void TForm1::ClearBoardForEditor() {}
