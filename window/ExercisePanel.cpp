#include "window/ExercisePanel.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QString Joined(const std::vector<std::string>& texts)
{
    QStringList parts;
    for (const std::string& text : texts)
        parts << QString::fromStdString(text);
    return parts.join(QStringLiteral(", "));
}

// The outputs in order, then the registers the run must end with.
QString Expected(const TExerciseCase& testCase)
{
    QStringList parts;
    for (const std::int32_t value : testCase.Output)
        parts << QString::number(value);
    QString text = parts.join(QStringLiteral(", "));
    for (const auto& [number, value] : testCase.Registers) {
        if (!text.isEmpty())
            text += QStringLiteral("; ");
        text += QStringLiteral("R%1 = %2").arg(number).arg(value);
    }
    return text;
}

} // namespace

TExercisePanel::TExercisePanel(QWidget* parent) : QDockWidget(parent)
{
    setObjectName(QStringLiteral("ExercisePanel"));
    // Set before the action's text: a new title would rename the action.
    setWindowTitle(QStringLiteral("Exercise"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);

    auto* body = new QWidget(this);
    Title = new QLabel(body);
    Title->setObjectName(QStringLiteral("ExerciseTitle"));
    Title->setWordWrap(true);
    QFont bold = Title->font();
    bold.setBold(true);
    // The window's font may be set in pixels or in points.
    if (bold.pixelSize() > 0)
        bold.setPixelSize(bold.pixelSize() * 6 / 5);
    else
        bold.setPointSizeF(bold.pointSizeF() * 1.2);
    Title->setFont(bold);

    Text = new QTextBrowser(body);
    Text->setObjectName(QStringLiteral("ExerciseText"));
    Text->setOpenExternalLinks(true);

    Cases = new QTableWidget(0, ColumnCount, body);
    Cases->setObjectName(QStringLiteral("ExerciseCases"));
    Cases->setHorizontalHeaderLabels({QStringLiteral("Case"), QStringLiteral("Input"),
                                      QStringLiteral("Expected output"),
                                      QStringLiteral("Result")});
    Cases->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Cases->setSelectionBehavior(QAbstractItemView::SelectRows);
    Cases->setSelectionMode(QAbstractItemView::SingleSelection);
    Cases->verticalHeader()->hide();
    Cases->horizontalHeader()->setStretchLastSection(true);
    // A reason can be long: its row grows to show it whole.
    Cases->setWordWrap(true);
    connect(Cases, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { emit CaseChosen(row); });

    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Title);
    layout->addWidget(Text, 1);
    layout->addWidget(Cases, 3);
    body->setMinimumWidth(340);
    setWidget(body);

    QAction* show = toggleViewAction();
    show->setObjectName(QStringLiteral("ExercisePanelAction"));
    show->setText(QStringLiteral("&Exercise"));
    show->setEnabled(false);
}

void TExercisePanel::ShowExercise(const TExercise& exercise)
{
    Title->setText(QString::fromStdString(exercise.Title));
    Text->setMarkdown(QString::fromStdString(exercise.Text));
    Text->setVisible(!exercise.Text.empty());
    Cases->clearContents();
    Cases->setRowCount(static_cast<int>(exercise.Cases.size()));
    for (int row = 0; row < Cases->rowCount(); ++row) {
        const TExerciseCase& testCase = exercise.Cases[static_cast<std::size_t>(row)];
        const QString texts[] = {QString::fromStdString(testCase.Name), Joined(testCase.Input),
                                 Expected(testCase), QString()};
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setToolTip(texts[column]);
            Cases->setItem(row, column, item);
        }
    }
    Cases->resizeColumnsToContents();
    Cases->resizeRowsToContents();
    toggleViewAction()->setEnabled(true);
}

void TExercisePanel::ShowChecking()
{
    for (int row = 0; row < Cases->rowCount(); ++row)
        SetResult(row, QStringLiteral("checking\u2026"), palette().color(QPalette::PlaceholderText));
}

void TExercisePanel::ShowResults(const TProgramCheck& check)
{
    for (int row = 0; row < Cases->rowCount(); ++row) {
        if (static_cast<std::size_t>(row) >= check.Cases.size())
            break;
        const TCaseResult& result = check.Cases[static_cast<std::size_t>(row)];
        if (result.Passed)
            SetResult(row, QStringLiteral("passed"), QColor(0x1b, 0x7a, 0x2e));
        else
            SetResult(row, QStringLiteral("failed: ") + QString::fromStdString(result.Reason),
                      QColor(0xb0, 0x1c, 0x1c));
    }
    Cases->resizeRowsToContents();
}

void TExercisePanel::SetResult(int row, const QString& text, const QColor& colour)
{
    QTableWidgetItem* item = Cases->item(row, ResultColumn);
    item->setText(text);
    item->setToolTip(text);
    item->setForeground(colour);
}

QString TExercisePanel::CellText(int row, TColumn column) const
{
    const QTableWidgetItem* item = Cases->item(row, column);
    return item ? item->text() : QString();
}
