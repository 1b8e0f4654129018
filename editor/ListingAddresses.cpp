#include "editor/ListingAddresses.h"

#include "translator/ListingLine.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

TListingAddresses::TListingAddresses(QTextDocument* document, QObject* parent)
    : QObject(parent), document_(document), starts_{0}
{
    connect(document, &QTextDocument::contentsChange, this,
            [this](int position, int, int) { DocumentChanged(position); });
}

namespace {

// Every character of the text is one character of the line it loads as.
int LineBytes(QStringView line)
{
    return static_cast<int>(ListingLineBytes(static_cast<std::size_t>(line.size())));
}

} // namespace

int TListingAddresses::BytesOf(const QTextBlock& block)
{
    const QString text = block.text();
    if (!text.contains(QChar::LineSeparator))
        return LineBytes(text);
    int bytes = 0;
    for (const QStringView part : QStringView(text).split(QChar::LineSeparator))
        bytes += LineBytes(part);
    return bytes;
}

void TListingAddresses::DocumentChanged(int position)
{
    // The changed block's own start still holds: only the blocks after it move.
    const int line = std::max(0, document_->findBlock(position).blockNumber());
    if (static_cast<int>(starts_.size()) > line + 1)
        starts_.resize(static_cast<std::size_t>(line) + 1);
}

void TListingAddresses::FillUpTo(int line)
{
    int known = static_cast<int>(starts_.size()) - 1;
    if (known >= line)
        return;
    QTextBlock block = document_->findBlockByNumber(known);
    starts_.reserve(static_cast<std::size_t>(line) + 1);
    for (; known < line && block.isValid(); ++known, block = block.next())
        starts_.push_back(starts_.back() + BytesOf(block));
}

int TListingAddresses::StartOf(int line)
{
    if (line < 0 || line >= document_->blockCount())
        return -1;
    FillUpTo(line);
    return starts_[static_cast<std::size_t>(line)];
}

int TListingAddresses::TotalBytes()
{
    FillUpTo(document_->blockCount());
    return starts_.back();
}

int TListingAddresses::LineOfAddress(int address)
{
    if (address < 0 || address >= TotalBytes())
        return -1;
    // The last line starting at or before the address: a line that gives no bytes shares its
    // start with the next one, which then holds the byte.
    const auto end = starts_.end() - 1;
    const auto after = std::upper_bound(starts_.begin(), end, address);
    return static_cast<int>(after - starts_.begin()) - 1;
}
