#include "BraskForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QShowEvent>
#include <QSpinBox>

namespace kelvane {

TBRASKForm::TBRASKForm(QWidget* parent)
    : QMainWindow(parent)
{
}

void TBRASKForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!FRestored && FKeepsState)
        RestoreFormState();
    FRestored = true;
}

void TBRASKForm::closeEvent(QCloseEvent* event)
{
    if (FKeepsState)
        SaveFormState();
    QMainWindow::closeEvent(event);
}

void TBRASKForm::SyncControls(QSettings& s, bool save)
{
    s.beginGroup(objectName());
    auto sync = [&](QWidget* control, const QVariant& current, auto apply) {
        if (control->objectName().isEmpty())
            return;
        if (save)
            s.setValue(control->objectName(), current);
        else
            apply(s.value(control->objectName(), current));
    };
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        if (!qobject_cast<QComboBox*>(edit->parent()) && !qobject_cast<QAbstractSpinBox*>(edit->parent()))
            sync(edit, edit->text(), [edit](const QVariant& v) { edit->setText(v.toString()); });
    for (QCheckBox* box : findChildren<QCheckBox*>())
        sync(box, box->isChecked(), [box](const QVariant& v) { box->setChecked(v.toBool()); });
    for (QRadioButton* radio : findChildren<QRadioButton*>())
        sync(radio, radio->isChecked(), [radio](const QVariant& v) { radio->setChecked(v.toBool()); });
    for (QSpinBox* spin : findChildren<QSpinBox*>())
        sync(spin, spin->value(), [spin](const QVariant& v) { spin->setValue(v.toInt()); });
    for (QComboBox* combo : findChildren<QComboBox*>())
        if (!combo->isEditable())
            sync(combo, qMax(0, combo->currentIndex()), [combo](const QVariant& v) { combo->setCurrentIndex(v.toInt()); });
    s.endGroup();
}

void TBRASKForm::RestoreFormState()
{
    QSettings& s = FormSettings();
    SyncControls(s, false);
    const QByteArray placement = s.value(objectName() + QStringLiteral("WindowPlacement")).toByteArray();
    if (!placement.isEmpty())
        restoreGeometry(placement);
}

void TBRASKForm::SaveFormState()
{
    QSettings& s = FormSettings();
    SyncControls(s, true);
    s.setValue(objectName() + QStringLiteral("WindowPlacement"), saveGeometry());
    s.sync();
}

} // namespace kelvane
