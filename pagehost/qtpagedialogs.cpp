#include "pagehost/qtpagedialogs.h"

#include <QFileDialog>
#include <QMessageBox>

QString QtPageDialogs::chooseOpenFileName(
    const QString& caption, const QString& directory, const QString& filter)
{
    return QFileDialog::getOpenFileName(nullptr, caption, directory, filter);
}

QString QtPageDialogs::chooseSaveFileName(
    const QString& caption, const QString& directory, const QString& filter)
{
    return QFileDialog::getSaveFileName(nullptr, caption, directory, filter);
}

bool QtPageDialogs::confirm(QWidget* parent, const QString& title, const QString& text)
{
    // Cancel is the escape button, so closing the box with the window's button answers no.
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::Cancel)
        == QMessageBox::Yes;
}

void QtPageDialogs::alert(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}
