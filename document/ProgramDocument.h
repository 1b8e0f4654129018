#pragma once
// The program editor's text as a document: the file it came from (none for a new program),
// the line-break style and byte order mark that file is saved with, and whether the text
// differs from what was last opened or saved. It opens, saves and guards: every command that
// would replace the text asks Save / Discard / Cancel first when the text differs. It names
// the window after the file ("Untitled" once a program never saved has changed), with Qt's
// modified marker while the text differs.
//
// Opening reads the file before asking, so a file that is refused leaves the editor, and the
// question, alone. A failed save leaves the text in the editor, still marked as changed.

#include "files/ProgramFile.h"
#include "files/RecentFiles.h"
#include "files/RecoverySlot.h"

#include <QObject>
#include <QSettings>
#include <QString>

#include <QHash>

#include <functional>
#include <optional>

class QPlainTextEdit;
class QWidget;

class TProgramDocument : public QObject {
    Q_OBJECT
public:
    // The editor's text when the document is made (the sample program) counts as unchanged.
    // Both must outlive the document; the window parents its dialogs and carries its title.
    TProgramDocument(QPlainTextEdit& editor, QWidget& window, QObject* parent = nullptr);
    ~TProgramDocument() override;

    // The program's file, absolute; empty for a program never saved.
    QString FilePath() const { return filePath_; }
    bool IsModified() const { return modified_; }
    // The editor's text with the style it is saved in.
    TProgramText Program() const;
    TRecentFiles& RecentFiles() { return recent_; }
    // The application's settings, which the recent files are kept in; the window's other
    // remembered choices go there too.
    QSettings& Settings() { return settings_; }

    // The File menu's commands.
    void New();
    void Open();
    // Opens an entry of the recent list; an entry whose file is gone is dropped, with a message.
    void OpenRecent(const QString& path);
    // Opens a file named from outside (dropped on the window).
    bool OpenGuarded(const QString& path);
    // Files whose suffix (without the dot, any case) names another kind are handed to `open`
    // wherever a program would be opened (Open, Open Recent, a drop, the command line); it
    // says whether it took the file, which then joins the recent files. The editor and its
    // question about unsaved changes are left alone.
    void OpenOtherKindWith(const QString& suffix, std::function<bool(const QString&)> open);
    // New, with this text in place of an empty program: untitled, unchanged until edited.
    void NewWithText(const QString& text);
    // Opens the file named at start; one that does not exist yet, in a folder that does,
    // starts an empty program by that name, made at its first Save (as text editors do).
    bool OpenAtStart(const QString& path);
    bool Save();
    bool SaveAs();

    // Asks Save / Discard / Cancel when the text differs; true when the caller may go on
    // (unchanged, saved, or discarded), false on Cancel or when the save failed.
    bool MaybeSave();

    // Without asking: saves to path (no dialog), and puts a recovered program in the editor,
    // still to be saved.
    bool SaveTo(const QString& path);
    void Restore(const TRecoveredProgram& recovered);

signals:
    // The editor's text changed (typed, opened, restored, cleared), or it reached its file:
    // IsModified() may differ from before.
    void Changed();
    // Another program is in the editor (new, opened, dropped or restored; not saved).
    void ProgramReplaced();

private:
    // Puts a program in the editor; with `saved` it counts as unchanged, without it differs
    // until it is saved.
    void Load(const QString& path, const TProgramText& program, bool saved);
    // Puts what was read in the editor after the unsaved-changes question; a refusal is shown.
    bool OpenRead(const QString& path, const TProgramRead& read, bool fileExists);
    void TextChanged();
    void UpdateTitle();
    QString ChooseFile(bool save);
    // The opener of the file's kind, or none for a program.
    std::function<bool(const QString&)> OtherKindOpener(const QString& path) const;

    QPlainTextEdit& editor_;
    QWidget& window_;
    QSettings settings_;
    TRecentFiles recent_;
    QString filePath_;
    TLineBreak lineBreak_ = TLineBreak::Lf;
    bool byteOrderMark_ = false;
    std::optional<QString> savedText_;
    bool modified_ = false;
    QHash<QString, std::function<bool(const QString&)>> otherKinds_;
};
