#include "projects/projectdialogs.h"

#include <QFileDialog>
#include <QMessageBox>

QString ProjectDialogs::chooseOpenFileName(
    const QString& caption, const QString& directory, const QString& filter)
{
    return QFileDialog::getOpenFileName(nullptr, caption, directory, filter);
}

QString ProjectDialogs::chooseSaveFileName(
    const QString& caption, const QString& directory, const QString& filter)
{
    return QFileDialog::getSaveFileName(nullptr, caption, directory, filter);
}

IProjectDialogs::SaveChoice ProjectDialogs::askSaveChanges(
    const QString& title, const QString& text, const QString& informativeText)
{
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    box.setInformativeText(informativeText);
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Save);
    // Escape and the window's close button give Cancel, the one answer that changes nothing.
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

void ProjectDialogs::showError(const QString& title, const QString& text)
{
    QMessageBox::critical(nullptr, title, text);
}
