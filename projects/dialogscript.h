#pragma once
// The dialog seam for end-to-end tests. When the environment variable VAREN_DIALOG_SCRIPT names
// a file, every dialog of the application (project questions, file dialogs, the pages' confirm
// and alert boxes) takes its answer from that file instead of asking a person, and every
// question asked is written to a record file beside it, so a test can both drive the dialogs
// and check which ones appeared with which texts.
//
// The script file: one answer per line, "<kind> <value>", used in order. Blank lines and lines
// beginning with "#" are skipped. The file is read again at every question, so a test may append
// answers while the application runs. The kinds and their values:
//   confirm yes|cancel           a page's confirm box (cancel is also the window's close button)
//   alert ok                     a page's alert box
//   open <path>|cancel           an open-file dialog (a page's, or "Open Project File")
//   save <path>|cancel           a save-file dialog (a page's, or "Save Project File")
//   project save|discard|cancel  the "Save Project" question
//   error ok                     a project error message ("Load Failed")
// A value that is not one of the words listed counts as cancel (for open and save, any value
// other than "cancel" is the chosen path; use absolute paths).
//
// The record file, "$VAREN_DIALOG_SCRIPT.asked": one line per question, five fields separated by
// tabs: kind, title, text, detail, answer. For file dialogs the title is the caption, the text
// the start directory and the detail the filter; for the project question the detail is the
// informative text. The answer is the scripted value, or "!unanswered" when the script held no
// further answer, or "!mismatch <line>" when the next answer is for another kind of dialog. In
// both of these cases the dialog answers as if cancelled and the script line is not used up, so
// an unexpected dialog shows in the record instead of hanging the application. Backslashes,
// tabs, carriage returns and line feeds inside fields are written as \\, \t, \r and \n.
//
// Thread: GUI thread only (dialogs are). Owner: shared (std::shared_ptr) by the scripted dialog
// objects; fromEnvironment() keeps one instance per process so that all dialogs consume the same
// script in order.
#include <QString>

#include <memory>
#include <optional>

class DialogScript
{
public:
    static constexpr const char* EnvironmentVariable = "VAREN_DIALOG_SCRIPT";

    // The process-wide script named by VAREN_DIALOG_SCRIPT, or null when the variable is unset or
    // empty (the dialogs then ask the user).
    static std::shared_ptr<DialogScript> fromEnvironment();

    explicit DialogScript(const QString& scriptPath);

    QString scriptPath() const { return path; }
    QString recordPath() const { return path + QStringLiteral(".asked"); }

    // Records the question and returns the next scripted value for it; nothing when the script
    // has no answer of this kind next (the caller then answers like a cancel).
    std::optional<QString> ask(const QString& kind, const QString& title, const QString& text,
        const QString& detail = QString());
    // A file dialog ("open" or "save"): the scripted path, or empty for "cancel" and for a
    // question the script cannot answer.
    QString askForPath(const QString& kind, const QString& caption, const QString& directory,
        const QString& filter);

private:
    std::optional<QString> nextLine() const;
    void record(const QString& kind, const QString& title, const QString& text,
        const QString& detail, const QString& answer) const;

    QString path;
    int used = 0; // answers taken so far
};
