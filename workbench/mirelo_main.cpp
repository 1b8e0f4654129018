#include "mirelo_main.h"

#include "ClassicFont.h"
#include "CommandButton.h"
#include "CustButton.h"
#include "ErrorBox.h"
#include "ListingLoader.h"
#include "MemoryCellDelegate.h"
#include "MemoryGridModel.h"
#include "RegisterText.h"
#include "Translation.h"
#include "Unit2.h"
#include "emuthread.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

// The image is declared first so that it outlives the worker that uses it by reference.
struct TForm1::TRun {
    int id = 0;
    std::unique_ptr<TMemoryStream> image;
    std::unique_ptr<TEmulationThread> worker;
    // The worker's end notice has reached the window.
    bool endNoticed = false;
};

namespace {

constexpr int PageMachinecode = 2;
constexpr int PageMemory = 3;

const char* const SampleProgram[] = {
    "add ah", "xch $1,$2", ":start", "set 1", "inc", "set 3", "cmp $1,$2",
    "jin :stop,:start", ":stop", "stop",
};

// The lines of an editor as a list of lines: no lines for empty text, and a final line
// break does not start another line.
std::vector<std::string> EditorLines(const QPlainTextEdit& editor)
{
    std::vector<std::string> lines;
    const QString text = editor.toPlainText();
    if (text.isEmpty())
        return lines;
    QStringList parts = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        parts.removeLast();
    lines.reserve(static_cast<std::size_t>(parts.size()));
    for (const QString& part : parts)
        lines.push_back(part.toStdString());
    return lines;
}

QPlainTextEdit* CreateEditor(QWidget* page, bool wrap, Qt::ScrollBarPolicy scrollBars)
{
    auto* editor = new QPlainTextEdit(page);
    editor->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    editor->setHorizontalScrollBarPolicy(scrollBars);
    editor->setVerticalScrollBarPolicy(scrollBars);
    return editor;
}

QWidget* CreatePage(QTabWidget* pages, const QString& name, const QString& caption,
                    QWidget* content)
{
    auto* page = new QWidget;
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    pages->addTab(page, caption);
    return page;
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent), stepDelay_(TEmulationThread::DefaultStepDelay)
{
    CreateWidgets();
    ConnectWidgets();
    FormCreate();
}

TForm1::~TForm1()
{
    ShutdownRuns();
}

void TForm1::FormCreate()
{
    FillInstructionTable(table_);
}

void TForm1::SetInputDialog(TForm2* dialog)
{
    if (inputDialog_)
        disconnect(inputDialog_, nullptr, this, nullptr);
    inputDialog_ = dialog;
    if (dialog)
        connect(dialog, &QDialog::finished, this, &TForm1::InputDialogFinished);
}

// ---- widgets -------------------------------------------------------------------------------

void TForm1::CreateWidgets()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ApplicationTitle());
    setFont(ClassicFont());
    move(192, 109);
    resize(688, 451);

    Memo3 = CreateEditor(this, true, Qt::ScrollBarAlwaysOff);
    Memo3->setObjectName(QStringLiteral("Memo3"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CreatePanel2());
    layout->addWidget(Memo3, 1);
}

QWidget* TForm1::CreatePanel2()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setLineWidth(1);
    Panel2->setFixedWidth(373);

    PageControl1 = new QTabWidget(Panel2);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    Memo4 = CreateEditor(PageControl1, false, Qt::ScrollBarAsNeeded);
    Memo4->setObjectName(QStringLiteral("Memo4"));
    Memo4->setPlainText(QStringLiteral("Memo4"));
    TabSheet4 = CreatePage(PageControl1, QStringLiteral("TabSheet4"), QStringLiteral("MAsm"), Memo4);

    Memo1 = CreateEditor(PageControl1, false, Qt::ScrollBarAlwaysOn);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    QStringList sample;
    for (const char* line : SampleProgram)
        sample << QString::fromLatin1(line);
    Memo1->setPlainText(sample.join(QLatin1Char('\n')));
    TabSheet1 = CreatePage(PageControl1, QStringLiteral("TabSheet1"), QStringLiteral("Asm"), Memo1);

    Memo2 = CreateEditor(PageControl1, false, Qt::ScrollBarAlwaysOn);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    TabSheet2 = CreatePage(PageControl1, QStringLiteral("TabSheet2"),
                           QStringLiteral("Machinecode"), Memo2);

    TabSheet3 = CreatePage(PageControl1, QStringLiteral("TabSheet3"), QStringLiteral("Memory"),
                           CreateMemoryPage());

    PageControl1->setTabVisible(0, false);
    PageControl1->setCurrentIndex(1);

    Panel3 = new QWidget(Panel2);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedHeight(41);
    CreateButtons();

    auto* layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(Panel3);
    return Panel2;
}

