#include "reference/InstructionReference.h"

#include "reference/InstructionReferenceModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

// Keeps the rows the reference model says match the filter text; the model knows how an
// opcode may be typed, which a plain text match over the cells would not.
class TFormFilterModel final : public QSortFilterProxyModel {
public:
    TFormFilterModel(TInstructionReferenceModel* model, QObject* parent)
        : QSortFilterProxyModel(parent), model_(model)
    {
        setSourceModel(model);
    }

    void SetText(const QString& text)
    {
        text_ = text;
        invalidateRowsFilter();
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex&) const override
    {
        return model_->RowMatches(sourceRow, text_);
    }

private:
    TInstructionReferenceModel* model_;
    QString text_;
};

// Selects its text when it next takes the focus, so that typing replaces the last filter. A
// line edit drops its selection when its window becomes active, and the reference window is
// usually inactive when it is asked for again: the selection waits for that focus.
class TFilterEdit final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

    void SelectAllOnFocus()
    {
        selectPending_ = !(hasFocus() && window()->isActiveWindow());
        selectAll();
    }

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QLineEdit::focusInEvent(event);
        if (selectPending_) {
            selectPending_ = false;
            selectAll();
        }
    }

private:
    bool selectPending_ = false;
};

TInstructionReference::TInstructionReference(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(tr("Instruction reference"));
    CreateWidgets();
    LayOutWidgets();
    ConnectWidgets();
    ApplyFilter({});
    resize(880, 560);
}

TInstructionReference* TInstructionReference::ShowFor(QWidget* owner)
{
    auto* window = owner ? owner->findChild<TInstructionReference*>(
                               QString(), Qt::FindDirectChildrenOnly)
                         : nullptr;
    if (!window)
        window = new TInstructionReference(owner);
    window->show();
    window->raise();
    window->activateWindow();
    window->filter_->setFocus(Qt::OtherFocusReason);
    window->filter_->SelectAllOnFocus();
    return window;
}

void TInstructionReference::CreateWidgets()
{
    filter_ = new TFilterEdit(this);
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->setPlaceholderText(tr("Filter"));
    filter_->setClearButtonEnabled(true);
    filter_->setAccessibleName(tr("Filter instructions"));
    filter_->setAccessibleDescription(
        tr("Keeps the forms whose instruction, line, description or opcode match"));

    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("count"));
    // Wide enough for the longest count, so the filter field keeps its width while typing.
    count_->setMinimumWidth(count_->fontMetrics().horizontalAdvance(tr("%1 of %1 forms").arg(
        static_cast<int>(InstructionEncoding.size()))));

    model_ = new TInstructionReferenceModel(this);
    proxy_ = new TFormFilterModel(model_, this);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("forms"));
    table_->setAccessibleName(tr("Instruction forms"));
    table_->setModel(proxy_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // One line of text per row: the table is read like a list, more rows in view help more
    // than padding.
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);

    legend_ = new QLabel(this);
    legend_->setObjectName(QStringLiteral("legend"));
    legend_->setWordWrap(true);
    legend_->setText(
        tr("c: a constant, such as 10, 0ah, :label or [name].  $r: a register, $1 to $15; "
           "$0 is the current register.  &a: a memory address, 0 to 255, or a data name.  "
           "dd: a form no instruction line selects, written as its opcode byte."));
}

void TInstructionReference::LayOutWidgets()
{
    auto* top = new QHBoxLayout;
    top->addWidget(filter_, 1);
    top->addWidget(count_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table_, 1);
    layout->addWidget(legend_);

    // Tab from the filter into the table; the window's focus goes to the filter.
    setTabOrder(filter_, table_);
    setFocusProxy(filter_);
}

void TInstructionReference::ConnectWidgets()
{
    connect(filter_, &QLineEdit::textChanged, this, &TInstructionReference::ApplyFilter);
    // Hides rather than deletes, so the next Help → Instruction reference shows this window
    // again with its filter and column widths.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void TInstructionReference::ApplyFilter(const QString& text)
{
    proxy_->SetText(text);
    const int shown = proxy_->rowCount();
    const int all = model_->rowCount();
    count_->setText(shown == all ? tr("%n forms", nullptr, all)
                                 : tr("%1 of %n forms", nullptr, all).arg(shown));
}
