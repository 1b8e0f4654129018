#include "document/ProgramDocument.h"

#include "common/ApplicationNames.h"
#include "common/ErrorBox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>

namespace {

// The title and the question before losing changes name the file alone; messages about a
// file name its whole path (ShownPath).
QString ShownFileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace

TProgramDocument::TProgramDocument(QPlainTextEdit& editor, QWidget& window, QObject* parent)
    : QObject(parent),
      editor_(editor),
      window_(window),
      settings_(QSettings::UserScope, ApplicationTitle(), ApplicationTitle()),
      recent_(settings_),
      savedText_(editor.toPlainText())
{
    connect(editor_.document(), &QTextDocument::contentsChanged, this,
            &TProgramDocument::TextChanged);
    UpdateTitle();
}

TProgramDocument::~TProgramDocument() = default;

TProgramText TProgramDocument::Program() const
{
    return TProgramText{editor_.toPlainText(), lineBreak_, byteOrderMark_};
}

// ---- state -----------------------------------------------------------------------------------

void TProgramDocument::TextChanged()
{
    // The length is at hand without copying the text: only an equal length needs the compare.
    bool modified = true;
    if (savedText_ && editor_.document()->characterCount() == savedText_->size() + 1)
        modified = editor_.toPlainText() != *savedText_;
    if (modified != modified_) {
        modified_ = modified;
        UpdateTitle();
    }
    emit Changed();
}

void TProgramDocument::UpdateTitle()
{
    // A program never saved and unchanged has nothing to name or to save: the bare title.
    if (filePath_.isEmpty() && !modified_) {
        window_.setWindowTitle(ApplicationTitle());
        window_.setWindowModified(false);
        return;
    }
    const QString name = filePath_.isEmpty() ? QStringLiteral("Untitled") : ShownFileName(filePath_);
    window_.setWindowTitle(ApplicationTitle(name + QStringLiteral("[*]")));
    window_.setWindowModified(modified_);
}

void TProgramDocument::Load(const QString& path, const TProgramText& program, bool saved)
{
    filePath_ = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    lineBreak_ = program.LineBreak;
    byteOrderMark_ = program.ByteOrderMark;
    savedText_.reset();
    editor_.setPlainText(program.Text);
    // Compared as the editor gives it back (it reads a no-break space as a blank), so that a
    // file just opened never counts as changed.
    if (saved)
        savedText_ = editor_.toPlainText();
    // setPlainText reports a change only when there was text before or after.
    TextChanged();
    UpdateTitle();
    emit ProgramReplaced();
}

// ---- guard -----------------------------------------------------------------------------------

bool TProgramDocument::MaybeSave()
{
    if (!modified_)
        return true;
    const QString what = filePath_.isEmpty() ? QStringLiteral("the program")
                                             : ShownFileName(filePath_);
    QMessageBox box(QMessageBox::Warning, ApplicationTitle(),
                    QStringLiteral("Save the changes to %1?").arg(what),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &window_);
    box.setObjectName(QStringLiteral("SaveChangesBox"));
    box.setInformativeText(QStringLiteral("Changes that are not saved are lost."));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
    case QMessageBox::Save:
        return Save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

// ---- commands --------------------------------------------------------------------------------

void TProgramDocument::New()
{
    NewWithText(QString());
}

void TProgramDocument::NewWithText(const QString& text)
{
    if (MaybeSave())
        Load(QString(), TProgramText{text}, true);
}

void TProgramDocument::Open()
{
    const QString path = ChooseFile(false);
    if (!path.isEmpty())
        OpenGuarded(path);
}

void TProgramDocument::OpenRecent(const QString& path)
{
    if (recent_.DropIfGone(path)) {
        QMessageBox::warning(&window_, ApplicationTitle(),
                             QStringLiteral("%1 no longer exists. It has been removed from the "
                                            "recent files.")
                                 .arg(ShownPath(path)));
        return;
    }
    OpenGuarded(path);
}

bool TProgramDocument::OpenGuarded(const QString& path)
{
    if (const auto open = OtherKindOpener(path)) {
        if (!open(path))
            return false;
        recent_.Add(QFileInfo(path).absoluteFilePath());
        return true;
    }
    return OpenRead(path, ReadProgramFile(path), true);
}

void TProgramDocument::OpenOtherKindWith(const QString& suffix,
                                         std::function<bool(const QString&)> open)
{
    otherKinds_.insert(suffix.toLower(), std::move(open));
}

std::function<bool(const QString&)> TProgramDocument::OtherKindOpener(const QString& path) const
{
    return otherKinds_.value(QFileInfo(path).suffix().toLower());
}

bool TProgramDocument::OpenAtStart(const QString& path)
{
    const QFileInfo info(path);
    // Only a program name in a folder that is there: a save could not make the file otherwise.
    if (info.exists() || info.isSymLink() || !info.absoluteDir().exists() ||
        OtherKindOpener(path))
        return OpenGuarded(path);
    return OpenRead(path, TProgramRead{TProgramText{}, {}}, false);
}

bool TProgramDocument::OpenRead(const QString& path, const TProgramRead& read, bool fileExists)
{
    if (!read.Program) {
        ShowErrorBox(&window_, read.Error);
        return false;
    }
    if (!MaybeSave())
        return false;
    Load(path, *read.Program, true);
    // A file not made yet joins the recent files when its first save makes it.
    if (fileExists)
        recent_.Add(filePath_);
    return true;
}

bool TProgramDocument::Save()
{
    return filePath_.isEmpty() ? SaveAs() : SaveTo(filePath_);
}

bool TProgramDocument::SaveAs()
{
    const QString path = ChooseFile(true);
    return !path.isEmpty() && SaveTo(path);
}

bool TProgramDocument::SaveTo(const QString& path)
{
    const TProgramText program = Program();
    const QString error = SaveProgramFile(path, program);
    if (!error.isEmpty())
        return ShowSaveErrorBox(&window_, error) && SaveAs();
    filePath_ = QFileInfo(path).absoluteFilePath();
    savedText_ = program.Text;
    TextChanged();
    UpdateTitle();
    recent_.Add(filePath_);
    return true;
}

void TProgramDocument::Restore(const TRecoveredProgram& recovered)
{
    Load(recovered.FilePath, recovered.Program, false);
}

QString TProgramDocument::ChooseFile(bool save)
{
    QFileDialog dialog(&window_,
                       save ? QStringLiteral("Save Program") : QStringLiteral("Open Program"));
    dialog.setObjectName(save ? QStringLiteral("SaveDialog") : QStringLiteral("OpenDialog"));
    dialog.setNameFilters(ProgramFileFilters());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save)
        dialog.setDefaultSuffix(QStringLiteral("mir"));
    const QStringList recent = recent_.Files();
    const QString near = filePath_.isEmpty() && !recent.isEmpty() ? recent.first() : filePath_;
    if (!near.isEmpty())
        dialog.setDirectory(QFileInfo(near).absolutePath());
    if (save && !filePath_.isEmpty())
        dialog.selectFile(filePath_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