QWidget* TForm1::CreateMemoryPage()
{
    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);

    gridModel_ = new TMemoryGridModel(this);
    StringGrid1 = new QTableView(Splitter1);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setModel(gridModel_);
    StringGrid1->setItemDelegate(new TMemoryCellDelegate(StringGrid1));
    for (QHeaderView* header : {StringGrid1->horizontalHeader(), StringGrid1->verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(1);
        header->setDefaultSectionSize(15);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    StringGrid1->setShowGrid(true);
    StringGrid1->setGridStyle(Qt::SolidLine);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setTextElideMode(Qt::ElideNone);
    StringGrid1->setWordWrap(false);
    // The highlight follows the worker through memory; the view must stay where the user
    // put it, so nothing may scroll it on our behalf.
    StringGrid1->setAutoScroll(false);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    Panel1 = new QFrame(Splitter1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::NoFrame);
    ListBox1 = new QListWidget(Panel1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSortingEnabled(false);
    ListBox1->setUniformItemSizes(true);
    // Like a plain list box: long lines are cut at the right edge, there is no sideways scrolling.
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The splitter would otherwise keep the list at its size hint, wider than designed.
    ListBox1->setMinimumWidth(1);
    Panel1->setMinimumWidth(1);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(ListBox1);

    Splitter1->addWidget(StringGrid1);
    Splitter1->addWidget(Panel1);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({371 - 61 - 3, 61});
    return Splitter1;
}

void TForm1::CreateButtons()
{
    struct TButtonPlace {
        TCustButton** button;
        const char* name;
        const char* caption;
        QRect geometry;
    };
    const TButtonPlace places[] = {
        {&CustButton1, "CustButton1", "Translate", QRect(6, 4, 73, 25)},
        {&CustButton2, "CustButton2", "Translate & Emulate", QRect(82, 4, 109, 25)},
        {&CustButton3, "CustButton3", "Emulate", QRect(194, 4, 59, 25)},
        {&CustButton4, "CustButton4", "Pause", QRect(256, 4, 49, 25)},
        {&CustButton5, "CustButton5", "Stop", QRect(308, 4, 55, 25)},
    };
    for (const TButtonPlace& place : places) {
        *place.button = NewCommandButton(Panel3, QString::fromLatin1(place.name),
                                         QString::fromLatin1(place.caption), place.geometry);
    }
}

void TForm1::ConnectWidgets()
{
    connect(CustButton1, &TCustButton::OnClick, this, &TForm1::CustButton1Click);
    connect(CustButton2, &TCustButton::OnClick, this, &TForm1::CustButton2Click);
    connect(CustButton3, &TCustButton::OnClick, this, &TForm1::CustButton3Click);
    connect(CustButton4, &TCustButton::OnClick, this, &TForm1::CustButton4Click);
    connect(CustButton5, &TCustButton::OnClick, this, &TForm1::CustButton5Click);
    connect(StringGrid1, &QAbstractItemView::doubleClicked, this, &TForm1::StringGrid1DblClick);
}

void TForm1::SelectPage(int index)
{
    if (index >= 0 && index < PageControl1->count() && PageControl1->isTabVisible(index))
        PageControl1->setCurrentIndex(index);
}

// ---- commands ------------------------------------------------------------------------------

void TForm1::RunCommand(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        ShowErrorBox(this, QString::fromStdString(error.what()));
    }
}

void TForm1::CustButton1Click()
{
    RunCommand([this] {
        SelectPage(PageMachinecode);
        TranslateProgram();
    });
}

void TForm1::CustButton2Click()
{
    RunCommand([this] {
        TranslateProgram();
        Emulate();
    });
}

void TForm1::CustButton3Click()
{
    RunCommand([this] { Emulate(); });
}

void TForm1::CustButton4Click()
{
    TEmulationThread* worker = CurrentWorker();
    if (!worker)
        return;
    if (worker->Suspended()) {
        CustButton4->SetCaption(QStringLiteral("Pause"));
        worker->Resume();
    } else {
        CustButton4->SetCaption(QStringLiteral("Resume"));
        worker->Suspend();
    }
}

void TForm1::CustButton5Click()
{
    TEmulationThread* worker = CurrentWorker();
    if (!worker)
        return;
    worker->SetStop(true);
    worker->Terminate();
}

void TForm1::StringGrid1DblClick() {}

void TForm1::TranslateProgram()
{
    const std::vector<std::string> listing = Translate(table_, EditorLines(*Memo1));
    QStringList lines;
    for (const std::string& line : listing)
        lines << QString::fromStdString(line);
    Memo2->setPlainText(lines.join(QLatin1Char('\n')));
}

std::vector<std::uint8_t> TForm1::LoadListing(const QString& listing)
{
    // Pairing goes by character, so each character must stay one char on the way to the
    // hexadecimal conversion: Latin-1 keeps the count (others become '?', which reads as 0
    // just as any non-digit does).
    std::vector<std::string> lines;
    for (const QString& line : listing.split(QLatin1Char('\n')))
        lines.push_back(line.toLatin1().toStdString());
    return ::LoadListing(lines);
}

void TForm1::SizeMemoryGrid(std::int64_t imageSize)
{
    gridModel_->SetRowCount(TMemoryGridModel::RowsForSize(imageSize));
}

void TForm1::Emulate()
{
    SelectPage(PageMemory);
    auto run = std::make_unique<TRun>();
    run->id = ++lastRunId_;
    run->image = std::make_unique<TMemoryStream>(LoadListing(Memo2->toPlainText()));
    SizeMemoryGrid(run->image->Size());
    ShowMemory(*run->image);
    run->worker = std::make_unique<TEmulationThread>(*run->image, windowThread_, *this, stepDelay_);
    const int id = run->id;
    run->worker->SetOnFinished([this, id] {
        // On the worker's thread: only hand the notice over; the window releases the run.
        windowThread_.Post([this, id] { WorkerEnded(id); });
    });
    StartRun(std::move(run));
}

void TForm1::StartRun(std::unique_ptr<TRun> run)
{
    TRun* previous = current_;
    runs_.push_back(std::move(run));
    current_ = runs_.back().get();
    // A replaced run keeps going on its own image; it is released once its worker has ended.
    if (previous && (previous->endNoticed || previous->worker->Finished())) {
        std::erase_if(runs_, [previous](const auto& r) { return r.get() == previous; });
    }
    current_->worker->Resume();
}

void TForm1::WorkerEnded(int runId)
{
    auto it = std::find_if(runs_.begin(), runs_.end(), [runId](const auto& r) { return r->id == runId; });
    if (it == runs_.end())
        return;
    (*it)->endNoticed = true;
    // The current run stays: "Pause" and "Stop" still act on it after it has ended.
    if (it->get() != current_)
        runs_.erase(it);
    emit RunEnded();
}

TEmulationThread* TForm1::CurrentWorker() const
{
    return current_ ? current_->worker.get() : nullptr;
}

// ---- views ---------------------------------------------------------------------------------

void TForm1::HighlightCell(int column, int row)
{
    const QModelIndex cell = gridModel_->index(row, column);
    QItemSelectionModel* selection = StringGrid1->selectionModel();
    if (cell.isValid())
        selection->select(QItemSelection(cell, cell), QItemSelectionModel::ClearAndSelect);
    else
        selection->clearSelection();
}

void TForm1::ShowRegisters(const TRegisterFile& registers, std::uint8_t current)
{
    const int count = static_cast<int>(registers.size());
    // After the first refresh the list already has one line per register; rewriting their
    // texts gives the same fifteen lines without rebuilding the list every step.
    if (ListBox1->count() != count) {
        ListBox1->clear();
        const int widest =
            ListBox1->fontMetrics().horizontalAdvance(QStringLiteral("R15: -2147483648 *"));
        for (int i = 0; i < count; ++i)
            (new QListWidgetItem(ListBox1))->setSizeHint(QSize(widest + 4, 13));
    }
    const std::vector<std::string> lines = RegisterLines(registers, current);
    for (int i = 0; i < count; ++i) {
        const QString line = QString::fromStdString(lines[static_cast<std::size_t>(i)]);
        QListWidgetItem* item = ListBox1->item(i);
        if (item->text() != line)
            item->setText(line);
    }
}

void TForm1::ShowMemory(TMemoryStream& image)
{
    // Copies the bytes without moving the position, which is the worker's program counter.
    gridModel_->SetBytes(std::as_const(image).Bytes());
}

void TForm1::AppendOutput(const std::string& line)
{
    Memo3->appendPlainText(QString::fromStdString(line));
}

// ---- input ---------------------------------------------------------------------------------

void TForm1::RequestInput(std::function<void(std::string)> answer)
{
    if (closing_)
        return;
    if (!inputDialog_)
        throw std::runtime_error("No input dialog");
    pendingInputs_.push_back(std::move(answer));
    ServeNextInput();
}

void TForm1::ServeNextInput()
{
    // One request at a time: a request that arrives while the dialog is shown waits its turn.
    if (closing_ || inputShown_ || pendingInputs_.empty() || !inputDialog_)
        return;
    inputShown_ = true;
    inputDialog_->setResult(0);
    inputDialog_->show();
    inputDialog_->raise();
    inputDialog_->activateWindow();
}

void TForm1::InputDialogFinished(int result)
{
    if (!inputShown_ || pendingInputs_.empty())
        return;
    inputShown_ = false;
    auto answer = std::move(pendingInputs_.front());
    pendingInputs_.pop_front();
    // The pause goes in before the worker gets its text, so it stops before using it.
    if (result == TForm2::HaltResult && current_)
        current_->worker->Suspend();
    answer(inputDialog_->Text().toStdString());
    // The next request is served once the closed dialog has been hidden for good.
    if (!pendingInputs_.empty())
        QTimer::singleShot(0, this, &TForm1::ServeNextInput);
}

// ---- closing -------------------------------------------------------------------------------

void TForm1::closeEvent(QCloseEvent* event)
{
    ShutdownRuns();
    QWidget::closeEvent(event);
}

void TForm1::ShutdownRuns()
{
    closing_ = true;
    // Every worker is woken, its pending window call cancelled, and joined; after this no
    // hook call of any run reaches the window, so the queued answers can simply be dropped.
    for (const auto& run : runs_)
        run->worker->Shutdown();
    pendingInputs_.clear();
    if (inputShown_) {
        inputShown_ = false;
        if (inputDialog_)
            inputDialog_->done(TForm2::CancelResult);
    }
    current_ = nullptr;
    runs_.clear();
}
