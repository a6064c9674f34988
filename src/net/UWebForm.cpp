#include "net/UWebForm.h"

#include "core/USonstiges.h"

TWEBForm *WEBForm = nullptr;

TWEBForm::TWEBForm(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Internet"));
    Login_merkenM = new TLabel(this);
    LevelM = new TLabel(this);
    PlayerM = new TLabel(this);
    for (TLabel *m : {Login_merkenM, LevelM, PlayerM})
        m->hide();
    iNet_User = new TEdit(this);
    iNet_Passwort = new TEdit(this);
    iNet_Passwort->setEchoMode(QLineEdit::Password);
}

void TWEBForm::SetRememberLogin(int on)
{
    RegWriteInteger(QStringLiteral("inetmerken"), on);
    Login_merkenM->Tag = on;
}

void TWEBForm::SetWebLevel(int n)
{
    RegWriteInteger(QStringLiteral("level"), n);
    ApplyWebLevel(n);
}

void TWEBForm::ApplyWebLevel(int n) { LevelM->Tag = n; }

void TWEBForm::SetWebPlayers(int n)
{
    RegWriteInteger(QStringLiteral("Player"), n);
    PlayerM->Tag = n;
}

void TWEBForm::SendLogout() { LoggedIn = false; }

void TWEBForm::SendChat(const QString &) {}
