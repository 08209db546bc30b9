#pragma once
#include "reports/XMLReportWriter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kelvane {

// Progress of a long operation on the user-interface thread, with Cancel.
// The window opens only when the operation is still in its first half after
// the delay, so short operations never flash a window; labels are repainted
// at most every RefreshRate milliseconds (the last position always).
class TProgressDialog : public QObject {
    Q_OBJECT
public:
    explicit TProgressDialog(QWidget* owner);
    ~TProgressDialog() override;

    QString CaptionForm = QStringLiteral("Progress");
    QString CaptionLeft = QStringLiteral("Folders left:");
    QString CaptionDone = QStringLiteral("Folders done:");
    QString CaptionTimeLeft = QStringLiteral("Time left:");
    QString CaptionTimeNeeded = QStringLiteral("Time needed:");
    QString DateTimeFormat = QStringLiteral("mm:ss");
    int RefreshRate = 400;
    int Delay = 1000;

    void Show();
    void SetMax(int max);
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    // Positions outside 0..max are ignored.
    void SetPosition(int position);
    // Moves on and lets the window repaint and the Cancel button work.
    void StepBy(int steps);
    void Close();
    bool Cancelled() const { return FCancelled; }
    void SetCancelled(bool cancelled) { FCancelled = cancelled; }
    bool IsWindowShown() const;

    // The dialog as the progress callback of reports and exports: shows it on
    // the first call, then follows (done, total); false once cancelled.
    TReportProgress Callback();

private:
    void CreateWindow();
    void Repaint();
    QString FormatMs(qint64 ms) const;

    QWidget* FOwner;
    QPointer<QDialog> FWindow;
    QLabel* FLeft = nullptr;
    QLabel* FDone = nullptr;
    QLabel* FTimeLeft = nullptr;
    QLabel* FTimeNeeded = nullptr;
    QProgressBar* FBar = nullptr;
    QPushButton* FCancel = nullptr;
    QTimer FDelayTimer;
    QElapsedTimer FClock;
    qint64 FLastRepaint = -1;
    int FMax = 100;
    int FPosition = 0;
    bool FCancelled = false;
    bool FClosed = true;
};

} // namespace kelvane
