#pragma once
// The lines of a document that carry a breakpoint. Each one is kept on its text block, so it
// moves with the line as lines are inserted or deleted above it, goes with the line when the
// line is deleted or joined into the one above, and goes when the whole text is replaced.
// Undo and redo do not bring back a breakpoint whose line they remove and insert again.
//
// Lines are counted from 0 (block numbers).

#include <QList>
#include <QStringView>

class QTextDocument;

class TBreakpoints {
public:
    // The document must outlive this object.
    explicit TBreakpoints(QTextDocument* document);

    bool Has(int line) const;
    // Whether the line's breakpoint was added or removed; false for a line not in the text.
    bool Set(int line, bool on);
    // Ascending.
    QList<int> Lines() const;
    // Whether there were any since Set, Clear or LinesChanged last saw them.
    bool Clear();

    // To be told of every change of the text, while the document reports it. Lines inserted at
    // the very start of a line go above it, so its breakpoint follows its text down rather than
    // staying with the first of the new lines.
    void FollowChange(int position, int removed, int added);
    // Whether the lines carrying breakpoints differ from those the last call, Set or Clear saw.
    bool LinesChanged();
    // False only when no line has a breakpoint: edits move and remove breakpoints, never add.
    bool MayHaveAny() const;

private:
    QTextDocument* document_;
    QList<int> known_;
};

// Whether this program editor line gives bytes: an instruction line, or a data line with at
// least one item. A line separator inside the line (Shift+Enter) splits it as the translation
// does, and then any of its parts counts.
bool ProgramLineGivesBytes(QStringView line);
