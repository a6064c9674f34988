#pragma once
// The internet game client.

#include "ui/Controls.h"

#include <QWidget>

class TWEBForm : public QWidget {
    Q_OBJECT
public:
    explicit TWEBForm(QWidget *parent = nullptr);

    bool LoggedIn = false;
    int LoopCount = 0;
    int LoopId = 0;
    int DummyCount = 0;
    TLabel *Login_merkenM = nullptr;
    TLabel *LevelM = nullptr;
    TLabel *PlayerM = nullptr;
    TEdit *iNet_User = nullptr;
    TEdit *iNet_Passwort = nullptr;

    void SetRememberLogin(int on);
    void SetWebLevel(int n);
    // Shows level n without storing it (a shared value from the other window).
    void ApplyWebLevel(int n);
    void SetWebPlayers(int n);
    void SendLogout();
    void SendChat(const QString &text);
};

extern TWEBForm *WEBForm;
