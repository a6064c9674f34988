#include "common/Fixture.h"

#include "common/ProgramStart.h"

#include "board/UQuadrivo.h"
#include "board/USudokuApp.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QFile>
#include <QHeaderView>
#include <QTreeWidget>

int64_t TTestFixture::Now = 5000000000LL;

int TScriptedDialogs::MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    Shown.push_back({text, type, buttons});
    return nextAnswer();
}

int TScriptedDialogs::nextAnswer()
{
    if (Answers.empty())
        return DefaultAnswer;
    const int a = Answers.front();
    Answers.pop_front();
    return a;
}

int TScriptedDialogs::AskWithdrawable(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    Shown.push_back({text, type, buttons});
    m_open = true;
    m_withdrawn = false;
    if (WhileAsked) {
        const std::function<void()> meanwhile = std::move(WhileAsked);
        WhileAsked = nullptr;
        meanwhile();
    }
    m_open = false;
    // The answer queued for it is used up either way.
    const int answer = nextAnswer();
    if (!m_withdrawn)
        return answer;
    Withdrawn << text;
    return mrNone;
}

void TScriptedDialogs::Withdraw()
{
    if (m_open)
        m_withdrawn = true;
}

QString TScriptedDialogs::SaveFileName(QWidget *, const QString &, const QString &, const QString &, const QString &)
{
    return NextFileName;
}

QString TScriptedDialogs::OpenFileName(QWidget *, const QString &, const QString &, const QString &)
{
    return NextFileName;
}

QString TScriptedDialogs::Directory(QWidget *, const QString &, const QString &) { return NextFileName; }

bool TScriptedDialogs::ChooseColor(QWidget *, QColor &color)
{
    if (!ColorConfirmed)
        return false;
    color = NextColor;
    return true;
}

QStringList TScriptedDialogs::Texts() const
{
    QStringList out;
    for (const TShown &s : Shown)
        out << s.Text;
    return out;
}

QColor PaintedCellColour(QTreeWidget *view, int row, int column)
{
    const QTreeWidgetItem *item = view->topLevelItem(row);
    if (!item)
        return QColor();
    const QImage screen = view->viewport()->grab().toImage();
    const QRect cell = view->visualItemRect(item);
    const int x = view->header()->sectionViewportPosition(column) + view->header()->sectionSize(column) / 2;
    const qreal dpr = screen.devicePixelRatio();
    return screen.pixelColor(qRound(x * dpr), qRound(cell.center().y() * dpr));
}

TTestFixture::TTestFixture()
{
    ReloadSudokuEnv();
    RegForget();
    InstallDialogService(&Dialogs);
    SetPerfCounterSource([] { return Now; });
    RandSeed(12345);
}

TTestFixture::~TTestFixture()
{
    DestroyWindows();
    // The folder goes with the fixture: nothing may be written there later.
    RegForget();
    InstallDialogService(nullptr);
    SetPerfCounterSource(nullptr);
}

void TTestFixture::StartProgram()
{
    RegWriteInteger(QStringLiteral("Disclaimer"), 1);
    CreateWindows();
    RunStartupTo(kStartScreenStep);
}

void TTestFixture::CreateWindows()
{
    if (m_windows)
        return;
    CreateSudokuWindows();
    m_windows = true;
}

void TTestFixture::DestroyWindows()
{
    if (!m_windows)
        return;
    DestroySudokuWindows();
    m_windows = false;
}

void TTestFixture::RunStartupTo(int step)
{
    RunStartup(step);
}

void TTestFixture::ClearSettings()
{
    RegForget();
    QFile::remove(SettingsFilePath());
}
