#include "ProgressDialog.h"

#include "app/ApplicationInfo.h"

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>

namespace kelvane {

TProgressDialog::TProgressDialog(QWidget* owner)
    : QObject(owner)
    , FOwner(owner)
{
    FDelayTimer.setSingleShot(true);
    connect(&FDelayTimer, &QTimer::timeout, this, [this] {
        // Past its middle the operation ends soon: no window.
        if (FClosed || FPosition * 2 > FMax)
            return;
        CreateWindow();
        FWindow->show();
        Repaint();
    });
}

TProgressDialog::~TProgressDialog()
{
    delete FWindow;
}

void TProgressDialog::CreateWindow()
{
    if (FWindow)
        return;
    FWindow = new QDialog(FOwner, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint);
    FWindow->setObjectName(QStringLiteral("ProgressForm"));
    FWindow->setWindowTitle(CaptionForm);
    FWindow->setWindowModality(Qt::ApplicationModal);
    auto* frame = new QGroupBox(CaptionForm, FWindow);
    auto* grid = new QGridLayout(frame);
    FLeft = new QLabel(frame);
    FDone = new QLabel(frame);
    FTimeLeft = new QLabel(frame);
    FTimeNeeded = new QLabel(frame);
    grid->addWidget(new QLabel(CaptionLeft, frame), 0, 0);
    grid->addWidget(FLeft, 0, 1);
    grid->addWidget(new QLabel(CaptionTimeLeft, frame), 0, 2);
    grid->addWidget(FTimeLeft, 0, 3);
    grid->addWidget(new QLabel(CaptionDone, frame), 1, 0);
    grid->addWidget(FDone, 1, 1);
    grid->addWidget(new QLabel(CaptionTimeNeeded, frame), 1, 2);
    grid->addWidget(FTimeNeeded, 1, 3);
    FBar = new QProgressBar(frame);
    FBar->setTextVisible(false);
    grid->addWidget(FBar, 2, 0, 1, 4);
    FCancel = new QPushButton(tr("Cancel"), FWindow);
    connect(FCancel, &QPushButton::clicked, this, [this] {
        FCancelled = true;
        FCancel->setEnabled(false);
    });
    auto* layout = new QVBoxLayout(FWindow);
    layout->addWidget(frame);
    layout->addWidget(FCancel, 0, Qt::AlignHCenter);
    FWindow->resize(300, 135);
}

void TProgressDialog::Show()
{
    FCancelled = false;
    FClosed = false;
    FPosition = 0;
    FLastRepaint = -1;
    if (FCancel)
        FCancel->setEnabled(true);
    FClock.start();
    FDelayTimer.start(Delay);
}

void TProgressDialog::SetMax(int max)
{
    FMax = qMax(0, max);
    FPosition = qMin(FPosition, FMax);
    if (IsWindowShown())
        Repaint();
}

void TProgressDialog::SetPosition(int position)
{
    if (position < 0 || position > FMax)
        return;
    FPosition = position;
    if (!IsWindowShown())
        return;
    if (FLastRepaint >= 0 && FClock.elapsed() - FLastRepaint < RefreshRate && position != FMax)
        return;
    Repaint();
}

void TProgressDialog::StepBy(int steps)
{
    if (!FClock.isValid())
        FClock.start();
    SetPosition(FPosition + steps);
    QApplication::processEvents();
}

void TProgressDialog::Close()
{
    FClosed = true;
    FDelayTimer.stop();
    if (FWindow)
        FWindow->hide();
}

bool TProgressDialog::IsWindowShown() const
{
    return FWindow && FWindow->isVisible();
}

QString TProgressDialog::FormatMs(qint64 ms) const
{
    return QTime(0, 0).addMSecs(qMax<qint64>(0, ms)).toString(DateTimeFormat);
}

void TProgressDialog::Repaint()
{
    if (!FWindow)
        return;
    const qint64 elapsed = FClock.isValid() ? FClock.elapsed() : 0;
    FLastRepaint = elapsed;
    FLeft->setText(QString::number(FMax - FPosition));
    FDone->setText(QString::number(FPosition));
    FBar->setRange(0, FMax);
    FBar->setValue(FPosition);
    const qint64 left = FPosition > 0 ? elapsed * FMax / FPosition - elapsed : 0;
    FTimeLeft->setText(FormatMs(left));
    FTimeNeeded->setText(FormatMs(elapsed));
}

TReportProgress TProgressDialog::Callback()
{
    Show();
    return [this](int done, int total) {
        if (total != FMax)
            SetMax(total);
        StepBy(done - FPosition);
        return !FCancelled;
    };
}

} // namespace kelvane
