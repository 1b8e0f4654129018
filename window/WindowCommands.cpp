#include "window/WindowCommands.h"

#include "common/ApplicationNames.h"
#include "emulator/RegisterText.h"
#include "window/RunSpeedChoice.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>

namespace {

// The platform's keys for a standard command, or the usual Linux key where the platform has
// none (Qt's generic themes give Save As none, and some give Quit none).
QKeySequence StandardKey(QKeySequence::StandardKey key, QKeyCombination fallback)
{
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    return keys.isEmpty() ? QKeySequence(fallback) : keys.constFirst();
}

} // namespace

TWindowCommands::TWindowCommands(QObject* parent) : QObject(parent)
{
    const auto make = [parent](const QString& text, const QKeySequence& keys, const char* name) {
        auto* action = new QAction(text, parent);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        return action;
    };
    NewAction = make(QStringLiteral("&New"), QKeySequence::New, "NewAction");
    OpenAction = make(QStringLiteral("&Open\u2026"), QKeySequence::Open, "OpenAction");
    NewFromExerciseAction = make(QStringLiteral("New &from Exercise"), QKeySequence(),
                                 "NewFromExerciseAction");
    OpenExerciseAction = make(QStringLiteral("Open E&xercise\u2026"), QKeySequence(),
                              "OpenExerciseAction");
    SaveAction = make(QStringLiteral("&Save"), QKeySequence::Save, "SaveAction");
    SaveAsAction = make(QStringLiteral("Save &As\u2026"),
                        StandardKey(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                        "SaveAsAction");
    QuitAction = make(QStringLiteral("&Quit"),
                      StandardKey(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q), "QuitAction");
    QuitAction->setMenuRole(QAction::QuitRole);

    TranslateAction = make(ActionText(QStringLiteral("Translate")), QKeySequence(Qt::Key_F7),
                           "TranslateAction");
    TranslateAndEmulateAction = make(QStringLiteral("Translate && &Emulate"),
                                     QKeySequence(Qt::Key_F5), "TranslateAndEmulateAction");
    EmulateAction = make(QStringLiteral("E&mulate"), QKeySequence(Qt::CTRL | Qt::Key_F5),
                         "EmulateAction");
    PauseAction = make(QString(), QKeySequence(Qt::Key_F6), "PauseAction");
    ShowPauseAs(false);
    StopAction = make(ActionText(QStringLiteral("Stop")), QKeySequence(Qt::SHIFT | Qt::Key_F5),
                      "StopAction");
    StepAction = make(QStringLiteral("S&tep"), QKeySequence(Qt::Key_F10), "StepAction");
    StepBackAction = make(QStringLiteral("Step &Back"), QKeySequence(Qt::SHIFT | Qt::Key_F10),
                          "StepBackAction");
    RunToCursorAction = make(QStringLiteral("Run to &Cursor"),
                             QKeySequence(Qt::CTRL | Qt::Key_F10), "RunToCursorAction");
    ToggleBreakpointAction = make(QStringLiteral("Toggle Brea&kpoint"), QKeySequence(Qt::Key_F9),
                                  "ToggleBreakpointAction");
    SpeedGroup = new QActionGroup(parent);
    SpeedGroup->setExclusive(true);
    for (std::size_t i = 0; i < TRunSpeedChoice::Speeds().size(); ++i) {
        QAction* action = make(QString::fromLatin1(TRunSpeedChoice::Speeds()[i].Text),
                               QKeySequence(), "SpeedAction");
        action->setObjectName(QStringLiteral("SpeedAction%1").arg(i));
        action->setCheckable(true);
        action->setData(static_cast<qulonglong>(i));
        SpeedGroup->addAction(action);
    }
    NextProblemAction = make(QStringLiteral("Go to &Next Problem"), QKeySequence(Qt::Key_F8),
                             "NextProblemAction");
    PreviousProblemAction = make(QStringLiteral("Go to &Previous Problem"),
                                 QKeySequence(Qt::SHIFT | Qt::Key_F8), "PreviousProblemAction");
    CheckAction = make(QStringLiteral("C&heck"), QKeySequence(Qt::CTRL | Qt::Key_F7), "CheckAction");
    RunCaseAction = make(QStringLiteral("Run C&ase"), QKeySequence(), "RunCaseAction");

    RegisterBaseGroup = new QActionGroup(parent);
    RegisterBaseGroup->setExclusive(true);
    const auto base = [&](const QString& text, TRegisterBase value, const char* name) {
        QAction* action = make(text, QKeySequence(), name);
        action->setCheckable(true);
        action->setData(static_cast<int>(value));
        RegisterBaseGroup->addAction(action);
        return action;
    };
    SignedDecimalAction = base(QStringLiteral("&Signed Decimal"), TRegisterBase::SignedDecimal,
                               "SignedDecimalAction");
    HexadecimalAction = base(QStringLiteral("&Hexadecimal"), TRegisterBase::Hexadecimal,
                             "HexadecimalAction");
    UnsignedDecimalAction = base(QStringLiteral("&Unsigned Decimal"),
                                 TRegisterBase::UnsignedDecimal, "UnsignedDecimalAction");
    SignedDecimalAction->setChecked(true);

    ReferenceAction = make(QStringLiteral("&Instruction reference"), QKeySequence(Qt::Key_F1),
                           "ReferenceAction");
    AboutAction = make(QStringLiteral("&About %1").arg(ApplicationTitle()), QKeySequence(),
                       "AboutAction");
    AboutAction->setMenuRole(QAction::AboutRole);
}

QString TWindowCommands::ActionText(const QString& caption)
{
    return QLatin1Char('&') + Literal(caption);
}

QString TWindowCommands::Literal(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void TWindowCommands::ShowPauseAs(bool resume)
{
    PauseAction->setText(ActionText(resume ? QStringLiteral("Resume") : QStringLiteral("Pause")));
}
