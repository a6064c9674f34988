// Figures of the lists that floods fill:
//   chat_line_at_*            one chat line added (as a received line adds it) to the shown
//                             chat list that holds that many lines already, its layout included
//   chat_line_plain_list_at_* the same for a plain list without the chat list's settings
//   trace_line_at_5000        one trace line with 5,000 in the log
//   offer_row_full_list       one offer from a new source with the hidden search list full
//   server_file_load_16000    loading a known-server file of 16,000 addresses
// Private settings and data folder; no datagram leaves the process.
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "board/USudokuApp.h"
#include "net/UNETZ.h"
#include "net/USucheSpiele.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {
QString address(int i)
{
    return QStringLiteral("10.%1.%2.%3").arg(i / 62500 % 250 + 1).arg(i / 250 % 250).arg(i % 250 + 1);
}

// A received chat line as the handler adds it, then what the window does with it.
void chatLine(TListBox *box, int i)
{
    box->Add(QStringLiteral("127.0.0.5:Zeile %1").arg(i));
    box->setCurrentRow(box->Count() - 1);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Text, (i & 1) ? Qt::red : Qt::blue);
    box->setPalette(pal);
    QCoreApplication::processEvents();
}

void chatCost(const char *name, TListBox *box, int holding)
{
    box->clear();
    for (int i = 0; i < holding; ++i)
        box->Add(QStringLiteral("127.0.0.5:Zeile %1").arg(i));
    QCoreApplication::processEvents();
    const int n = 300;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < n; ++i)
        chatLine(box, holding + i);
    std::printf("%s %.1f us\n", name, double(clock.nsecsElapsed()) / 1e3 / n);
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    const QString base = dir.path();
    for (const char *sub : {"settings", "data", "tmp"})
        QDir(base).mkpath(QString::fromLatin1(sub));
    qputenv("SUDOKU_SETTINGS_DIR", QFile::encodeName(base + QStringLiteral("/settings")));
    qputenv("SUDOKU_DATA_DIR", QFile::encodeName(base + QStringLiteral("/data")));
    qputenv("TMPDIR", QFile::encodeName(base + QStringLiteral("/tmp")));
    qputenv("SUDOKU_LOOPBACK_ONLY", "1");
    qputenv("SUDOKU_BROADCAST_ADDRESS", "127.255.255.255");
    qputenv("SUDOKU_BIND_ADDRESS", "127.0.0.1");
    qputenv("SUDOKU_SELF_IP", "127.0.0.1");

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ReloadSudokuEnv();
    RegWriteInteger(QStringLiteral("Disclaimer"), 1);
    CreateSudokuWindows();

    // The chat list as the main window sets it up, shown at its size.
    TListBox chat;
    chat.setUniformItemSizes(Form1->ChatBox->uniformItemSizes());
    chat.MaxItems = Form1->ChatBox->MaxItems;
    chat.resize(324, 150);
    chat.show();
    chatCost("chat_line_at_100", &chat, 100);
    chatCost("chat_line_at_5000", &chat, 5000);
    TListBox plain;
    plain.resize(324, 150);
    plain.show();
    chatCost("chat_line_plain_list_at_100", &plain, 100);
    chatCost("chat_line_plain_list_at_5000", &plain, 5000);

    // The trace log, full.
    for (int i = 0; i < TTrace::kMaxLogLines; ++i)
        Trace->TraceLine(QStringLiteral("Zeile %1").arg(i));
    {
        const int n = 20000;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < n; ++i)
            Trace->TraceLine(QStringLiteral("Zeile %1").arg(i));
        std::printf("trace_line_at_5000 %.2f us\n", double(clock.nsecsElapsed()) / 1e3 / n);
    }

    // The hidden search list, full of offers.
    TFormSucheSpiele *w = FormSucheSpiele;
    w->Tab_HeimNWClick(w->Tab_HeimNW);
    for (int i = 0; i < TFormSucheSpiele::kMaxOfferRows; ++i)
        w->AddOrUpdateServerItem(QStringLiteral("Gast"), QString(), QString(), QString(), QStringLiteral("wartet"),
                                 address(i));
    {
        const int n = 20000;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < n; ++i)
            w->AddOrUpdateServerItem(QStringLiteral("Gast"), QString(), QString(), QString(),
                                     QStringLiteral("wartet"), address(100000 + i));
        std::printf("offer_row_full_list %.2f us\n", double(clock.nsecsElapsed()) / 1e3 / n);
    }

    // The known-server file of 16,000 addresses, loaded into the shown window.
    {
        QByteArray text;
        for (int i = 0; i < 16000; ++i)
            text += address(i).toLatin1() + ":Host " + QByteArray::number(i) + "\r\n";
        QFile f(TFormSucheSpiele::ServerFileName());
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) {
            std::printf("server_file_load_16000 failed -\n");
            return 1;
        }
        f.close();
        w->show();
        w->Tab_HeimNWClick(w->Tab_Intranet);
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        w->bt_serverClick();
        QCoreApplication::processEvents();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (w->RowCount() != 16000)
            std::printf("server_file_load_16000 failed -\n");
        else
            std::printf("server_file_load_16000 %.1f ms\n", ms);
        w->hide();
    }
    DestroySudokuWindows();
    return 0;
}
