#pragma once

#include <QMainWindow>

class ConfigStore;
class RsyncRunner;

// The main window; for now a titled frame over the shared store and runner.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(ConfigStore *store, RsyncRunner *runner, QWidget *parent = nullptr);

private:
    ConfigStore *m_store;
    RsyncRunner *m_runner;
};
