#pragma once
#include <QMainWindow>

class QSettings;

namespace kelvane {

// Base of the program's sizeable windows: each time the window is shown its
// simple controls and its placement are restored from the settings, and each
// time it closes they are written back, so a new instance opens where the
// last one was closed.
class TBRASKForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TBRASKForm(QWidget* parent = nullptr);

    // Off for unattended runs, which save nothing.
    void SetKeepsState(bool keeps) { FKeepsState = keeps; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    virtual QSettings& FormSettings() = 0;

    void RestoreFormState();
    void SaveFormState();

private:
    void SyncControls(QSettings& settings, bool save);

    bool FKeepsState = true;
    bool FRestored = false;
};

} // namespace kelvane
