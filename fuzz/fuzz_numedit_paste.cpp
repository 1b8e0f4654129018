// The input dialog's numeric field under arbitrary typed characters and clipboard text: the
// field only ever holds what its character check lets in, a paste replaces the selection by
// the accepted characters, and Value never fails and agrees with the decimal conversion.

#include "FuzzInput.h"
#include "controls/NumEdit.h"
#include "translator/NumberText.h"

#include <QApplication>
#include <QClipboard>

#include <cstdio>
#include <cstdlib>

namespace {

// Both live until the process ends: destroying a QApplication from an exit handler, after
// Qt's own globals are gone, crashes inside Qt.
QApplication* App = nullptr;
TNumEdit* Field = nullptr;

[[noreturn]] void Fail(const char* what, const QString& text)
{
    std::fprintf(stderr, "%s: '%s'\n", what, text.toUtf8().constData());
    std::abort();
}

// What the input dialog's settings let in: digits and control characters other than Enter.
bool Admitted(char32_t ch)
{
    return (ch >= U'0' && ch <= U'9') || (ch < 32 && ch != 13);
}

QString Filtered(const QString& text)
{
    QString kept;
    for (const char32_t ch : text.toUcs4())
        if (Admitted(ch))
            kept += QString::fromUcs4(&ch, 1);
    return kept;
}

void CheckValue(const TNumEdit& field)
{
    const QByteArray bytes = field.text().toUtf8();
    std::int32_t expected = field.MinValue();
    if (!TryStrToInt(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                     expected))
        expected = field.MinValue();
    if (field.Value() != expected)
        Fail("Value disagrees with the decimal conversion", field.text());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    App = new QApplication(*argc, *argv);
    Field = new TNumEdit;
    // The input dialog's settings.
    Field->SetIsFloat(false);
    Field->SetIsSigned(false);
    Field->SetIsHex(false);
    Field->SetMinValue(0);
    Field->SetMaxValue(0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    // First byte: how much of the starting digits to keep; second and third: selection.
    const QString start = QStringLiteral("1234567890").left(data[0] % 11);
    const int from = data[1] % 12;
    const int length = data[2] % 12;
    const QString clipboard = QString::fromUtf8(reinterpret_cast<const char*>(data + 3),
                                                static_cast<qsizetype>(size - 3));

    Field->setText(start);
    Field->setSelection(std::min<int>(from, static_cast<int>(start.size())), length);
    const QString before = Field->text();
    const int selStart = Field->hasSelectedText() ? Field->selectionStart() : Field->cursorPosition();
    const int selLength = Field->hasSelectedText() ? static_cast<int>(Field->selectedText().size()) : 0;

    QGuiApplication::clipboard()->setText(clipboard);
    Field->PasteFromClipboard();

    const QString accepted = Filtered(clipboard);
    QString expected = before;
    if (!accepted.isEmpty())
        expected.replace(selStart, selLength, accepted.left(Field->maxLength() - (before.size() - selLength)));
    if (Field->text() != expected)
        Fail("paste left another text than the selection replaced by the accepted characters",
             Field->text());
    for (const char32_t ch : Field->text().toUcs4())
        if (!Admitted(ch))
            Fail("the field holds a character its check refuses", Field->text());
    CheckValue(*Field);

    // The same characters typed one by one through the character check.
    Field->setText(start);
    for (const char32_t ch : clipboard.toUcs4())
        if (Field->CheckChar(ch) != Admitted(ch))
            Fail("character check disagrees with the dialog's alphabet", clipboard);
    if (Field->text() != start)
        Fail("character check changed the text outside signed mode", Field->text());
    CheckValue(*Field);
    return 0;
}
