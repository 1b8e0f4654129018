#pragma once
// The byte address at which each line of a listing text starts, read the way "Emulate" loads
// the listing: every line gives the bytes translator/ListingLine.h counts, one character of
// the text being one character of the line. Addresses are kept as prefix sums per block,
// filled on demand and dropped from the first changed block on, so an edit costs nothing
// until an address below it is asked for, and then only the lines in between are read.

#include <QObject>

#include <vector>

class QTextBlock;
class QTextDocument;

class TListingAddresses : public QObject {
    Q_OBJECT
public:
    // Follows the document's edits; the document must outlive this object.
    explicit TListingAddresses(QTextDocument* document, QObject* parent = nullptr);

    // Address of the first byte of this line (0-based block number), or -1 when no such line.
    int StartOf(int line);

    // The line holding the byte at this address, or -1 when the listing is shorter.
    int LineOfAddress(int address);

    // Bytes the whole listing loads as.
    int TotalBytes();

    // Bytes one block gives. A line separator inside a block (Shift+Enter) reads as a line
    // break when the text is loaded, so pairs never span it either.
    static int BytesOf(const QTextBlock& block);

private:
    void DocumentChanged(int position);
    // Makes starts_ hold the address of every block up to and including this one.
    void FillUpTo(int line);

    QTextDocument* document_;
    // starts_[k] is the address of block k's first byte; one more entry past the last block
    // holds the total once every block is read.
    std::vector<int> starts_;
};
