// SPDX-License-Identifier: GPL-3.0-or-later
// What the windows share, handed down from the application shell.
#pragma once

class ConfigStore;
class Desktop;
class Dialogs;
class RunPool;
class Scheduler;
class ScheduleStatus;
class ServerActivity;
class ServerListModel;

// The long-lived objects of the windowed application, created once by
// TidewellApp (or a test) and handed to every window; none of them is a
// global.
struct AppContext
{
    ConfigStore *store = nullptr;
    RunPool *runs = nullptr;
    const Scheduler *scheduler = nullptr;
    Dialogs *dialogs = nullptr;
    Desktop *desktop = nullptr;
    ServerActivity *activity = nullptr;
    ScheduleStatus *schedules = nullptr;
    ServerListModel *servers = nullptr;
};
