#pragma once
// The program's own message boxes in a test: something that asks runs with
// the real dialog service, and the test acts on the open box meanwhile, as
// a user would, while the program's timers and sockets go on beneath it.

#include "board/UQuadrivo.h"
#include "common/Fixture.h"
#include "ui/DialogService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

// Runs ask with the real dialog service in place of the scripted one;
// every 10 ms while a message box is open, whileOpen gets it.
inline void AskWithRealMessageBoxes(TDialogService *scripted, const std::function<void(QMessageBox &)> &whileOpen,
                                    const std::function<void()> &ask)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            whileOpen(*box);
    });
    InstallDialogService(nullptr);
    poll.start(10);
    ask();
    poll.stop();
    InstallDialogService(scripted);
}

// Clicks the box's button with that caption ("&Ja", "&Nein").
inline void ClickBoxButton(QMessageBox &box, const QString &caption)
{
    for (QAbstractButton *b : box.buttons())
        if (b->text() == caption) {
            b->click();
            return;
        }
}

// What became of a single game's abandon question asked in the real box.
struct TRealQuestion {
    QString Asked;
    // Whether the game stood while the box was open.
    bool Held = false;
};

// "Spiel beenden" in a single game whose clock shows 2.0 s (start is its
// GameStartCount): a minute passes on the counter with the box open and the
// program's timers run beneath it for a while; then the clock must still
// show 2.0 s, the game run and the question be open, and standsStill()
// must hold, before the box is answered with the caption.
inline TRealQuestion AbandonInTheRealBox(
    TDialogService *scripted, int64_t start, const QString &caption,
    const std::function<bool()> &standsStill = [] { return true; })
{
    constexpr int64_t kTenthTicks = 100000000LL;
    TRealQuestion out;
    int ticks = 0;
    AskWithRealMessageBoxes(
        scripted,
        [&](QMessageBox &box) {
            if (ticks == 0) {
                out.Asked = box.text();
                TTestFixture::Now = start + 620 * kTenthTicks;
            }
            if (++ticks < 30)
                return;
            out.Held = Form1->ElapsedTenths == 20 && Form1->GameRunning && GameQuestionOpen() && standsStill();
            ClickBoxButton(box, caption);
        },
        [] { Form1->BTC_Spiel_EndeClick(); });
    return out;
}
